#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <memory>
#include <vector>

class SignListModel;
struct SignRow;

// The working list: the sign list kept on disk between sessions, in the
// export file format, at $XDG_DATA_HOME/kestrane/worklist.txt (by default
// ~/.local/share/kestrane/worklist.txt). Read back once at start; then every
// change is saved a short moment later, on a worker thread so that the
// window never waits for the disk, and each save replaces the file in one
// step. The list is saved once more at exit.
//
// The file's lines are kept ready, one per row, and follow the list's
// changes as they happen (a command touches a row or two). They are held in
// blocks that a save shares with the worker; a block the window changes
// while the worker still reads it is copied first. So a save costs the
// window next to nothing however long the list.
class WorkList : public QObject
{
    Q_OBJECT

public:
    // Changes within this time of the first are saved together.
    static constexpr int SaveDelayMs = 500;

    explicit WorkList(SignListModel& model, QObject* parent = nullptr);
    ~WorkList() override;

    QString path() const { return m_path; }

    struct Restored
    {
        int signs = 0;
        // Set when the file could not be read (it was renamed to the ".bad"
        // name) or some of its lines were damaged (they were written
        // there); tells the user what happened.
        QString problem;
    };
    // Reads the file (if any) into the list, which must be fresh.
    Restored restore();
    // From now on every change of the list is saved.
    void watch();
    // Saves the list now and waits until it is on disk; false, with the
    // reason in error, when it could not be written.
    bool saveNow(QString* error);

    // Reads a working list file's bytes; false, with the reason, when the
    // bytes are not one. With damaged, a line that cannot be a row (a NUL
    // byte, the wrong number of fields) is left out and appended there, and
    // firstDamaged receives the first such line's number; without it, such a
    // line makes the whole file unreadable.
    static bool parse(const QByteArray& bytes, const QString& path, std::vector<SignRow>& rows,
        QString* reason, QByteArray* damaged = nullptr, int* firstDamaged = nullptr);

    // How many earlier ".bad" copies are kept (".bad.1" the latest).
    static constexpr int KeptBadCopies = 5;

signals:
    // A save failed; told once until a save succeeds again.
    void saveFailed(const QString& reason);

private:
    static void keepEarlierBadCopies(const QString& bad);
    void schedule();
    void startWrite();
    void writeDone(const QString& error);
    // One row's line of the file, empty for a row that is not written.
    struct Line
    {
        QByteArray bytes;
        bool unwritable = false;
    };
    using Block = std::shared_ptr<std::vector<Line>>;
    static constexpr size_t BlockLines = 1024;

    Line lineOf(int row) const;
    // The block holding line i and i's place in it; the block is made the
    // window's own first.
    std::vector<Line>& ownBlock(int i, size_t& at);
    void encode(int first, int last);
    void rowsInserted(int first, int last);
    void rowsRemoved(int first, int last);
    void rebuild();
    // Why the list cannot be written as it stands; empty when it can.
    QString unwritableReason() const;
    static QString write(const std::vector<Block>& blocks, const QString& path);

    SignListModel& m_model;
    QString m_path;
    QTimer m_timer;
    QThreadPool m_pool;
    bool m_writing = false;
    bool m_again = false;
    QString m_lastError;
    std::vector<Block> m_blocks;
    int m_unwritable = 0;
    bool m_watching = false;
};
