#include "support/TestDatabase.h"

#include "base/OdbcConnection.h"

namespace {

QString sqliteUnavailable()
{
    static const QString reason = [] {
        QTemporaryDir dir;
        OdbcConnection probe;
        return probe.open(QStringLiteral("Driver=SQLite3;Database=") + dir.filePath("probe.db"))
            ? QString()
            : QStringLiteral("no SQLite3 ODBC driver: ") + probe.lastError().description;
    }();
    return reason;
}

// This executable's own database in the cluster (the database tests may run side by side), made
// at first use; it goes with the cluster.
QString pgDatabase(QString* unavailable)
{
    static QString reason;
    static const QString connect = [] {
        const QString admin = qEnvironmentVariable("KESTRANE_PG_CONNECT");
        const QString name
            = QStringLiteral("kestrane_test_%1").arg(QCoreApplication::applicationPid());
        OdbcConnection connection;
        if (admin.isEmpty()) {
            reason = QStringLiteral("no PostgreSQL cluster: KESTRANE_PG_CONNECT is not set "
                                    "(source scripts/pg-cluster first)");
        } else if (!connection.open(admin) || !connection.execute("DROP DATABASE IF EXISTS " + name)
            || !connection.execute("CREATE DATABASE " + name)) {
            reason = QStringLiteral("cannot create a test database in the PostgreSQL cluster: ")
                + connection.lastError().description;
        }
        static const QRegularExpression database(QStringLiteral("(^|;)\\s*Database\\s*=[^;]*"),
            QRegularExpression::CaseInsensitiveOption);
        return QString(admin).replace(database, QStringLiteral("\\1Database=") + name);
    }();
    *unavailable = reason;
    return connect;
}

} // namespace

TestDatabase::TestDatabase(Backend backend)
    : m_connection(std::make_unique<OdbcConnection>())
{
    if (backend == SQLite) {
        m_unavailable = sqliteUnavailable();
        m_file = m_dir.filePath(QStringLiteral("store.db"));
        m_connect = QStringLiteral("Driver=SQLite3;Database=") + m_file;
    } else {
        m_connect = pgDatabase(&m_unavailable);
    }
    if (!m_unavailable.isEmpty())
        return;
    if (!m_connection->open(m_connect))
        m_error = m_connection->lastError().description;
    else if (backend == PostgreSQL)
        exec(QStringLiteral("DROP SCHEMA public CASCADE; CREATE SCHEMA public"));
}

TestDatabase::~TestDatabase() = default;

bool TestDatabase::holdLock(QProcess& holder) const
{
    holder.start("sqlite3", { m_file });
    if (!holder.waitForStarted())
        return false;
    // The holder waits for the lock rather than giving up while a probe reads.
    holder.write(".timeout 20000\nBEGIN EXCLUSIVE;\nSELECT 1;\n");
    holder.waitForBytesWritten();
    // Locked once a reader that does not wait is refused. Each probe closes before the pause, so
    // the holder can take the lock then.
    for (QDeadlineTimer deadline(20000); !deadline.hasExpired(); QThread::msleep(20)) {
        OdbcConnection probe;
        if (!probe.open(m_connect + ";Timeout=1") || !probe.execute("SELECT * FROM sqlite_master"))
            return true;
    }
    return false;
}

bool TestDatabase::exec(const QString& sql)
{
    for (const QString& one : sql.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (!m_connection->execute(one)) {
            m_error = m_connection->lastError().description;
            return false;
        }
    }
    return true;
}

bool TestDatabase::fill(const QString& table, const QString& spec)
{
    QStringList rows = spec.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    if (rows.isEmpty())
        return true;
    const QString columns = rows.takeFirst().replace(",", "\" VARCHAR(6000), \"");
    QString sql = QStringLiteral("CREATE TABLE %1 (\"%2\" VARCHAR(6000))").arg(table, columns);
    for (const QString& row : rows) {
        QStringList values;
        for (QString value : row.split(QLatin1Char(',')))
            values << (value == "~" ? "NULL" : "'" + value.replace("'", "''") + "'");
        sql += QStringLiteral(";INSERT INTO %1 VALUES (%2)").arg(table, values.join(", "));
    }
    return exec(sql);
}
