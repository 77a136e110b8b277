#pragma once

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <vector>

class SignListModel;
struct SignRow;

// The working list: the sign list kept on disk between sessions, in the
// export file format, at $XDG_DATA_HOME/kestrane/worklist.txt (by default
// ~/.local/share/kestrane/worklist.txt). Read back once at start; then every
// change is saved a short moment later, from a copy of the rows on a worker
// thread so that the window never waits for the disk, and each save
// replaces the file in one step. The list is saved once more at exit.
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
        // Set when the file could not be read: it was renamed to the
        // ".bad" name and this tells the user why.
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
    // bytes are not one.
    static bool parse(
        const QByteArray& bytes, const QString& path, std::vector<SignRow>& rows, QString* reason);

signals:
    // A save failed; told once until a save succeeds again.
    void saveFailed(const QString& reason);

private:
    void schedule();
    void startWrite();
    void writeDone(const QString& error);
    static QString write(const std::vector<SignRow>& rows, const QString& path);

    SignListModel& m_model;
    QString m_path;
    QTimer m_timer;
    QThreadPool m_pool;
    bool m_writing = false;
    bool m_again = false;
    QString m_lastError;
};
