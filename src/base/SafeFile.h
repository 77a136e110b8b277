#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

// Guarded file access. Reading: only regular files are opened, so a named
// pipe, a device or a folder is refused at once instead of blocking the
// program or feeding it endless data. Writing: a new content takes the old
// one's place only when it has been written completely and flushed to disk,
// and a symbolic link is written through only when the user running the
// program (or root) made it and it leads to a regular file.
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

// Why nothing may be written at path because of a link there (a link
// someone else made, or one that does not lead to a regular file); empty
// when writing may go ahead. With resolved, receives the file a write
// would replace: the path itself, or the file an accepted link leads to.
QString linkRefusal(const QString& path, QString* resolved = nullptr);

// Replaces the whole content of target with bytes (see AtomicOutput); false
// with the system's reason in error when anything failed. A new file gets
// newFileMode when it is given (>= 0), else the old file's permissions or
// those of a newly created file.
bool writeAll(const QString& target, const QByteArray& bytes, QString* error, int newFileMode = -1);

} // namespace SafeFile

// One file being written for a target path. open() looks at the path
// without following it: a link made by another user, or one that does not
// lead to a regular file, is refused. The bytes then go to a new file
// created beside the target (never through a link, and never over an
// existing name), renamed over the target by commit(), after which the
// folder is flushed too. When the folder refuses a new file for want of
// permission, or for a target that is a device or a pipe, the bytes go to a
// temporary file in the system's temporary folder and commit() copies them
// in: into a file only after its whole new size is reserved on disk (so a
// full disk fails before anything of the old content is lost), into a
// device or pipe without blocking (a pipe nobody reads from is an error, not
// a hang). Any other failure leaves the target as it was. A writer destroyed
// without commit() removes its temporary file and leaves the target alone.
class AtomicOutput
{
public:
    enum class Mode { Beside, InPlace, Device };

    explicit AtomicOutput(QString target, int newFileMode = -1);
    ~AtomicOutput();
    AtomicOutput(const AtomicOutput&) = delete;
    AtomicOutput& operator=(const AtomicOutput&) = delete;

    bool open(QString* error);
    // The temporary file, valid after open().
    const QString& path() const { return m_path; }
    // A name that opens the very file open() created, whatever happens to
    // its name in the folder meanwhile: for a writer that only takes names.
    QString openedPath() const;
    // The file that commit() replaces (an accepted link's destination),
    // and the path as it was given.
    const QString& target() const { return m_target; }
    const QString& given() const { return m_given; }
    Mode mode() const { return m_mode; }
    // Writes all bytes to the temporary file at its current end.
    bool write(const QByteArray& bytes, QString* error);
    // Flushes the temporary file to disk and puts its content in place of
    // the target.
    bool commit(QString* error);
    // Drops whatever was written; the target stays as it was.
    void discard();

private:
    bool createTemporary(const QString& folder, int* createError);
    bool temporaryStillThere() const;
    bool copyInto(int destination, bool reserve, QString* error);
    bool commitIntoTarget(const QByteArray& target, QString* error);

    QString m_given;
    QString m_target;
    QString m_path;
    int m_newFileMode;
    Mode m_mode = Mode::Beside;
    int m_fd = -1;
    // The temporary file and, for an in-place write, the target as open()
    // found them: a name that meanwhile leads elsewhere is not written.
    dev_t m_tempDevice = 0;
    ino_t m_tempInode = 0;
    dev_t m_targetDevice = 0;
    ino_t m_targetInode = 0;
    bool m_done = false;
};
