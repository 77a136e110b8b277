#include "base/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The longest file name (one path component) the file systems in use take.
constexpr qsizetype NameMax = 255;

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("It is a folder.");
    if (S_ISFIFO(mode))
        return QStringLiteral("It is a named pipe.");
    if (S_ISSOCK(mode))
        return QStringLiteral("It is a socket.");
    return QStringLiteral("It is a device, not a file.");
}

QString userName(uid_t uid)
{
    struct passwd entry;
    struct passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(uid, &entry, buffer, sizeof buffer, &found) == 0 && found)
        return QString::fromLocal8Bit(found->pw_name);
    return QStringLiteral("user %1").arg(uid);
}

bool writeFully(int fd, const char* data, qint64 size, QString* error)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // A write that takes nothing and reports nothing has found no room.
            setError(error, systemReason(n < 0 ? errno : ENOSPC));
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

// The permissions a file created by an ordinary open would get.
mode_t defaultFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A rename is only lasting once the folder that holds the name is on disk.
void syncFolder(const QString& folder)
{
    const int fd = ::open(
        QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// Cuts a UTF-8 name to at most size bytes without splitting a character.
QByteArray cutName(const QByteArray& name, qsizetype size)
{
    if (name.size() <= size)
        return name;
    qsizetype cut = qMax<qsizetype>(0, size);
    while (cut > 0 && (uchar(name.at(cut)) & 0xC0) == 0x80)
        --cut;
    return name.left(cut);
}

} // namespace

namespace SafeFile {

QString notRegularReason(const QString& path)
{
    if (path.isEmpty())
        return QStringLiteral("No file is named.");
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return systemReason(errno);
    return S_ISREG(st.st_mode) ? QString() : kindOf(st.st_mode);
}

QString linkRefusal(const QString& path, QString* resolved)
{
    if (resolved)
        *resolved = path;
    const QByteArray name = QFile::encodeName(path);
    struct stat link;
    if (::lstat(name.constData(), &link) != 0 || !S_ISLNK(link.st_mode))
        return QString();
    const QString shown = QDir::toNativeSeparators(path);
    const QString leadsTo = QDir::toNativeSeparators(QFileInfo(path).symLinkTarget());
    // In a folder others can write to, anyone can leave a link where the
    // user will write: only the user's own links (and root's) are followed.
    if (link.st_uid != ::geteuid() && link.st_uid != 0)
        return QStringLiteral("%1 is a link made by %2 to %3.  Only your own links are followed: "
                              "nothing was written.")
            .arg(shown, userName(link.st_uid), leadsTo);
    struct stat st;
    if (::stat(name.constData(), &st) != 0)
        return QStringLiteral("%1 is a link to %2, which cannot be reached (%3).  Nothing was "
                              "written.")
            .arg(shown, leadsTo, systemReason(errno));
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("%1 is a link to %2, which is not a file.  %3  Nothing was written.")
            .arg(shown, leadsTo, kindOf(st.st_mode));
    if (resolved)
        *resolved = QFileInfo(path).canonicalFilePath();
    return QString();
}

bool writeAll(const QString& target, const QByteArray& bytes, QString* error, int newFileMode)
{
    AtomicOutput out(target, newFileMode);
    return out.open(error) && out.write(bytes, error) && out.commit(error);
}

} // namespace SafeFile

AtomicOutput::AtomicOutput(QString target, int newFileMode)
    : m_given(target)
    , m_target(std::move(target))
    , m_newFileMode(newFileMode)
{
}

AtomicOutput::~AtomicOutput()
{
    if (!m_done)
        discard();
}

bool AtomicOutput::createTemporary(const QString& folder, int* createError)
{
    const QFileInfo info(m_target);
    QByteArray base = QFile::encodeName(info.completeBaseName());
    QByteArray dotSuffix
        = info.suffix().isEmpty() ? QByteArray() : "." + QFile::encodeName(info.suffix());
    // ".name-XXXXXX.suffix" must stay a legal name however long the target's.
    constexpr qsizetype Added = 1 + 7;
    if (Added + dotSuffix.size() > NameMax)
        dotSuffix.clear();
    base = cutName(base, NameMax - Added - dotSuffix.size());

    static const char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const QByteArray start = QFile::encodeName(folder) + "/." + base + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray name = start;
        for (int i = 0; i < 6; ++i)
            name += Letters[QRandomGenerator::global()->bounded(int(sizeof Letters) - 1)];
        name += dotSuffix;
        // Never an existing name, never through a link.
        const int fd = ::open(name.constData(),
            O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, S_IRUSR | S_IWUSR);
        if (fd >= 0) {
            struct stat st;
            ::fstat(fd, &st);
            m_fd = fd;
            m_path = QFile::decodeName(name);
            m_tempDevice = st.st_dev;
            m_tempInode = st.st_ino;
            return true;
        }
        if (errno != EEXIST) {
            *createError = errno;
            return false;
        }
    }
    *createError = EEXIST;
    return false;
}

