// Import and export of a 100,000-record sign list.
//
// Generates a tab-delimited file and a quote-and-comma file of 100,000
// records with every field of the import filled, then measures, each as the
// median of several runs: importing each file into a fresh list, exporting
// the 100,000-row list, and reading the same file line by line without any
// parsing (the floor an import cannot beat). Peak memory is the process's
// maximum resident set size.
//
//   bench_importexport [records] [runs]
#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "document/SignListModel.h"
#include "itemdata/SignListImportExport.h"
#include "itemdata/qorDatFile.h"
#include "itemdata/qorDct.h"
#include "ui/CommonDialog.h"
#include "ui/DialogService.h"
#include "ui/DictionaryCommands.h"
#include "ui/ImportExportCommands.h"
#include "ui/frmSigns.h"

#include <QAction>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double medianMs(int runs, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

long peakRssMb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// One record's fields in export order: SKU, description, retail, cost,
// promo, bullets 1 to 3, item graphic path; realistic lengths.
QList<QByteArray> fieldsOf(int i)
{
    const QByteArray n = QByteArray::number(i);
    return {
        "SKU" + n.rightJustified(7, '0'),
        "CLAW HAMMER FIBERGLASS HANDLE 16 OZ " + n.right(3),
        QByteArray::number(10 + i % 90) + ".99",
        QByteArray::number(5 + i % 40) + ".15",
        QByteArray::number(8 + i % 80) + ".49",
        "Forged steel head for strength",
        "Shock absorbing grip, size " + n.right(2),
        "Lifetime warranty",
        "C:\\POS\\IMAGES\\ITEMS\\" + n.rightJustified(8, '0') + ".JPG",
    };
}

void writeTabFile(const QString& path, int records)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    QByteArray out = SignListImportExport::ExportHeader.toLatin1() + "\r\n";
    for (int i = 0; i < records; ++i)
        out += fieldsOf(i).join('\t') + "\r\n";
    f.write(out);
}

void writeQuoteAndCommaFile(const QString& path, int records)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    QByteArray out = "1,10,48,54,56,177,178,179,182\r\n";
    for (int i = 0; i < records; ++i) {
        const QList<QByteArray> fields = fieldsOf(i);
        QList<QByteArray> quoted;
        for (int k = 0; k < fields.size(); ++k) {
            // Prices as plain numbers, text in quotes, as POS exports do.
            const bool number = k >= 2 && k <= 4;
            quoted << (number ? fields[k] : "\"" + fields[k] + "\"");
        }
        out += quoted.join(',') + "\r\n";
    }
    f.write(out);
}

qint64 importInto(SignListModel& model, const QString& path, const qorDct& dict)
{
    DialogService& dialogs = DialogService::instance();
    CommonDialog dialog(dialogs, nullptr);
    AppSettings settings(SettingsKeys::Application, SettingsKeys::Section);
    ImportExportCommands io(model, dialogs, dialog, settings);
    qorDatFile reader(DataFileDialogNotifier(dialogs));
    dialogs.queueFile(path);
    return io.importFile(reader, dict, {});
}

double rawLineRead(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    qint64 lines = 0;
    char buffer[4096];
    while (f.readLine(buffer, sizeof buffer) > 0)
        ++lines;
    return double(lines);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int records = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    const int runs = argc > 2 ? QByteArray(argv[2]).toInt() : 5;

    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    // The window's working list goes there too, not into the user's own.
    qputenv("XDG_DATA_HOME", dir.filePath("share").toLocal8Bit());
    DialogService::instance().setScripted(true);

    const QString tab = dir.filePath("items.txt");
    const QString qc = dir.filePath("items.dat");
    writeTabFile(tab, records);
    writeQuoteAndCommaFile(qc, records);

    qorDct dict;
    for (const qint16 f : { 1, 48, 54, 56 })
        dict.setDLen(f, 12);
    dict.setDLen(10, 40);
    for (const qint16 f : { 177, 178, 179 })
        dict.setDLen(f, 40);
    dict.setDLen(182, 160);

    std::printf("records %d, runs %d (medians)\n", records, runs);
    for (const QString& path : { tab, qc }) {
        qint64 added = 0;
        const double importMs = medianMs(runs, [&]() {
            SignListModel model;
            added = importInto(model, path, dict);
        });
        double lines = 0;
        const double floorMs = medianMs(runs, [&]() { lines = rawLineRead(path); });
        std::printf(
            "%-24s %7.1f MB  import %8.1f ms (%lld rows)  raw line read %7.1f ms (%.0f lines)\n",
            path.endsWith(".txt") ? "tab-delimited" : "quote-and-comma",
            double(QFileInfo(path).size()) / 1e6, importMs, static_cast<long long>(added), floorMs,
            lines);
    }

    // The same import from the menu of a shown main window, whose grid
    // follows the list as it grows.
    {
        const QString dct = dir.filePath("bench.dct");
        QFile dctFile(dct);
        dctFile.open(QIODevice::WriteOnly);
        dctFile.write("[INV]\r\n1,1,12:SKU\r\n10,1,40:Description\r\n48,0,12:Retail\r\n"
                      "54,0,12:Cost\r\n56,0,12:Promo\r\n177,1,40:B1\r\n178,1,40:B2\r\n"
                      "179,1,40:B3\r\n%BEGIN%\r\n%END%\r\n");
        dctFile.close();
        SettingsStore::SaveSetting(
            SettingsKeys::Application, SettingsKeys::Section, SettingsKeys::DICTIONARY, dct);
        qint64 rows = 0;
        const double windowMs = medianMs(runs, [&]() {
            frmSigns w(DialogService::instance());
            w.show();
            QCoreApplication::processEvents();
            DialogService::instance().queueFile(tab);
            w.findChild<QAction*>("mnuFileImport")->trigger();
            rows = w.model()->Rows() - 2;
        });
        std::printf("tab-delimited, window    import %8.1f ms (%lld rows)\n", windowMs,
            static_cast<long long>(rows));
        DialogService::instance().reset();
    }

    SignListModel model;
    importInto(model, tab, dict);
    SignListImportExport io(model);
    const QString out = dir.filePath("export.txt");
    bool ok = true;
    const double exportMs = medianMs(runs, [&]() { ok = io.writeList(out, nullptr) && ok; });
    std::printf("export of %d rows        export %8.1f ms (%s, %.1f MB)\n", model.Rows() - 2,
        exportMs, ok ? "written" : "FAILED", double(QFileInfo(out).size()) / 1e6);
    std::printf("peak RSS of the process  %ld MB\n", peakRssMb());
    return ok ? 0 : 1;
}
