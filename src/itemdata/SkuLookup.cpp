#include "itemdata/SkuLookup.h"

#include "base/MORNLIB.h"
#include "base/OdbcConnection.h"
#include "base/OdbcStatement.h"

QString SkuLookup::columnName(Field field)
{
    static const char* const names[FieldCount] = { "10", "48", "54", "56", "177", "178", "179" };
    return QString::fromLatin1(names[field]);
}

SkuLookup::Result SkuLookup::run(
    const QString& sku, const QString& inventoryConnect, const QString& cisConnect)
{
    Result result;
    result.missing.fill(true);

    if (!MORNLIB::IsBlank(inventoryConnect))
        readTable(inventoryConnect, QStringLiteral("inv"), sku, FieldCount, result);

    // Only a missing description, retail or cost asks the CIS database; it
    // can then supply those and the promotional price, never bullet lines.
    const bool needCis
        = result.missing[Description] || result.missing[Retail] || result.missing[Cost];
    if (needCis && !MORNLIB::IsBlank(cisConnect))
        readTable(cisConnect, QStringLiteral("special"), sku, Promo + 1, result);

    for (int field = 0; field < FieldCount; ++field) {
        if (result.missing[field])
            result.values[field].clear();
    }
    return result;
}

// Fills the still-missing fields among the first fieldCount from the first
// row of `table` whose column "1" equals the SKU.
void SkuLookup::readTable(const QString& connect, const QString& table, const QString& sku,
    int fieldCount, Result& result)
{
    OdbcConnection connection;
    if (!connection.open(connect))
        return;
    // Column "1" must be quoted to be a column at all; a source that cannot
    // quote identifiers would read it as the number 1, so it is not asked.
    const QString keyColumn = connection.quoteIdentifier(QStringLiteral("1"));
    if (keyColumn.isEmpty())
        return;
    OdbcStatement statement(connection);
    // Only the first row is used.
    statement.setMaxRows(1);
    if (!statement.prepare(QStringLiteral("SELECT * FROM %1 WHERE %2 = ?").arg(table, keyColumn))
        || !statement.bindText(1, sku) || !statement.execute() || !statement.fetch())
        return;
    for (int field = 0; field < fieldCount; ++field) {
        if (!result.missing[field])
            continue;
        std::optional<QString> value;
        if (statement.value(columnName(Field(field)), &value)) {
            result.values[field] = MORNLIB::NullToEmpty(value);
            result.missing[field] = false;
        }
    }
    statement.closeCursor();
}