bool AtomicOutput::temporaryStillThere() const
{
    struct stat st;
    return !m_path.isEmpty() && ::lstat(QFile::encodeName(m_path).constData(), &st) == 0
        && st.st_dev == m_tempDevice && st.st_ino == m_tempInode;
}

bool AtomicOutput::open(QString* error)
{
    QString resolved;
    const QString refused = SafeFile::linkRefusal(m_target, &resolved);
    if (!refused.isEmpty()) {
        setError(error, refused);
        return false;
    }
    m_target = resolved;
    struct stat st = {};
    const bool exists = ::lstat(QFile::encodeName(m_target).constData(), &st) == 0;
    if (exists && S_ISLNK(st.st_mode)) {
        // The link was changed since it was looked at.
        setError(error, SafeFile::linkRefusal(m_target));
        return false;
    }
    if (exists && S_ISDIR(st.st_mode)) {
        setError(error, kindOf(st.st_mode));
        return false;
    }
    m_mode = exists && !S_ISREG(st.st_mode) ? Mode::Device : Mode::Beside;
    int createError = 0;
    if (m_mode == Mode::Beside) {
        if (createTemporary(QFileInfo(m_target).absolutePath(), &createError)) {
            // The new file gets the permissions the old one had (or a new file's).
            const mode_t mode = m_newFileMode >= 0 ? mode_t(m_newFileMode)
                : exists                           ? (st.st_mode & 07777)
                                                   : defaultFileMode();
            ::fchmod(m_fd, mode);
            return true;
        }
        // Only a folder that refuses a new file for want of permission lets
        // the file be written in place; a full disk or any other failure
        // leaves it as it is.
        const bool permission
            = createError == EACCES || createError == EPERM || createError == EROFS;
        if (!permission || !exists
            || ::access(QFile::encodeName(m_target).constData(), W_OK) != 0) {
            setError(error, systemReason(createError));
            return false;
        }
        m_mode = Mode::InPlace;
        m_targetDevice = st.st_dev;
        m_targetInode = st.st_ino;
    }
    if (!createTemporary(QDir::tempPath(), &createError)) {
        setError(error, systemReason(createError));
        return false;
    }
    return true;
}

QString AtomicOutput::openedPath() const
{
    if (m_fd < 0)
        return m_path;
    // The process's own entry for the open file leads to it even when its
    // name in a shared folder has been taken away or replaced.
    const QByteArray own = "/proc/self/fd/" + QByteArray::number(m_fd);
    struct stat named, opened;
    if (::stat(own.constData(), &named) == 0 && ::fstat(m_fd, &opened) == 0
        && named.st_dev == opened.st_dev && named.st_ino == opened.st_ino)
        return QFile::decodeName(own);
    return m_path;
}

bool AtomicOutput::write(const QByteArray& bytes, QString* error)
{
    if (m_fd < 0) {
        setError(error, systemReason(EBADF));
        return false;
    }
    return writeFully(m_fd, bytes.constData(), bytes.size(), error);
}

