#include "itemdata/DatabaseSettings.h"

#include "base/MORNLIB.h"
#include "base/OdbcConnection.h"
#include "base/OdbcStatement.h"
#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"

namespace {

const QString CrLf = QStringLiteral("\r\n");

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
            QStringLiteral("SELECT * FROM inv"), QStringLiteral("INV Database") };
    }
    return { SettingsKeys::ODBCCIS, SettingsKeys::ODBCCISOffered,
        QStringLiteral("Default Connect String: DSN=cisdb; UID=SA; PWD="),
        QStringLiteral("(Table = special)"), QStringLiteral("CIS ODBC COnnect String"),
        QStringLiteral("SELECT * FROM special"), QStringLiteral("CIS Database") };
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
    const QString& statement, const QString& ok, const QString& problem)
{
    const QString connect = settings.text(key, QString());
    if (MORNLIB::IsBlank(connect))
        return CrLf + notSet;
    const OdbcError error = DatabaseSettings::TryStatement(connect, statement);
    if (!error.failed())
        return CrLf + ok;
    return CrLf + problem + signedNumber(error.number) + QStringLiteral(", ") + error.description;
}

} // namespace

OdbcError DatabaseSettings::TryStatement(const QString& connectString, const QString& sql)
{
    OdbcConnection connection;
    if (!connection.open(connectString))
        return connection.lastError();
    OdbcStatement statement(connection);
    // The trial only proves that the table opens: the driver need not
    // deliver (and hold in memory) more than one of its rows for that.
    statement.setMaxRows(1);
    if (!statement.execDirect(sql))
        return statement.lastError();
    statement.closeCursor();
    return OdbcError();
}

DatabaseSettings::ConnectPrompt DatabaseSettings::connectPrompt(
    Database database, const AppSettings& settings)
{
    const EditTexts texts = editTexts(database);
    return { texts.promptLine1 + CrLf + texts.promptLine2, texts.title,
        settings.text(texts.key, texts.offered) };
}

CommandResult DatabaseSettings::applyConnectString(
    Database database, const QString& answer, const AppSettings& settings)
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

QString DatabaseSettings::TestReport(const AppSettings& settings)
{
    QString report;
    report += testLine(settings, SettingsKeys::ODBCINV,
        QStringLiteral("Inventory Database not set to an ODBC data source."),
        QStringLiteral("SELECT * FROM inv"), QStringLiteral("Inventory Database OK"),
        QStringLiteral("Inventory Database Problem: "));
    report += testLine(settings, SettingsKeys::ODBCCIS,
        QStringLiteral("Optional CIS Database not set to an ODBC data source."),
        QStringLiteral("SELECT * FROM special"), QStringLiteral("CIS Database OK"),
        QStringLiteral("CIS Database Problem: "));
    return report;
}

CommandResult DatabaseSettings::TestConnections(const AppSettings& settings)
{
    return CommandResult::notice(TestReport(settings));
}
