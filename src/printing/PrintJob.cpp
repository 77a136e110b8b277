#include "printing/PrintJob.h"

#include "document/SignListModel.h"
#include "printing/RunTimeError.h"
#include "printing/SignCanvas.h"
#include "printing/SignPainter.h"

#include <cmath>

namespace {

const QString LineBreak = QStringLiteral("\r\n");

} // namespace

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
    return m_window.previewPage(page, pages);
}

void PrintJob::ReportPrintError(const RunTimeError& error)
{
    m_printAborted = true;
    if (m_window.reportError(error))
        m_window.doPrinterSetup();
}

void PrintJob::PrintSigns(bool print)
{
    const int lastRow = m_model.Rows() - 1;
    qint32 signs = 0;
    for (int row = 1; row <= lastRow; ++row) {
        if (!IsBlankRow(m_model, row))
            ++signs;
    }
    if (signs == 0) {
        m_window.reportNoData();
        return;
    }

    // The printer's page is set up for the format in preview as well, so the
    // preview shows the current printer's page.
    std::unique_ptr<SignCanvas> printer = m_window.openPrinterCanvas();
    const FormatInfo& format = formatInfo(m_options.format);
    const qint32 m1 = m_options.marginAcross(), m2 = m_options.marginDown();
    printer->setOrientation(format.landscape ? SignCanvas::Landscape : SignCanvas::Portrait);
    SheetMetrics sheet;
    sheet.width = printer->Width();
    sheet.height = printer->Height();
    sheet.printableWidth = std::nearbyint(printer->ScaleWidth());
    sheet.printableHeight = std::nearbyint(printer->ScaleHeight());
    const qint32 pages = PageCount(m_options.format, signs);
    const double formatScale = format.scaleFor(sheet.width, sheet.height);

    const int savedState = m_window.windowState();
    std::unique_ptr<SignCanvas> preview;
    SignCanvas* canvas = printer.get();
    double previewScale = 1.0;
    if (!print) {
        m_window.maximize();
        preview = m_window.openPreviewCanvas();
        if (!preview)
            return;
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
    qint32 page = 1;
    qint32 k = 0;
    bool pageFull = false;
    bool started = false;
    for (int row = 1; row <= lastRow; ++row) {
        if (!IsBlankRow(m_model, row)) {
            ++k;
            if (pageFull) {
                if (print) {
                    if (!printerStep([&] { canvas->NewPage(); }))
                        return;
                } else {
                    m_window.showPreview(*canvas);
                    if (ShowPreviewPage(page, pages)) {
                        m_window.endProgress();
                        finishPreview();
                        return;
                    }
                    canvas->Cls();
                }
                pageFull = false;
                ++page;
            }
            started = true;
            m_window.showProgress(print, k, signs);

            const SignCell cell = CellForSign(m_options.format, k, sheet, m1, m2);
            SignPlacement placement;
            placement.canvas = canvas;
            placement.printing = print;
            placement.row = row;
            placement.top = cell.top;
            placement.height = cell.height;
            placement.left = cell.left;
            placement.width = cell.width;
            placement.shiftUpDown = m_options.shiftUpDown;
            placement.shiftLeftRight = m_options.shiftLeftRight;
            placement.previewScale = previewScale;
            placement.formatScale = formatScale;
            if (bullet)
                painter.PaintBulletSign(placement);
            else
                painter.PaintDescSign(placement);

            if (k % format.signsPerPage == 0)
                pageFull = true;
        }
        if (m_printAborted) {
            abandon();
            return;
        }
    }

    m_window.endProgress();
    if (started) {
        if (print) {
            if (!printerStep([&] { canvas->EndDoc(); }))
                return;
        } else {
            m_window.showPreview(*canvas);
            ShowPreviewPage(page, page);
        }
    }
    finishPreview();
}
