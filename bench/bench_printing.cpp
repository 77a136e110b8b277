// Printing benchmark: a sign list to a PDF through the real printer surface,
// and one preview page at 1920 x 1080.
//
//   bench_printing [--signs N] [--format 0|1|2] [--pictures] [--desc]
//                  [--runs R] [--preview] [--keep FILE] [--layout-only]
//                  [--distinct-pictures N] [--huge-png SIDE]
//
// --keep FILE keeps the PDF, or with --preview saves the preview page image.
// --distinct-pictures N gives the signs N different 800 x 800 photos (each
// sign its own when N >= signs); --huge-png SIDE gives every sign one PNG of
// SIDE x SIDE pixels.
//
// Prints the median wall time of R runs, the PDF's size and the process's
// peak resident memory. Settings go to a temporary folder.

#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "document/SignListModel.h"
#include "printing/PreviewCanvas.h"
#include "printing/PrintJob.h"
#include "printing/PrinterCanvas.h"
#include "printing/SignCanvas.h"
#include "support/RecordingCanvas.h"
#include "ui/DialogPrintHost.h"
#include "ui/DialogService.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QSettings>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class BenchWindow : public DialogPrintHost
{
public:
    BenchWindow(QPrinter* printer, int format, bool bullet, SignOptions options)
        : DialogPrintHost(DialogService::instance())
        , m_printer(printer)
        , m_format(format)
        , m_bullet(bullet)
        , m_options(std::move(options))
    {
    }
    PrintOptions options(const AppSettings& settings) const
    {
        PrintOptions run;
        run.format = formatFromIndex(m_format);
        run.bullet = m_bullet;
        run.sign = m_options;
        ReadCalibration(settings, run);
        return run;
    }
    std::unique_ptr<SignCanvas> openPrinterCanvas() override
    {
        if (!m_printer) {
            // Layout only: a surface that neither draws nor records.
            auto canvas = std::make_unique<RecordingCanvas>();
            canvas->setRecording(false);
            return canvas;
        }
        return std::make_unique<PrinterCanvas>(m_printer);
    }
    std::unique_ptr<SignCanvas> openPreviewCanvas() override
    {
        return std::make_unique<PreviewCanvas>(QSize(1920, 1080), 96, 96);
    }
    void showPreview(const SignCanvas& canvas) override
    {
        if (!savePreview.isEmpty())
            static_cast<const PreviewCanvas&>(canvas).image().save(savePreview);
    }
    QString savePreview;
    void showProgress(bool, qint32, qint32) override { }
    void endProgress() override { }

private:
    QPrinter* m_printer;
    int m_format;
    bool m_bullet;
    SignOptions m_options;
};

// A photo-like JPEG (gradients and rings) so the encoder has real work.
QString writeJpeg(const QString& dir, const QString& name, int w, int h, int seed)
{
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, w, h);
    g.setColorAt(0, QColor::fromHsv(seed * 50 % 360, 200, 230));
    g.setColorAt(1, QColor::fromHsv((seed * 50 + 120) % 360, 160, 90));
    p.fillRect(image.rect(), g);
    p.setPen(QPen(Qt::white, 6));
    for (int r = 20; r < std::max(w, h); r += 40)
        p.drawEllipse(QPoint(w / 2, h / 2), r, r);
    p.end();
    const QString path = dir + QLatin1Char('/') + name;
    image.save(path, "JPG", 85);
    return path;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// CPU seconds this process has used (user + system): less disturbed than
