// Times the row commands and a full grid repaint on a list of 100,000 filled
// rows, the creation of the main window, and the process's peak memory. The
// working list is on, as in use: the commands are timed while it saves.
// Then, in a process of its own, 50 rounds of Clear Grid and Read Data File
// of a 100,000-record file, and that process's peak memory: what the undo
// history holds on to.
//   bench_signlist [rows]
//   bench_signlist --read-rounds      (only the rounds)
#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "document/SignListModel.h"
#include "itemdata/WorkList.h"
#include "ui/DialogService.h"
#include "ui/frmSigns.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <typename F> double timeMs(F&& f)
{
    QElapsedTimer timer;
    timer.start();
    f();
    return double(timer.nsecsElapsed()) / 1e6;
}

long peakRssMb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

SignRow sampleSign(int i)
{
    SignRow row;
    row.column(SignListModel::ColSku) = QString::number(100000 + i);
    row.column(SignListModel::ColPromo) = QStringLiteral("%1.99").arg(i % 97);
    row.column(SignListModel::ColRetail) = QStringLiteral("%1.49").arg(i % 97 + 3);
    row.column(SignListModel::ColDescription)
        = QStringLiteral("Stainless steel wood screws #%1 x 1-1/4 in, box of 100").arg(i % 12);
    row.column(SignListModel::ColBullet1) = QStringLiteral("Corrosion resistant");
    row.column(SignListModel::ColBullet2) = QStringLiteral("Phillips drive, flat head");
    row.column(SignListModel::ColBullet3) = QStringLiteral("For indoor and outdoor use");
    row.column(SignListModel::ColCost) = QStringLiteral("%1.10").arg(i % 50);
    if (i % 10 == 0)
        row.column(SignListModel::ColGraphic) = QStringLiteral("/srv/pictures/item%1.jpg").arg(i);
    return row;
}

// Writes a tab-delimited data file of that many records, each filled as
// sampleSign fills a row.
bool writeDataFile(const QString& path, int records)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray text = "1\t10\t48\t54\t56\t177\t178\t179\r\n";
    for (int i = 0; i < records; ++i) {
        const SignRow row = sampleSign(i);
        for (int column :
            { SignListModel::ColSku, SignListModel::ColDescription, SignListModel::ColRetail,
                SignListModel::ColCost, SignListModel::ColPromo, SignListModel::ColBullet1,
                SignListModel::ColBullet2, SignListModel::ColBullet3 }) {
            text += row.column(column).toLatin1();
            text += column == SignListModel::ColBullet3 ? "\r\n" : "\t";
        }
    }
    return file.write(text) == text.size();
}

