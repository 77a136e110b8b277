// Files that fail: full disks, devices, named pipes, unreadable data. Each
// fault must be reported, never hang and never lose an earlier file.

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
#include "ui/DialogService.h"
#include "ui/DictionaryCommands.h"
#include "ui/ImageBox.h"
#include "ui/ImportExportCommands.h"
#include "ui/frmCalibrate.h"
#include "ui/frmSignLogo.h"
#include "ui/frmSigns.h"

#include <QAction>
#include <QDir>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace PrintTest;

namespace {

// The messages shown, but for the question before replacing a file.
QStringList shownTexts()
{
    QStringList out;
    for (const auto& m : dialogs().messages()) {
        if (!m.text.contains(QLatin1String("already exists")))
            out << m.text;
    }
    return out;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

int modeOf(const QString& path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

// A small tmpfs mounted for one test (only the superuser can), unmounted
// when it goes. fill() takes every free block.
class Tmpfs
{
public:
    explicit Tmpfs(const char* options)
    {
        if (::geteuid() == 0)
            m_mounted
                = ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, options)
                == 0;
    }
    ~Tmpfs()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    QString file(const QString& name) const { return m_dir.filePath(name); }
    void fill() const
    {
        QFile filler(file("filler"));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) { }
    }
    QStringList entries() const
    {
        return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

// A named pipe nobody uses. Should the program block on it, a watchdog opens
// and closes both of its ends after a few seconds, so that a regression
// fails the test rather than hanging it.
class Fifo
{
public:
    explicit Fifo(const QString& folder)
        : m_path(folder + QStringLiteral("/pipe"))
    {
        ::mkfifo(QFile::encodeName(m_path).constData(), 0600);
        m_watchdog = std::thread([this] {
            const QByteArray name = QFile::encodeName(m_path);
            for (int tick = 0; !m_stop; ++tick) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                if (tick < 60)
                    continue;
                const int reader = ::open(name.constData(), O_RDONLY | O_NONBLOCK);
                const int writer = ::open(name.constData(), O_WRONLY | O_NONBLOCK);
                ::close(writer);
                ::close(reader);
            }
        });
    }
    ~Fifo()
    {
        m_stop = true;
        m_watchdog.join();
        ::unlink(QFile::encodeName(m_path).constData());
    }
    const QString& path() const { return m_path; }

private:
    QString m_path;
    std::atomic<bool> m_stop { false };
    std::thread m_watchdog;
};

// Where a test writes: "full" a full tmpfs holding an earlier file,
// "noroom" a tmpfs without room for one more file (the target itself
// writable), "pipe" a named pipe without a reader, or a path such as
// /dev/full.
struct Target
{
    std::unique_ptr<Tmpfs> fs;
    std::unique_ptr<Fifo> fifo;
    QString path;
    QByteArray earlier;

    Target(const QString& where, const QString& name, const QString& folder)
    {
        if (where == "full" || where == "noroom") {
            fs = std::make_unique<Tmpfs>(where == "full" ? "size=64k" : "size=1m,nr_inodes=2");
            if (!fs->mounted())
                return;
            path = fs->file(name);
            earlier = "earlier content\n";
            writeTestFile(QFileInfo(path).path(), name, earlier);
            if (where == "full")
                fs->fill();
        } else if (where == "pipe") {
            fifo = std::make_unique<Fifo>(folder);
            path = fifo->path();
        } else {
            path = where;
        }
    }
    bool usable() const { return !path.isEmpty() && (!fs || fs->mounted()); }
};

// The main window's side of a print run, printing to a real PDF file.
class PdfPrintWindow : public FakePrintWindow
{
public:
    explicit PdfPrintWindow(const QString& file)
        : pdf(QPrinter::HighResolution)
    {
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(file);
    }
    std::unique_ptr<SignCanvas> openPrinterCanvas() override
    {
        return std::make_unique<PrinterCanvas>(&pdf);
    }
    QPrinter pdf;
};

} // namespace

class TestFaultIo : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

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

private slots:
    void writeFaults_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("what"); // export, signs, testpage
        QTest::addColumn<QString>("reason"); // empty: written
        for (const char* what : { "export", "signs", "testpage" }) {
            const QByteArray w(what);
            const QString noSpace = w == "export" ? "No space left on device" : "Runtime Error 482";
            QTest::newRow(w + " full disk") << "full" << what << noSpace;
            QTest::newRow(w + " /dev/full") << "/dev/full" << what << noSpace;
            QTest::newRow(w + " no room for a second file") << "noroom" << what << "";
        }
        QTest::newRow("export pipe") << "pipe"
                                     << "export"
                                     << "No program is reading from the named pipe.";
        QTest::newRow("signs pipe") << "pipe"
                                    << "signs"
                                    << "Runtime Error 482";
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
        if (!QFileInfo::exists(target.path))
            QSKIP("not on this system");
        int setups = 0;
        if (what == "export") {
            f.model.setCell(1, SignListModel::ColSku, "A1");
            dialogs().queueFile(target.path);
            QCOMPARE(f.io.exportFile(), reason.isEmpty());
        } else if (what == "signs") {
            fill(f.model, { typicalSign(1), typicalSign(2) });
            PdfPrintWindow window(target.path);
            dialogs().queueAnswer(DialogService::Answer::Yes);
            jobFor(f.model, f.settings, window).PrintSigns(true);
            setups = window.setupRuns;
            QCOMPARE(window.pdf.outputFileName(), target.path);
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
        QVERIFY2(shownTexts().at(0).contains(reason), qPrintable(shownTexts().at(0)));
        if (what != "export") {
            QCOMPARE(dialogs().messages().last().buttons, DialogService::Buttons::YesNo);
            QCOMPARE(setups, 1);
        }
        if (target.fs) {
            QCOMPARE(readAll(target.path), target.earlier);
            QCOMPARE(
                target.fs->entries(), QStringList({ "filler", QFileInfo(target.path).fileName() }));
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
        path.replace("<pipe>", fifo.path()).replace("<dir>", m_dir.path());
        if (path == "<long>")
            path = writeTestFile(
                m_dir.path(), "long.dct", "[INV]\r\n1,1,20:SKU" + QByteArray(4 << 20, 'x'));
        qorDct dict;
        QCOMPARE(dict.setup(path, "INV", 99), qorDct::StatusUnreadable);
        QCOMPARE(dict.setupms(path, true), qorDct::StatusUnreadable);
    }

    void dataFileFaults_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("skus");
        QTest::newRow("NUL in a record") << "<nul>"
                                         << QStringList { "Reading stopped at a NUL byte on line 3 "
                                                          "of <nul>.  2 records were read." }
                                         << QStringList { "A1", "A2" };
        QTest::newRow("named pipe")
            << "<pipe>"
            << QStringList { "Can not open data file: <pipe>\nIt is a named pipe.",
                   "Can not open file" }
            << QStringList();
        // A regular file whose first read fails.
        QTest::newRow("header unreadable")
            << "/proc/self/mem"
            << QStringList { "Can not read data file: /proc/self/mem", "File can not be read" }
            << QStringList();
    }

