// One window per account: the lock on the working list, the hand-over of files to the running
// window, a crashed window's lock and a window that does not answer.

#include "ui/SingleInstance.h"

#include <QtTest>
#include <atomic>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

class tst_SingleInstance : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString list(const QString& name) const { return m_dir.filePath(name + "/worklist.txt"); }

private slots:
    void secondStartHandsFilesToTheFirst()
    {
        SingleInstance first(list("handover"));
        QCOMPARE(first.start({}), SingleInstance::Start::First);
        QSignalSpy activated(&first, &SingleInstance::activated);
        const QStringList files = { "/srv/pos/items.dat", "/home/clerk/a b\nc.txt" };

        // The later start blocks while it waits, so it runs on a thread of its own and the first
        // answers from this one.
        std::atomic<int> outcome { -1 };
        std::thread later([&] {
            SingleInstance second(list("handover"));
            outcome = int(second.start(files));
        });
        QTRY_VERIFY_WITH_TIMEOUT(outcome != -1, 6000);
        later.join();
        QCOMPARE(outcome.load(), int(SingleInstance::Start::HandedOver));
        QCOMPARE(activated, QList<QVariantList> { { files } });

        // Another list starts its own window; once the first has ended, the next start runs the
        // window itself.
        QCOMPARE(SingleInstance(list("ended")).start({}), SingleInstance::Start::First);
        QCOMPARE(SingleInstance(list("ended")).start({}), SingleInstance::Start::First);
    }

    void silentHolderIsReportedWithinTheLimit()
    {
        // The holder runs on this very thread, which is busy in the later start: it cannot answer,
        // as a hung window would not.
        SingleInstance holder(list("silent"));
        QCOMPARE(holder.start({}), SingleInstance::Start::First);
        SingleInstance later(list("silent"));
        QString message;
        const QDeadlineTimer limit(6000);
        QCOMPARE(later.start({ "/tmp/x.dat" }, &message), SingleInstance::Start::NotAnswering);
        QVERIFY(!limit.hasExpired());
        QCOMPARE(message,
            QString("Kestrane is already running (process %1) but not answering").arg(::getpid()));
    }

    void crashedHolderIsTakenOver()
    {
        const QString path = list("crashed");
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        // A process takes the lock and ends without letting it go.
        const pid_t child = ::fork();
        if (child == 0) // the lock file outlives the process: _exit runs no destructor
            ::_exit(QLockFile(path + ".lock").tryLock(0) ? 0 : 1);
        int status = -1;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        QVERIFY(QFile::exists(path + ".lock"));

        SingleInstance next(path);
        QCOMPARE(next.start({}), SingleInstance::Start::First);
    }
};

QTEST_GUILESS_MAIN(tst_SingleInstance)
#include "tst_singleinstance.moc"
