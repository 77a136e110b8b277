#include "base/OdbcStatement.h"

#include "base/OdbcConnection.h"

#include <sql.h>
#include <sqlext.h>

#include <type_traits>

static_assert(std::is_same<SQLLEN, long>::value, "indicators are kept as long");

OdbcStatement::OdbcStatement(OdbcConnection& connection)
    : m_connection(connection)
{
}

OdbcStatement::~OdbcStatement()
{
    if (m_stmt)
        SQLFreeHandle(SQL_HANDLE_STMT, m_stmt);
}

bool OdbcStatement::ensureHandle()
{
    if (m_stmt)
        return true;
    if (!m_connection.isOpen()) {
        m_error = OdbcError::layer(QStringLiteral("The connection is not open"));
        return false;
    }
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, m_connection.handle(), &stmt))) {
        m_error = odbcDiagnostics(SQL_HANDLE_DBC, m_connection.handle());
        return false;
    }
    m_stmt = stmt;
    if (const int seconds = m_connection.statementTimeout(); seconds > 0) {
        // Drivers without a query timeout say so and run without one.
        SQLSetStmtAttrW(m_stmt, SQL_ATTR_QUERY_TIMEOUT,
            reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(seconds)), SQL_IS_UINTEGER);
    }
    return true;
}

// Keeps the diagnostics of a failed call; SQL_NO_DATA is not a failure.
bool OdbcStatement::check(short rc)
{
    if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA)
        return true;
    m_error = odbcDiagnostics(SQL_HANDLE_STMT, m_stmt);
    return false;
}

bool OdbcStatement::setMaxRows(quint64 rows)
{
    if (!ensureHandle())
        return false;
    return check(SQLSetStmtAttrW(m_stmt, SQL_ATTR_MAX_ROWS,
        reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(rows)), SQL_IS_UINTEGER));
}

bool OdbcStatement::prepare(const QString& sql)
{
    m_error.clear();
    closeCursor();
    m_parameters.clear();
    m_indicators.clear();
    if (!ensureHandle())
        return false;
    SQLFreeStmt(m_stmt, SQL_RESET_PARAMS);
    if (m_connection.textAsUtf8()) {
        QByteArray bytes = sql.toUtf8();
        return check(
            SQLPrepare(m_stmt, reinterpret_cast<SQLCHAR*>(bytes.data()), SQLINTEGER(bytes.size())));
    }
    return check(SQLPrepareW(m_stmt, reinterpret_cast<SQLWCHAR*>(const_cast<ushort*>(sql.utf16())),
        SQLINTEGER(sql.size())));
}

bool OdbcStatement::bindText(int position, const QString& value)
{
    if (position < 1) {
        m_error = OdbcError::layer(QStringLiteral("Parameter positions start at 1"));
        return false;
    }
    if (m_parameters.size() < position) {
        m_parameters.resize(position);
        m_indicators.resize(position);
    }
    const QString text = value;
    m_parameters[position - 1] = QVector<ushort>(text.utf16(), text.utf16() + text.size());
    m_parameters[position - 1].append(0);
    m_indicators[position - 1] = SQLLEN(text.size() * sizeof(SQLWCHAR));
    return true;
}

bool OdbcStatement::execute()
{
    m_error.clear();
    closeCursor();
    if (!ensureHandle())
        return false;
    // Bind at execution time: the buffers no longer move once every
    // parameter has been given.
    m_utf8Parameters.resize(m_parameters.size());
    for (int i = 0; i < m_parameters.size(); ++i) {
        QVector<ushort>& buffer = m_parameters[i];
        if (buffer.isEmpty()) {
            m_error = OdbcError::layer(QStringLiteral("Parameter %1 has no value").arg(i + 1));
            return false;
        }
        SQLRETURN rc = SQL_SUCCESS;
        if (m_connection.textAsUtf8()) {
            // The driver takes the text's UTF-8 bytes as they are.
            QByteArray& bytes = m_utf8Parameters[i];
            bytes = QString::fromUtf16(
                reinterpret_cast<const char16_t*>(buffer.constData()), buffer.size() - 1)
                        .toUtf8();
            m_indicators[i] = SQLLEN(bytes.size());
            rc = SQLBindParameter(m_stmt, SQLUSMALLINT(i + 1), SQL_PARAM_INPUT, SQL_C_CHAR,
                SQL_VARCHAR, SQLULEN(qMax<qsizetype>(1, bytes.size())), 0, bytes.data(),
                SQLLEN(bytes.size() + 1), &m_indicators[i]);
        } else {
            const SQLULEN chars = SQLULEN(qMax(1, buffer.size() - 1));
            rc = SQLBindParameter(m_stmt, SQLUSMALLINT(i + 1), SQL_PARAM_INPUT, SQL_C_WCHAR,
                SQL_WVARCHAR, chars, 0, buffer.data(), SQLLEN(buffer.size() * sizeof(SQLWCHAR)),
                &m_indicators[i]);
        }
        if (!check(rc))
            return false;
    }
    if (!check(SQLExecute(m_stmt)))
        return false;
    return describeResult();
}

