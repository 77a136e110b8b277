#include "base/OdbcConnection.h"

#include "base/OdbcConnectString.h"
#include "base/OdbcStatement.h"

#include <QFile>

#include <dlfcn.h>
#include <link.h>
#include <sql.h>
#include <sqlext.h>

namespace {

// The one ODBC environment of the process (ODBC 3 behaviour), created at
// the first connection and freed at exit, after every connection is gone.
class OdbcEnvironment
{
public:
    static SQLHENV handle()
    {
        static OdbcEnvironment environment;
        return environment.m_env;
    }

private:
    OdbcEnvironment()
    {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_env))) {
            m_env = SQL_NULL_HENV;
            return;
        }
        SQLSetEnvAttr(m_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    }
    ~OdbcEnvironment()
    {
        if (m_env != SQL_NULL_HENV)
            SQLFreeHandle(SQL_HANDLE_ENV, m_env);
    }
    SQLHENV m_env = SQL_NULL_HENV;
};

} // namespace

OdbcConnection::OdbcConnection() = default;

OdbcConnection::~OdbcConnection()
{
    close();
}

bool OdbcConnection::open(const QString& connectString, int loginTimeoutSeconds)
{
    close();
    m_error.clear();
    if (connectString.size() > OdbcConnectString::MaxLength) {
        m_error = OdbcError::layer(
            QStringLiteral("The connection string is too long: %1 characters, at most %2")
                .arg(connectString.size())
                .arg(OdbcConnectString::MaxLength));
        return false;
    }
    SQLHENV env = OdbcEnvironment::handle();
    if (env == SQL_NULL_HENV) {
        m_error = OdbcError::layer(QStringLiteral("The ODBC driver manager could not be started"));
        return false;
    }
    SQLHDBC dbc = SQL_NULL_HDBC;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc))) {
        m_error = odbcDiagnostics(SQL_HANDLE_ENV, env);
        return false;
    }
    m_dbc = dbc;
    if (loginTimeoutSeconds > 0) {
        // Not every driver honours it; the attribute is a request.
        SQLSetConnectAttrW(dbc, SQL_ATTR_LOGIN_TIMEOUT,
            reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(loginTimeoutSeconds)),
            SQL_IS_UINTEGER);
    }
    // The string goes to the driver manager exactly as given: no keyword is
    // added or rewritten, so "DSN=...;UID=...;PWD=" and "Driver=...;..."
    // both reach the driver as typed.
    const QString text = connectString;
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc = SQLDriverConnectW(dbc, nullptr,
        reinterpret_cast<SQLWCHAR*>(const_cast<ushort*>(text.utf16())), SQLSMALLINT(text.size()),
        nullptr, 0, &outLength, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        m_error = odbcDiagnostics(SQL_HANDLE_DBC, dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        m_dbc = nullptr;
        return false;
    }
    m_open = true;
    m_textAsUtf8 = !driverHasUtf16Interface();
    return true;
}

bool OdbcConnection::driverHasUtf16Interface()
{
    SQLWCHAR buffer[256] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(m_dbc, SQL_DRIVER_NAME, buffer, sizeof buffer, &length)))
        return true;
    const QByteArray name = QFile::encodeName(QString::fromUtf16(
        reinterpret_cast<const char16_t*>(buffer), qBound(0, int(length / sizeof(SQLWCHAR)), 255))
                                                  .section(QLatin1Char('/'), -1));
    // The driver's library is loaded by now: look for its UTF-16 entry
    // point in it, as the driver manager does to choose how to call it.
    struct Search
    {
        QByteArray name;
        QByteArray path;
    } search { name, QByteArray() };
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            auto* search = static_cast<Search*>(data);
            const QByteArray path(info->dlpi_name ? info->dlpi_name : "");
            // Drivers name their file with or without the "lib" in front.
            const QByteArray file = path.mid(path.lastIndexOf('/') + 1);
            if (!search->name.isEmpty() && (file == search->name || file == "lib" + search->name)) {
                search->path = path;
                return 1;
            }
            return 0;
        },
        &search);
    if (search.path.isEmpty())
        return true;
    void* library = dlopen(search.path.constData(), RTLD_LAZY | RTLD_NOLOAD);
    if (!library)
        return true;
    const bool wide = dlsym(library, "SQLDriverConnectW") || dlsym(library, "SQLConnectW");
    dlclose(library);
    return wide;
}

