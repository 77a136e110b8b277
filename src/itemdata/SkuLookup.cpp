#include "itemdata/SkuLookup.h"

#include "base/MORNLIB.h"
#include "base/OdbcConnectString.h"
#include "base/OdbcConnection.h"
#include "base/OdbcPool.h"
#include "base/OdbcStatement.h"

#include <QStringList>

#include <memory>

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
    bool found = false;

    if (MORNLIB::IsBlank(inventoryConnect)) {
        result.inventory.kind = DatabaseState::NotSet;
    } else {
        result.inventory
            = readTable(inventoryConnect, QStringLiteral("inv"), sku, FieldCount, result, &found);
        if (found)
            result.foundIn = Source::Inventory;
    }

    // Only a missing description, retail or cost asks the CIS database; it
    // can then supply those and the promotional price, never bullet lines.
    const bool needCis
        = result.missing[Description] || result.missing[Retail] || result.missing[Cost];
    if (MORNLIB::IsBlank(cisConnect)) {
        result.cis.kind = DatabaseState::NotSet;
    } else if (needCis) {
        result.cis
            = readTable(cisConnect, QStringLiteral("special"), sku, Promo + 1, result, &found);
        if (found && result.foundIn == Source::Nowhere)
            result.foundIn = Source::Cis;
    }

    for (int field = 0; field < FieldCount; ++field) {
        if (result.missing[field])
            result.values[field].clear();
    }
    result.status = statusText(sku, result);
    return result;
}

// Fills the still-missing fields among the first fieldCount from the first
// row of `table` whose column "1" equals the SKU.
DatabaseState SkuLookup::readTable(const QString& connect, const QString& table, const QString& sku,
    int fieldCount, Result& result, bool* found)
{
    *found = false;
    // The work may outlive this call (a database that misses its deadline
    // is abandoned, not waited for): it fills a copy of its own, taken over
    // only when the work finished in time.
    struct Read
    {
        std::array<QString, FieldCount> values;
        std::array<bool, FieldCount> missing;
        bool found = false;
    };
    auto read = std::make_shared<Read>();
    read->missing = result.missing;
    const OdbcError error = OdbcPool::run(
        connect, [read, table, sku, fieldCount](OdbcConnection& connection) -> OdbcError {
            // Column "1" must be quoted to be a column at all; a source that
            // cannot quote identifiers would read it as the number 1.
            const QString keyColumn = connection.quoteIdentifier(QStringLiteral("1"));
            if (keyColumn.isEmpty()) {
                return connection.lastError().failed()
                    ? connection.lastError()
                    : OdbcError::layer(QStringLiteral("the data source cannot quote column names"));
            }
            OdbcStatement statement(connection);
            // Only the first row is used.
            statement.setMaxRows(1);
            if (!statement.prepare(
                    QStringLiteral("SELECT * FROM %1 WHERE %2 = ?").arg(table, keyColumn))
                || !statement.bindText(1, sku) || !statement.execute() || !statement.fetch())
                return statement.lastError(); // clear when there is no such row
            read->found = true;
            for (int field = 0; field < fieldCount; ++field) {
                if (!read->missing[field])
                    continue;
                std::optional<QString> value;
                if (statement.value(columnName(Field(field)), &value)) {
                    read->values[field] = MORNLIB::NullToEmpty(value);
                    read->missing[field] = false;
                }
            }
            statement.closeCursor();
            return OdbcError();
        });
    if (error.failed())
        return { DatabaseState::Unavailable, OdbcConnectString::masked(error.description) };
    *found = read->found;
    for (int field = 0; field < fieldCount; ++field) {
        if (result.missing[field] && !read->missing[field]) {
            result.values[field] = read->values[field];
            result.missing[field] = false;
        }
    }
    return { DatabaseState::Connected, QString() };
}

QString SkuLookup::statusText(const QString& sku, const Result& result)
{
    QStringList parts;
    if (result.foundIn == Source::Inventory)
        parts << QStringLiteral("SKU %1 found in inventory").arg(sku);
    else if (result.foundIn == Source::Cis)
        parts << QStringLiteral("SKU %1 found in CIS").arg(sku);
    if (result.inventory.kind == DatabaseState::Unavailable)
        parts << QStringLiteral("Inventory database unavailable: ") + result.inventory.reason;
    if (result.cis.kind == DatabaseState::Unavailable)
        parts << QStringLiteral("CIS database unavailable: ") + result.cis.reason;
    if (parts.isEmpty())
        return QStringLiteral("SKU %1 not found").arg(sku);
    return parts.join(QStringLiteral("; "));
}
