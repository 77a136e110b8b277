#include "printing/PrintJob.h"

#include "document/SignListModel.h"
#include "printing/PagePainter.h"
#include "printing/PrintPlan.h"
#include "printing/RunTimeError.h"
#include "printing/SignCanvas.h"
#include "printing/SignPainter.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

const QString LineBreak = QStringLiteral("\r\n");

} // namespace

QString PrintResultMessage(const PrintResult& result)
{
    auto count = [](qint32 n, const char* one, const char* many) {
        return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
    };
    // A long list of rows is cut short; the count says how many.
    auto rowList = [](const std::vector<int>& rows) {
        constexpr size_t Listed = 5;
        QStringList listed;
        for (size_t i = 0; i < rows.size() && i < Listed; ++i)
            listed << QString::number(rows[i]);
        if (rows.size() > Listed)
            listed << QStringLiteral("...");
        return QStringLiteral("(%1 %2)").arg(
            rows.size() == 1 ? QStringLiteral("row") : QStringLiteral("rows"),
            listed.join(QStringLiteral(", ")));
    };
    QStringList parts;
    if (!result.rowsCut.empty())
        parts << QStringLiteral("%1 cut ").arg(result.rowsCut.size()) + rowList(result.rowsCut);
    if (result.signsShrunk > 0)
        parts << QStringLiteral("%1 shrunk to fit").arg(result.signsShrunk);
    if (!result.rowsBarcodeLeftOff.empty())
        parts << QStringLiteral("barcode left off ") + rowList(result.rowsBarcodeLeftOff);
    QString done = count(result.signs, "sign", "signs")
        + (result.preview ? QStringLiteral(" previewed on ") : QStringLiteral(" printed on "))
        + count(result.pages, "page", "pages");
    if (!result.preview)
        done += QStringLiteral(" to ") + result.destination;
    parts << done;
    return parts.join(QStringLiteral("; "));
}

QString PreviewPageMessage(qint32 page, qint32 pages)
{
    QString text = QStringLiteral("Previewing page %1 of %2").arg(page).arg(pages);
    if (page != pages)
        text += LineBreak + QStringLiteral("Press OK to see the next page.");
    text += LineBreak + QStringLiteral("To move this box, use the mouse to drag it.");
    return text;
}

QString RunTimeErrorMessage(const RunTimeError& error)
{
    QString text
        = QStringLiteral("Runtime Error %1 has been detected.").arg(error.number()) + LineBreak;
    if (error.number() == RunTimeError::PrinterError) {
        text += QStringLiteral("Check that your printer is ready (hooked up, on-line, etc).")
            + LineBreak
            + QStringLiteral("Do you want to verify what printer this program is using?");
    } else {
        text += error.description();
    }
    return text;
}

PrintJob::PrintJob(const SignListModel& model, const AppSettings& settings,
    const PrintOptions& options, PrintHost& host)
    : m_model(model)
    , m_settings(settings)
    , m_options(options)
    , m_window(host)
{
}

bool PrintJob::ShowPreviewPage(qint32 page, qint32 pages)
{
    m_window.previewPageShown(page, pages);
    return m_window.previewPage(page, pages);
}

void PrintJob::ReportPrintError(const RunTimeError& error)
{
    m_printAborted = true;
    if (m_window.reportError(error))
        m_window.doPrinterSetup();
}

// One run's surfaces: the printer's, and the preview's when previewing.
struct PrintJob::Run
{
    bool print = true;
    std::unique_ptr<SignCanvas> printer;
    std::unique_ptr<SignCanvas> preview;
    SignCanvas* canvas = nullptr;
    SheetMetrics sheet;
    double previewScale = 1.0;
    int savedState = 0;
};

PrintResult PrintJob::PrintSigns(bool print, const PrintRange& range)
{
    PrintResult result;
    result.preview = !print;
    const PrintPlan plan
        = PlanPages(PrintableRows(m_model), formatInfo(m_options.format).signsPerPage, range);
    if (plan.outcome == PrintPlan::Outcome::NoData) {
        m_window.reportNoData();
        return result;
    }
    if (plan.outcome == PrintPlan::Outcome::NoSuchPage) {
        m_window.reportNotice(plan.noSuchPageMessage());
        return result;
    }
    Run run;
    if (!openRun(run, print, result))
        return result;

    SignPainter painter(
        m_model, m_settings, [this] { return m_window.signOptions(m_options.sign); },
        [this](const RunTimeError& error) { ReportPrintError(error); });
    PagePainter pages(painter, m_options, run.sheet, print, run.previewScale);
    const qint32 signs = plan.signs();
    PagePainter::Hooks hooks;
    hooks.before = [&](qint32 sign) { m_window.showProgress(print, sign, signs); };
    hooks.after = [&](const PlannedSign& sign, const SignFit& fit) {
        ++result.signs;
        // The copies of a sign stand together and are cut alike: the row
        // is named once.
        if (fit.cut) {
            if (result.rowsCut.empty() || result.rowsCut.back() != sign.row)
                result.rowsCut.push_back(sign.row);
        } else if (fit.shrunk)
            ++result.signsShrunk;
        if (fit.barcodeLeftOff)
            result.rowsBarcodeLeftOff.push_back(sign.row);
        return !m_printAborted;
    };

    m_printAborted = false;
    const qint32 pageCount = qint32(plan.pages.size());
    for (qint32 page = 1; page <= pageCount; ++page) {
        if (page > 1 && !nextPage(run, page - 1, pageCount, result))
            return result;
        result.pages = page;
        if (!pages.paintPage(*run.canvas, plan.pages[size_t(page - 1)], result.signs + 1, hooks)) {
            abandon(run);
            return result;
        }
    }
    finishRun(run, result);
    return result;
}

