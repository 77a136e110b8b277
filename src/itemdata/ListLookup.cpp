#include "itemdata/ListLookup.h"

#include "base/MORNLIB.h"
#include "base/OdbcConnectString.h"
#include "base/OdbcConnection.h"
#include "base/OdbcPool.h"
#include "base/OdbcStatement.h"
#include "document/SignListModel.h"

#include <QStringList>

#include <memory>

namespace {

// The grid column each lookup field fills.
constexpr int gridColumn[SkuLookup::FieldCount] = { 4, 3, 8, 2, 5, 6, 7 };

// What one batch read from a table, per SKU of the batch. The work may
// outlive the pool's deadline, so it fills a copy of its own.
struct BatchRead
{
    QStringList skus;
    std::vector<std::array<QString, SkuLookup::FieldCount>> values;
    std::vector<std::array<bool, SkuLookup::FieldCount>> missing;
    std::vector<bool> found;
};

// Reads the first row of `table` whose column "1" equals each SKU of the
// batch, with one prepared statement run once per SKU: the same query as
// the single lookup, so both find the same rows.
OdbcError readBatch(
    const QString& connect, const QString& table, int fieldCount, std::shared_ptr<BatchRead> read)
{
    return OdbcPool::run(
        connect, [read, table, fieldCount](OdbcConnection& connection) -> OdbcError {
            const QString keyColumn = connection.quoteIdentifier(QStringLiteral("1"));
            if (keyColumn.isEmpty()) {
                return connection.lastError().failed()
                    ? connection.lastError()
                    : OdbcError::layer(QStringLiteral("the data source cannot quote column names"));
            }
            // A second run after a lost connection starts afresh.
            std::vector<bool> found(size_t(read->skus.size()), false);
            auto missing = read->missing;
            auto values = read->values;
            OdbcStatement statement(connection);
            if (!statement.prepare(
                    QStringLiteral("SELECT * FROM %1 WHERE %2 = ?").arg(table, keyColumn)))
                return statement.lastError();
            for (int i = 0; i < read->skus.size(); ++i) {
                if (!statement.bindText(1, read->skus[i]) || !statement.execute())
                    return statement.lastError();
                if (!statement.fetch()) {
                    if (statement.lastError().failed())
                        return statement.lastError();
                    continue;
                }
                found[size_t(i)] = true;
                for (int field = 0; field < fieldCount; ++field) {
                    if (!missing[size_t(i)][size_t(field)])
                        continue;
                    std::optional<QString> value;
                    if (statement.value(SkuLookup::columnName(SkuLookup::Field(field)), &value)) {
                        values[size_t(i)][size_t(field)] = MORNLIB::NullToEmpty(value);
                        missing[size_t(i)][size_t(field)] = false;
                    }
                }
                // Only the first row is used, but the result is read to its end:
                // the SQLite driver finds nothing on the next execution of a
                // statement whose result was closed before its end.
                while (statement.fetch()) { }
                if (statement.lastError().failed())
                    return statement.lastError();
            }
            read->found = std::move(found);
            read->missing = std::move(missing);
            read->values = std::move(values);
            return OdbcError();
        });
}

bool needsCis(const SkuLookup::Result& result)
{
    return result.missing[SkuLookup::Description] || result.missing[SkuLookup::Retail]
        || result.missing[SkuLookup::Cost];
}

// Looks the chosen SKUs up in one table; false when cancelled.
bool readTable(const QStringList& skus, const std::vector<int>& which, const QString& connect,
    const QString& table, int fieldCount, bool cis, ListLookup::Outcome& outcome,
    const std::atomic<bool>* cancel, std::atomic<int>* done)
{
    DatabaseState& state = cis ? outcome.cis : outcome.inventory;
    for (size_t start = 0; start < which.size(); start += ListLookup::BatchSize) {
        if (cancel && *cancel)
            return false;
        const size_t end = std::min(which.size(), start + ListLookup::BatchSize);
        auto read = std::make_shared<BatchRead>();
        for (size_t k = start; k < end; ++k) {
            const SkuLookup::Result& result = outcome.results[size_t(which[k])];
            read->skus << skus[which[k]];
            read->values.push_back(result.values);
            read->missing.push_back(result.missing);
        }
        if (state.kind != DatabaseState::Unavailable) {
            const OdbcError error = readBatch(connect, table, fieldCount, read);
            if (error.failed())
                state
                    = { DatabaseState::Unavailable, OdbcConnectString::masked(error.description) };
            else
                state = { DatabaseState::Connected, QString() };
        }
        for (size_t k = start; k < end; ++k) {
            SkuLookup::Result& result = outcome.results[size_t(which[k])];
            (cis ? result.cis : result.inventory) = state;
            if (state.kind != DatabaseState::Connected)
                continue;
            const size_t i = k - start;
            for (int field = 0; field < fieldCount; ++field) {
                if (result.missing[size_t(field)] && !read->missing[i][size_t(field)]) {
                    result.values[size_t(field)] = read->values[i][size_t(field)];
                    result.missing[size_t(field)] = false;
                }
            }
            if (read->found[i] && result.foundIn == SkuLookup::Source::Nowhere)
                result.foundIn = cis ? SkuLookup::Source::Cis : SkuLookup::Source::Inventory;
        }
        if (done && !cis)
            *done += int(end - start);
    }
    return true;
}

} // namespace

