#pragma once

#include <QString>

#include <array>

// Looks a SKU up in the inventory database (table inv) and, for what that
// leaves missing among description, retail and cost, in the optional CIS
// database (table special). The SKU is compared with column "1" exactly as
// given, as a bound parameter. Every failure (blank connection string, no
// connection, failed statement, no row, missing column) is absorbed: the
// field concerned simply stays missing and comes back empty.
class SkuLookup
{
public:
    // The entry boxes a lookup fills, in the order it fills them.
    enum Field { Description, Retail, Cost, Promo, Bullet1, Bullet2, Bullet3, FieldCount };

    struct Result
    {
        std::array<QString, FieldCount> values; // "" for a missing field
        std::array<bool, FieldCount> missing;
    };

    // The column a field is read from ("10", "48", ...).
    static QString columnName(Field field);

    // One whole lookup: connects, queries and disconnects each database it
    // needs. A blank connection string means: do not use that database.
    static Result run(
        const QString& sku, const QString& inventoryConnect, const QString& cisConnect);

private:
    static void readTable(const QString& connect, const QString& table, const QString& sku,
        int fieldCount, Result& result);
};
