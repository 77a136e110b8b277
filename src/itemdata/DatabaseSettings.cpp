#include "itemdata/DatabaseSettings.h"

#include "base/MORNLIB.h"
#include "base/OdbcConnection.h"
#include "base/OdbcPool.h"
#include "base/OdbcStatement.h"
#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "ui/DialogService.h"

namespace {

const QString CrLf = QStringLiteral("\r\n");
// Opening a table is proved by a statement that can return no row: the
// driver then has nothing to transfer, however large the table.
const QString InventoryTrial = QStringLiteral("SELECT * FROM inv WHERE 1=0");
const QString CisTrial = QStringLiteral("SELECT * FROM special WHERE 1=0");

struct EditTexts
{
    QString key;
    QString offered;
    QString promptLine1;
    QString promptLine2;
    QString title;
    QString trialStatement;
    QString failureTitle;
};

EditTexts editTexts(DatabaseSettings::Database database)
{
    if (database == DatabaseSettings::Database::Inventory) {
        return { SettingsKeys::ODBCINV, SettingsKeys::ODBCINVOffered,
            QStringLiteral("Default Connect String: DSN=posdb; UID=SA; PWD="),
            QStringLiteral("(Table = inv)"), QStringLiteral("Inventory ODBC Connect String"),
            InventoryTrial, QStringLiteral("INV Database") };
    }
    return { SettingsKeys::ODBCCIS, SettingsKeys::ODBCCISOffered,
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

QString testLine(const AppSettings& settings, const QString& key, const QString& notSet,
    const QString& statement, const QString& ok, const QString& problem, DatabaseState* state)
{
    DatabaseState ignored;
    DatabaseState& outcome = state ? *state : ignored;
    const QString connect = settings.text(key, QString());
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

void DatabaseSettings::EditConnectString(Database database, DialogService& dialogs,
    const AppSettings& settings, QWidget* parent, DatabaseState* state)
{
    const EditTexts texts = editTexts(database);
    const QString current = settings.text(texts.key, texts.offered);
    const QString answer = dialogs.inputBox(
        texts.promptLine1 + CrLf + texts.promptLine2, texts.title, current, parent);
    if (answer.isEmpty())
        return;
    if (MORNLIB::IsBlank(answer)) {
        settings.save(texts.key, QString());
        return;
    }
    const QString trimmed = trimSpaces(answer);
    const OdbcError error = TryStatement(trimmed, texts.trialStatement);
    if (state) {
        *state = error.failed() ? DatabaseState { DatabaseState::Unavailable, error.description }
                                : DatabaseState { DatabaseState::Connected, QString() };
    }
    if (error.failed()) {
        dialogs.message(QStringLiteral("Error opening selected odbc source: ") + answer + CrLf
                + QString::number(error.number) + QStringLiteral(": ") + error.description,
            DialogService::Buttons::Ok, DialogService::Icon::Information, texts.failureTitle,
            parent);
        return;
    }
    settings.save(texts.key, trimmed);
}

QString DatabaseSettings::TestReport(
    const AppSettings& settings, DatabaseState* inventory, DatabaseState* cis)
{
    QString report;
    report += testLine(settings, SettingsKeys::ODBCINV,
        QStringLiteral("Inventory Database not set to an ODBC data source."), InventoryTrial,
        QStringLiteral("Inventory Database OK"), QStringLiteral("Inventory Database Problem: "),
        inventory);
    report += testLine(settings, SettingsKeys::ODBCCIS,
        QStringLiteral("Optional CIS Database not set to an ODBC data source."), CisTrial,
        QStringLiteral("CIS Database OK"), QStringLiteral("CIS Database Problem: "), cis);
    return report;
}

void DatabaseSettings::TestDatabaseConnections(DialogService& dialogs, const AppSettings& settings,
    QWidget* parent, DatabaseState* inventory, DatabaseState* cis)
{
    dialogs.message(TestReport(settings, inventory, cis), DialogService::Buttons::Ok,
        DialogService::Icon::Information, QStringLiteral("Alert:"), parent);
}