    void dataFileFaults()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, skus);
        if (!QFileInfo::exists(path) && path.startsWith('/'))
            QSKIP("not on this system");
        Fifo fifo(m_dir.path());
        const QString nul
            = writeTestFile(m_dir.path(), "nul.txt", QByteArray("1\r\nA1\r\nA2\0\r\nA3\r\n", 16));
        path.replace("<pipe>", fifo.path()).replace("<nul>", nul);
        messages.replaceInStrings("<pipe>", fifo.path()).replaceInStrings("<nul>", nul);
        Lists f;
        dialogs().queueFile(path);
        f.io.importFile(f.reader, f.dict, {});
        QCOMPARE(shownTexts(), messages);
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
        QVERIFY(PictureReader::read(fifo.path(), QSize(), Qt::IgnoreAspectRatio, &error).isNull());
        QCOMPARE(error, QStringLiteral("It is a named pipe."));
        QVERIFY(!PictureReader::probe(fifo.path()).isValid());
        QVERIFY(!ImageBox().loadPicture(fifo.path()));

        SettingsStore::SaveSetting(SettingsKeys::Application, SettingsKeys::Section,
            SettingsKeys::DICTIONARY, fifo.path());
        dialogs().queueFile(scope.dictionaryPath());
        frmSigns w(dialogs());
        QCOMPARE(dialogs().fileRequests().size(), 1);
        QCOMPARE(shownTexts(), QStringList());

        const QString refused
            = fifo.path() + "\nIt is a named pipe.  Only a picture file can be chosen.";
        dialogs().queueFile(fifo.path());
        w.findChild<QAction*>("mnuFileGraphic")->trigger();
        QCOMPARE(shownTexts(), QStringList { refused });

        dialogs().reset();
        CommonDialog common(dialogs(), nullptr);
        frmSignLogo logo(w.settings(), dialogs(), common, nullptr);
        dialogs().queueFile(fifo.path());
        logo.chooseLogoFile();
        QCOMPARE(shownTexts(), QStringList { refused });
        QCOMPARE(logo.LogoFile(), QString());
    }

    // The store is its owner's alone; one that cannot be kept is reported
    // once at start.
    void settingsFile()
    {
        {
            TestSettingsScope scope;
            const QString file = QSettings(
                QSettings::NativeFormat, QSettings::UserScope, SettingsKeys::Application)
                                     .fileName();
            QCOMPARE(modeOf(file), 0600);
            ::chmod(QFile::encodeName(file).constData(), 0644);
            SettingsStore::SaveSetting(SettingsKeys::Application, SettingsKeys::Section, "X", "1");
            QCOMPARE(modeOf(file), 0600);
            frmSigns w(dialogs());
            QCOMPARE(shownTexts(), QStringList());
        }
        TestSettingsScope scope;
        const QString file
            = QSettings(QSettings::NativeFormat, QSettings::UserScope, SettingsKeys::Application)
                  .fileName();
        QFile::remove(file);
        QVERIFY(QDir().mkpath(file));
        dialogs().queueFile(scope.dictionaryPath());
        frmSigns w(dialogs());
        QCOMPARE(shownTexts().count("The settings file " + file
                     + " cannot be read.  Settings made now will not be kept."),
            1);
    }
};

QTEST_MAIN(TestFaultIo)
#include "tst_faultio.moc"
