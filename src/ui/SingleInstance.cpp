#include "ui/SingleInstance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <sys/socket.h>
#include <unistd.h>

namespace {

// First word of a request, so that anything else on the socket is dropped.
constexpr quint32 RequestMagic = 0x4b535431;
const QByteArray Answer = QByteArrayLiteral("raised\n");
// A request names a few files; anything this long is not one of ours.
constexpr qint64 MaxRequestBytes = 1 << 20;

// True when the process at the other end of the socket runs as this user.
// The socket's name may sit in a folder other users can write to (/tmp),
// so neither side trusts it by its name alone.
bool sameUser(const QLocalSocket& socket)
{
    struct ucred peer = {};
    socklen_t size = sizeof peer;
    return ::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0
        && peer.uid == ::getuid();
}

} // namespace

SingleInstance::SingleInstance(const QString& workListPath, QObject* parent)
    : QObject(parent)
    , m_workListPath(QFileInfo(workListPath).absoluteFilePath())
    , m_lock(m_workListPath + QStringLiteral(".lock"))
{
    // A lock is never too old while its window runs; a lock whose process
    // is gone is taken over however young it is.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance()
{
    // Stop answering before the lock goes, so a start in between finds
    // either a running window or a free lock.
    delete m_server;
    m_server = nullptr;
}

QString SingleInstance::defaultWorkListPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/kestrane/worklist.txt");
}

QString SingleInstance::serverName(const QString& workListPath)
{
    // One socket per working list, so that separate data folders (tests,
    // a second store profile) keep separate windows.
    const QByteArray key = QCryptographicHash::hash(
        QFileInfo(workListPath).absoluteFilePath().toUtf8(), QCryptographicHash::Sha256)
                               .toHex()
                               .left(16);
    const QString runtime = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir()) {
        const QString path = runtime + QStringLiteral("/kestrane-") + QString::fromLatin1(key)
            + QStringLiteral(".sock");
        // A socket address holds at most 107 bytes.
        if (path.toLocal8Bit().size() < 100)
            return path;
    }
    return QStringLiteral("kestrane-%1-%2").arg(::getuid()).arg(QString::fromLatin1(key));
}

SingleInstance::Start SingleInstance::start(const QStringList& files, QString* message)
{
    QDir().mkpath(QFileInfo(m_workListPath).absolutePath());
    const QDeadlineTimer deadline(AnswerTimeoutMs);
    for (;;) {
        if (m_lock.tryLock(0))
            break;
        if (m_lock.error() != QLockFile::LockFailedError) {
            // The lock cannot be made at all (a read-only data folder): run
            // as before, the working list reports its own trouble.
            return Start::First;
        }
        if (handOver(files))
            return Start::HandedOver;
        if (deadline.hasExpired()) {
            qint64 pid = 0;
            m_lock.getLockInfo(&pid, nullptr, nullptr);
            if (message) {
                *message
                    = QStringLiteral("Kestrane is already running (process %1) but not answering")
                          .arg(pid);
            }
            return Start::NotAnswering;
        }
        // The other window may be starting up or just ending.
        QThread::msleep(100);
    }

    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = serverName(m_workListPath);
    // The lock is ours, so a socket left there belongs to a window that
    // crashed.
    QLocalServer::removeServer(name);
    if (!m_server->listen(name))
        qWarning(
            "Kestrane: cannot listen for later starts: %s", qPrintable(m_server->errorString()));
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            if (!sameUser(*socket)) {
                socket->abort();
                socket->deleteLater();
                continue;
            }
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(
                socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
            readRequest(socket);
        }
    });
    return Start::First;
}

bool SingleInstance::handOver(const QStringList& files)
{
    const QDeadlineTimer deadline(AnswerTimeoutMs);
    QLocalSocket socket;
    socket.connectToServer(serverName(m_workListPath));
    if (!socket.waitForConnected(int(deadline.remainingTime())) || !sameUser(socket))
        return false;
    QByteArray request;
    {
        QDataStream out(&request, QIODevice::WriteOnly);
        out << RequestMagic << files;
    }
    socket.write(request);
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
        return false;
    QByteArray answer;
    while (answer.size() < Answer.size()) {
        if (!socket.bytesAvailable() && !socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
        answer += socket.read(Answer.size() - answer.size());
    }
    return answer == Answer;
}

void SingleInstance::readRequest(QLocalSocket* socket)
{
    if (socket->bytesAvailable() > MaxRequestBytes) {
        socket->abort();
        return;
    }
    QDataStream in(socket);
    in.startTransaction();
    quint32 magic = 0;
    QStringList files;
    in >> magic;
    if (in.status() == QDataStream::Ok && magic != RequestMagic) {
        socket->abort();
        return;
    }
    in >> files;
    if (!in.commitTransaction())
        return; // the rest is still on its way
    socket->write(Answer);
    socket->flush();
    emit activated(files);
}