// wall time when other work shares the machine.
double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long peakRssKb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    int signs = 1000, format = 0, runs = 5;
    bool pictures = false, desc = false, preview = false, layoutOnly = false;
    int distinct = 4, hugeSide = 0;
    QString keep;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == "--signs" && i + 1 < args.size())
            signs = args[++i].toInt();
        else if (a == "--format" && i + 1 < args.size())
            format = args[++i].toInt();
        else if (a == "--runs" && i + 1 < args.size())
            runs = args[++i].toInt();
        else if (a == "--keep" && i + 1 < args.size())
            keep = args[++i];
        else if (a == "--pictures")
            pictures = true;
        else if (a == "--desc")
            desc = true;
        else if (a == "--preview")
            preview = true;
        else if (a == "--layout-only")
            layoutOnly = true;
        else if (a == "--distinct-pictures" && i + 1 < args.size())
            pictures = true, distinct = std::max(1, args[++i].toInt());
        else if (a == "--huge-png" && i + 1 < args.size())
            pictures = true, hugeSide = args[++i].toInt();
    }

    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    DialogService::instance().setScripted(true);
    const AppSettings settings(SettingsKeys::Application, SettingsKeys::Section);
    settings.save(SettingsKeys::MARGINLEFT, "270");
    settings.save(SettingsKeys::MARGINTOP, "180");

    SignOptions options { 1, 0, 1, 1, 0, QStringLiteral("SALE") };
    QStringList items;
    if (pictures) {
        settings.save(SettingsKeys::FILELOGO, writeJpeg(dir.path(), "logo.jpg", 900, 300, 7));
        if (hugeSide > 0) {
            // One bit per pixel keeps the file quick to make; decoding still
            // expands every pixel.
            QImage huge(hugeSide, hugeSide, QImage::Format_Mono);
            huge.setColorCount(2);
            huge.setColor(0, qRgb(30, 90, 160));
            huge.setColor(1, qRgb(240, 240, 240));
            huge.fill(0);
            items << dir.path() + "/huge.png";
            huge.save(items.back());
        } else {
            for (int i = 0; i < distinct; ++i)
                items << writeJpeg(dir.path(), QString("item%1.jpg").arg(i), 800, 800, i);
        }
        options.logo = 1;
        options.graphic = 1;
    }

    SignListModel model;
    std::vector<SignRow> rows(static_cast<size_t>(signs));
    for (int i = 0; i < signs; ++i) {
        SignRow& r = rows[size_t(i)];
        r.column(SignListModel::ColSku) = QString::number(100000 + i);
        r.column(SignListModel::ColPromo)
            = i % 7 == 0 ? QStringLiteral(".99") : QStringLiteral("%1.99").arg(i % 90 + 1);
        r.column(SignListModel::ColRetail) = QStringLiteral("%1.49").arg(i % 90 + 3);
        r.column(SignListModel::ColDescription)
            = QStringLiteral("Cordless drill driver kit with two batteries and case %1").arg(i);
        r.column(SignListModel::ColBullet1) = QStringLiteral("18 volt lithium-ion");
        r.column(SignListModel::ColBullet2) = QStringLiteral("Keyless 1/2 inch chuck");
        r.column(SignListModel::ColBullet3) = QStringLiteral("Two year warranty");
        if (pictures)
            r.column(SignListModel::ColGraphic) = items[i % items.size()];
    }
    model.reset();
    model.appendSigns(std::move(rows));

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageMargins(QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);
    const QString pdf = keep.isEmpty() ? dir.path() + "/bench.pdf" : keep;
    printer.setOutputFileName(pdf);

    BenchWindow window(layoutOnly ? nullptr : &printer, format, !desc, options);
    if (preview)
        window.savePreview = keep;
    std::vector<double> times;
    std::vector<double> cpu;
    if (preview) {
        // One preview page: the first four (or two, or one) signs drawn on a
        // fresh 1920 x 1080 surface.
        const int perPage = format == 0 ? 4 : format == 1 ? 2 : 1;
        SignListModel page;
        page.reset();
        page.setRows(perPage + 1);
        for (int i = 1, r = 1; i <= perPage && r < model.Rows(); ++r) {
            if (!model.cell(r, SignListModel::ColSku).isEmpty())
                page.setSignRow(i++, model.signRow(r));
        }
        for (int r = 0; r < runs; ++r) {
            DialogService::instance().queueAnswer(DialogService::Answer::Ok);
            QElapsedTimer t;
            t.start();
            const double c0 = cpuSeconds();
            PrintJob job(page, settings, window.options(settings), window);
            job.PrintSigns(false);
            times.push_back(t.nsecsElapsed() / 1e6);
            cpu.push_back((cpuSeconds() - c0) * 1e3);
        }
        std::printf(
            "preview format=%d %s pictures=%d: median %.1f ms wall, %.1f ms CPU over %d runs, "
            "peak RSS %ld MB\n",
            format, desc ? "desc" : "bullet", pictures, median(times), median(cpu), runs,
            peakRssKb() / 1024);
        return 0;
    }

    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        const double c0 = cpuSeconds();
        PrintJob job(model, settings, window.options(settings), window);
        job.PrintSigns(true);
        times.push_back(t.nsecsElapsed() / 1e9);
        cpu.push_back(cpuSeconds() - c0);
        if (!DialogService::instance().messages().isEmpty()) {
            std::fprintf(stderr, "error: %s\n",
                qPrintable(DialogService::instance().messages().last().text));
            return 1;
        }
    }
    std::printf("%s format=%d %s signs=%d pictures=%d: median %.3f s wall (min %.3f, max %.3f), "
                "%.3f s CPU over %d runs, PDF %.2f MB, peak RSS %ld MB\n",
        layoutOnly ? "layout-only" : "print", format, desc ? "desc" : "bullet", signs, pictures,
        median(times), *std::min_element(times.begin(), times.end()),
        *std::max_element(times.begin(), times.end()), median(cpu), runs,
        QFileInfo(pdf).size() / 1048576.0, peakRssKb() / 1024);
    return 0;
}
