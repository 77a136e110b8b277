#include "itemdata/DatabaseSettings.h"

#include "base/MORNLIB.h"
#include "base/OdbcConnection.h"
#include "base/OdbcPool.h"
#include "base/OdbcStatement.h"
#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"

namespace {

const QString CrLf = QStringLiteral("\r\n");
// Opening a table is proved by a statement that can return no row: the
// driver then has nothing to transfer, however large the table.
const QString InventoryTrial = QStringLiteral("SELECT * FROM inv WHERE 1=0");
const QString CisTrial = QStringLiteral("SELECT * FROM special WHERE 1=0");

struct EditTexts
{
    SettingsKeys::Setting key;
    SettingsKeys::Setting offered;
    QString promptLine1;
    QString promptLine2;
    QString title;
    QString trialStatement;
    QString failureTitle;
};

EditTexts editTexts(DatabaseSettings::Database database)
{
    if (database == DatabaseSettings::Database::Inventory) {
        return { SettingsKeys::Setting::OdbcInv, SettingsKeys::Setting::OdbcInvOffered,
            QStringLiteral("Default Connect String: DSN=posdb; UID=SA; PWD="),
            QStringLiteral("(Table = inv)"), QStringLiteral("Inventory ODBC Connect String"),
            InventoryTrial, QStringLiteral("INV Database") };
    }
    return { SettingsKeys::Setting::OdbcCis, SettingsKeys::Setting::OdbcCisOffered,
        QStringLiteral("Default Connect String: DSN=cisdb; UID=SA; PWD="),
        QStringLiteral("(Table = special)"), QStringLiteral("CIS ODBC COnnect String"), CisTrial,
        QStringLiteral("CIS Database") };
}

// Leading and trailing spaces removed (spaces only, as typed in the box).
QString trimSpaces(const QString& text)
{
    int begin = 0;
    int end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

// The error number as a report line shows it: a space in front of a number
// that is not negative, where a minus sign would stand.
QString signedNumber(qint32 number)
{
    return number >= 0 ? QLatin1Char(' ') + QString::number(number) : QString::number(number);
}

QString testLine(const AppSettings& settings, SettingsKeys::Setting key, const QString& notSet,
    const QString& statement, const QString& ok, const QString& problem, DatabaseState* state)
{
    DatabaseState ignored;
    DatabaseState& outcome = state ? *state : ignored;
    const QString connect = settings.get(key).text();
    if (MORNLIB::IsBlank(connect)) {
        outcome = { DatabaseState::NotSet, QString() };
        return CrLf + notSet;
    }
    const OdbcError error = DatabaseSettings::TryStatement(connect, statement);
    if (!error.failed()) {
        outcome = { DatabaseState::Connected, QString() };
        return CrLf + ok;
    }
    outcome = { DatabaseState::Unavailable, error.description };
    return CrLf + problem + signedNumber(error.number) + QStringLiteral(", ") + error.description;
}

} // namespace

OdbcError DatabaseSettings::TryStatement(const QString& connectString, const QString& sql)
{
    return OdbcPool::run(connectString, [&sql](OdbcConnection& connection) -> OdbcError {
        OdbcStatement statement(connection);
        if (!statement.execDirect(sql))
            return statement.lastError();
        statement.closeCursor();
        return OdbcError();
    });
}

DatabaseSettings::ConnectPrompt DatabaseSettings::connectPrompt(
    Database database, const AppSettings& settings)
{
    const EditTexts texts = editTexts(database);
    return { texts.promptLine1 + CrLf + texts.promptLine2, texts.title,
        settings.get(texts.offered).text() };
}

CommandResult DatabaseSettings::applyConnectString(
    Database database, const QString& answer, const AppSettings& settings, DatabaseState* state)
{
    const EditTexts texts = editTexts(database);
    if (answer.isEmpty())
        return {};
    if (MORNLIB::IsBlank(answer)) {
        settings.save(texts.key, QString());
        return {};
    }
    const QString trimmed = trimSpaces(answer);
    const OdbcError error = TryStatement(trimmed, texts.trialStatement);
    if (state) {
        *state = error.failed() ? DatabaseState { DatabaseState::Unavailable, error.description }
                                : DatabaseState { DatabaseState::Connected, QString() };
    }
    if (error.failed()) {
        CommandResult result
            = CommandResult::notice(QStringLiteral("Error opening selected odbc source: ") + answer
                + CrLf + QString::number(error.number) + QStringLiteral(": ") + error.description);
        result.title = texts.failureTitle;
        return result;
    }
    settings.save(texts.key, trimmed);
    return {};
}

QString DatabaseSettings::TestReport(
    const AppSettings& settings, DatabaseState* inventory, DatabaseState* cis)
{
    QString report;
    report += testLine(settings, SettingsKeys::Setting::OdbcInv,
        QStringLiteral("Inventory Database not set to an ODBC data source."), InventoryTrial,
        QStringLiteral("Inventory Database OK"), QStringLiteral("Inventory Database Problem: "),
        inventory);
    report += testLine(settings, SettingsKeys::Setting::OdbcCis,
        QStringLiteral("Optional CIS Database not set to an ODBC data source."), CisTrial,
        QStringLiteral("CIS Database OK"), QStringLiteral("CIS Database Problem: "), cis);
    return report;
}

CommandResult DatabaseSettings::TestConnections(
    const AppSettings& settings, DatabaseState* inventory, DatabaseState* cis)
{
    return CommandResult::notice(TestReport(settings, inventory, cis));
}
