#include "base/OdbcPool.h"

#include "base/OdbcConnectString.h"
#include "base/OdbcConnection.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QVector>

#include <sql.h>
#include <sqlext.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
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
// wrong: connection exceptions (08xxx), the server shutting down (57P0x),
// and the PostgreSQL driver's and libpq's own texts for a lost link, which
// come as the general HY000.
bool linkLost(const OdbcError& error)
{
    if (error.sqlState.startsWith(QLatin1String("08"))
        || error.sqlState.startsWith(QLatin1String("57P0")))
        return true;
    static const char* const lostTexts[] = { "connection has been lost", "connection dead",
        "server closed the connection", "no connection to the server", "terminating connection" };
    for (const char* text : lostTexts) {
        if (error.description.contains(QLatin1String(text), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// Whether the string is for SQLite, remembered per string: for a data source
// the answer comes from reading odbc.ini, which every use need not repeat.
bool sqliteString(const QString& connect)
{
    static std::mutex mutex;
    static QHash<QString, bool> known;
    std::lock_guard<std::mutex> lock(mutex);
    auto it = known.find(connect);
    if (it == known.end())
        it = known.insert(connect, OdbcConnectString::isSqlite(connect));
    return it.value();
}

// What the driver may spend of what is left of the deadline.
int driverBudgetMs(const QDeadlineTimer& deadline)
{
    return int(qMax<qint64>(1, deadline.remainingTime() - OdbcPool::DriverMarginMs));
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
        bool textAsUtf8 = false;
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
    void* take(const QString& connect, bool* textAsUtf8)
    {
        QVector<void*> expired;
        void* handle = nullptr;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            expired = sweepLocked();
            auto it = m_idle.find(connect);
            if (it != m_idle.end()) {
                QVector<Idle>& list = it.value();
                const QByteArray file = list.isEmpty() || list.last().file.isEmpty()
                    ? QByteArray()
                    : fileIdentity(connect);
                while (!list.isEmpty() && !handle) {
                    Idle idle = list.takeLast();
                    if (idle.file == file) {
                        handle = idle.handle;
                        *textAsUtf8 = idle.textAsUtf8;
                    } else
                        expired.append(idle.handle);
                }
                if (list.isEmpty())
                    m_idle.erase(it);
            }
        }
        freeAll(expired);
        return handle;
    }

    void give(const QString& connect, void* handle, const QByteArray& file, bool textAsUtf8)
    {
        QVector<void*> surplus;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            QVector<Idle>& list = m_idle[connect];
            // The one connection kept for the program's lifetime never
            // expires; others close when idle too long.
            const bool lifetime = m_lifetime.contains(connect)
                && std::none_of(list.cbegin(), list.cend(),
                    [](const Idle& idle) { return idle.expires.isForever(); });
            list.append({ handle, file,
                lifetime ? QDeadlineTimer(QDeadlineTimer::Forever)
                         : QDeadlineTimer(OdbcPool::IdleSeconds * 1000),
                textAsUtf8 });
            // One use at a time needs one connection; more would only idle.
            while (list.size() > 2) {
                const auto oldest = std::find_if(list.begin(), list.end(),
                    [](const Idle& idle) { return !idle.expires.isForever(); });
                surplus.append(oldest->handle);
                list.erase(oldest);
            }
        }
        freeAll(surplus);
        scheduleSweep();
    }

    void keepForLifetime(const QString& connect)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lifetime.insert(connect);
        QVector<Idle>& list = m_idle[connect];
        if (!list.isEmpty())
            list.last().expires = QDeadlineTimer(QDeadlineTimer::Forever);
        else
            m_idle.remove(connect);
    }

    void drop(const QString& connect)
    {
        QVector<void*> dropped;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            for (const Idle& idle : m_idle.take(connect))
                dropped.append(idle.handle);
        }
        freeAll(dropped);
    }

    void closeAll()
    {
        QVector<void*> all;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            for (const QVector<Idle>& list : std::as_const(m_idle)) {
                for (const Idle& idle : list)
                    all.append(idle.handle);
            }
            m_idle.clear();
            m_lifetime.clear();
        }
        freeAll(all);
    }

    int count(const QString& connect)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_idle.value(connect).size();
    }

    std::atomic<int> running { 0 };

private:
    static void freeAll(const QVector<void*>& handles)
    {
        for (void* handle : handles)
            freeConnection(handle);
    }

    // Takes the expired connections out; the caller frees them unlocked.
    QVector<void*> sweepLocked()
    {
        QVector<void*> expired;
        for (auto it = m_idle.begin(); it != m_idle.end();) {
            QVector<Idle>& list = it.value();
            for (int i = list.size() - 1; i >= 0; --i) {
                if (list.at(i).expires.hasExpired())
                    expired.append(list.takeAt(i).handle);
            }
            it = list.isEmpty() ? m_idle.erase(it) : std::next(it);
        }
        return expired;
    }

    // Idle connections are closed by a timer on the application's thread;
    // without an event loop, at the next use or at exit instead.
    void scheduleSweep()
    {
        QCoreApplication* app = QCoreApplication::instance();
        if (!app)
            return;
        QMetaObject::invokeMethod(
            app,
            [this] {
                freeAll([this] {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    return sweepLocked();
                }());
                startSweepTimer();
            },
            Qt::QueuedConnection);
    }

    // On the application's thread.
    void startSweepTimer()
    {
        QCoreApplication* app = QCoreApplication::instance();
        if (!m_timer) {
            m_timer = new QTimer(app);
            m_timer->setSingleShot(true);
            QObject::connect(m_timer, &QTimer::timeout, m_timer, [this] {
                freeAll([this] {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    return sweepLocked();
                }());
                startSweepTimer();
            });
            QObject::connect(app, &QCoreApplication::aboutToQuit, m_timer, [this] { closeAll(); });
        }
        qint64 earliest = -1;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            for (const QVector<Idle>& list : std::as_const(m_idle)) {
                for (const Idle& idle : list) {
                    if (idle.expires.isForever())
                        continue;
                    const qint64 left = idle.expires.remainingTime();
                    if (earliest < 0 || left < earliest)
                        earliest = left;
                }
            }
        }
        if (earliest < 0)
            m_timer->stop();
        else
            m_timer->start(int(earliest) + 100);
    }

    std::mutex m_mutex;
    QHash<QString, QVector<Idle>> m_idle;
    QSet<QString> m_lifetime;
    QPointer<QTimer> m_timer;
};

