#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QLocalServer;
class QLocalSocket;

// One window per account: two windows would each save their own working list
// over the other's. The first start holds a lock on the working list and
// listens on a local socket; a later start hands its data files to it
// through that socket, so the running window comes to the front and reads
// them, and then ends.
//
// A lock left by a window that crashed is taken over. A window that holds
// the lock but does not answer within AnswerTimeoutMs is reported, and the
// later start ends without touching the list.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    static constexpr int AnswerTimeoutMs = 2000;

    enum class Start {
        // This start holds the lock and runs the window.
        First,
        // The running window took the files and was raised; end with success.
        HandedOver,
        // Another window holds the lock but did not answer.
        NotAnswering,
    };

    // workListPath: the working list the lock guards; the lock file sits
    // beside it.
    explicit SingleInstance(const QString& workListPath, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The working list of this account, where the window keeps it.
    static QString defaultWorkListPath();

    // Takes the lock, or hands files (absolute paths) to the window that
    // holds it. After NotAnswering, message says so for the user.
    Start start(const QStringList& files, QString* message = nullptr);

    // The local socket name of the window guarding workListPath.
    static QString serverName(const QString& workListPath);

signals:
    // A later start asked this window to come to the front and read files.
    void activated(const QStringList& files);

private:
    bool handOver(const QStringList& files);
    void readRequest(QLocalSocket* socket);

    QString m_workListPath;
    QLockFile m_lock;
    QLocalServer* m_server = nullptr;
};
