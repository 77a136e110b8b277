// Files that fail: full disks, devices, named pipes, unreadable data. Each
// fault must be reported, never hang and never lose an earlier file.

#include "PdfTestSupport.h"
#include "PrintTestSupport.h"

#include "base/PictureReader.h"
#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "itemdata/SignListImportExport.h"
#include "itemdata/qorDatFile.h"
#include "itemdata/qorDct.h"
#include "printing/PrinterCanvas.h"
#include "support/TestSupport.h"
#include "ui/CommonDialog.h"
#include "ui/DictionaryCommands.h"
#include "ui/ImageBox.h"
#include "ui/ImportExportCommands.h"
#include "ui/frmCalibrate.h"
#include "ui/frmSignLogo.h"
#include "ui/frmSigns.h"

#include <QAction>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QtTest>

#include <atomic>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h> // mkfifo
#include <thread>
#include <unistd.h>

using namespace PrintTest;

namespace {

// The messages shown, but for the question before replacing a file.
QStringList shownTexts()
{
    return messageTexts().filter(QRegularExpression("^(?!.*already exists)"));
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// A named pipe nobody uses. Should the program block on it, a watchdog opens
// and closes both of its ends after a few seconds, so that a regression
// fails the test rather than hanging it.
class Fifo
{
public:
    explicit Fifo(const QString& folder)
        : m_path(folder + QStringLiteral("/pipe"))
    {
        const QByteArray name = QFile::encodeName(m_path);
        ::mkfifo(name.constData(), 0600);
        m_watchdog = std::thread([this, name] {
            for (int tick = 0; !m_stop; ++tick) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                if (tick >= 60) {
                    const int reader = ::open(name.constData(), O_RDONLY | O_NONBLOCK);
                    ::close(::open(name.constData(), O_WRONLY | O_NONBLOCK));
                    ::close(reader);
                }
            }
        });
    }
    ~Fifo()
    {
        m_stop = true;
        m_watchdog.join();
        ::unlink(QFile::encodeName(m_path).constData());
    }
    const QString m_path;

private:
    std::atomic<bool> m_stop { false };
    std::thread m_watchdog;
};

// Where a test writes: "full" a full small tmpfs holding an earlier file,
// "noroom" a tmpfs without room for one more file (the target itself
// writable), "pipe" a named pipe without a reader, or a path ("<dir>" the
// test's folder). Only the superuser can mount the tmpfs.
struct Target
{
    QTemporaryDir fsDir;
    bool tmpfs = false;
    bool mounted = false;
    std::unique_ptr<Fifo> fifo;
    QString path;
    QByteArray earlier;

    Target(const QString& where, const QString& name, const QString& folder)
    {
        path = QString(where).replace("<dir>", folder);
        tmpfs = where == "full" || where == "noroom";
        if (where == "pipe") {
            fifo = std::make_unique<Fifo>(folder);
            path = fifo->m_path;
        } else if (tmpfs && ::geteuid() == 0) {
            mounted = ::mount("tmpfs", QFile::encodeName(fsDir.path()).constData(), "tmpfs", 0,
                          where == "full" ? "size=64k" : "size=1m,nr_inodes=2")
                == 0;
            earlier = "earlier content\n";
            path = writeTestFile(fsDir.path(), name, earlier);
            QFile filler(fsDir.filePath("filler"));
            if (where == "full" && filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
                while (filler.write(QByteArray(4096, 'f')) == 4096) { }
            }
        }
    }
    ~Target()
    {
        if (mounted)
            ::umount2(QFile::encodeName(fsDir.path()).constData(), MNT_DETACH);
    }
    bool usable() const { return mounted || !tmpfs; }
};

struct Lists
{
    TestSettingsScope scope;
    SignListModel model;
    CommonDialog dialog { dialogs(), nullptr };
    AppSettings settings { SettingsKeys::Application, SettingsKeys::Section };
    ImportExportCommands io { model, dialogs(), dialog, settings };
    qorDct dict;
    qorDatFile reader { DataFileDialogNotifier(dialogs()) };

    Lists()
    {
        for (qint16 field = 1; field < 200; ++field)
            dict.setDLen(field, 160);
    }
};

} // namespace

