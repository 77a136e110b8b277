#pragma once

#include "itemdata/SkuLookup.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <vector>

class SignListModel;
struct SignRow;

// Looks up many SKUs at once with the rules of the single lookup (inventory
// first, then CIS for a SKU still missing description, retail or cost). Each
// database is read on one connection with one prepared statement, in
// batches, each batch one use of the pool and so under its deadline; a
// database that fails a batch is not asked again in this run, so an
// unreachable server costs one deadline, not one per row.
class ListLookup
{
public:
    static constexpr int BatchSize = 250;

    struct Outcome
    {
        std::vector<SkuLookup::Result> results; // one per SKU, in order
        DatabaseState inventory;
        DatabaseState cis;
        bool cancelled = false;
    };

    // Looks every SKU up. `cancel`, when set, is checked between batches;
    // `done`, when given, counts the SKUs looked up so far.
    static Outcome run(const QStringList& skus, const QString& inventoryConnect,
        const QString& cisConnect, const std::atomic<bool>* cancel = nullptr,
        std::atomic<int>* done = nullptr);

    // The rows of the list (grid numbering) that have a SKU, and their SKUs.
    static void rowsWithSku(const SignListModel& model, std::vector<int>* rows, QStringList* skus);

    // Fills the empty cells of the sign from what the lookup found; true
    // when any cell changed.
    static bool fillEmpty(SignRow& sign, const SkuLookup::Result& result);

    // "Looked up 240 rows: 236 found, 4 not found (rows 12, 40, 41, 97)".
    static QString summary(const std::vector<int>& rows, const Outcome& outcome);
    // The rows whose SKU was found in no database.
    static std::vector<int> notFound(const std::vector<int>& rows, const Outcome& outcome);
};
