#pragma once

#include <QByteArray>
#include <QString>

// Guarded file access. Reading: only regular files are opened, so a named
// pipe, a device or a folder is refused at once instead of blocking the
// program or feeding it endless data. Writing: a new content takes the old
// one's place only when it has been written completely and flushed to disk.
namespace SafeFile {

// Empty when path names a regular file (or a link to one); otherwise a
// sentence that says why it cannot be read ("It is a named pipe.").
QString notRegularReason(const QString& path);
inline bool isRegular(const QString& path)
{
    return notRegularReason(path).isEmpty();
}

// The message for a picture choice that is not a regular file: %1 the
// path, %2 the reason.
inline const QString PictureFileRefused
    = QStringLiteral("%1\n%2  Only a picture file can be chosen.");

// Replaces the whole content of target with bytes (see AtomicOutput); false
// with the system's reason in error when anything failed.
bool writeAll(const QString& target, const QByteArray& bytes, QString* error);

} // namespace SafeFile

// One file being written for a target path. open() chooses where the bytes
// go: a new file beside the target, renamed over it by commit(); the target
// itself when its folder cannot hold another file but the target is
// writable; or, for a target that is a device or a pipe, a temporary file
// whose content commit() copies into it (opened without blocking, so a pipe
// nobody reads from is an error, not a hang). A writer that is destroyed
// without commit() removes its temporary file and leaves the target alone.
class AtomicOutput
{
public:
    enum class Mode { Beside, InPlace, Device };

    explicit AtomicOutput(QString target);
    ~AtomicOutput();
    AtomicOutput(const AtomicOutput&) = delete;
    AtomicOutput& operator=(const AtomicOutput&) = delete;

    bool open(QString* error);
    // The file to write into, valid after open().
    const QString& path() const { return m_path; }
    const QString& target() const { return m_target; }
    Mode mode() const { return m_mode; }
    // Writes all bytes to path() at its current end.
    bool write(const QByteArray& bytes, QString* error);
    // Flushes path() to disk and puts it in place of the target.
    bool commit(QString* error);
    // Drops whatever was written (an in-place write is left as it is).
    void discard();

private:
    QString m_target;
    QString m_path;
    Mode m_mode = Mode::Beside;
    int m_fd = -1;
    bool m_done = false;
};
