// Files in and out: data file and dictionary readers, sign and working lists, import and export,
// settings and pictures. Files that fail are reported, never hang, never lose an earlier file.

#include "PdfTestSupport.h"
#include "PrintTestSupport.h"

#include "base/NumberText.h"
#include "base/PictureReader.h"
#include "base/SafeFile.h"
#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "document/SignListModel.h"
#include "itemdata/SignListImportExport.h"
#include "itemdata/WorkList.h"
#include "itemdata/qorDatFile.h"
#include "itemdata/qorDct.h"
#include "printing/PreviewCanvas.h"
#include "printing/PrinterCanvas.h"
#include "support/TestSupport.h"
#include "ui/CommonDialog.h"
#include "ui/DialogService.h"
#include "ui/DictionaryCommands.h"
#include "ui/EntryBox.h"
#include "ui/ImageBox.h"
#include "ui/ImportExportCommands.h"
#include "ui/frmCalibrate.h"
#include "ui/frmSignLogo.h"
#include "ui/frmSigns.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPrinter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <sys/mount.h>
#include <sys/stat.h> // mkfifo
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// The messages shown, but for the question before replacing a file.
QStringList shownTexts()
{
    return messageTexts().filter(QRegularExpression("^(?!.*already exists)"));
}

// A named pipe nobody uses; a watchdog opens both ends after 3 s so a block fails, not hangs.
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

// Where a test writes: "full" a full tmpfs holding an earlier file, "noroom" a tmpfs without room
// for one more file, "pipe" a pipe without reader, or a path ("<dir>" the test's folder).
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

// Bytes that read as a file's up to failAt, where the disk then fails.
class FailingDevice : public QIODevice
{
public:
    FailingDevice(QByteArray bytes, qint64 failAt)
        : m_bytes(std::move(bytes))
        , m_failAt(failAt)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    qint64 size() const override { return m_bytes.size(); }

protected:
    qint64 readData(char* data, qint64 max) override
    {
        const qint64 n = qMin(max, qMin<qint64>(m_failAt, m_bytes.size()) - pos());
        if (n <= 0)
            return pos() >= m_failAt ? -1 : 0;
        std::memcpy(data, m_bytes.constData() + pos(), size_t(n));
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_failAt;
};

// A small tmpfs mounted on a temporary folder while it lives (the superuser only).
struct SmallDisk
{
    QTemporaryDir dir;
    bool mounted;
    explicit SmallDisk(const char* options)
        : mounted(::geteuid() == 0
            && ::mount("tmpfs", QFile::encodeName(dir.path()).constData(), "tmpfs", 0, options)
                == 0)
    {
    }
    ~SmallDisk()
    {
        if (mounted)
            ::umount2(QFile::encodeName(dir.path()).constData(), MNT_DETACH);
    }
    void fill() const
    {
        QFile filler(dir.filePath("filler"));
        if (filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered | QIODevice::Append)) {
            while (filler.write(QByteArray(4096, 'f')) == 4096) { }
        }
    }
};