bool AtomicOutput::copyInto(int destination, bool reserve, QString* error)
{
    struct stat st;
    if (::fstat(m_fd, &st) != 0) {
        setError(error, systemReason(errno));
        return false;
    }
    const off_t size = st.st_size;
    if (reserve && size > 0) {
        // Every block the new content needs is taken before any old byte
        // is overwritten.
        const int reserved = ::posix_fallocate(destination, 0, size);
        if (reserved != 0) {
            setError(error, systemReason(reserved));
            return false;
        }
    }
    char buffer[64 * 1024];
    off_t offset = 0;
    for (;;) {
        const ssize_t n = ::pread(m_fd, buffer, sizeof buffer, offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            setError(error, systemReason(errno));
            return false;
        }
        if (n == 0)
            break;
        if (!writeFully(destination, buffer, n, error))
            return false;
        offset += n;
    }
    if (reserve && (::ftruncate(destination, size) != 0 || ::fsync(destination) != 0)) {
        setError(error, systemReason(errno));
        return false;
    }
    return true;
}

// Copies the written bytes into the target itself: a device or named pipe,
// or a file that must keep its identity (written in place).
bool AtomicOutput::commitIntoTarget(const QByteArray& target, QString* error)
{
    auto failWith = [&](const QString& reason) {
        setError(error, reason);
        discard();
        return false;
    };
    // Never blocks on a pipe without a reader: opening it then fails.
    const int flags
        = O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW | (m_mode == Mode::Device ? O_NONBLOCK : 0);
    const int destination = ::open(target.constData(), flags);
    if (destination < 0) {
        if (errno == ENXIO)
            return failWith(QStringLiteral("No program is reading from the named pipe."));
        return failWith(systemReason(errno));
    }
    struct stat st;
    if (m_mode == Mode::InPlace
        && (::fstat(destination, &st) != 0 || !S_ISREG(st.st_mode) || st.st_dev != m_targetDevice
            || st.st_ino != m_targetInode)) {
        ::close(destination);
        return failWith(QStringLiteral("The file was replaced while it was being written."));
    }
    if (m_mode == Mode::Device)
        ::fcntl(destination, F_SETFL, ::fcntl(destination, F_GETFL) & ~O_NONBLOCK);
    // A reader that goes away half-way must fail the write (EPIPE), not end
    // the program.
    ::signal(SIGPIPE, SIG_IGN);
    QString reason;
    if (!copyInto(destination, m_mode == Mode::InPlace, &reason)) {
        ::close(destination);
        return failWith(reason);
    }
    if (::close(destination) != 0)
        return failWith(systemReason(errno));
    discard();
    return true;
}

bool AtomicOutput::commit(QString* error)
{
    if (m_fd < 0 || m_done) {
        setError(error, systemReason(EBADF));
        return false;
    }
    auto failWith = [&](const QString& reason) {
        setError(error, reason);
        discard();
        return false;
    };
    auto fail = [&](int code) { return failWith(systemReason(code)); };
    const QByteArray target = QFile::encodeName(m_target);
    if (m_mode == Mode::Device || m_mode == Mode::InPlace)
        return commitIntoTarget(target, error);

    if (::fsync(m_fd) != 0)
        return fail(errno);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        return fail(errno);
    if (!temporaryStillThere())
        return failWith(QStringLiteral("The new file was moved away while it was being written."));
    if (::rename(QFile::encodeName(m_path).constData(), target.constData()) != 0)
        return fail(errno);
    m_done = true;
    syncFolder(QFileInfo(m_target).absolutePath());
    return true;
}

void AtomicOutput::discard()
{
    // The temporary name is removed only while it still names this writer's
    // file: in a shared folder another user may have put something there.
    if (!m_done && temporaryStillThere())
        ::unlink(QFile::encodeName(m_path).constData());
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_done = true;
}
