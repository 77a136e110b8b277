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

    // False on failure, with lastError() telling why.
    bool open(const QString& connectString, int loginTimeoutSeconds = DefaultLoginTimeoutSeconds);
    void close();
    bool isOpen() const { return m_open; }

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
    void* m_dbc = nullptr;
    bool m_open = false;
    OdbcError m_error;
};
