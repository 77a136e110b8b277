#pragma once

// Helpers of the file tests: disks that fail, pipes nobody reads, a second user, and the
// import and export commands over a sign list of their own.

#include "PdfTestSupport.h"
#include "PrintTestSupport.h"
#include "base/NumberText.h"
#include "base/PictureReader.h"
#include "base/SafeFile.h"
#include "document/SignListModel.h"
#include "itemdata/SignListImportExport.h"
#include "itemdata/WorkList.h"
#include "itemdata/qorDatFile.h"
#include "itemdata/qorDct.h"
#include "printing/PreviewCanvas.h"
#include "printing/PrinterCanvas.h"
#include "support/TestSupport.h"
#include "ui/CommonDialog.h"
#include "ui/DictionaryCommands.h"
#include "ui/EntryBox.h"
#include "ui/ImageBox.h"
#include "ui/ImportExportCommands.h"
#include "ui/frmCalibrate.h"
#include "ui/frmSignLogo.h"
#include "ui/frmSigns.h"

#include <QAction>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>
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

// The messages shown, but for the question before replacing a file.
inline QStringList shownTexts()
{
    return messageTexts().filter(QRegularExpression("^(?!.*already exists)"));
}

// A named pipe nobody uses; a watchdog opens both ends after 3 s so a block fails, not hangs.
struct Fifo
{
    const QString m_path;
    std::atomic<bool> m_stop { false };
    std::thread m_watchdog;

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
        if (filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered | QIODevice::Append))
            while (filler.write(QByteArray(4096, 'f')) == 4096) { }
    }
};

// Where a test writes: "full" a full tmpfs holding an earlier file, "noroom" a tmpfs without room
// for one more file, "pipe" a pipe without reader, or a path ("<dir>" the test's folder).
struct Target
{
    std::unique_ptr<SmallDisk> disk;
    bool tmpfs = false, mounted = false;
    std::unique_ptr<Fifo> fifo;
    QString path;
    QByteArray earlier;

    Target(const QString& where, const QString& name, const QString& folder)
        : tmpfs(where == "full" || where == "noroom")
        , path(QString(where).replace("<dir>", folder))
    {
        if (where == "pipe")
            path = (fifo = std::make_unique<Fifo>(folder))->m_path;
        if (!tmpfs)
            return;
        disk = std::make_unique<SmallDisk>(where == "full" ? "size=64k" : "size=1m,nr_inodes=2");
        earlier = "earlier content\n";
        if ((mounted = disk->mounted))
            path = writeTestFile(disk->dir.path(), name, earlier);
        if (mounted && where == "full")
            disk->fill();
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
    qint64 readData(char* data, qint64 max) override
    {
        const qint64 n = qMin(max, qMin<qint64>(m_failAt, m_bytes.size()) - pos());
        if (n <= 0)
            return pos() >= m_failAt ? -1 : 0;
        std::memcpy(data, m_bytes.constData() + pos(), size_t(n));
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }
    QByteArray m_bytes;
    qint64 m_failAt;
};

// What work returns when run as the user uid, in a process of its own (given up after 20 s).
inline QString asClerk(int uid, const std::function<QString()>& work)
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
    QFile reader;
    reader.open(result[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    const QByteArray text = reader.readAll();
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? QString::fromUtf8(text) : QString("<the clerk's process failed>");
}

inline SignRow sign(const QStringList& columns)
{
    SignRow row;
    for (int c = 0; c < columns.size() && c < SignRow::FieldCount; ++c)
        row.fields[size_t(c)] = columns.at(c);
    return row;
}

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// The first file dialog: mode, title, offered name, filter count and index, must exist.
inline QString firstRequest()
{
    const DialogService::FileRequest r = dialogs().fileRequests().at(0);
    return QString("%1|%2|%3|%4|%5|%6")
        .arg(r.mode == DialogService::FileMode::Save ? "save" : "open", r.title, r.fileName,
            QString::number(r.filters.size()), QString::number(r.filterIndex),
            QString::number(r.mustExist));
}

inline const QByteArray Header = "1\t10\t48\t54\t56\t177\t178\t179\t182\r\n";

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
inline SignRow bulleted(const QString& sku, const QString& graphic = QString())
{
    return sign({ sku, "", "", "", "", "", sku + "-b3", "", graphic });
}
