#pragma once

#include <QtTest>

#include <memory>

class OdbcConnection;

// A database a test fills with its own tables: a SQLite file in a fresh temporary folder (SQLite
// ODBC driver), or this test executable's own database in the PostgreSQL cluster of
// scripts/pg-cluster (KESTRANE_PG_CONNECT), emptied of its tables for each use.
class TestDatabase
{
public:
    enum Backend { SQLite, PostgreSQL };

    explicit TestDatabase(Backend backend);
    ~TestDatabase();

    // Why the backend cannot be used here, or "" when it can.
    const QString& unavailable() const { return m_unavailable; }
    const QString& error() const { return m_error; }
    const QString& connectString() const { return m_connect; }

    // Runs statements separated by ";" that return no rows; false (with error()) on failure.
    bool exec(const QString& sql);
    // Makes a table of text columns and its rows from "col,col|value,value|..." ("~" is a Null);
    // "" makes nothing.
    bool fill(const QString& table, const QString& spec);
    // SQLite: another process (the sqlite3 program, started on `holder`) takes the file's
    // exclusive lock; true once a reader is refused. Writing "COMMIT;\n" to the holder lets go.
    bool holdLock(QProcess& holder) const;

private:
    QTemporaryDir m_dir;
    QString m_file;
    QString m_connect;
    QString m_unavailable;
    QString m_error;
    std::unique_ptr<OdbcConnection> m_connection;
};

Q_DECLARE_METATYPE(TestDatabase::Backend)

// A data row of that name on each backend, the backend its last value.
#define KESTRANE_BACKEND_ROWS(name, values)                                                        \
    do {                                                                                           \
        QTest::addRow("sqlite: %s", name) values << TestDatabase::SQLite;                          \
        QTest::addRow("postgresql: %s", name) values << TestDatabase::PostgreSQL;                  \
    } while (false)

// A data table with one row per backend and no other column.
inline void addBackendRows()
{
    QTest::addColumn<TestDatabase::Backend>("backend");
    KESTRANE_BACKEND_ROWS("", );
}

// Skips the test when the database's backend is missing here, or fails it where it must run
// (CI=true); fails it when the database cannot be set up.
#define KESTRANE_USE(db)                                                                           \
    do {                                                                                           \
        if (!(db).unavailable().isEmpty()) {                                                       \
            if (qgetenv("CI") == "true")                                                           \
                QFAIL(qPrintable((db).unavailable() + QStringLiteral(" (CI=true: must run)")));    \
            QSKIP(qPrintable((db).unavailable()));                                                 \
        }                                                                                          \
        QVERIFY2((db).error().isEmpty(), qPrintable((db).error()));                                \
    } while (false)