// One use of a database, shared by the caller that waits for it and the
// thread that runs it.
struct Use
{
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool abandoned = false;
    OdbcError error;

    bool isAbandoned()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return abandoned;
    }
};

// Gets the connection ready for one use: the driver's limits from what is
// left of the deadline.
bool prepare(OdbcConnection& connection, bool sqlite, const QDeadlineTimer& deadline)
{
    const int budgetMs = driverBudgetMs(deadline);
    connection.setStatementTimeout(qMax(1, budgetMs / 1000));
    // SQLite's wait for a locked file is set per connection; a kept one gets
    // what is left of this use's budget.
    return !sqlite || connection.execute(QStringLiteral("PRAGMA busy_timeout = %1").arg(budgetMs));
}

// Runs on the use's own thread.
OdbcError attempt(const QString& connect, const OdbcPool::Work& work, OdbcPool::Login login,
    const QDeadlineTimer& deadline, Use& use)
{
    Pool& pool = Pool::instance();
    const bool sqlite = sqliteString(connect);
    bool mayReuse = login == OdbcPool::Login::KeptOrNew;
    for (;;) {
        OdbcConnection connection;
        bool textAsUtf8 = false;
        void* kept = mayReuse ? pool.take(connect, &textAsUtf8) : nullptr;
        const bool reused = kept != nullptr;
        if (reused) {
            connection.adopt(kept, textAsUtf8);
        } else if (!connection.open(OdbcConnectString::forDriver(connect, driverBudgetMs(deadline)),
                       qMax(1, driverBudgetMs(deadline) / 1000))) {
            return connection.lastError();
        }
        const QByteArray file = fileIdentity(connect);
        OdbcError error;
        if (!prepare(connection, sqlite, deadline))
            error = connection.lastError();
        else
            error = work(connection);
        // A connection whose use was given up on is never used again.
        if (use.isAbandoned())
            return error;
        const bool dead = connection.isDead() || linkLost(error);
        if (!dead) {
            const bool utf8 = connection.textAsUtf8();
            pool.give(connect, connection.release(), file, utf8);
            return error;
        }
        // The link is gone: whatever else was kept for the string goes too,
        // and work that failed on a kept connection is tried once more on a
        // new one.
        connection.close();
        pool.drop(connect);
        if (!reused || deadline.hasExpired())
            return error;
        mayReuse = false;
    }
}

} // namespace

QString OdbcPool::noAnswerText()
{
    return QStringLiteral("no answer in %1 s").arg(DeadlineMs / 1000);
}

OdbcError OdbcPool::run(const QString& connect, const Work& work, Login login)
{
    if (connect.size() > OdbcConnectString::MaxLength) {
        OdbcConnection refused;
        refused.open(connect);
        return refused.lastError();
    }
    if (const auto missing = OdbcConnectString::missingSqliteFile(connect))
        return OdbcError::layer(QStringLiteral("database file not found: ") + *missing);

    const QDeadlineTimer deadline(DeadlineMs);
    Pool& pool = Pool::instance();
    auto use = std::make_shared<Use>();
    ++pool.running;
    try {
        std::thread([connect, work, login, deadline, use, &pool] {
            const OdbcError error = attempt(connect, work, login, deadline, *use);
            {
                std::lock_guard<std::mutex> lock(use->mutex);
                use->error = error;
                use->done = true;
            }
            use->finished.notify_all();
            --pool.running;
        }).detach();
    } catch (const std::system_error& failure) {
        --pool.running;
        return OdbcError::layer(
            QStringLiteral("could not start a thread: ") + QString::fromLocal8Bit(failure.what()));
    }
    std::unique_lock<std::mutex> lock(use->mutex);
    const auto until = std::chrono::steady_clock::now()
        + std::chrono::milliseconds(qMax<qint64>(0, deadline.remainingTime()));
    if (!use->finished.wait_until(lock, until, [&use] { return use->done; })) {
        use->abandoned = true;
        return OdbcError::layer(noAnswerText());
    }
    return use->error;
}

OdbcError OdbcPool::keepOpen(const QString& connect, const Work& work)
{
    Pool::instance().keepForLifetime(connect);
    return run(connect, work);
}

void OdbcPool::closeAll()
{
    Pool::instance().closeAll();
}

int OdbcPool::idleCount(const QString& connect)
{
    return Pool::instance().count(connect);
}

int OdbcPool::runningUses()
{
    return Pool::instance().running;
}