// What work returns when run as the user uid, in a process of its own (given up after 20 s).
QString asClerk(int uid, const std::function<QString()>& work)
{
    int result[2];
    if (::pipe(result) != 0)
        return "<no pipe>";
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(20);
        const QByteArray text = ::setgroups(0, nullptr) == 0 && ::setuid(uid_t(uid)) == 0
            ? work().toUtf8()
            : QByteArray("<not the clerk>");
        [[maybe_unused]] const ssize_t n = ::write(result[1], text.constData(), text.size());
        ::_exit(0);
    }
    ::close(result[1]);
    QByteArray text;
    char buffer[512];
    for (ssize_t n; (n = ::read(result[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, n);
    ::close(result[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? QString::fromUtf8(text) : QString("<the clerk's process failed>");
}

SignRow sign(const QStringList& columns)
{
    SignRow row;
    for (int c = 0; c < columns.size() && c < SignRow::FieldCount; ++c)
        row.fields[size_t(c)] = columns.at(c);
    return row;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// The first file dialog: mode, title, offered name, filter count and index, must exist.
QString firstRequest()
{
    const DialogService::FileRequest r = dialogs().fileRequests().at(0);
    return QString("%1|%2|%3|%4|%5|%6")
        .arg(r.mode == DialogService::FileMode::Save ? "save" : "open", r.title, r.fileName)
        .arg(r.filters.size())
        .arg(r.filterIndex)
        .arg(r.mustExist);
}

const QByteArray Header = "1\t10\t48\t54\t56\t177\t178\t179\t182\r\n";

// The import and export commands over a sign list of their own.
struct Fixture
{
    TestSettingsScope scope;
    SignListModel model;
    CommonDialog dialog { dialogs(), nullptr };
    AppSettings settings = appSettings();
    ImportExportCommands io { model, dialogs(), dialog, settings };
    qorDct dict;
    qorDatFile reader { DataFileDialogNotifier(dialogs()) };
    int loads = 0;
    ImportExportCommands::ImportHooks hooks;

    Fixture()
    {
        for (qint16 field = 1; field < 200; ++field)
            dict.setDLen(field, 160);
        hooks.loadSelectedRow = [this]() { ++loads; };
    }
    qint64 importPath(const QString& path)
    {
        dialogs().queueFile(path);
        return io.importFile(reader, dict, hooks);
    }
    bool exportPath(const QString& path)
    {
        dialogs().queueFile(path);
        return io.exportFile(dict);
    }
};

// A sign whose third bullet line and picture go with its SKU.
SignRow bulleted(const QString& sku, const QString& graphic = QString())
{
    return sign({ sku, "", "", "", "", "", sku + "-b3", "", graphic });
}

QStringList skus(const SignListModel& model)
{
    QStringList result;
    for (int r = 1; r < model.Rows(); ++r)
        result << model.cell(r, SignListModel::ColSku);
    return result;
}

} // namespace

class TestFiles : public QObject
{
    Q_OBJECT

    QString write(const QString& name, const QByteArray& bytes)
    {
        return writeTestFile(m_dir.path(), name, bytes);
    }
    QTemporaryDir m_dir;
    // A data file reader whose "Fopen:" messages are collected in m_messages.
    std::unique_ptr<qorDatFile> reader()
    {
        return std::make_unique<qorDatFile>([this](const QString& t) { m_messages << t; });
    }
    QStringList m_messages;
    qorDct m_dict; // for the data file reader

private slots:
    void init()
    {
        m_messages.clear();
        m_dict = qorDct();
        m_dict.setDLen(1, 20);
        m_dict.setDLen(10, 30);
        m_dict.setDLen(48, 8);
        m_dict.setDLen(56, -4); // a dictionary can hold a negative length
    }

    // Open status | layout (0 comma, 1 single or spaces, 2 tabs) | the header's field list.
    void headers_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("commas") << QByteArray("1,10,48") << "0|0| 1, 10, 48";
        QTest::newRow("tabs") << QByteArray("1\t10\t48") << "0|2| 1, 10, 48";
        QTest::newRow("single field") << QByteArray("182") << "0|1| 182";
        QTest::newRow("space before comma") << QByteArray("1 ,10") << "0|0| 1, 0, 10";
        QTest::newRow("empty entry") << QByteArray("1,,10") << "0|0| 1, 0, 10";
        QTest::newRow("spaces separate") << QByteArray("1 10") << "0|1| 1, 10";
        QTest::newRow("comma and tab") << QByteArray("1,10\t48") << "3|0|";
        QTest::newRow("letters") << QByteArray("SKU\tDESC") << "3|1|";
        QTest::newRow("empty line") << QByteArray("") << "0|1|";
        QTest::newRow("beyond 16 bits kept as written") << QByteArray("1,70000,10")
            << "0|0| 1, 70000, 10";
        QTest::newRow("most fields") << QByteArray(32766, ',') << "0|0|" + QStringList(32767,
            " 0").join(',');
        QTest::newRow("too many fields") << QByteArray(40000, ',') << "3|0|";
        QTest::newRow("gigantic") << QByteArray(24 * 1024 * 1024, '9') + "x" << "3|1|";
        // clang-format on
    }

    void headers()
    {
        QFETCH(QByteArray, header);
        QFETCH(QString, expected);
        const QString path = write("h.dat", header + "\r\n\"1\",\"x\"\r\n");
        auto r = reader();
        const qint16 status = r->fopen(path, m_dict);
        const QString fields = status == 0 ? r->FieldList() : QString();
        QCOMPARE(QString("%1|%2|%3").arg(status).arg(r->layout()).arg(fields), expected);
        QCOMPARE(r->isOpen(), status == 0);
        QCOMPARE(m_messages,
            status == 0 ? QStringList()
                        : QStringList { QStringLiteral("Invalid Header: ") + path });
        QList<qint32> arr; // the same list as numbers, ended by -1
        const int count = r->GetFieldList(arr);
        QCOMPARE(arr.takeLast(), -1);
        QCOMPARE(count, int(arr.size()));
        QStringList numbers;
        for (const qint32 n : arr)
            numbers << " " + QString::number(n);
        QCOMPARE(numbers.join(','), r->FieldList());
    }

    // Status (0 found, 1 blank, -1 not in the header) | a field of the first record, any line end.
    void records_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("expected");
        const QByteArray qc = "1,10,48\r\n";
        const QByteArray quoted = qc + "\"12345\",\"CLAW HAMMER, 16 OZ\",12.99";
        const QByteArray tabs = "1\t10\r\n1\t";
        // clang-format off
        QTest::newRow("quoted sku") << quoted << 1 << "0|12345";
        QTest::newRow("quoted with comma") << quoted << 10 << "0|CLAW HAMMER, 16 OZ";
        QTest::newRow("not in header") << quoted << 56 << "-1|";
        QTest::newRow("empty quoted") << qc + "1,\"\",2" << 10 << "1|";
        QTest::newRow("cut to length then trimmed")
            << qc + "1,\"" + QByteArray(25, 'A') + "     " + QByteArray(10, 'B') + "\",2" << 10
            << "0|" + QString(25, 'A');
        QTest::newRow("leading spaces stay") << qc + "1,  x  ,2" << 10 << "0|  x";
        QTest::newRow("byte 1 and 2") << qc + "1,\"O\x01Neil \x02" "Best\x02\",2" << 10
            << "0|O'Neil \"Best\"";
        QTest::newRow("Windows-1252") << qc + "1,\"\x80 5 \x96 caf\xe9\",2" << 10
            << QString::fromUtf8("0|€ 5 – café");
        QTest::newRow("fields past a short record are blank") << qc + "1,desc" << 48 << "1|";
        QTest::newRow("past an unclosed quote") << qc + "1,\"a,b" << 48 << "1|";
        QTest::newRow("unclosed quote runs to the end") << qc + "\"1,2,3" << 1 << "0|\"1,2,3";
        QTest::newRow("quote closed at the end") << qc + "1,2,\"x,y\"" << 48 << "0|x,y";
        QTest::newRow("tab layout keeps quotes inside") << tabs + "say \"hi\", ok" << 10
            << "0|say \"hi\", ok";
        QTest::newRow("tab layout strips enclosing quotes") << tabs + "\"a,b\"" << 10 << "0|a,b";
        QTest::newRow("comma layout splits in quotes") << QByteArray("1 10\r\n\"a,b\",c") << 10
            << "0|b\"";
        QTest::newRow("field listed twice reads the first")
            << QByteArray("10,1,10\r\nfirst,2,second") << 10 << "0|first";
        // 70000 wrapped to 16 bits would be 4464.
        QTest::newRow("number beyond 16 bits never matches") << QByteArray("1,70000,10\r\n1,big,d")
            << 4464 << "-1|";
        QTest::newRow("length zero empties") << QByteArray("1,54\r\n1,9.99") << 54 << "1|";
        QTest::newRow("negative length empties") << QByteArray("1,56\r\n1,9.99") << 56 << "1|";
        // clang-format on
    }

    void records()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, field);
        QFETCH(QString, expected);
        for (const QByteArray& end : { QByteArray("\r\n"), QByteArray("\n"), QByteArray() }) {
            auto r = reader();
            QCOMPARE(r->fopenData(file + end, "x", m_dict), qint16(0));
            QVERIFY(r->gr());
            QString got = QStringLiteral("junk");
            const qint16 status = r->gf(qint16(field), got);
            QCOMPARE(QString::number(status) + "|" + got, expected);
        }
    }

    void lineNavigation()
    {
        const QString path = write("nav.txt", "1\r\nA\r\nB\r\nC\r\n");
        auto r = reader();
        r->setBlockSize(3); // moving back and forth crosses blocks
        QCOMPARE(r->fopen(path, m_dict), qint16(0));
        QCOMPARE(r->lineNumber(), 0);
        // The line asked for (-1 the next one) and the line then held, "-" where there is none;
        // after the end, a line number starts over.
        const QList<std::pair<int, QString>> steps { { 3, "C" }, { 1, "A" }, { -1, "B" },
            { 2, "B" }, { -1, "C" }, { -1, "-" }, { -1, "-" }, { 4, "-" }, { 2, "B" } };
        for (const auto& [line, held] : steps) {
            QCOMPARE(r->gr(line), held != "-");
            QCOMPARE(held == "-" ? "-" : r->LineBuf(), held);
            if (held == "-" && line == -1)
                QCOMPARE(r->lineNumber(), 0);
        }
        // The file may go away: going back reads through the open handle.
        QFile::remove(path);
        QVERIFY(r->gr(1));
        QCOMPARE(r->LineBuf(), QStringLiteral("A"));
        r->fclose();
        QVERIFY(!r->gr());
    }

    void lineEnds_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("lines");
        // clang-format off
        QTest::newRow("CR LF and LF") << QByteArray("1\r\na\r\nb\nc") << QStringList { "a", "b",
            "c" };
        QTest::newRow("empty lines are records") << QByteArray("1\n\n\nx\n") << QStringList { "",
            "", "x" };
        QTest::newRow("lone CR stays") << QByteArray("1\na\rb\n") << QStringList { "a\rb" };
        QTest::newRow("NUL ends the data") << QByteArray("1\na\nb\0c\nd\n", 10)
            << QStringList { "a", "b" };
        QTest::newRow("NUL at a line start") << QByteArray("1\na\n\0b\n", 7) << QStringList { "a" };
        QTest::newRow("header only") << QByteArray("1\r\n") << QStringList {};
        QTest::newRow("header without line end") << QByteArray("1") << QStringList {};
        QTest::newRow("line far longer than a block") << QByteArray("1\r\n" + QByteArray(9000,
            'L') + "\r\n\r\nend")
                                                      << QStringList { QString(9000, 'L'), "",
                                                      "end" };
        // clang-format on
    }

    // The same lines at any block size, also lines longer than a block and a CR LF split in two.
    void lineEnds()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, lines);
        const QString path = write("lines.txt", file);
        for (const qint64 block : { 1, 2, 3, 5, 100, 65536 }) {
            auto r = reader();
            r->setBlockSize(block);
            QCOMPARE(r->fopen(path, m_dict), qint16(0));
            QStringList got;
            while (r->gr())
                got << r->LineBuf();
            QCOMPARE(got, lines);
        }
    }

    // Section INV at level 99: the load status, then field 10's (or the row's field's) alpha flag,
    // length and description.
    void fieldLines_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("lower-case name") << QByteArray("[inv]\r\n10,1,30:Desc\r\n") << 10
            << "0|1|30|Desc";
        QTest::newRow("level 150 not taken") << QByteArray("[INV]150\r\n10,1,30:Desc\r\n") << 10
            << "2|0|0|";
        QTest::newRow("other section") << QByteArray("[CIS]\r\n10,1,30:Desc\r\n") << 10 << "2|0|0|";
        QTest::newRow("later definition wins")
            << QByteArray("[INV]\r\n10,1,30:First\r\n[INV]\r\n10,0,12:Second\r\n") << 10
            << "0|0|12|Second";
        QTest::newRow("commas and colons in description")
            << QByteArray("[INV]\r\n10,1,30:Desc, with comma: and colon  \r\n") << 10
            << "0|1|30|Desc, with comma: and colon  ";
        QTest::newRow("no colon skipped") << QByteArray("[INV]\r\n10,1,30\r\n") << 10 << "0|0|0|";
        QTest::newRow("field above 199 skipped") << QByteArray("[INV]\r\n250,1,30:X\r\n") << 0
            << "0|0|0|";
        QTest::newRow("comment skipped") << QByteArray("[INV]\r\n/10,1,30:x\r\n") << 10 << "2|0|0|";
        QTest::newRow("header is the last line") << QByteArray("10,1,30:x\r\n[INV]") << 10
            << "2|0|0|";
        QTest::newRow("END stops reading") << QByteArray("[INV]\r\n[end]\r\n[INV]\r\n10,1,30:x\r\n")
            << 10 << "0|0|0|";
        // A "[" line without "]" still ends the selected section.
        QTest::newRow("bracket without close leaves the section")
            << QByteArray("[INV]\r\n[END\r\n10,1,30:x\r\n") << 10 << "0|0|0|";
        QTest::newRow("numbers with spaces and halves")
            << QByteArray("[INV]\r\n 10 , 2 ,30.5 :x\r\n") << 10 << "0|2|30|x";
        QTest::newRow("LF and CR line ends") << QByteArray("[INV]\n10,1,30:a\r48,0,8:b\n") << 48
            << "0|0|8|b";
        QTest::newRow("Windows-1252 description")
            << QByteArray("[INV]\r\n10,1,3:Caf\xe9 \x80\r\n") << 10
            << QString::fromUtf8("0|1|3|Café €");
        QTest::newRow("field number too large") << QByteArray("[INV]\r\n40000,1,2:x\r\n") << 10
            << "1|0|0|";
        QTest::newRow("length too large") << QByteArray("[INV]\r\n10,1,99999:x\r\n") << 10
            << "1|0|0|";
        QTest::newRow("level too large") << QByteArray("[INV]70000\r\n10,1,3:x\r\n") << 10
            << "1|0|0|";
        QTest::newRow("lines before the failure stay")
            << QByteArray("[INV]\r\n10,1,30:kept\r\n48,1,99999:x\r\n") << 10 << "1|1|30|kept";
        // clang-format on
    }

    // From a file and from memory alike.
    void fieldLines()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, field);
        QFETCH(QString, expected);
        qorDct d;
        qorDct m;
        const qint16 status = d.setup(write(QStringLiteral("d.dct"), file), "inv", 99);
        QCOMPARE(m.setupFromData(file, "INV", 99), status);
        for (const qorDct* dict : { &d, &m }) {
            const auto f = qint16(field);
            QCOMPARE(QString("%1|%2|%3|%4")
                         .arg(status)
                         .arg(dict->dAlpha(f))
                         .arg(dict->dLen(f))
                         .arg(dict->dDesc(f)),
                expected);
        }
    }

    void setupClearsAndTracksLast()
    {
        qorDct d;
        QCOMPARE(d.setupFromData("[INV]\r\n10,1,30:a\r\n182,1,60:b\r\n48,1,8:c\r\n", "INV", 99),
            qint16(0));
        QCOMPARE(d.dLast(), qint16(182));
        d.setDMaster(10, false);
        // A failed load leaves cleared entries: lengths 0, every field master.
        QCOMPARE(d.setup(m_dir.filePath("missing.dct"), "INV", 99), qint16(1));
        QCOMPARE(d.dLen(10), qint16(0));
        QCOMPARE(d.dLast(), qint16(0));
        QCOMPARE(d.dMaster(10), true);
        QCOMPARE(d.setup(QString(), "INV", 99), qint16(1));
        // Fields past 199 are taken modulo 1000; what is left out of range is field 0.
        d.setDLen(182, 160);
        d.setDLen(0, 7);
        d.setDLen(250, 99);
        d.setDDesc(-5, "x");
        d.setDStDat(1048, true);
        QCOMPARE(QList<qint16>({ d.dLen(1182), d.dLen(250), d.dLen(-5), d.dLen(-1182), d.dLen(0) }),
            QList<qint16>({ 160, 7, 7, 7, 7 }));
        QCOMPARE(d.dDesc(0), QString());
        QVERIFY(!d.dMaster(48) && d.dStDat(48));
    }

    // The status of the master/store block and whether field 48 is master (with prices the same at
    // every store, and without).
    void masterStore_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("empty block") << QByteArray("%BEGIN%\r\n%END%\r\n") << "0|1|1";
        QTest::newRow("S") << QByteArray("%BEGIN%\r\n48,S\r\n%END%\r\n") << "0|0|0";
        QTest::newRow("P") << QByteArray("%BEGIN%\r\n48,P\r\n%END%\r\n") << "0|1|0";
        QTest::newRow("lower case is no code") << QByteArray("%BEGIN%\r\n48,s\r\n%END%\r\n")
            << "0|1|1";
        QTest::newRow("after the END section")
            << QByteArray("[INV]\r\n48,1,8:x\r\n[END]\r\n%BEGIN%\r\n48,S\r\n") << "0|0|0";
        QTest::newRow("lines after END ignored") << QByteArray("%BEGIN%\r\n%END%\r\n48,S\r\n")
            << "0|1|1";
        QTest::newRow("no block") << QByteArray("[INV]\r\n48,1,8:x\r\n") << "2|1|1";
        QTest::newRow("nothing after BEGIN") << QByteArray("48,S\r\n%BEGIN%") << "2|1|1";
        QTest::newRow("field too large") << QByteArray("%BEGIN%\r\n48,S\r\n99999,S\r\n") << "1|0|0";
        // clang-format on
    }

    void masterStore()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        const QString path = write(QStringLiteral("ms.dct"), file);
        QStringList got;
        for (const bool prisame : { true, false }) {
            qorDct d;
            const qint16 status = d.setupms(path, prisame);
            if (prisame)
                got << QString::number(status);
            got << QString::number(d.dMaster(48));
            QVERIFY(d.dMaster(10));
        }
        QCOMPARE(got.join('|'), expected);
    }

    // The stored name is loaded without a question; a cancelled question changes neither the
    // dictionary nor the stored name; a file that does not load is remembered at once and offered
    // again.
    void rsetupAsksUntilLoadedOrCancelled()
    {
        TestSettingsScope scope;
        CommonDialog dlg(dialogs(), nullptr);
        qorDct d;
        const auto run = [&](bool ask) {
            return rsetup(d, ask, dlg, dialogs(), appSettings(), SettingsKeys::Setting::Dictionary,
                "INV", 99);
        };
        const QString good = write("good.dct", "[INV]\r\n10,1,30:D\r\n%BEGIN%\r\n%END%\r\n");
        appSettings().save(SettingsKeys::DICTIONARY, good);
        QVERIFY(run(false));
        QCOMPARE(d.dLen(10), qint16(30));
        QVERIFY(dialogs().fileRequests().isEmpty());

        d.setDLen(10, 5);
        dialogs().queueFile(std::nullopt);
        QVERIFY(!run(true));
        QCOMPARE(d.dLen(10), qint16(5));
        QCOMPARE(dialogs().fileRequests().at(0).fileName, good);
        QCOMPARE(stored(SettingsKeys::DICTIONARY), good);
        QVERIFY(dialogs().messages().isEmpty());

        const QString bad = write("bad.dct", "no section here\r\n");
        dialogs().queueFile(bad);
        dialogs().queueAnswer(DialogService::Answer::Ok);
        dialogs().queueFile(std::nullopt);
        QVERIFY(!run(true));
        QCOMPARE(dialogs().fileRequests().size(), 3);
        QCOMPARE(dialogs().fileRequests().at(2).fileName, bad);
        QCOMPARE(stored(SettingsKeys::DICTIONARY), bad);
        QCOMPARE(messageTexts(),
            QStringList { "Can not read dictionary file.  Select OK to try another name." });
        QVERIFY(dialogs().messages().at(0).buttons == DialogService::Buttons::OkCancel);
        // A chosen file without the master/store block loads, with a warning.
        dialogs().reset();
        dialogs().queueFile(write("noblock.dct", "[INV]\r\n10,1,30:D\r\n"));
        QVERIFY(run(true));
        QCOMPARE(messageTexts(), QStringList { qorDct::MasterStoreWarning });
    }

    void exportRows_data()
    {
        QTest::addColumn<QList<SignRow>>("signs");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("filled rows in file order, blank skus skipped")
            << QList<SignRow> { sign({ "100", "1.99", "2.49", "HAMMER", "b1", "b2", "b3", "0.80",
                                    "/p/h.jpg" }),
                   sign({ "   ", "skipped" }), sign({ "200", "", "", " lead and trail  " }),
                   sign({ "300", "x" }) }
            << QByteArray("100\tHAMMER\t2.49\t0.80\t1.99\tb1\tb2\tb3\t/p/h.jpg\r\n"
                          "200\t lead and trail  \t\t\t\t\t\t\t\r\n"
                          "300\t\t\t\tx\t\t\t\t\r\n");
        QTest::newRow("no sku anywhere: header only")
            << QList<SignRow> { SignRow(), sign({ "", "", "", "no sku" }) } << QByteArray();
        QTest::newRow("tabs and line breaks become spaces") << QList<SignRow> {
            sign({ "A\tB", "", "", QString::fromLatin1("two\r\nlines\nand\0nul", 18) })
        } << QByteArray("A B\ttwo  lines and nul\t\t\t\t\t\t\t\r\n");
    }

    // A new file is written without a question.
    void exportRows()
    {
        QFETCH(QList<SignRow>, signs);
        QFETCH(QByteArray, body);
        Fixture f;
        f.model.setRows(int(signs.size()) + 2); // and the usual empty last row
        for (int r = 0; r < signs.size(); ++r)
            f.model.setSignRow(r + 1, signs.at(r));
        f.settings.save(SettingsKeys::FILEIMPEXP, "/previous/file.txt");
        const QString path = m_dir.filePath(QTest::currentDataTag());
        QVERIFY(f.exportPath(path));
        QCOMPARE(readAll(path), Header + body);
        QCOMPARE(firstRequest(), "save|Export File|/previous/file.txt|2|1|0");
        QCOMPARE(stored(SettingsKeys::FILEIMPEXP), path);
        QVERIFY(dialogs().messages().isEmpty());
    }

    // An existing file is replaced only when the user says so; the question
    // names what the file holds and Enter alone answers No.
    void exportAsksBeforeReplacing_data()
    {
        QTest::addColumn<QByteArray>("existing");
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<bool>("replace");
        QTest::addColumn<QString>("question");
        const QByteArray data = Header + "11\tA\r\n\tno sku\r\n12\tB\r\n";
        const QString twoRecords = "items.txt already exists (2 records). Replace it with ";
        QTest::newRow("data file kept") << data << QStringList { "AAA", "", "BBB", "CCC" } << false
                                        << twoRecords + "the 3 signs of the list?";
        QTest::newRow("data file replaced")
            << data << QStringList { "AAA" } << true << twoRecords + "the 1 sign of the list?";
        QTest::newRow("other file kept")
            << QByteArray("24 items") << QStringList { "AAA" } << false
            << "items.txt already exists (8 bytes, not a data file). Replace it with the 1 sign "
               "of the list?";
    }
    void exportAsksBeforeReplacing()
    {
        QFETCH(QByteArray, existing);
        QFETCH(QStringList, list);
        QFETCH(bool, replace);
        const DialogService::Answer answer
            = replace ? DialogService::Answer::Yes : DialogService::Answer::No;
        Fixture f;
        f.model.setRows(int(list.size()) + 1);
        for (int r = 0; r < list.size(); ++r)
            f.model.setCell(r + 1, SignListModel::ColSku, list.at(r));
        const QString path = write("items.txt", existing);
        dialogs().queueAnswer(answer);
        QCOMPARE(f.exportPath(path), answer == DialogService::Answer::Yes);
        QCOMPARE(dialogs().messages().size(), 1);
        const DialogService::Message& asked = dialogs().messages().constFirst();
        QTEST(asked.text, "question");
        QCOMPARE(asked.buttons, DialogService::Buttons::YesNo);
        QCOMPARE(asked.defaultButton, DialogService::Answer::No);
        QCOMPARE(readAll(path),
            answer == DialogService::Answer::Yes ? Header + "AAA\t\t\t\t\t\t\t\t\r\n" : existing);
    }

    // A list without a SKU is not exported; a cancelled file dialog changes nothing.
    void refusedOrCancelled()
    {
        Fixture f;
        QVERIFY(!f.io.exportFile(f.dict));
        QCOMPARE(messageTexts(), QStringList { "Grid is empty.  No data to export" });
        QVERIFY(dialogs().fileRequests().isEmpty());
        dialogs().reset();
        f.model.setCell(1, 1, "1");
        f.settings.save(SettingsKeys::FILEIMPEXP, "kept");
        dialogs().queueFile(std::nullopt);
        QVERIFY(!f.io.exportFile(f.dict));
        dialogs().queueFile(std::nullopt);
        QCOMPARE(f.io.importFile(f.reader, f.dict, f.hooks), qint64(0));
        QCOMPARE(f.model.Rows(), 2);
        QCOMPARE(stored(SettingsKeys::FILEIMPEXP), QStringLiteral("kept"));
        QVERIFY(dialogs().messages().isEmpty());
        QCOMPARE(f.loads, 0);
    }

    void unencodableCharacterIsReported()
    {
        Fixture f;
        f.model.appendSigns({ sign({ "1", "", "", QString::fromUtf8("café € ok") }),
            sign({ "2", "", "", "", QString::fromUtf8("bullet Ω") }) });
        const QString path = write("earlier.txt", "earlier content");
        QVERIFY(!f.exportPath(path));
        QCOMPARE(messageTexts().last(),
            QString::fromUtf8("Row 3, bullet line 1: the character \"Ω\" can not be written to a "
                              "data file.  Nothing was written to ")
                + path);
        QCOMPARE(readAll(path), QByteArray("earlier content"));
    }

    void roundTrip()
    {
        const QString longPath = "/pictures/" + QString(200, QLatin1Char('p')) + ".jpg";
        const SignRow full
            = sign({ "1001", "$9.99", "12.49", QString::fromUtf8("Café hammer – 16 “oz”"), "Forged",
                "Steel", "Warranty", "5.10", longPath });
        // Cells in double quotes keep them.
        const SignRow quoted
            = sign({ "1004", "", "", "\"SPEEDY\" SAW 7-1/4\"", "\"\"", "\"", "a \"b\"" });
        const QString path = m_dir.filePath("roundtrip.txt");
        {
            Fixture f;
            f.model.appendSigns(
                { full, sign({ "1002", " spaced ", "", "x   " }), sign({ "1003" }), quoted });
            f.model.deleteRow(1);
            QVERIFY(f.exportPath(path));
        }
        // Read back after the rows a list holds; a file without a usable SKU adds no sign, only
        // another empty row.
        Fixture g;
        g.settings.save(SettingsKeys::FILEIMPEXP, "/last/used.txt");
        g.model.setCell(1, SignListModel::ColSku, "OLD");
        g.model.setRows(3); // the usual empty last row
        QCOMPARE(g.importPath(path), qint64(4));
        QCOMPARE(firstRequest(), "open|Import File|/last/used.txt|3|2|1");
        QCOMPARE(stored(SettingsKeys::FILEIMPEXP), path);
        QVERIFY(dialogs().messages().isEmpty());
        QVERIFY(!g.reader.isOpen());
        QCOMPARE(g.loads, 1);
        QCOMPARE(g.importPath(write("nosku.txt", "10\t48\r\nx\t1\r\n")), qint64(0));
        QCOMPARE(
            g.importPath(write("blank.txt", Header + "\tno sku\r\n   \tblank\r\n")), qint64(0));
        SignRow cut = full;
        cut.column(SignListModel::ColGraphic) = longPath.left(160);
        QCOMPARE(g.model.signRows(),
            (std::vector<SignRow> { sign({ "OLD" }), SignRow(), cut,
                sign({ "1002", " spaced", "", "x" }), sign({ "1003" }), quoted, SignRow(),
                SignRow(), SignRow() }));
    }

    // The import lets the window repaint, but the user's clicks and keys and a close request in the
    // middle of it are dropped, not run later.
    void userInputIsBlockedDuringImport()
    {
        Fixture f;
        QWidget window;
        auto* button = new QPushButton("Clear Grid", &window);
        auto* edit = new QLineEdit(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        int clicks = 0;
        int postedWork = 0;
        connect(button, &QPushButton::clicked, [&]() { ++clicks; });
        QList<qint64> progress;
        f.hooks.progress = [&](qint64 records) {
            if (progress.isEmpty()) {
                const QPointF at(5, 5);
                for (const QEvent::Type type :
                    { QEvent::MouseButtonPress, QEvent::MouseButtonRelease })
                    QCoreApplication::postEvent(button,
                        new QMouseEvent(type, at, button->mapToGlobal(at), Qt::LeftButton,
                            Qt::LeftButton, Qt::NoModifier));
                QCoreApplication::postEvent(
                    edit, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
                QCoreApplication::postEvent(&window, new QCloseEvent);
                QMetaObject::invokeMethod(
                    button, [&]() { ++postedWork; }, Qt::QueuedConnection);
            }
            progress << records;
        };
        QByteArray content = Header;
        for (int i = 0; i < 2000; ++i)
            content += "S" + QByteArray::number(i) + "\tdesc\r\n";
        QCOMPARE(f.importPath(write("many.txt", content)), qint64(2000));
        QCOMPARE(postedWork, 1); // other events were delivered during the import
        QCoreApplication::processEvents();
        QCOMPARE(clicks, 0);
        QCOMPARE(edit->text(), QString());
        QVERIFY(window.isVisible());
        QCOMPARE(progress.last(), qint64(2000)); // and not only at the end
        QVERIFY(progress.size() >= 2);
        QTest::mouseClick(button, Qt::LeftButton); // input works again afterwards
        QCOMPARE(clicks, 1);
    }

    // The window warns at start-up when the dictionary has no master/store block. The item graphic
    // path gets 160 characters whatever the dictionary says, after the Dictionary File command too.
    void windowDictionaryAndImport()
    {
        TestSettingsScope scope;
        const QByteArray fields = "[INV]\r\n1,1,10:SKU\r\n10,1,30:Desc\r\n182,1,12:Graphic\r\n";
        const QString noBlock = write("noblock.dct", fields);
        appSettings().save(SettingsKeys::DICTIONARY, noBlock);
        const QString longPath = "/pictures/" + QString(170, QLatin1Char('g'));
        const QString data = write(
            "win.txt", Header + "W1\tWindow item\t\t\t\t\t\t\t" + longPath.toLatin1() + "\r\n");
        frmSigns w(dialogs());
        QCOMPARE(messageTexts(),
            QStringList { "Warning: could not read master/store specific info from data "
                          "dictionary.  Will treat all info as master." });
        dialogs().queueFile(data);
        trigger(w, "mnuFileImport");
        QCOMPARE(w.model()->cell(1, 9), longPath.left(160));
        QCOMPARE(w.statusBar()->currentMessage(), "Signs read from the data file: 1");
        dialogs().reset();
        dialogs().queueFile(write("win.dct", fields + "%BEGIN%\r\n%END%\r\n"));
        trigger(w, "mnuFileDict");
        QCOMPARE(firstRequest(), "open|Open the Dictionary File|" + noBlock + "|2|1|1");
        dialogs().queueFile(data);
        trigger(w, "mnuFileImport");
        QCOMPARE(w.model()->Rows(), 5); // after the empty row the list had
        QCOMPARE(w.model()->cell(3, 9), longPath.left(160));
        QVERIFY(dialogs().messages().isEmpty());
    }

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
            QTest::newRow(w + " no room for a second file") << "noroom" << what << noSpace;
            // The temporary file beside it must keep within the name limit.
            QTest::newRow(w + " name of 255 bytes")
                << "<dir>/" + QString(251, 'n') + (w == "export" ? ".txt" : ".pdf") << what << "";
        }
        // clang-format off
        QTest::newRow("export pipe") << "pipe" << "export"
            << "No program is reading from the named pipe.";
        QTest::newRow("export folder") << "<dir>" << "export" << "It is a folder.";
        QTest::newRow("export missing folder") << "<dir>/no/such/folder/out.txt" << "export" << "-";
        // Also refused to the superuser.
        QTest::newRow("export read-only file system") << "/proc/version" << "export" << "-";
        QTest::newRow("signs pipe") << "pipe" << "signs" << "Runtime Error 482";
        // clang-format on
    }

    // A write that fails is reported (a PDF like a printer failure) and leaves an earlier file as
    // it was, also when the folder has no room for a second file.
    void writeFaults()
    {
        QFETCH(QString, where);
        QFETCH(QString, what);
        QFETCH(QString, reason);
        Fixture f;
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
            QCOMPARE(f.io.exportFile(f.dict), reason.isEmpty());
        } else if (what == "signs") {
            PrintTest::fill(f.model, { PrintTest::typicalSign(1), PrintTest::typicalSign(2) });
            PdfTest::PdfWindow window(target.path);
            dialogs().queueAnswer(DialogService::Answer::Yes);
            PrintTest::jobFor(f.model, f.settings, window).PrintSigns(true);
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
                QCOMPARE(readAll(target.path), Header + "A1\t\t\t\t\t\t\t\t\r\n");
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
            QCOMPARE(QDir(target.fsDir.path())
                         .entryList(QDir::Files | QDir::Hidden)
                         .filter(QRegularExpression("^\\.")),
                QStringList());
        }
    }

    // Result 1 at once for a pipe, a device, a folder and a line longer than any dictionary's.
    void dictionaryRefusesNonFiles()
    {
        Fifo fifo(m_dir.path());
        const QString longLine = write("long.dct", "[INV]\r\n1,1,20:S" + QByteArray(4 << 20, 'x'));
        for (const QString& path : { fifo.m_path, QString("/dev/zero"), m_dir.path(), longLine }) {
            qorDct dict;
            QCOMPARE(dict.setup(path, "INV", 99), qorDct::StatusUnreadable);
            QCOMPARE(dict.setupms(path, true), qorDct::StatusUnreadable);
        }
    }

    void importFaults_data()
    {
        QTest::addColumn<QString>("path"); // empty: a file of these bytes
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("messages"); // "<path>" the file's name
        QTest::addColumn<QStringList>("kept");
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
        QTest::newRow("header of 65,000 bytes") << "" << "1" + QByteArray(64997, ' ') + "\r\nA1\r\n"
            << QStringList() << QStringList { "KEEP", "A1" };
        QTest::newRow("header over 64 KiB") << "" << "1" + QByteArray(70000, ' ') + "\r\nA1\r\n"
            << QStringList { "Invalid Header: <path>", "Error in file header" } << keep;
        QTest::newRow("NUL in a record") << "" << QByteArray("1\r\nA1\r\nA2\0\r\nA3\r\n", 16)
            << QStringList { "Reading stopped at a NUL byte on line 3 of <path>.  2 records were "
               "read." }
            << QStringList { "KEEP", "A1", "A2" };
        QTest::newRow("named pipe") << "<pipe>" << QByteArray()
            << QStringList { "Can not open data file: <path>\nIt is a named pipe.",
            "Can not open file" } << keep;
        // A regular file whose first read fails.
        QTest::newRow("header unreadable") << "/proc/self/mem" << QByteArray()
            << QStringList { "Can not read data file: <path>", "File can not be read" } << keep;
        // clang-format on
    }

    // A file that can not be read is reported in two messages and leaves the list as it was;
    // records before a NUL byte are kept.
    void importFaults()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, kept);
        if (path.startsWith('/') && !QFileInfo::exists(path))
            QSKIP("not on this system");
        Fifo fifo(m_dir.path());
        path.replace("<pipe>", fifo.m_path).replace("<dir>", m_dir.path());
        if (path.isEmpty())
            path = writeTestFile(m_dir.path(), "import.txt", bytes);
        Fixture f;
        f.model.setCell(1, SignListModel::ColSku, "KEEP");
        dialogs().queueFile(path);
        f.io.importFile(f.reader, f.dict, {});
        QCOMPARE(messageTexts(), messages.replaceInStrings("<path>", path));
        if (messages.size() == 2) {
            const auto& m = dialogs().messages();
            QVERIFY(m.at(0).title == "Fopen:" && m.at(0).icon == DialogService::Icon::Exclamation);
            QVERIFY(m.at(1).title == "Alert:" && m.at(1).icon == DialogService::Icon::Information);
        }
        QCOMPARE(skus(f.model).filter(QRegularExpression(".")), kept);
    }

    // A read error ends the import: the line it cut is no record, and the message says where.
    void readErrorEndsTheRecords_data()
    {
        QTest::addColumn<qint64>("failAt");
        QTest::addColumn<QStringList>("read");
        QTest::addColumn<QString>("message");
        // Bytes: header 0-5, A1 6-13, A2 14-21, A3 22-31 (its line end at 31).
        const QString stopped
            = "Reading stopped by a read error on line %1 of items.txt.  %2 records were read.";
        QTest::newRow("in a record")
            << qint64(26) << QStringList { "A1", "A2" } << stopped.arg(4).arg(2);
        QTest::newRow("at a line's start")
            << qint64(14) << QStringList { "A1" } << stopped.arg(3).arg(1);
        QTest::newRow("before its line end")
            << qint64(31) << QStringList { "A1", "A2" } << stopped.arg(4).arg(2);
        QTest::newRow("none") << qint64(1000) << QStringList { "A1", "A2", "A3" } << QString();
    }
    void readErrorEndsTheRecords()
    {
        QFETCH(qint64, failAt);
        QFETCH(QStringList, read);
        QFETCH(QString, message);
        const QByteArray bytes = "1\t10\r\nA1\tone\r\nA2\ttwo\r\nA3\tthree\r\n";
        QCOMPARE(bytes.size(), 32);
        SignListModel model;
        qorDatFile reader;
        reader.setBlockSize(4);
        QCOMPARE(
            reader.fopenDevice(std::make_unique<FailingDevice>(bytes, failAt), "items.txt", m_dict),
            qorDatFile::StatusOk);
        SignListImportExport io(model);
        io.importRecords(reader, {});
        QCOMPARE(io.readResult(reader, "items.txt").message, message);
        QCOMPARE(skus(model), read << "");
    }

    // A link another clerk left in a shared folder is never written through, by any writer, and a
    // link to a device or a folder is refused; the user's own link to his own file is followed, and
    // the replace question names that file.
    void plantedLinks_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("link"); // "other" another clerk's, the others the user's own
        for (const char* what : { "export", "signs", "testpage", "worklist", "settings" }) {
            for (const char* link : { "other", "own", "device", "folder" })
                QTest::addRow("%s, %s link", what, link) << QString(what) << QString(link);
        }
    }
    void plantedLinks()
    {
        QFETCH(QString, what);
        QFETCH(QString, link);
        const OtherClerk clerk = otherClerk();
        if (clerk.uid < 0)
            QSKIP("a second account needs the superuser and useradd");
        Fixture f;
        // The victim's private file, and the group's drop folder (set-group-ID, not sticky).
        const QString home = f.scope.path() + "/home";
        const QString shared = f.scope.path() + "/shared";
        QVERIFY(QDir().mkpath(home) && QDir().mkpath(shared));
        ::chmod(QFile::encodeName(shared).constData(), 02775);
        const QByteArray precious = "export PATH=/usr/bin\n";
        const QString victim = writeTestFile(home, "precious.txt", precious);
        ::chmod(QFile::encodeName(victim).constData(), 0600);
        QString path = shared + (what == "export" ? "/list.txt" : "/signs.pdf");
        if (what == "worklist")
            path = f.scope.path() + "/data/kestrane/worklist.txt";
        if (what == "settings")
            path = QSettings(
                QSettings::NativeFormat, QSettings::UserScope, SettingsKeys::Application)
                       .fileName();
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile::remove(path);
        const QString leadsTo = link == "device" ? "/dev/null" : link == "folder" ? home : victim;
        QVERIFY(plantLink(leadsTo, path, link == "other" ? clerk.uid : int(::geteuid())));

        PrintTest::fill(f.model, { PrintTest::typicalSign(1) });
        QString error;
        if (what == "export") {
            dialogs().queueFile(path);
            dialogs().queueAnswer(DialogService::Answer::Yes);
            f.io.exportFile(f.dict);
        } else if (what == "signs") {
            PdfTest::PdfWindow window(path);
            dialogs().queueAnswer(DialogService::Answer::No);
            PrintTest::jobFor(f.model, f.settings, window).PrintSigns(true);
        } else if (what == "testpage") {
            QPrinter printer;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            frmCalibrate dlg(
                f.settings, dialogs(), &printer, [] {}, nullptr);
            dialogs().queueAnswer(DialogService::Answer::No);
            dlg.cmdPrintTest->click();
        } else if (what == "worklist") {
            WorkList list(f.model);
            QCOMPARE(list.path(), path);
            list.saveNow(&error);
        } else {
            error = SettingsStore::SaveSetting(
                SettingsKeys::Application, SettingsKeys::Section, "X", "1");
        }
        const QString told = (shownTexts() << error).join('\n');
        QVERIFY(QFileInfo(path).isSymLink());
        if (link == "own") {
            QCOMPARE(told, QString());
            if (what == "export")
                QCOMPARE(messageTexts().at(0),
                    "precious.txt already exists (21 bytes, not a data file). Replace it with the "
                    "1 sign of the list?");
            if (what == "signs" || what == "testpage")
                QCOMPARE(PrinterCanvas::PdfFileProblem(victim), QString());
            else
                QVERIFY(readAll(victim).contains(what == "settings" ? "X=1" : "\t"));
            return;
        }
        QVERIFY2(told.contains(path), qPrintable(told));
        QVERIFY2(told.contains(link == "other" ? "made by " + clerk.name : "which is not a file"),
            qPrintable(told));
        QCOMPARE(readAll(victim), precious);
        // Nothing was left behind either.
        QCOMPARE(
            QDir(QFileInfo(path).absolutePath())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                .filter(QRegularExpression("^\\.")),
            QStringList());
    }

    // A folder that refuses a new file for want of permission has the file written in place, but
    // only when the disk has room for the whole new content first.
    void inPlaceOnlyWithRoom_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("reason"); // empty: written
        QTest::newRow("fits") << 2000 << QString();
        QTest::newRow("disk full") << 200000 << "No space left on device";
    }
    void inPlaceOnlyWithRoom()
    {
        QFETCH(int, size);
        QFETCH(QString, reason);
        const OtherClerk clerk = otherClerk();
        if (clerk.uid < 0)
            QSKIP("a second account needs the superuser and useradd");
        SmallDisk disk("size=64k,mode=0755");
        if (!disk.mounted)
            QSKIP("mounting a small tmpfs needs the superuser");
        const QByteArray earlier(20000, 'e');
        const QString path = writeTestFile(disk.dir.path(), "list.txt", earlier);
        ::chown(QFile::encodeName(path).constData(), uid_t(clerk.uid), gid_t(-1));
        disk.fill();

        // The clerk, who owns the file but may not add one to the folder, writes it.
        const QByteArray content(size, 'n');
        const QString told = asClerk(clerk.uid, [&] {
            QString error;
            SafeFile::writeAll(path, content, &error);
            return error;
        });
        QCOMPARE(told, reason);
        QVERIFY(readAll(path) == (reason.isEmpty() ? content : earlier));
    }

    // A settings file the user cannot get at is reported as unreadable, not as unwritable.
    void unreadableSettings()
    {
        const OtherClerk clerk = otherClerk();
        if (clerk.uid < 0)
            QSKIP("a second account needs the superuser and useradd");
        TestSettingsScope scope;
        // The store's folder is closed to the clerk.
        const QString folder = scope.path() + "/closed";
        QVERIFY(QDir().mkpath(folder));
        writeTestFile(folder, "QORPOS.conf", "[KESTRANE]\nX=1\n");
        ::chmod(QFile::encodeName(scope.path()).constData(), 0755);
        ::chmod(QFile::encodeName(folder).constData(), 0700);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
        const QString told
            = asClerk(clerk.uid, [] { return SettingsStore::storeProblem("QORPOS"); });
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scope.path());
        QCOMPARE(told,
            "The settings file " + folder
                + "/QORPOS.conf cannot be read: Permission denied.  Settings made now will not be "
                  "kept.");
    }

    // A setting that cannot be saved is told once, with the system's reason, until one is saved
    // again; so is the window's at Exit.
    void settingsThatCannotBeSaved()
    {
        TestSettingsScope scope;
        SmallDisk disk("size=64k");
        if (!disk.mounted)
            QSKIP("mounting a small tmpfs needs the superuser");
        const QString store = disk.dir.path() + "/QORPOS.conf";
        QFile::copy(scope.path() + "/QORPOS.conf", store);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, disk.dir.path());
        const auto fill = [&disk] { disk.fill(); };
        QStringList told;
        SettingsStore::setSaveFailureHandler([&told](const QString& m) { told << m; });
        fill();
        const QString big(6000, 'b');
        QVERIFY(!SettingsStore::SaveSetting("QORPOS", "KESTRANE", "B", big).isEmpty());
        QVERIFY(!SettingsStore::SaveSetting("QORPOS", "KESTRANE", "C", big).isEmpty());
        QFile::remove(disk.dir.filePath("filler"));
        QCOMPARE(SettingsStore::SaveSetting("QORPOS", "KESTRANE", "D", "3"), QString());
        fill();
        QVERIFY(!SettingsStore::SaveSetting("QORPOS", "KESTRANE", "E", big).isEmpty());
        SettingsStore::setSaveFailureHandler({});
        QCOMPARE(told.size(), 2);
        QCOMPARE(told.at(0), told.at(1));
        QCOMPARE(told.at(0),
            "The settings could not be saved to " + store
                + ": No space left on device.  Settings made now will not be kept.");
        {
            // The window tells it once, at start or at Exit.
            frmSigns w(dialogs());
            w.close();
            QCOMPARE(messageTexts().size(), 1);
            QVERIFY2(messageTexts().at(0).contains(store)
                    && messageTexts().at(0).contains(
                        ": No space left on device.  Settings made now will not be kept."),
                qPrintable(messageTexts().at(0)));
        }
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scope.path());
    }

    // Item graphic, logo and print pictures refuse a pipe at once; the window starts when the
    // stored dictionary is one.
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

    // The store is its owner's alone; one that cannot be kept is reported once at start.
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
                     + " cannot be read: It is a folder.  Settings made now will not be kept."),
            1);
    }

    void storeReadsAndWrites()
    {
        TestSettingsScope scope;
        // A missing key gives the default, and reading never creates it.
        QCOMPARE(SettingsStore::GetSetting("QORPOS", "KESTRANE", "PRINTFORMAT", 0), QString("0"));
        QCOMPARE(SettingsStore::GetSetting("QORPOS", "KESTRANE", "FILEIMPEXP", QString()), "");
        const AppSettings settings(SettingsKeys::Application, SettingsKeys::Section);
        settings.save(SettingsKeys::MARGINTOP, "200.5");
        QCOMPARE(settings.get(SettingsKeys::Setting::MarginTopOffered).text(), QString("200.5"));
        QCOMPARE(settings.get(SettingsKeys::Setting::MarginTop).whole(), 200);
        settings.save(SettingsKeys::MARGINTOP, "-360");
        // Another section of the same application is a different value.
        SettingsStore::SaveSetting("QORPOS", "OTHER", "MARGINTOP", "1");
        QCOMPARE(settings.get(SettingsKeys::Setting::MarginTopOffered).text(), QString("-360"));
    }

    // A stored text as a 16-bit whole number (halves to even, the window placement's -1 where it
    // is no number or out of range), as a truth value (-1: none) and as its leading number.
    void storedNumbers_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected"); // whole16|truth|prefix
        // clang-format off
        QTest::newRow("half to even down") << "2.5" << "2|1|2.5";
        QTest::newRow("half to even up") << "3.5" << "4|1|3.5";
        QTest::newRow("negative half") << "-2.5" << "-2|1|-2.5";
        QTest::newRow("blanks around") << "  12 " << "12|1|12";
        QTest::newRow("letters") << "abc" << "-1|-1|0";
        QTest::newRow("trailing letters") << "12abc" << "-1|-1|12";
        QTest::newRow("beyond 16 bits") << "99999" << "-1|1|99999";
        QTest::newRow("top of range") << "32767" << "32767|1|32767";
        QTest::newRow("rounds out of range") << "32767.5" << "-1|1|32767.5";
        QTest::newRow("empty") << "" << "-1|-1|0";
        QTest::newRow("True") << "True" << "-1|1|0";
        QTest::newRow("False") << "False" << "-1|0|0";
        QTest::newRow("leading point") << ".5" << "0|1|0.5";
        QTest::newRow("negative") << "-360" << "-360|1|-360";
        QTest::newRow("lone sign") << "-" << "-1|-1|0";
        QTest::newRow("second point stops") << "0.5.5" << "-1|-1|0.5";
        // clang-format on
    }

    void storedNumbers()
    {
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        TestSettingsScope scope;
        const AppSettings settings(SettingsKeys::Application, SettingsKeys::Section);
        settings.save("KFTOP", stored);
        const std::optional<bool> value = NumberText::toTruth(stored);
        QCOMPARE(QString("%1|%2|%3")
                     .arg(settings.get(SettingsKeys::Setting::PlacementTop, "K").whole())
                     .arg(value.has_value() ? int(*value) : -1)
                     .arg(NumberText::leadingNumber(stored)),
            expected);
    }

    // Numbers too large for a double read as infinity, and as the nearest whole 32-bit number.
    void tooLargeForADouble()
    {
        const QString nines(400, QLatin1Char('9'));
        const QString tiny = "0." + QString(400, QLatin1Char('0')) + "1";
        for (const auto& [text, number, whole] : { std::tuple(nines, qInf(), INT_MAX),
                 std::tuple(QString(" -" + nines + ".5x"), -qInf(), INT_MIN),
                 std::tuple(QString("0." + nines), 1.0, 1), std::tuple(tiny, 0.0, 0) }) {
            QCOMPARE(NumberText::leadingNumber(text), number);
            QCOMPARE(NumberText::leadingWhole32(text), whole);
        }
    }

    void decodedSize_data()
    {
        QTest::addColumn<QSize>("stored");
        QTest::addColumn<QSize>("bound");
        QTest::addColumn<bool>("keepAspect");
        QTest::addColumn<QSize>("decoded");
        QTest::addColumn<QString>("name");
        // clang-format off
        QTest::newRow("no bound, over the limit") << QSize(9000, 7000) << QSize() << false
            << QSize(4096, 3185) << "p.jpg";
        QTest::newRow("drawn smaller") << QSize(800, 600) << QSize(120, 200) << false << QSize(120,
            200) << "p.jpg";
        QTest::newRow("drawn larger: never enlarged") << QSize(300, 200) << QSize(3000, 2000)
            << false << QSize(300, 200) << "p.jpg";
        QTest::newRow("drawn larger than the limit") << QSize(9000, 7000) << QSize(6000, 6000)
            << false << QSize(4096, 4096) << "p.jpg";
        QTest::newRow("PNG read a row at a time") << QSize(800, 600) << QSize(120, 200) << false
            << QSize(120, 200) << "p.png";
        QTest::newRow("PNG kept whole") << QSize(80, 60) << QSize() << false << QSize(80, 60)
            << "p.png";
        QTest::newRow("fit keeping the shape") << QSize(800, 400) << QSize(200, 200) << true
            << QSize(200, 100) << "p.jpg";
        // clang-format on
    }

    void decodedSize()
    {
        QFETCH(QSize, stored);
        QFETCH(QSize, bound);
        QFETCH(bool, keepAspect);
        QFETCH(QSize, decoded);
        QFETCH(QString, name);
        const QString path
            = PrintTest::writePicture(m_dir.path(), name, stored.width(), stored.height());
        QCOMPARE(PictureReader::probe(path), stored);
        const QImage image = PictureReader::read(
            path, bound, keepAspect ? Qt::KeepAspectRatio : Qt::IgnoreAspectRatio);
        QCOMPARE(image.size(), decoded);
        if (name.endsWith(".png"))
            QCOMPARE(
                image.pixelColor(decoded.width() - 1, decoded.height() - 1), QColor(200, 40, 40));
    }

    // Pictures far too large to decode whole (768 and 432 MB) are read at the capped size by the
    // item graphic, the print surfaces and the preview.
    void hugePicture()
    {
        for (const auto& [name, stored] : { std::pair { QString("huge.png"), QSize(16000, 12000) },
                 std::pair { QString("huge.jpg"), QSize(12000, 9000) } }) {
            const QString path = m_dir.filePath(name);
            QImage dark(
                stored, name.endsWith(".png") ? QImage::Format_Mono : QImage::Format_Grayscale8);
            if (dark.format() == QImage::Format_Mono)
                dark.setColorTable({ qRgb(0, 0, 0), qRgb(0, 0, 0) });
            dark.fill(0);
            QVERIFY(dark.save(path));
            dark = QImage();
            QCOMPARE(
                PictureReader::read(path).size(), stored.scaled(4096, 4096, Qt::KeepAspectRatio));
            ImageBox box;
            QVERIFY(box.loadPicture(path));
            PreviewCanvas preview(QSize(400, 300), 96, 96);
            QVERIFY_THROWS_NO_EXCEPTION(
                preview.PaintPicture(preview.LoadPicture(path), 0, 0, 1440, 1080));
            QVERIFY(preview.image().pixelColor(48, 36).lightness() < 16);
        }
    }

    // Pictures beyond the budget are let go, least recently drawn first; a picture drawn again at
    // the same size is the same image.
    void cacheBudget()
    {
        PictureCache cache(1024 * 1024); // room for six 200 x 200 pictures
        QStringList paths;
        for (int i = 0; i < 10; ++i)
            paths << PrintTest::writePicture(m_dir.path(), QString("c%1.png").arg(i), 200, 200);
        QList<qint64> keys;
        for (const QString& path : paths) {
            keys << cache.picture(path, QSize(200, 200)).cacheKey();
            QCOMPARE(cache.picture(paths[0], QSize(200, 200)).cacheKey(), keys[0]);
            QVERIFY(cache.bytesHeld() <= 1024 * 1024);
        }
        QCOMPARE(cache.picture(paths[9], QSize(200, 200)).cacheKey(), keys[9]);
        QVERIFY(cache.picture(paths[1], QSize(200, 200)).cacheKey() != keys[1]);
        QCOMPARE(cache.picture(paths[0], QSize(50, 50)).size(), QSize(50, 50));
        QString error;
        QVERIFY(cache.picture(m_dir.filePath("none.png"), QSize(9, 9), &error).isNull());
        QVERIFY(!error.isEmpty());
    }

    // Every edit keeps the numbers in column 0 and the hidden columns with their row, and tells
    // views correctly (checked by the model tester).
    void editsKeepNumbersAndHiddenColumns()
    {
        SignListModel model;
        QAbstractItemModelTester tester(
            &model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        model.setRows(6);
        model.setRows(4); // and writes to column 0 or the header row are ignored
        model.setCell(0, 1, "header");
        QCOMPARE(model.cell(0, 1) + model.cell(9, 0), QString("sku"));
        model.setSignRow(1, bulleted("A", "/a.jpg"));
        model.setSignRow(2, bulleted("B"));
        model.setSignRow(3, bulleted("C"));
        model.insertEmptyRow(1);
        QCOMPARE(model.cell(2, SignListModel::ColGraphic), QString("/a.jpg"));
        QCOMPARE(model.cell(2, SignListModel::ColBullet3), QString("A-b3"));
        model.duplicateRow(4);
        QCOMPARE(model.cell(5, SignListModel::ColBullet3), QString("C-b3"));
        model.deleteRow(2);
        model.appendSigns({ bulleted("X"), bulleted("Y") });
        QCOMPARE(skus(model), QStringList({ "", "B", "C", "C", "X", "Y" }));
        for (int r = 1; r < model.Rows(); ++r)
            QCOMPARE(model.cell(r, 0), QString::number(r));
        QCOMPARE(inserted.count(), 4);
        // Deleting the only row empties it and keeps it.
        model.reset();
        model.setSignRow(1, bulleted("ONLY", "/x.bmp"));
        model.deleteRow(1);
        QCOMPARE(model.Rows(), 2);
        QCOMPARE(model.signRow(1), SignRow());
        QCOMPARE(model.cell(1, 0), QString("1"));
    }

    void listSurvivesSessions()
    {
        TestSettingsScope scope;
        const QString path = scope.path() + "/data/kestrane/worklist.txt";
        // A row with every field and a character beyond ASCII comes back whole.
        const std::array<QString, 9> full { "DDD", "2.99", "3.49", "Crème hinge \"brass\"", "b1",
            "b2", "b3", "1.10", "/pictures/hinge.jpg" };
        {
            frmSigns w;
            typeList(w, { "AAA", "BBB", "CCC" });
            w.setCurrentRow(2);
            trigger(w, "mnuEditDeleteRow");
            // Saved shortly after the change, without waiting for the exit.
            QTRY_VERIFY(readAll(path).contains("CCC\t"));
            w.setCurrentRow(3);
            w.LoadSelectedRow();
            int i = 0;
            for (const char* box : { "txtSku", "txtPromo", "txtRetail", "txtDescription", "txtBp1",
                     "txtBp2", "txtBp3", "txtCost" })
                child<EntryBox>(w, box)->setText(full[size_t(i++)]);
            w.GraphicFile = full[8];
            trigger(w, "mnuEditSaveRow");
            w.close();
        }
        QVERIFY(readAll(path).startsWith(Header));
        {
            frmSigns w;
            QCOMPARE(skus(w), QStringList({ "AAA", "CCC", "DDD", "" }));
            QCOMPARE(w.statusBar()->currentMessage(), "Restored 3 signs from the last session");
            QCOMPARE(w.currentRow(), 4);
            QCOMPARE(w.model()->signRow(3).fields, full);
            QVERIFY(dialogs().messages().isEmpty());
            // The restored list is not a step to undo; an empty list is kept too.
            QVERIFY(!child<QAction>(w, "mnuEditUndo")->isEnabled());
            trigger(w, "mnuEditClearGrid");
            w.close();
        }
        frmSigns w;
        QCOMPARE(skus(w), QStringList({ "" }));
        QCOMPARE(w.statusBar()->currentMessage(), QString());
    }

    // The lines kept ready for the file must stay the list's through edits anywhere in a long list
    // (where they are held in several blocks).
    void fileFollowsEveryEdit()
    {
        TestSettingsScope scope;
        SignListModel model;
        std::vector<SignRow> signs(5000);
        for (int i = 0; i < 5000; ++i)
            signs[size_t(i)].column(SignListModel::ColSku) = QString::number(i);
        model.appendSigns(std::move(signs));
        WorkList list(model);
        list.watch();
        QRandomGenerator random(7);
        for (int step = 0; step < 400; ++step) {
            const int row = 1 + int(random.bounded(model.Rows() - 1));
            if (step % 4 == 0) {
                model.insertEmptyRow(row);
                model.setCell(row, SignListModel::ColSku, QString("new %1").arg(step));
            } else if (step % 4 == 1) {
                model.duplicateRow(row);
            } else if (step % 4 == 2) {
                model.deleteRow(row);
            } else {
                model.replaceRows(row, qMin(3, model.Rows() - row), { SignRow(), SignRow() });
                model.setCell(row, SignListModel::ColDescription, "x");
            }
        }
        model.appendSigns(std::vector<SignRow>(3000, model.signRow(1)));
        QVERIFY(list.saveNow(nullptr));
        QByteArray expected;
        QVERIFY(SignListImportExport::encodeRows(model.signRows(), list.path(), expected, nullptr));
        QCOMPARE(readAll(list.path()), expected);

        // A character the file cannot hold fails the save and keeps the last file.
        model.setCell(2, SignListModel::ColBullet1, "Ω");
        QString error;
        QVERIFY(!list.saveNow(&error));
        QVERIFY2(error.startsWith("Row 2, bullet line 1"), qPrintable(error));
        QCOMPARE(readAll(list.path()), expected);
    }

    // A file that cannot be read at all is set aside whole; a damaged line costs only that line.
    // Earlier copies move up a number, and the list is its owner's alone.
    void damagedFileIsSetAside_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("restored");
        QTest::addColumn<QString>("message"); // %1 the file
        QTest::addColumn<QByteArray>("setAside");
        const QByteArray a = "A\t\t\t\t\t\t\t\t\r\n", c = "C\t\t\t\t\t\tc7\t\t\r\n";
        QTest::newRow("empty") << QByteArray() << QStringList { "" }
                               << "The sign list of the last session could not be read (its first "
                                  "line is not the list's header).\nThe file was set aside as "
                                  "%1.bad and the list starts empty."
                               << QByteArray();
        QTest::newRow("a cut last line")
            << Header + a + c + "B\t" << QStringList { "A", "C", "" }
            << "Line 4 of the sign list of the last session is damaged.\nIt was set aside in "
               "%1.bad; the other 2 signs are restored."
            << Header + "B\t\r\n";
        QTest::newRow("two NUL bytes")
            << Header + "X\t\t\t" + '\0' + "\t\t\t\t\t\r\n" + c + "Y" + '\0' + "\r\n"
            << QStringList { "C", "" }
            << "2 lines of the sign list of the last session are damaged (the first is line 2).\n"
               "They were set aside in %1.bad; the other sign is restored."
            << Header + "X\t\t\t" + '\0' + "\t\t\t\t\t\r\nY" + '\0' + "\r\n";
    }

    void damagedFileIsSetAside()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, setAside);
        TestSettingsScope scope;
        const QString folder = scope.path() + "/data/kestrane";
        QVERIFY(QDir().mkpath(folder));
        const QString path = writeTestFile(folder, "worklist.txt", bytes);
        for (int n = 0; n <= 5; ++n)
            writeTestFile(folder, "worklist.txt.bad" + (n ? "." + QString::number(n) : ""),
                "copy " + QByteArray::number(n));
        frmSigns w;
        QTEST(skus(w), "restored");
        QFETCH(QString, message);
        QCOMPARE(messageTexts(), QStringList { message.arg(path) });
        QCOMPARE(readAll(path + ".bad"), setAside.isEmpty() ? bytes : setAside);
        for (int n = 1; n <= 5; ++n)
            QCOMPARE(
                readAll(path + ".bad." + QString::number(n)), "copy " + QByteArray::number(n - 1));
        // The next save makes a sound file again, for its owner only.
        typeList(w, { "AAA" });
        w.close();
        QVERIFY(readAll(path).contains("AAA\t"));
        QCOMPARE(QFileInfo(path).permissions() & 0x0077, QFile::Permissions());
        if (!setAside.isEmpty())
            QCOMPARE(QFileInfo(path + ".bad").permissions() & 0x0077, QFile::Permissions());
    }
};

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
