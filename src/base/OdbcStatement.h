#pragma once

#include "base/OdbcError.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

class OdbcConnection;

// One statement on an open connection: prepared with "?" parameters bound
// as text, or run directly; rows are fetched forward only, and each fetched
// row is read whole, column by column in order (some drivers only allow
// that), as text in the driver's default conversion. The statement handle
// is freed when the object goes away.
class OdbcStatement
{
public:
    explicit OdbcStatement(OdbcConnection& connection);
    ~OdbcStatement();
    OdbcStatement(const OdbcStatement&) = delete;
    OdbcStatement& operator=(const OdbcStatement&) = delete;

    // Limits the rows the driver delivers (0: no limit). Set before executing.
    bool setMaxRows(quint64 rows);

    bool prepare(const QString& sql);
    // Binds the text to the 1-based parameter of the prepared statement; the
    // text is copied and stays bound until the statement is prepared again.
    bool bindText(int position, const QString& value);
    bool execute();
    bool execDirect(const QString& sql);

    // Moves to the next row. False at the end of the data (lastError() clear)
    // or on failure (lastError() set).
    bool fetch();
    // Closes the open result set, if any; the statement can be run again.
    void closeCursor();

    int columnCount() const { return m_columnNames.size(); }
    const QStringList& columnNames() const { return m_columnNames; }
    // The index of the named column of the result (names compare without
    // regard to case), or -1.
    int columnIndex(const QString& name) const;

    // The value of the named column in the current row: true with the text
    // (nothing for a Null), or false when the result has no such column, no
    // row is current, or the driver could not convert the value to text.
    bool value(const QString& columnName, std::optional<QString>* text) const;
    bool value(int column, std::optional<QString>* text) const;

    const OdbcError& lastError() const { return m_error; }
    void clearError() { m_error.clear(); }

private:
    struct Field
    {
        enum State { Text, Null, Failed } state = Failed;
        QString text;
    };

    bool ensureHandle();
    bool check(short rc);
    bool describeResult();
    void readRow();
    void readUtf8Field(int column, Field& field);

    OdbcConnection& m_connection;
    void* m_stmt = nullptr;
    OdbcError m_error;
    QVector<QVector<ushort>> m_parameters;
    QVector<QByteArray> m_utf8Parameters;
    QVector<long> m_indicators;
    QStringList m_columnNames;
    QVector<Field> m_row;
    bool m_onRow = false;
};
