#include "support/TestDatabase.h"

#include "base/OdbcConnection.h"
#include "base/OdbcStatement.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace {

QString pgClusterConnect()
{
    return QString::fromLocal8Bit(qgetenv("KESTRANE_PG_CONNECT"));
}

// The connection string with its Database= value replaced.
QString withDatabase(const QString& connect, const QString& database)
{
    QString result = connect;
    static const QRegularExpression key(
        QStringLiteral("(^|;)\\s*Database\\s*=[^;]*"), QRegularExpression::CaseInsensitiveOption);
    result.replace(key, QStringLiteral("\\1Database=") + database);
    return result;
}

// The executable's own database in the cluster, made at first use and
// dropped at exit.
class PgTestDatabase
{
public:
    static PgTestDatabase& instance()
    {
        static PgTestDatabase database;
        return database;
    }
    const QString& connect() const { return m_connect; }
    const QString& error() const { return m_error; }

private:
    PgTestDatabase()
    {
        const QString admin = pgClusterConnect();
        m_name = QStringLiteral("kestrane_test_%1").arg(QCoreApplication::applicationPid());
        OdbcConnection connection;
        if (!connection.open(admin) || !connection.execute("DROP DATABASE IF EXISTS " + m_name)
            || !connection.execute("CREATE DATABASE " + m_name)) {
            m_error = QStringLiteral("cannot create a test database in the PostgreSQL cluster: ")
                + connection.lastError().description;
            return;
        }
        m_connect = withDatabase(admin, m_name);
    }
    ~PgTestDatabase()
    {
        if (m_connect.isEmpty())
            return;
        OdbcConnection connection;
        if (connection.open(pgClusterConnect()))
            connection.execute("DROP DATABASE IF EXISTS " + m_name + " WITH (FORCE)");
    }

    QString m_name;
    QString m_connect;
    QString m_error;
};

} // namespace

QString TestDatabase::unavailableReason(Backend backend)
{
    if (backend == PostgreSQL) {
        if (pgClusterConnect().isEmpty())
            return QStringLiteral("no PostgreSQL cluster: KESTRANE_PG_CONNECT is not set "
                                  "(scripts/test starts one when PostgreSQL is installed)");
        return PgTestDatabase::instance().error();
    }
    static const QString sqliteReason = [] {
        QTemporaryDir dir;
        OdbcConnection connection;
        if (!connection.open(QStringLiteral("Driver=SQLite3;Database=") + dir.filePath("probe.db")))
            return QStringLiteral("no SQLite3 ODBC driver: ") + connection.lastError().description;
        return QString();
    }();
    return sqliteReason;
}

bool TestDatabase::mustRun()
{
    return qgetenv("CI") == "true";
}

QString TestDatabase::backendName(Backend backend)
{
    return backend == SQLite ? QStringLiteral("sqlite") : QStringLiteral("postgresql");
}

TestDatabase::TestDatabase(Backend backend)
    : m_backend(backend)
{
    m_error = unavailableReason(backend);
    if (!m_error.isEmpty())
        return;
    if (backend == SQLite) {
        m_file = m_dir.filePath(QStringLiteral("store.db"));
        m_connect = QStringLiteral("Driver=SQLite3;Database=") + m_file;
    } else {
        m_connect = PgTestDatabase::instance().connect();
    }
    if (!connect())
        return;
    if (backend == PostgreSQL)
        exec(QStringLiteral("DROP SCHEMA public CASCADE; CREATE SCHEMA public"));
}

TestDatabase::~TestDatabase() = default;

bool TestDatabase::connect()
{
    m_connection = std::make_unique<OdbcConnection>();
    if (!m_connection->open(m_connect)) {
        m_error = m_connection->lastError().description;
        return false;
    }
    return true;
}

bool TestDatabase::exec(const QString& sql)
{
    if (!m_connection || !m_connection->isOpen())
        return false;
    for (const QString& one : sql.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (!m_connection->execute(one)) {
            m_error = m_connection->lastError().description;
            return false;
        }
    }
    return true;
}

bool TestDatabase::createTable(const QString& table, const QStringList& columns)
{
    QStringList defs;
    for (const QString& column : columns)
        defs << QStringLiteral("\"%1\" VARCHAR(1000)").arg(column);
    return exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(table, defs.join(QStringLiteral(", "))));
}

bool TestDatabase::insert(const QString& table, const QList<std::optional<QString>>& values)
{
    if (!m_connection || !m_connection->isOpen())
        return false;
    QStringList marks;
    for (const auto& value : values)
        marks << (value ? QStringLiteral("?") : QStringLiteral("NULL"));
    OdbcStatement statement(*m_connection);
    if (!statement.prepare(QStringLiteral("INSERT INTO %1 VALUES (%2)")
                               .arg(table, marks.join(QStringLiteral(", "))))) {
        m_error = statement.lastError().description;
        return false;
    }
    int position = 0;
    for (const auto& value : values) {
        if (value)
            statement.bindText(++position, *value);
    }
    if (!statement.execute()) {
        m_error = statement.lastError().description;
        return false;
    }
    return true;
}