bool OdbcStatement::execDirect(const QString& sql)
{
    m_error.clear();
    closeCursor();
    if (!ensureHandle())
        return false;
    SQLFreeStmt(m_stmt, SQL_RESET_PARAMS);
    m_parameters.clear();
    m_indicators.clear();
    SQLRETURN rc = SQL_SUCCESS;
    if (m_connection.textAsUtf8()) {
        QByteArray bytes = sql.toUtf8();
        rc = SQLExecDirect(
            m_stmt, reinterpret_cast<SQLCHAR*>(bytes.data()), SQLINTEGER(bytes.size()));
    } else {
        rc = SQLExecDirectW(m_stmt, reinterpret_cast<SQLWCHAR*>(const_cast<ushort*>(sql.utf16())),
            SQLINTEGER(sql.size()));
    }
    if (!check(rc))
        return false;
    return describeResult();
}

bool OdbcStatement::describeResult()
{
    m_columnNames.clear();
    SQLSMALLINT columns = 0;
    if (!check(SQLNumResultCols(m_stmt, &columns)))
        return false;
    for (SQLUSMALLINT column = 1; column <= columns; ++column) {
        SQLWCHAR name[256] = {};
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT type = 0;
        SQLULEN size = 0;
        SQLSMALLINT digits = 0;
        SQLSMALLINT nullable = 0;
        if (!check(SQLDescribeColW(
                m_stmt, column, name, 256, &nameLength, &type, &size, &digits, &nullable)))
            return false;
        m_columnNames.append(QString::fromUtf16(
            reinterpret_cast<const char16_t*>(name), qBound<int>(0, nameLength, 255)));
    }
    return true;
}

bool OdbcStatement::fetch()
{
    m_onRow = false;
    m_row.clear();
    if (!m_stmt || m_columnNames.isEmpty()) {
        m_error = OdbcError::layer(QStringLiteral("The statement has no result set"));
        return false;
    }
    const SQLRETURN rc = SQLFetch(m_stmt);
    if (rc == SQL_NO_DATA)
        return false;
    if (!check(rc))
        return false;
    m_onRow = true;
    readRow();
    return true;
}

// Reads every column of the current row, in order, as UTF-16 text; long
// values arrive in pieces. A value the driver cannot convert is kept as a
// failed field; the row itself stays usable.
void OdbcStatement::readRow()
{
    m_row.resize(m_columnNames.size());
    for (int column = 0; column < m_columnNames.size(); ++column) {
        Field& field = m_row[column];
        field = Field();
        if (m_connection.textAsUtf8()) {
            readUtf8Field(column, field);
            continue;
        }
        QString text;
        SQLWCHAR buffer[512];
        for (;;) {
            SQLLEN indicator = 0;
            const SQLRETURN rc = SQLGetData(
                m_stmt, SQLUSMALLINT(column + 1), SQL_C_WCHAR, buffer, sizeof buffer, &indicator);
            if (rc == SQL_NO_DATA) {
                field.state = Field::Text;
                break;
            }
            if (!SQL_SUCCEEDED(rc))
                break; // stays Failed
            if (indicator == SQL_NULL_DATA) {
                field.state = Field::Null;
                break;
            }
            const int capacity = int(sizeof buffer / sizeof(SQLWCHAR)) - 1;
            int chars = capacity;
            if (indicator != SQL_NO_TOTAL && indicator >= 0)
                chars = qMin<int>(capacity, int(indicator / SQLLEN(sizeof(SQLWCHAR))));
            text.append(QString::fromUtf16(reinterpret_cast<const char16_t*>(buffer), chars));
            if (rc == SQL_SUCCESS) {
                field.state = Field::Text;
                break;
            }
        }
        if (field.state == Field::Text)
            field.text = text;
    }
}

// The same for a connection that carries text as UTF-8 bytes: the pieces are
// joined before decoding, so a character split between two stays whole.
void OdbcStatement::readUtf8Field(int column, Field& field)
{
    QByteArray bytes;
    char buffer[2048];
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(
            m_stmt, SQLUSMALLINT(column + 1), SQL_C_CHAR, buffer, sizeof buffer, &indicator);
        if (rc == SQL_NO_DATA) {
            field.state = Field::Text;
            break;
        }
        if (!SQL_SUCCEEDED(rc))
            return; // stays Failed
        if (indicator == SQL_NULL_DATA) {
            field.state = Field::Null;
            return;
        }
        const int capacity = int(sizeof buffer) - 1;
        int length = capacity;
        if (indicator != SQL_NO_TOTAL && indicator >= 0)
            length = qMin<int>(capacity, int(indicator));
        bytes.append(buffer, length);
        if (rc == SQL_SUCCESS) {
            field.state = Field::Text;
            break;
        }
    }
    field.text = QString::fromUtf8(bytes);
}

void OdbcStatement::closeCursor()
{
    m_onRow = false;
    m_row.clear();
    m_columnNames.clear();
    if (m_stmt)
        SQLFreeStmt(m_stmt, SQL_CLOSE);
}

int OdbcStatement::columnIndex(const QString& name) const
{
    for (int i = 0; i < m_columnNames.size(); ++i) {
        if (m_columnNames.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool OdbcStatement::value(const QString& columnName, std::optional<QString>* text) const
{
    return value(columnIndex(columnName), text);
}

bool OdbcStatement::value(int column, std::optional<QString>* text) const
{
    if (!m_onRow || column < 0 || column >= m_row.size())
        return false;
    const Field& field = m_row.at(column);
    switch (field.state) {
    case Field::Text:
        *text = field.text;
        return true;
    case Field::Null:
        *text = std::nullopt;
        return true;
    case Field::Failed:
        break;
    }
    return false;
}
