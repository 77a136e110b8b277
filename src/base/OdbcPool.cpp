#include "base/OdbcPool.h"

#include "base/OdbcConnectString.h"
#include "base/OdbcConnection.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QHash>
#include <QPointer>
#include <QTimer>
#include <QVector>

#include <sql.h>
#include <sqlext.h>
#include <sys/stat.h>

#include <utility>

namespace {

// Which file a SQLite connection was opened on: its device and inode, so
// that a file replaced under the same name is noticed. Empty for anything
// that is not a SQLite file.
QByteArray fileIdentity(const QString& connect)
{
    const auto path = OdbcConnectString::sqliteFile(connect);
    if (!path)
        return QByteArray();
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(*path).constData(), &info) != 0)
        return QByteArrayLiteral("missing");
    return QByteArray::number(quint64(info.st_dev)) + ':'
        + QByteArray::number(quint64(info.st_ino));
}

// A failure that means the link is gone rather than that the statement was
// wrong: connection exceptions (08xxx) and the server shutting down (57P0x).
bool linkLost(const OdbcError& error)
{
    return error.sqlState.startsWith(QLatin1String("08"))
        || error.sqlState.startsWith(QLatin1String("57P0"));
}

// A statement that ran into its time limit (or the SQLite driver's busy
// timeout): trying again would only wait as long again.
bool timeLimitReached(const QString& connect, const OdbcError& error)
{
    if (error.sqlState == QLatin1String("HYT00") || error.sqlState == QLatin1String("57014"))
        return true;
    // SQLITE_BUSY and SQLITE_LOCKED.
    return (error.number == 5 || error.number == 6) && OdbcConnectString::isSqlite(connect);
}

void freeConnection(void* handle)
{
    OdbcConnection connection;
    connection.adopt(handle);
}

class Pool
{
public:
    struct Idle
    {
        void* handle = nullptr;
        QByteArray file;
        QDeadlineTimer expires;
    };

    static Pool& instance()
    {
        // The environment must outlive the pool, so it is made first.
        OdbcConnection::ensureEnvironment();
        static Pool pool;
        return pool;
    }

    ~Pool() { closeAll(); }

    // An idle connection for the string, or nullptr.
    void* take(const QString& connect)
    {
        sweep();
        auto it = m_idle.find(connect);
        if (it == m_idle.end())
            return nullptr;
        QVector<Idle>& list = it.value();
        void* handle = nullptr;
        const QByteArray file
            = list.isEmpty() || list.last().file.isEmpty() ? QByteArray() : fileIdentity(connect);
        while (!list.isEmpty() && !handle) {
            Idle idle = list.takeLast();
            if (idle.file == file)
                handle = idle.handle;
            else
                freeConnection(idle.handle);
        }
        if (list.isEmpty())
            m_idle.erase(it);
        return handle;
    }

    void give(const QString& connect, void* handle, const QByteArray& file)
    {
        QVector<Idle>& list = m_idle[connect];
        list.append({ handle, file, QDeadlineTimer(OdbcPool::IdleSeconds * 1000) });
        // One use at a time needs one connection; more would only idle.
        while (list.size() > 2)
            freeConnection(list.takeFirst().handle);
        scheduleSweep();
    }

    void drop(const QString& connect)
    {
        for (const Idle& idle : m_idle.take(connect))
            freeConnection(idle.handle);
    }

    void closeAll()
    {
        const auto all = std::exchange(m_idle, {});
        for (const QVector<Idle>& list : all) {
            for (const Idle& idle : list)
                freeConnection(idle.handle);
        }
    }

    int count(const QString& connect) const { return m_idle.value(connect).size(); }

private:
    void sweep()
    {
        for (auto it = m_idle.begin(); it != m_idle.end();) {
            QVector<Idle>& list = it.value();
            for (int i = list.size() - 1; i >= 0; --i) {
                if (list.at(i).expires.hasExpired())
                    freeConnection(list.takeAt(i).handle);
            }
            it = list.isEmpty() ? m_idle.erase(it) : std::next(it);
        }
    }

    // Without an event loop, idle connections are closed at the next use
    // or at exit instead.
    void scheduleSweep()
    {
        QCoreApplication* app = QCoreApplication::instance();
        if (!app)
            return;
        if (!m_timer) {
            m_timer = new QTimer(app);
            m_timer->setSingleShot(true);
            QObject::connect(m_timer, &QTimer::timeout, m_timer, [this] {
                sweep();
                scheduleSweep();
            });
            QObject::connect(app, &QCoreApplication::aboutToQuit, m_timer, [this] { closeAll(); });
        }
        qint64 earliest = -1;
        for (const QVector<Idle>& list : std::as_const(m_idle)) {
            for (const Idle& idle : list) {
                const qint64 left = idle.expires.remainingTime();
                if (earliest < 0 || left < earliest)
                    earliest = left;
            }
        }
        if (earliest < 0)
            m_timer->stop();
        else
            m_timer->start(int(earliest) + 100);
    }

    QHash<QString, QVector<Idle>> m_idle;
    QPointer<QTimer> m_timer;
};

} // namespace

OdbcError OdbcPool::run(const QString& connect, const Work& work)
{
    if (connect.size() > OdbcConnectString::MaxLength) {
        OdbcConnection refused;
        refused.open(connect);
        return refused.lastError();
    }
    if (const auto missing = OdbcConnectString::missingSqliteFile(connect))
        return OdbcError::layer(QStringLiteral("database file not found: ") + *missing);

    Pool& pool = Pool::instance();
    for (;;) {
        OdbcConnection connection;
        void* kept = pool.take(connect);
        const bool reused = kept != nullptr;
        if (reused) {
            connection.adopt(kept);
        } else if (!connection.open(OdbcConnectString::forDriver(connect))) {
            return connection.lastError();
        }
        const QByteArray file = fileIdentity(connect);
        connection.setStatementTimeout(StatementTimeoutSeconds);
        const OdbcError error = work(connection);
        const bool dead = connection.isDead() || linkLost(error);
        if (!dead && (!error.failed() || !reused || timeLimitReached(connect, error))) {
            pool.give(connect, connection.release(), file);
            return error;
        }
        // A kept connection that fails may have lost its link without the
        // driver saying so in as many words: the work is tried once more on
        // a new one. Whatever else was kept for the string goes too.
        connection.close();
        pool.drop(connect);
        if (!reused)
            return error;
    }
}

void OdbcPool::closeAll()
{
    Pool::instance().closeAll();
}

int OdbcPool::idleCount(const QString& connect)
{
    return Pool::instance().count(connect);
}