class TestFaultIo : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void writeFaults_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("what"); // export, signs, testpage
        QTest::addColumn<QString>("reason"); // empty: written; "-": any
        for (const char* what : { "export", "signs", "testpage" }) {
            const QByteArray w(what);
            const QString noSpace = w == "export" ? "No space left on device" : "Runtime Error 482";
            QTest::newRow(w + " full disk") << "full" << what << noSpace;
            QTest::newRow(w + " /dev/full") << "/dev/full" << what << noSpace;
            QTest::newRow(w + " no room for a second file") << "noroom" << what << "";
        }
        // clang-format off
        QTest::newRow("export pipe") << "pipe" << "export" << "No program is reading from the named pipe.";
        QTest::newRow("export folder") << "<dir>" << "export" << "It is a folder.";
        QTest::newRow("export missing folder") << "<dir>/no/such/folder/out.txt" << "export" << "-";
        // Also refused to the superuser.
        QTest::newRow("export read-only file system") << "/proc/version" << "export" << "-";
        QTest::newRow("signs pipe") << "pipe" << "signs" << "Runtime Error 482";
        // clang-format on
    }

    // A write that fails is reported (a PDF like a printer failure) and
    // leaves an earlier file as it was; a folder without room for a second
    // file is written in place.
    void writeFaults()
    {
        QFETCH(QString, where);
        QFETCH(QString, what);
        QFETCH(QString, reason);
        Lists f;
        Target target(where, what == "export" ? "list.txt" : "signs.pdf", m_dir.path());
        if (!target.usable())
            QSKIP("mounting a small tmpfs needs the superuser");
        if (where.startsWith('/') && !QFileInfo::exists(where))
            QSKIP("not on this system");
        const bool existed = QFileInfo::exists(target.path);
        int setups = 0;
        if (what == "export") {
            f.model.setCell(1, SignListModel::ColSku, "A1");
            dialogs().queueFile(target.path);
            QCOMPARE(f.io.exportFile(), reason.isEmpty());
        } else if (what == "signs") {
            fill(f.model, { typicalSign(1), typicalSign(2) });
            PdfTest::PdfWindow window(target.path);
            dialogs().queueAnswer(DialogService::Answer::Yes);
            jobFor(f.model, f.settings, window).PrintSigns(true);
            setups = window.setupRuns;
            QCOMPARE(window.printer.outputFileName(), target.path);
        } else {
            QPrinter printer;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(target.path);
            frmCalibrate dlg(
                f.settings, dialogs(), &printer, [&setups] { ++setups; }, nullptr);
            dialogs().queueAnswer(DialogService::Answer::Yes);
            dlg.cmdPrintTest->click();
        }
        if (reason.isEmpty()) {
            QCOMPARE(shownTexts(), QStringList());
            if (what == "export")
                QCOMPARE(readAll(target.path),
                    SignListImportExport::ExportHeader.toLatin1() + "\r\nA1\t\t\t\t\t\t\t\t\r\n");
            else
                QCOMPARE(PrinterCanvas::PdfFileProblem(target.path), QString());
            return;
        }
        QCOMPARE(shownTexts().size(), 1);
        const QString text = shownTexts().at(0);
        QVERIFY2(reason == "-" || text.contains(reason), qPrintable(text));
        QCOMPARE(QFileInfo::exists(target.path), existed);
        if (what == "export") { // the file and the system's reason
            const QString start = "Can not write data file: " + target.path + "\n";
            QVERIFY2(text.startsWith(start) && text.size() > start.size(), qPrintable(text));
        } else {
            QCOMPARE(dialogs().messages().last().buttons, DialogService::Buttons::YesNo);
            QCOMPARE(setups, 1);
        }
        if (target.mounted) {
            QCOMPARE(readAll(target.path), target.earlier);
            QCOMPARE(QDir(target.fsDir.path()).entryList(QDir::Files | QDir::Hidden),
                QStringList({ "filler", QFileInfo(target.path).fileName() }));
        }
    }

    void dictionaryRefusesNonFiles_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("named pipe") << "<pipe>";
        QTest::newRow("endless device") << "/dev/zero";
        QTest::newRow("folder") << "<dir>";
        QTest::newRow("no line ends") << "<long>";
    }

    // Result 1 at once: nothing but a regular file is opened, and a line
    // longer than any dictionary's ends the read.
    void dictionaryRefusesNonFiles()
    {
        QFETCH(QString, path);
        Fifo fifo(m_dir.path());
        path.replace("<pipe>", fifo.m_path).replace("<dir>", m_dir.path());
        if (path == "<long>")
            path = writeTestFile(
                m_dir.path(), "long.dct", "[INV]\r\n1,1,20:SKU" + QByteArray(4 << 20, 'x'));
        qorDct dict;
        QCOMPARE(dict.setup(path, "INV", 99), qorDct::StatusUnreadable);
        QCOMPARE(dict.setupms(path, true), qorDct::StatusUnreadable);
    }

    void importFaults_data()
    {
        QTest::addColumn<QString>("path"); // empty: a file of these bytes
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("messages"); // "<path>" the file's name
        QTest::addColumn<QStringList>("skus");
        const QStringList keep { "KEEP" };
        const QStringList empty { "Data file is empty: <path>", "File is empty" };
        // clang-format off
        QTest::newRow("invalid header") << "" << QByteArray("SKU,DESC\r\n1,x\r\n")
            << QStringList { "Invalid Header: <path>", "Error in file header" } << keep;
        QTest::newRow("empty") << "" << QByteArray() << empty << keep;
        QTest::newRow("NUL first") << "" << QByteArray("\0\0\0", 3) << empty << keep;
        QTest::newRow("missing") << "<dir>/nothing.dat" << QByteArray()
            << QStringList { "Can not open data file: <path>", "File not found" } << keep;
        QTest::newRow("folder") << "<dir>" << QByteArray()
            << QStringList { "Can not open data file: <path>", "Can not open file" } << keep;
        QTest::newRow("NUL in a record") << "" << QByteArray("1\r\nA1\r\nA2\0\r\nA3\r\n", 16)
            << QStringList { "Reading stopped at a NUL byte on line 3 of <path>.  2 records were read." }
            << QStringList { "KEEP", "A1", "A2" };
        QTest::newRow("named pipe") << "<pipe>" << QByteArray()
            << QStringList { "Can not open data file: <path>\nIt is a named pipe.", "Can not open file" } << keep;
        // A regular file whose first read fails.
        QTest::newRow("header unreadable") << "/proc/self/mem" << QByteArray()
            << QStringList { "Can not read data file: <path>", "File can not be read" } << keep;
        // clang-format on
    }

    // A file that can not be read is reported in two messages and leaves the
    // list as it was; records before a NUL byte are kept.
    void importFaults()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, skus);
        if (path.startsWith('/') && !QFileInfo::exists(path))
            QSKIP("not on this system");
        Fifo fifo(m_dir.path());
        path.replace("<pipe>", fifo.m_path).replace("<dir>", m_dir.path());
        if (path.isEmpty())
            path = writeTestFile(m_dir.path(), "import.txt", bytes);
        Lists f;
        f.model.setCell(1, SignListModel::ColSku, "KEEP");
        dialogs().queueFile(path);
        f.io.importFile(f.reader, f.dict, {});
        QCOMPARE(messageTexts(), messages.replaceInStrings("<path>", path));
        if (messages.size() == 2) {
            QCOMPARE(dialogs().messages().at(0).title, QStringLiteral("Fopen:"));
            QVERIFY(dialogs().messages().at(0).icon == DialogService::Icon::Exclamation);
            QCOMPARE(dialogs().messages().at(1).title, QStringLiteral("Alert:"));
            QVERIFY(dialogs().messages().at(1).icon == DialogService::Icon::Information);
        }
        QStringList read;
        for (int row = 1; row < f.model.Rows(); ++row)
            if (!f.model.cell(row, SignListModel::ColSku).isEmpty())
                read << f.model.cell(row, SignListModel::ColSku);
        QCOMPARE(read, skus);
    }

    // Item graphic, logo and print pictures refuse a pipe at once; the
    // window starts when the stored dictionary is one.
    void picturesAndWindowRefusePipes()
    {
        TestSettingsScope scope;
        Fifo fifo(m_dir.path());
        QString error;
        QVERIFY(PictureReader::read(fifo.m_path, QSize(), Qt::IgnoreAspectRatio, &error).isNull());
        QCOMPARE(error, QStringLiteral("It is a named pipe."));
        QVERIFY(!PictureReader::probe(fifo.m_path).isValid());
        QVERIFY(!ImageBox().loadPicture(fifo.m_path));

        appSettings().save(SettingsKeys::DICTIONARY, fifo.m_path);
        dialogs().queueFile(scope.dictionaryPath());
        frmSigns w(dialogs());
        QCOMPARE(dialogs().fileRequests().size(), 1);
        QCOMPARE(messageTexts(), QStringList());

        const QString refused
            = fifo.m_path + "\nIt is a named pipe.  Only a picture file can be chosen.";
        dialogs().queueFile(fifo.m_path);
        trigger(w, "mnuFileGraphic");
        QCOMPARE(messageTexts(), QStringList { refused });

        dialogs().reset();
        CommonDialog common(dialogs(), nullptr);
        frmSignLogo logo(w.settings(), dialogs(), common, nullptr);
        dialogs().queueFile(fifo.m_path);
        logo.chooseLogoFile();
        QCOMPARE(messageTexts(), QStringList { refused });
        QCOMPARE(logo.LogoFile(), QString());
    }

    // The store is its owner's alone; one that cannot be kept is reported
    // once at start.
    void settingsFile()
    {
        const auto file = [] {
            return QSettings(
                QSettings::NativeFormat, QSettings::UserScope, SettingsKeys::Application)
                .fileName();
        };
        const auto ownerOnly
            = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
        {
            TestSettingsScope scope;
            QVERIFY(QFile::permissions(file()) == ownerOnly);
            QFile::setPermissions(file(), ownerOnly | QFile::ReadGroup | QFile::ReadOther);
            appSettings().save("X", "1");
            QVERIFY(QFile::permissions(file()) == ownerOnly);
            frmSigns w(dialogs());
            QCOMPARE(messageTexts(), QStringList());
        }
        TestSettingsScope scope;
        QFile::remove(file());
        QVERIFY(QDir().mkpath(file()));
        dialogs().queueFile(scope.dictionaryPath());
        frmSigns w(dialogs());
        QCOMPARE(messageTexts().count("The settings file " + file()
                     + " cannot be read.  Settings made now will not be kept."),
            1);
    }
};

QTEST_MAIN(TestFaultIo)
#include "tst_faultio.moc"