int readRounds(const QString& folder)
{
    constexpr int Rounds = 50;
    constexpr int Records = 100000;
    const QString data = folder + QStringLiteral("/items.txt");
    if (!writeDataFile(data, Records)) {
        std::printf("cannot write %s\n", qPrintable(data));
        return 1;
    }
    frmSigns w;
    w.show();
    QCoreApplication::processEvents();
    const long before = peakRssMb();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Rounds; ++i) {
        w.findChild<QAction*>("mnuEditClearGrid")->trigger();
        w.readDataFile(data);
    }
    std::printf("%d rounds of Clear Grid and Read Data File of %d records: %.1f s, rows now %d\n",
        Rounds, Records, double(timer.elapsed()) / 1000, w.model()->Rows() - 1);
    std::printf("peak memory: %ld MB before the rounds, %ld MB after them\n", before, peakRssMb());
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settingsDir;
    qputenv("XDG_CONFIG_HOME", settingsDir.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", settingsDir.filePath(QStringLiteral("share")).toLocal8Bit());
    QApplication app(argc, argv);
    // A dictionary to load at start-up, and no dialog that could wait for
    // an answer.
    DialogService::instance().setScripted(true);
    const QString dictionary = settingsDir.filePath(QStringLiteral("pos.dct"));
    QFile dct(dictionary);
    if (dct.open(QIODevice::WriteOnly))
        dct.write("[INV]\r\n1,1,20:SKU\r\n10,1,60:Description\r\n48,1,10:Retail\r\n"
                  "54,1,10:Cost\r\n56,1,10:Promo\r\n177,1,40:Bullet 1\r\n"
                  "178,1,40:Bullet 2\r\n179,1,40:Bullet 3\r\n[END]\r\n%BEGIN%\r\n%END%\r\n");
    dct.close();
    SettingsStore::SaveSetting(
        SettingsKeys::Application, SettingsKeys::Section, SettingsKeys::DICTIONARY, dictionary);
    if (argc > 1 && qstrcmp(argv[1], "--read-rounds") == 0)
        return readRounds(settingsDir.path());
    const int rows = argc > 1 ? std::max(1, atoi(argv[1])) : 100000;
    constexpr int Runs = 15;

    std::vector<double> createMs;
    for (int i = 0; i < 5; ++i) {
        createMs.push_back(timeMs([] {
            frmSigns w;
            w.show();
            QCoreApplication::processEvents();
        }));
    }
    std::printf("main window created and shown: first %.1f ms, median of 5 %.1f ms\n",
        createMs.front(), median(createMs));

    frmSigns w;
    w.show();
    QCoreApplication::processEvents();
    std::vector<SignRow> signs;
    signs.reserve(size_t(rows));
    for (int i = 0; i < rows; ++i)
        signs.push_back(sampleSign(i));
    const double fillMs = timeMs([&] { w.model()->appendSigns(std::move(signs)); });
    std::printf("filled %d rows in %.1f ms\n", rows, fillMs);

    // Lets the working list's save of the last change start, so that the
    // next command is timed while it writes.
    auto letSaveStart = [] {
        QElapsedTimer wait;
        wait.start();
        while (wait.elapsed() < WorkList::SaveDelayMs + 20)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    };
    std::vector<double> insertMs, deleteMs, copyMs, undoMs, saveMs, repaintMs;
    for (int i = 0; i < Runs; ++i) {
        w.setCurrentRow(1);
        insertMs.push_back(timeMs([&] { w.findChild<QAction*>("mnuEditInsertRow")->trigger(); }));
        letSaveStart();
        deleteMs.push_back(timeMs([&] { w.findChild<QAction*>("mnuEditDeleteRow")->trigger(); }));
        letSaveStart();
        copyMs.push_back(timeMs([&] { w.findChild<QAction*>("mnuEditCopyRow")->trigger(); }));
        undoMs.push_back(timeMs([&] { w.findChild<QAction*>("mnuEditUndo")->trigger(); }));
        letSaveStart();
    }
    for (int i = 0; i < Runs; ++i) {
        w.setCurrentRow(w.model()->Rows() - 1);
        w.LoadSelectedRow();
        saveMs.push_back(timeMs([&] {
            w.findChild<QAction*>("mnuEditSaveRow")->trigger();
            QCoreApplication::processEvents();
        }));
        letSaveStart();
    }
    for (int i = 0; i < Runs; ++i)
        repaintMs.push_back(
            timeMs([&] { w.findChild<QTableView*>("msfGrid")->viewport()->repaint(); }));
    // A whole save as at exit, the file's lines made afresh.
    std::vector<double> writeMs;
    WorkList list(*w.model());
    for (int i = 0; i < 5; ++i)
        writeMs.push_back(timeMs([&] { list.saveNow(nullptr); }));

    std::printf("Insert Row at row 1: median %.2f ms\n", median(insertMs));
    std::printf("Delete Row at row 1: median %.2f ms\n", median(deleteMs));
    std::printf("Copy Row at row 1:   median %.2f ms\n", median(copyMs));
    std::printf("Undo (of Copy Row):  median %.2f ms\n", median(undoMs));
    std::printf("Save Row at the end: median %.2f ms\n", median(saveMs));
    std::printf("working list, whole save with every line made: median %.2f ms\n", median(writeMs));
    std::printf("full grid repaint:   median %.2f ms\n", median(repaintMs));
    std::printf("peak memory: %ld MB (rows now %d)\n", peakRssMb(), w.model()->Rows() - 1);
    std::fflush(stdout);

    QProcess rounds;
    rounds.setProcessChannelMode(QProcess::ForwardedChannels);
    rounds.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--read-rounds") });
    rounds.waitForFinished(-1);
    return rounds.exitCode();
}