void OdbcConnection::ensureEnvironment()
{
    OdbcEnvironment::handle();
}

bool OdbcConnection::isDead() const
{
    if (!m_open)
        return true;
    SQLUINTEGER dead = SQL_CD_FALSE;
    const SQLRETURN rc = SQLGetConnectAttrW(m_dbc, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
    return SQL_SUCCEEDED(rc) && dead == SQL_CD_TRUE;
}

void* OdbcConnection::release()
{
    void* handle = nullptr;
    if (m_open) {
        handle = m_dbc;
        m_dbc = nullptr;
        m_open = false;
    }
    close();
    return handle;
}

void OdbcConnection::adopt(void* openHandle, bool textAsUtf8)
{
    close();
    m_error.clear();
    m_dbc = openHandle;
    m_open = openHandle != nullptr;
    m_textAsUtf8 = textAsUtf8;
}

void OdbcConnection::close()
{
    if (!m_dbc)
        return;
    if (m_open)
        SQLDisconnect(m_dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
    m_dbc = nullptr;
    m_open = false;
}

QString OdbcConnection::identifierQuoteChar()
{
    if (!m_open)
        return QString();
    SQLWCHAR buffer[8] = {};
    SQLSMALLINT length = 0;
    const SQLRETURN rc
        = SQLGetInfoW(m_dbc, SQL_IDENTIFIER_QUOTE_CHAR, buffer, sizeof buffer, &length);
    if (!SQL_SUCCEEDED(rc)) {
        m_error = odbcDiagnostics(SQL_HANDLE_DBC, m_dbc);
        return QString();
    }
    const int chars = qBound(0, int(length / sizeof(SQLWCHAR)), 7);
    // A single space means: quoted identifiers are not supported.
    const QString quote
        = QString::fromUtf16(reinterpret_cast<const char16_t*>(buffer), chars).trimmed();
    return quote;
}

QString OdbcConnection::quoteIdentifier(const QString& name)
{
    return quoteIdentifier(identifierQuoteChar(), name);
}

QString OdbcConnection::quoteIdentifier(const QString& quoteChar, const QString& name)
{
    const QString open = quoteChar.trimmed();
    if (open.isEmpty())
        return QString();
    const QString close = open == QLatin1String("[") ? QStringLiteral("]") : open;
    QString inner = name;
    inner.replace(close, close + close);
    return open + inner + close;
}

bool OdbcConnection::setAutoCommit(bool on)
{
    if (!m_open)
        return false;
    const SQLRETURN rc = SQLSetConnectAttrW(m_dbc, SQL_ATTR_AUTOCOMMIT,
        reinterpret_cast<SQLPOINTER>(
            static_cast<SQLULEN>(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF)),
        SQL_IS_UINTEGER);
    if (!SQL_SUCCEEDED(rc)) {
        m_error = odbcDiagnostics(SQL_HANDLE_DBC, m_dbc);
        return false;
    }
    return true;
}

bool OdbcConnection::commit()
{
    if (!m_open)
        return false;
    if (!SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, m_dbc, SQL_COMMIT))) {
        m_error = odbcDiagnostics(SQL_HANDLE_DBC, m_dbc);
        return false;
    }
    return true;
}

bool OdbcConnection::execute(const QString& sql)
{
    OdbcStatement statement(*this);
    if (!statement.execDirect(sql)) {
        m_error = statement.lastError();
        return false;
    }
    return true;
}
