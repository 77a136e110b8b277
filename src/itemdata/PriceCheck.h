#pragma once

#include "itemdata/ListLookup.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Compares the prices of the signs with the inventory database: each row's
// promotional price with the inventory's field 56 and its regular retail
// with field 48, as amounts of money ("$12.99", "12.99" and "12.990"
// agree). A price cell left empty on the sign prints nothing and is not
// compared.
class PriceCheck
{
public:
    struct Difference
    {
        int row = 0;
        QString line; // "Row 7, SKU 100043: the sign says $93.58, the inventory says $89.99"
    };

    // The amount in thousandths of a cent, or nothing when the text is not an
    // amount of money: digits with at most one point, after an optional "$".
    static std::optional<qint64> money(const QString& text);
    // The text as the lines show it: "$12.99" for an amount, else as given.
    static QString shown(const QString& text);

    // The differences of the rows (grid numbering) and their SKUs with what
    // the inventory lookup found for them, in row order.
    static std::vector<Difference> compare(const std::vector<int>& rows,
        const std::vector<SignRow>& signs, const ListLookup::Outcome& inventory);
};
