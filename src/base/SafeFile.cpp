#include "base/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

bool writeAll(const QString& target, const QByteArray& bytes, QString* error)
{
    AtomicOutput out(target);
    return out.open(error) && out.write(bytes, error) && out.commit(error);
}

} // namespace SafeFile

AtomicOutput::AtomicOutput(QString target)
    : m_target(std::move(target))
{
}

AtomicOutput::~AtomicOutput()
{
    if (!m_done)
        discard();
}

bool AtomicOutput::open(QString* error)
{
    const QFileInfo info(m_target);
    // A link is followed, so that the file it names is replaced, not the link.
    if (info.isSymLink() && info.exists())
        m_target = info.canonicalFilePath();
    struct stat st = {};
    const bool exists = ::stat(QFile::encodeName(m_target).constData(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        setError(error, kindOf(st.st_mode));
        return false;
    }
    m_mode = exists && !S_ISREG(st.st_mode) ? Mode::Device : Mode::Beside;

    const QString folder
        = m_mode == Mode::Device ? QDir::tempPath() : QFileInfo(m_target).absolutePath();
    const QString suffix = QFileInfo(m_target).suffix();
    const QString dotSuffix = suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix;
    QByteArray pattern = QFile::encodeName(folder + QStringLiteral("/.")
        + QFileInfo(m_target).completeBaseName() + QStringLiteral("-XXXXXX") + dotSuffix);
    m_fd = ::mkostemps(pattern.data(), int(QFile::encodeName(dotSuffix).size()), O_CLOEXEC);
    if (m_fd >= 0) {
        m_path = QFile::decodeName(pattern);
        // The new file gets the permissions the old one had (or a new file's).
        if (m_mode == Mode::Beside)
            ::fchmod(m_fd, exists ? (st.st_mode & 07777) : defaultFileMode());
        return true;
    }
    const int createError = errno;
    if (m_mode == Mode::Beside && exists
        && ::access(QFile::encodeName(m_target).constData(), W_OK) == 0) {
        // The folder cannot hold a second file; the file itself is writable.
        m_fd = ::open(QFile::encodeName(m_target).constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (m_fd >= 0) {
            m_mode = Mode::InPlace;
            m_path = m_target;
            return true;
        }
    }
    setError(error, systemReason(createError));
    return false;
}

bool AtomicOutput::write(const QByteArray& bytes, QString* error)
{
    if (m_fd < 0) {
        setError(error, systemReason(EBADF));
        return false;
    }
    if (m_mode == Mode::InPlace && ::ftruncate(m_fd, 0) != 0) {
        setError(error, systemReason(errno));
        return false;
    }
    return writeFully(m_fd, bytes.constData(), bytes.size(), error);
}

bool AtomicOutput::commit(QString* error)
{
    if (m_fd < 0 || m_done) {
        setError(error, systemReason(EBADF));
        return false;
    }
    auto fail = [&](int code) {
        setError(error, systemReason(code));
        discard();
        return false;
    };
    if (m_mode == Mode::Device) {
        // Never blocks on a pipe without a reader: opening it then fails.
        const int device = ::open(
            QFile::encodeName(m_target).constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (device < 0) {
            if (errno == ENXIO) {
                setError(error, QStringLiteral("No program is reading from the named pipe."));
                discard();
                return false;
            }
            return fail(errno);
        }
        ::fcntl(device, F_SETFL, ::fcntl(device, F_GETFL) & ~O_NONBLOCK);
        // A reader that goes away half-way must fail the write (EPIPE), not
        // end the program.
        ::signal(SIGPIPE, SIG_IGN);
        char buffer[64 * 1024];
        off_t offset = 0;
        for (;;) {
            const ssize_t n = ::pread(m_fd, buffer, sizeof buffer, offset);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                const int code = errno;
                ::close(device);
                return fail(code);
            }
            if (n == 0)
                break;
            QString reason;
            if (!writeFully(device, buffer, n, &reason)) {
                ::close(device);
                setError(error, reason);
                discard();
                return false;
            }
            offset += n;
        }
        if (::close(device) != 0)
            return fail(errno);
        discard();
        return true;
    }

    if (::fsync(m_fd) != 0)
        return fail(errno);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        return fail(errno);
    if (m_mode == Mode::Beside
        && ::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(m_target).constData())
            != 0)
        return fail(errno);
    m_done = true;
    return true;
}

void AtomicOutput::discard()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (m_mode != Mode::InPlace && !m_path.isEmpty() && !m_done)
        ::unlink(QFile::encodeName(m_path).constData());
    m_done = true;
}