bool PrintJob::openRun(Run& run, bool print, PrintResult& result)
{
    // The printer's page is set up for the format in preview as well, so the
    // preview shows the current printer's page.
    const FormatInfo& format = formatInfo(m_options.format);
    run.print = print;
    run.printer = m_window.openPrinterCanvas();
    run.printer->setOrientation(format.landscape ? SignCanvas::Landscape : SignCanvas::Portrait);
    run.sheet.width_tw = run.printer->Width();
    run.sheet.height_tw = run.printer->Height();
    run.sheet.printableWidth_tw = std::nearbyint(run.printer->ScaleWidth());
    run.sheet.printableHeight_tw = std::nearbyint(run.printer->ScaleHeight());
    if (print)
        result.destination = run.printer->DeviceName();
    if (!roomForSigns(run.sheet))
        return false;
    run.savedState = m_window.windowState();
    run.canvas = run.printer.get();
    if (print)
        return true;
    m_window.maximize();
    run.preview = m_window.openPreviewCanvas();
    if (!run.preview)
        return false;
    SignCanvas& preview = *run.preview;
    preview.Cls();
    const PreviewView view = PreviewViewFor(preview.Width(), preview.Height(), run.sheet,
        m_options.marginAcross_tw(), m_options.marginDown_tw());
    run.previewScale = view.previewScale;
    preview.setScaleLeft(view.left);
    preview.setScaleTop(view.top);
    preview.setScaleWidth(view.width);
    preview.setScaleHeight(view.height);
    run.canvas = run.preview.get();
    return true;
}

// Margins that leave a cell no room inside its border and the printable
// area would draw an inverted border off the page: the run stops before it
// starts and names the setting to correct.
bool PrintJob::roomForSigns(const SheetMetrics& sheet)
{
    const FormatInfo& format = formatInfo(m_options.format);
    const double formatScale = format.scaleFor(sheet.width_tw, sheet.height_tw);
    const double edge = m_options.sign.border == 1 ? std::nearbyint(24 * formatScale) : 0;
    for (int cellNo = 1; cellNo <= format.signsPerPage; ++cellNo) {
        const SignCell cell = CellForSign(m_options.format, cellNo, sheet,
            m_options.marginAcross_tw(), m_options.marginDown_tw());
        const double across
            = std::min(double(cell.left_tw) + cell.width_tw - 6 * edge, sheet.printableWidth_tw)
            - std::max(cell.left_tw + 4 * edge, 0.0);
        const double down
            = std::min(double(cell.top_tw) + cell.height_tw - 6 * edge, sheet.printableHeight_tw)
            - std::max(cell.top_tw + 4 * edge, 0.0);
        if (across > 0 && down > 0)
            continue;
        // 2-Up turns the page, so the two margins swap axes.
        const bool leftSetting = (across <= 0) != (m_options.format == SignFormat::TwoUp);
        m_window.reportNotice(
            QStringLiteral("The printer calibration leaves no room for a sign: %1 is %2 twips. "
                           "Correct it in File, Calibrate Printer.")
                .arg(leftSetting ? QStringLiteral("MARGINLEFT") : QStringLiteral("MARGINTOP"))
                .arg(leftSetting ? m_options.marginLeft_tw : m_options.marginTop_tw));
        return false;
    }
    return true;
}

// Between two pages: a new printer page, or the preview's page shown and
// the question whether to go on. False when the run ends here.
bool PrintJob::nextPage(Run& run, qint32 shown, qint32 pages, PrintResult& result)
{
    if (run.print)
        return printerStep(run, [&] { run.canvas->NewPage(); });
    m_window.showPreview(*run.canvas);
    if (ShowPreviewPage(shown, pages)) {
        m_window.endProgress();
        finishPreview(run);
        result.completed = true;
        return false;
    }
    run.canvas->Cls();
    return true;
}

void PrintJob::finishRun(Run& run, PrintResult& result)
{
    m_window.endProgress();
    if (run.print) {
        if (!printerStep(run, [&] { run.canvas->EndDoc(); }))
            return;
    } else {
        m_window.showPreview(*run.canvas);
        ShowPreviewPage(result.pages, result.pages);
    }
    finishPreview(run);
    result.completed = true;
}

// The preview's window is put back as it was.
void PrintJob::finishPreview(Run& run)
{
    if (!run.print) {
        m_window.hidePreview();
        m_window.setWindowState(run.savedState);
    }
}

// Ends the run after an error: a half-finished print document is thrown
// away.
void PrintJob::abandon(Run& run)
{
    run.printer->abandonDocument();
    m_window.endProgress();
    finishPreview(run);
}

// A printer step that fails is reported like a painter's error and ends the
// run with the document abandoned.
bool PrintJob::printerStep(Run& run, const std::function<void()>& step)
{
    try {
        step();
        return true;
    } catch (const RunTimeError& error) {
        ReportPrintError(error);
        abandon(run);
        return false;
    }
}
