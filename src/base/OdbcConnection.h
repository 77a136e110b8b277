#pragma once

#include "base/OdbcError.h"

#include <QString>

// One ODBC connection through the driver manager (unixODBC), opened with a
// connection string passed to SQLDriverConnect exactly as the user typed it
// (DSN-less "Driver=...;..." and "DSN=...;UID=...;PWD=" alike). The handle
// is freed, and the connection closed, when the object goes away.
//
// Opening applies a login timeout so that a server that does not answer
// cannot hold the window for minutes.
class OdbcConnection
{
public:
    static constexpr int DefaultLoginTimeoutSeconds = 5;

    OdbcConnection();
    ~OdbcConnection();
    OdbcConnection(const OdbcConnection&) = delete;
    OdbcConnection& operator=(const OdbcConnection&) = delete;

    // False on failure, with lastError() telling why. A string longer than
    // the driver manager accepts is refused, never cut short.
    bool open(const QString& connectString, int loginTimeoutSeconds = DefaultLoginTimeoutSeconds);
    void close();
    bool isOpen() const { return m_open; }

    // True when the driver knows the link to the server is gone
    // (SQL_ATTR_CONNECTION_DEAD), typically after a statement failed on it.
    bool isDead() const;

    // The time limit every statement made on this connection gets from now
    // on (0: none, the default).
    void setStatementTimeout(int seconds) { m_statementTimeoutSeconds = seconds; }
    int statementTimeout() const { return m_statementTimeoutSeconds; }

    // Hands the open connection's handle over (the object is closed
    // afterwards, the link stays up), and takes such a handle back, with
    // how it carries text (textAsUtf8()).
    void* release();
    void adopt(void* openHandle, bool textAsUtf8 = false);

    // How text goes to and from the driver. The driver manager converts the
    // UTF-16 calls for a driver without a UTF-16 interface through the
    // character set of the process's locale, which loses everything beyond
    // ASCII under the C locale. A connection to such a driver carries text
    // as UTF-8 bytes through the narrow calls, which the driver manager
    // passes on unconverted; any other uses UTF-16 throughout.
    bool textAsUtf8() const { return m_textAsUtf8; }

    // Makes sure the process's ODBC environment exists, so that whatever
    // keeps connections past this call is torn down before it.
    static void ensureEnvironment();

    // The character the connected driver quotes identifiers with
    // (SQLGetInfo(SQL_IDENTIFIER_QUOTE_CHAR)): "\"", "`", "[" ...; empty when
    // the driver does not support quoted identifiers or cannot say.
    QString identifierQuoteChar();
    // The identifier quoted for this driver (the closing quote of "[" is
    // "]"; a quote inside the name is doubled); empty when the driver offers
    // no quoting.
    QString quoteIdentifier(const QString& name);
    // The same, for a given quote character.
    static QString quoteIdentifier(const QString& quoteChar, const QString& name);

    // Transactions, for loading data in bulk.
    bool setAutoCommit(bool on);
    bool commit();

    // Runs a statement that returns no rows (data definition, inserts).
    bool execute(const QString& sql);

    const OdbcError& lastError() const { return m_error; }
    void clearError() { m_error.clear(); }

    // The SQLHDBC, for OdbcStatement.
    void* handle() const { return m_dbc; }

private:
    // True unless the connected driver is known to lack UTF-16 entry
    // points.
    bool driverHasUtf16Interface();

    void* m_dbc = nullptr;
    bool m_open = false;
    bool m_textAsUtf8 = false;
    int m_statementTimeoutSeconds = 0;
    OdbcError m_error;
};
