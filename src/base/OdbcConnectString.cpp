#include "base/OdbcConnectString.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <sql.h>
#include <sqlext.h>

namespace {

QString withoutBraces(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.size() >= 2 && trimmed.startsWith(QLatin1Char('{'))
        && trimmed.endsWith(QLatin1Char('}')))
        return trimmed.mid(1, trimmed.size() - 2);
    return trimmed;
}

bool namesSqlite(const QString& driver)
{
    return driver.contains(QLatin1String("sqlite"), Qt::CaseInsensitive);
}

// The driver description of a data source the driver manager knows.
QString dataSourceDriver(const QString& dsn)
{
    SQLHENV env = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
        return QString();
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    QString driver;
    SQLWCHAR name[SQL_MAX_DSN_LENGTH + 1];
    SQLWCHAR description[512];
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT descriptionLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (SQL_SUCCEEDED(SQLDataSourcesW(env, direction, name, SQL_MAX_DSN_LENGTH + 1, &nameLength,
        description, 512, &descriptionLength))) {
        direction = SQL_FETCH_NEXT;
        const QString found = QString::fromUtf16(reinterpret_cast<const char16_t*>(name),
            qBound<int>(0, nameLength, SQL_MAX_DSN_LENGTH));
        if (found.compare(dsn, Qt::CaseInsensitive) == 0) {
            driver = QString::fromUtf16(reinterpret_cast<const char16_t*>(description),
                qBound<int>(0, descriptionLength, 511));
            break;
        }
    }
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return driver;
}

} // namespace

std::optional<QString> OdbcConnectString::value(const QString& connect, const QString& key)
{
    for (const QString& pair : connect.split(QLatin1Char(';'))) {
        const int equals = pair.indexOf(QLatin1Char('='));
        if (equals < 0)
            continue;
        if (pair.left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return pair.mid(equals + 1);
    }
    return std::nullopt;
}

bool OdbcConnectString::isSqlite(const QString& connect)
{
    if (const auto driver = value(connect, QStringLiteral("Driver")))
        return namesSqlite(withoutBraces(*driver));
    if (const auto dsn = value(connect, QStringLiteral("DSN")))
        return namesSqlite(dataSourceDriver(dsn->trimmed()));
    return false;
}

std::optional<QString> OdbcConnectString::sqliteFile(const QString& connect)
{
    const auto driver = value(connect, QStringLiteral("Driver"));
    if (!driver || !namesSqlite(withoutBraces(*driver)))
        return std::nullopt;
    const auto path = value(connect, QStringLiteral("Database"));
    // Without a database the driver opens a file named after the whole
    // string. An in-memory database or a URI is not a file to look for.
    if (!path || path->isEmpty())
        return connect;
    if (*path == QLatin1String(":memory:")
        || path->startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return std::nullopt;
    return path;
}

std::optional<QString> OdbcConnectString::missingSqliteFile(const QString& connect)
{
    const auto path = sqliteFile(connect);
    if (!path || QFileInfo::exists(*path))
        return std::nullopt;
    return path;
}

QString OdbcConnectString::forDriver(const QString& connect, int busyMs)
{
    // A string without a database names its own file: it stays as it is.
    if (value(connect, QStringLiteral("Timeout")) || !isSqlite(connect)
        || sqliteFile(connect) == connect)
        return connect;
    QString result = connect;
    if (!result.endsWith(QLatin1Char(';')))
        result += QLatin1Char(';');
    result += QStringLiteral("Timeout=%1").arg(qMax(1, busyMs));
    return result.size() > MaxLength ? connect : result;
}

QString OdbcConnectString::masked(const QString& text)
{
    // A key starts the text or follows a separator, so that "XPWD=" or a
    // word such as "mypassword=" in a driver's message is left alone.
    static const QRegularExpression key(QStringLiteral("(^|[;\\s\"'(])(pwd|password)\\s*=\\s*"),
        QRegularExpression::CaseInsensitiveOption);
    QString result;
    int from = 0;
    QRegularExpressionMatchIterator it = key.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        if (match.capturedStart() < from)
            continue;
        const int valueStart = int(match.capturedEnd());
        int valueEnd = valueStart;
        if (valueStart < text.size() && text.at(valueStart) == QLatin1Char('{')) {
            const int close = text.indexOf(QLatin1Char('}'), valueStart);
            valueEnd = close < 0 ? int(text.size()) : close + 1;
        } else {
            // The value runs to the next separator or the end of the line.
            while (valueEnd < text.size() && text.at(valueEnd) != QLatin1Char(';')
                && text.at(valueEnd) != QLatin1Char('\r') && text.at(valueEnd) != QLatin1Char('\n'))
                ++valueEnd;
        }
        result += text.mid(from, valueStart - from);
        if (valueEnd > valueStart)
            result += QStringLiteral("****");
        from = valueEnd;
    }
    result += text.mid(from);
    return result;
}