ListLookup::Outcome ListLookup::run(const QStringList& skus, const QString& inventoryConnect,
    const QString& cisConnect, const std::atomic<bool>* cancel, std::atomic<int>* done)
{
    Outcome outcome;
    outcome.results.resize(size_t(skus.size()));
    for (SkuLookup::Result& result : outcome.results)
        result.missing.fill(true);

    std::vector<int> all;
    for (int i = 0; i < skus.size(); ++i)
        all.push_back(i);
    if (MORNLIB::IsBlank(inventoryConnect)) {
        outcome.inventory.kind = DatabaseState::NotSet;
        for (SkuLookup::Result& result : outcome.results)
            result.inventory.kind = DatabaseState::NotSet;
        if (done)
            *done += skus.size();
    } else if (!readTable(skus, all, inventoryConnect, QStringLiteral("inv"), SkuLookup::FieldCount,
                   false, outcome, cancel, done)) {
        outcome.cancelled = true;
        return outcome;
    }

    std::vector<int> rest;
    for (int i = 0; i < skus.size(); ++i) {
        if (needsCis(outcome.results[size_t(i)]))
            rest.push_back(i);
    }
    if (MORNLIB::IsBlank(cisConnect)) {
        outcome.cis.kind = DatabaseState::NotSet;
        for (SkuLookup::Result& result : outcome.results)
            result.cis.kind = DatabaseState::NotSet;
    } else if (!readTable(skus, rest, cisConnect, QStringLiteral("special"), SkuLookup::Promo + 1,
                   true, outcome, cancel, done)) {
        outcome.cancelled = true;
        return outcome;
    }
    for (SkuLookup::Result& result : outcome.results) {
        for (int field = 0; field < SkuLookup::FieldCount; ++field) {
            if (result.missing[size_t(field)])
                result.values[size_t(field)].clear();
        }
    }
    return outcome;
}

void ListLookup::rowsWithSku(const SignListModel& model, std::vector<int>* rows, QStringList* skus)
{
    for (int r = 1; r < model.Rows(); ++r) {
        const QString& sku = model.signRow(r).column(SignListModel::ColSku);
        if (MORNLIB::IsBlank(sku))
            continue;
        rows->push_back(r);
        skus->append(sku);
    }
}

bool ListLookup::fillEmpty(SignRow& sign, const SkuLookup::Result& result)
{
    bool changed = false;
    for (int field = 0; field < SkuLookup::FieldCount; ++field) {
        QString& cell = sign.column(gridColumn[field]);
        const QString& value = result.values[size_t(field)];
        if (cell.isEmpty() && !value.isEmpty()) {
            cell = value;
            changed = true;
        }
    }
    return changed;
}

std::vector<int> ListLookup::notFound(const std::vector<int>& rows, const Outcome& outcome)
{
    std::vector<int> missing;
    for (size_t i = 0; i < rows.size() && i < outcome.results.size(); ++i) {
        if (outcome.results[i].foundIn == SkuLookup::Source::Nowhere)
            missing.push_back(rows[i]);
    }
    return missing;
}

QString ListLookup::summary(const std::vector<int>& rows, const Outcome& outcome)
{
    const std::vector<int> missing = notFound(rows, outcome);
    QString text = QStringLiteral("Looked up %1 rows: %2 found, %3 not found")
                       .arg(rows.size())
                       .arg(rows.size() - missing.size())
                       .arg(missing.size());
    if (!missing.empty()) {
        QStringList numbers;
        for (int row : missing)
            numbers << QString::number(row);
        text += QStringLiteral(" (rows %1)").arg(numbers.join(QStringLiteral(", ")));
    }
    // A database that could not be read is said, not hidden in "not found".
    if (outcome.inventory.kind == DatabaseState::Unavailable)
        text += QStringLiteral("; Inventory database unavailable: ") + outcome.inventory.reason;
    if (outcome.cis.kind == DatabaseState::Unavailable)
        text += QStringLiteral("; CIS database unavailable: ") + outcome.cis.reason;
    return text;
}
