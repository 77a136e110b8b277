#pragma once

#include "itemdata/DatabaseState.h"

#include <QString>

#include <array>

// Looks a SKU up in the inventory database (table inv) and, for what that
// leaves missing among description, retail and cost, in the optional CIS
// database (table special). The SKU is compared with column "1" exactly as
// given, as a bound parameter. No failure stops the lookup: a field that no
// database supplied comes back empty, and the result says where the SKU was
// found, or which database could not be read and why.
class SkuLookup
{
public:
    // The entry boxes a lookup fills, in the order it fills them.
    enum Field { Description, Retail, Cost, Promo, Bullet1, Bullet2, Bullet3, FieldCount };
    enum class Source { Nowhere, Inventory, Cis };

    struct Result
    {
        std::array<QString, FieldCount> values; // "" for a missing field
        std::array<bool, FieldCount> missing;
        Source foundIn = Source::Nowhere;
        DatabaseState inventory; // NotAsked when the CIS database was not needed
        DatabaseState cis;
        // One line for the status bar: "SKU 100001 found in inventory",
        // "SKU 555555 not found", "Inventory database unavailable: <text>" ...
        QString status;
    };

    // The column a field is read from ("10", "48", ...).
    static QString columnName(Field field);

    // One whole lookup: takes a connection to each database it needs and
    // gives it back. A blank connection string means: do not use that
    // database.
    static Result run(
        const QString& sku, const QString& inventoryConnect, const QString& cisConnect);

private:
    static DatabaseState readTable(const QString& connect, const QString& table, const QString& sku,
        int fieldCount, Result& result, bool* found);
    static QString statusText(const QString& sku, const Result& result);
};
