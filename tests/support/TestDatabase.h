#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <optional>

class OdbcConnection;

// A database a test fills with its own tables: a SQLite file in a fresh
// temporary folder (SQLite ODBC driver), or, when scripts/test has started
// its PostgreSQL cluster (KESTRANE_PG_CONNECT), a database of this test
// executable's own in that cluster, emptied of its tables for each use.
class TestDatabase
{
public:
    enum Backend { SQLite, PostgreSQL };

    // Why the backend cannot be used here, or "" when it can.
    static QString unavailableReason(Backend backend);
    // True in CI (CI=true), where a missing backend is a failure, not a skip.
    static bool mustRun();
    static QString backendName(Backend backend);

    explicit TestDatabase(Backend backend);
    ~TestDatabase();

    Backend backend() const { return m_backend; }
    bool isValid() const { return m_error.isEmpty(); }
    const QString& error() const { return m_error; }
    QString connectString() const { return m_connect; }
    // For SQLite, the database file.
    QString filePath() const { return m_file; }

    // Runs statements that return no rows; false (with error()) on failure.
    bool exec(const QString& sql);
    // A table whose named columns all hold text.
    bool createTable(const QString& table, const QStringList& columns);
    // One row, values in column order, nothing for a Null, bound as text.
    bool insert(const QString& table, const QList<std::optional<QString>>& values);

private:
    bool connect();

    Backend m_backend;
    QTemporaryDir m_dir;
    QString m_file;
    QString m_connect;
    QString m_error;
    std::unique_ptr<OdbcConnection> m_connection;
};

Q_DECLARE_METATYPE(TestDatabase::Backend)

// A "backend" column with one data row per backend.
inline void addBackendData()
{
    QTest::addColumn<TestDatabase::Backend>("backend");
    QTest::newRow("sqlite") << TestDatabase::SQLite;
    QTest::newRow("postgresql") << TestDatabase::PostgreSQL;
}

// Skips the current test (or data row) when the backend is not available,
// or fails it when it must run (in CI).
#define KESTRANE_REQUIRE_BACKEND(backend)                                                          \
    do {                                                                                           \
        const QString kestraneWhy = TestDatabase::unavailableReason(backend);                      \
        if (!kestraneWhy.isEmpty()) {                                                              \
            if (TestDatabase::mustRun())                                                           \
                QFAIL(qPrintable(kestraneWhy + QStringLiteral(" (CI=true: this must run)")));      \
            QSKIP(qPrintable(kestraneWhy));                                                        \
        }                                                                                          \
    } while (false)
