#include "printing/PrintJob.h"

#include "document/SignListModel.h"
#include "printing/RunTimeError.h"
#include "printing/SignCanvas.h"
#include "printing/SignPainter.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <vector>

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

PrintResult PrintJob::PrintSigns(bool print, const PrintRange& range)
{
    PrintResult result;
    result.preview = !print;
    const int lastRow = m_model.Rows() - 1;
    std::vector<int> rows;
    if (range.selectedOnly) {
        std::vector<int> chosen(range.rows.begin(), range.rows.end());
        std::sort(chosen.begin(), chosen.end());
        chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
        for (int row : chosen) {
            if (row >= 1 && row <= lastRow && !IsBlankRow(m_model, row))
                rows.push_back(row);
        }
    } else {
        for (int row = 1; row <= lastRow; ++row) {
            if (!IsBlankRow(m_model, row))
                rows.push_back(row);
        }
    }
    if (rows.empty()) {
        m_window.reportNoData();
        return result;
    }

    // Each sign's place in the run: slot n is cell n of the first page, the
    // slots after the first page's last cell fill the next pages.
    const FormatInfo& format = formatInfo(m_options.format);
    const qint32 m1 = m_options.marginAcross(), m2 = m_options.marginDown();
    const int perPage = format.signsPerPage;
    const int firstCell = std::clamp(range.firstCell, 1, perPage);
    const qint32 lastPage = PageCount(m_options.format, qint32(rows.size()) + firstCell - 1);
    const qint32 fromPage = std::max(range.fromPage, 1);
    const qint32 toPage = range.toPage <= 0 ? lastPage : std::min(range.toPage, lastPage);
    if (fromPage > toPage) {
        m_window.reportNotice(QStringLiteral("There is no page %1 to print: the signs fill %2.")
                                  .arg(fromPage)
                                  .arg(lastPage == 1 ? QStringLiteral("1 page")
                                                     : QStringLiteral("%1 pages").arg(lastPage)));
        return result;
    }
    struct Placed
    {
        int row;
        qint32 slot;
    };
    std::vector<Placed> placed;
    for (size_t i = 0; i < rows.size(); ++i) {
        const qint32 slot = qint32(i) + firstCell;
        const qint32 page = (slot - 1) / perPage + 1;
        if (page >= fromPage && page <= toPage)
            placed.push_back({ rows[i], slot });
    }
    const qint32 signs = qint32(placed.size());

    // The printer's page is set up for the format in preview as well, so the
    // preview shows the current printer's page.
    std::unique_ptr<SignCanvas> printer = m_window.openPrinterCanvas();
    printer->setOrientation(format.landscape ? SignCanvas::Landscape : SignCanvas::Portrait);
    SheetMetrics sheet;
    sheet.width = printer->Width();
    sheet.height = printer->Height();
    sheet.printableWidth = std::nearbyint(printer->ScaleWidth());
    sheet.printableHeight = std::nearbyint(printer->ScaleHeight());
    const qint32 pages = toPage - fromPage + 1;
    if (print)
        result.destination = printer->DeviceName();
    const double formatScale = format.scaleFor(sheet.width, sheet.height);

    // Margins that leave a cell no room inside its border and the printable
    // area would draw an inverted border off the page: the run stops and
    // names the setting to correct.
    const bool border = m_options.sign.border == 1;
    const double edge = border ? std::nearbyint(24 * formatScale) : 0;
    for (int cellNo = 1; cellNo <= perPage; ++cellNo) {
        const SignCell cell = CellForSign(m_options.format, cellNo, sheet, m1, m2);
        const double across
            = std::min(double(cell.left) + cell.width - 6 * edge, sheet.printableWidth)
            - std::max(cell.left + 4 * edge, 0.0);
        const double down
            = std::min(double(cell.top) + cell.height - 6 * edge, sheet.printableHeight)
            - std::max(cell.top + 4 * edge, 0.0);
        if (across > 0 && down > 0)
            continue;
        // 2-Up turns the page, so the two margins swap axes.
        const bool leftSetting = (across <= 0) != (m_options.format == SignFormat::TwoUp);
        m_window.reportNotice(
            QStringLiteral("The printer calibration leaves no room for a sign: %1 is %2 twips. "
                           "Correct it in File, Calibrate Printer.")
                .arg(leftSetting ? QStringLiteral("MARGINLEFT") : QStringLiteral("MARGINTOP"))
                .arg(leftSetting ? m_options.marginLeft : m_options.marginTop));
        return result;
    }

    const int savedState = m_window.windowState();
    std::unique_ptr<SignCanvas> preview;
    SignCanvas* canvas = printer.get();
    double previewScale = 1.0;
    if (!print) {
        m_window.maximize();
        preview = m_window.openPreviewCanvas();
        if (!preview)
            return result;
        preview->Cls();
        const PreviewView view = PreviewViewFor(preview->Width(), preview->Height(), sheet, m1, m2);
        previewScale = view.previewScale;
        preview->setScaleLeft(view.left);
        preview->setScaleTop(view.top);
        preview->setScaleWidth(view.width);
        preview->setScaleHeight(view.height);
        canvas = preview.get();
    }

    // Ends the run after an error or a cancel: a half-finished print
    // document is thrown away, and the window is put back as it was.
    auto finishPreview = [&] {
        if (!print) {
            m_window.hidePreview();
            m_window.setWindowState(savedState);
        }
    };
    auto abandon = [&] {
        printer->abandonDocument();
        m_window.endProgress();
        finishPreview();
    };
    // A printer step that fails is reported like a painter's error and ends
    // the run with the document abandoned.
    auto printerStep = [&](auto step) {
        try {
            step();
            return true;
        } catch (const RunTimeError& error) {
            ReportPrintError(error);
            abandon();
            return false;
        }
    };

    SignPainter painter(
        m_model, m_settings, [this] { return m_window.signOptions(m_options.sign); },
        [this](const RunTimeError& error) { ReportPrintError(error); });
    const bool bullet = m_options.bullet;

    m_printAborted = false;
    qint32 page = 1; // of this run
    qint32 sheetPage = fromPage; // as the whole run lays the pages out
    qint32 k = 0;
    bool started = false;
    for (const Placed& sign : placed) {
        ++k;
        const qint32 signPage = (sign.slot - 1) / perPage + 1;
        if (started && signPage != sheetPage) {
            if (print) {
                if (!printerStep([&] { canvas->NewPage(); }))
                    return result;
            } else {
                m_window.showPreview(*canvas);
                if (ShowPreviewPage(page, pages)) {
                    m_window.endProgress();
                    finishPreview();
                    result.completed = true;
                    return result;
                }
                canvas->Cls();
            }
            ++page;
        }
        sheetPage = signPage;
        started = true;
        m_window.showProgress(print, k, signs);

        const SignCell cell = CellForSign(m_options.format, sign.slot, sheet, m1, m2);
        SignPlacement placement;
        placement.canvas = canvas;
        placement.printing = print;
        placement.row = sign.row;
        placement.top = cell.top;
        placement.height = cell.height;
        placement.left = cell.left;
        placement.width = cell.width;
        placement.shiftUpDown = m_options.shiftUpDown;
        placement.shiftLeftRight = m_options.shiftLeftRight;
        placement.previewScale = previewScale;
        placement.formatScale = formatScale;
        placement.printableWidth = sheet.printableWidth;
        placement.printableHeight = sheet.printableHeight;
        const SignFit fit
            = bullet ? painter.PaintBulletSign(placement) : painter.PaintDescSign(placement);
        result.signs = k;
        result.pages = page;
        if (fit.cut)
            result.rowsCut.push_back(sign.row);
        else if (fit.shrunk)
            ++result.signsShrunk;
        if (fit.barcodeLeftOff)
            result.rowsBarcodeLeftOff.push_back(sign.row);

        if (m_printAborted) {
            abandon();
            return result;
        }
    }

    m_window.endProgress();
    if (started) {
        if (print) {
            if (!printerStep([&] { canvas->EndDoc(); }))
                return result;
        } else {
            m_window.showPreview(*canvas);
            ShowPreviewPage(page, page);
        }
    }
    finishPreview();
    result.completed = started;
    return result;
}
