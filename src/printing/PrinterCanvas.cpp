#include "printing/PrinterCanvas.h"

#include "printing/RunTimeError.h"

#include "base/SafeFile.h"

#include <QFile>
#include <QPageLayout>
#include <QPrinter>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

constexpr double TwipsPerPoint = 20.0;

// The PDF engine allocates and frees several large buffers for every
// finished page (a fresh deflate state, the page's content stream). With
// glibc's default thresholds each one is mapped, faulted in and unmapped
// again, which costs more than drawing the page; keeping blocks of up to
// 32 MB on the heap makes long jobs several times faster. Done once, before
// the first document.
void keepPageBuffersOnHeap()
{
#ifdef __GLIBC__
    static const bool done = [] {
        mallopt(M_MMAP_THRESHOLD, 32 << 20);
        mallopt(M_TRIM_THRESHOLD, 64 << 20);
        return true;
    }();
    Q_UNUSED(done);
#endif
}

} // namespace

PrinterCanvas::PrinterCanvas(QPrinter* printer)
    : m_printer(printer)
{
    keepPageBuffersOnHeap();
    setOrientation(
        printer->pageLayout().orientation() == QPageLayout::Landscape ? Landscape : Portrait);
}

PrinterCanvas::~PrinterCanvas()
{
    if (documentOpen())
        abandonDocument();
}

void PrinterCanvas::setOrientation(int orientation)
{
    SignCanvas::setOrientation(orientation);
    if (!documentOpen())
        m_printer->setPageOrientation(
            orientation == Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    readGeometry();
}

QString PrinterCanvas::DeviceName() const
{
    if (m_pdf)
        return m_pdf->target();
    if (m_printer->outputFormat() == QPrinter::PdfFormat)
        return m_printer->outputFileName();
    return m_printer->printerName();
}

void PrinterCanvas::readGeometry()
{
    const QPageLayout layout = m_printer->pageLayout();
    const QRectF sheet = layout.fullRect(QPageLayout::Point);
    const QRectF printable = layout.paintRect(QPageLayout::Point);
    const double dpi = m_printer->resolution();
    setGeometry(sheet.width() * TwipsPerPoint, sheet.height() * TwipsPerPoint,
        printable.width() * TwipsPerPoint, printable.height() * TwipsPerPoint, dpi, dpi);
}

void PrinterCanvas::beginDocument()
{
    if (m_printer->outputFormat() == QPrinter::PdfFormat) {
        if (m_printer->outputFileName().isEmpty())
            throw RunTimeError::printerError(QStringLiteral("no output file is chosen"));
        // The PDF is written to a file of its own and takes the chosen
        // file's place only when it is complete.
        // A link left at the name by someone else is not a printer fault:
        // it is refused with its own message, which names the link.
        const QString refused = SafeFile::linkRefusal(m_printer->outputFileName());
        if (!refused.isEmpty())
            throw RunTimeError::permissionDenied(refused);
        m_pdf = std::make_unique<AtomicOutput>(m_printer->outputFileName());
        QString error;
        if (!m_pdf->open(&error)) {
            const QString target = m_pdf->target();
            m_pdf.reset();
            throw RunTimeError::printerError(
                QStringLiteral("cannot write \"%1\": %2").arg(target, error));
        }
        // The engine is handed the file already created, not a name it
        // would open again: in a shared folder the name could be made to
        // lead elsewhere in between.
        m_printer->setOutputFileName(m_pdf->openedPath());
    }
    const bool begun = m_painter.begin(m_printer);
    if (!begun) {
        if (m_pdf) {
            restoreOutputFileName();
            m_pdf.reset();
        }
        throw RunTimeError::printerError(
            QStringLiteral("the printer \"%1\" cannot start a document").arg(DeviceName()));
    }
    m_painter.setRenderHints(
        QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    forgetPainterClip();
}

QPainter* PrinterCanvas::devicePainter()
{
    if (m_painter.isActive())
        return &m_painter;
    if (m_held)
        return nullptr;
    if (m_printer->outputFormat() == QPrinter::NativeFormat) {
        if (m_printer->printerName().isEmpty())
            throw RunTimeError::printerError(QStringLiteral("no printer is installed"));
        m_held = true;
        return nullptr;
    }
    beginDocument();
    return &m_painter;
}

void PrinterCanvas::deviceNewPage()
{
    if (!m_painter.isActive() && !m_held)
        devicePainter();
    if (m_held) {
        CanvasOp newPage;
        newPage.kind = CanvasOp::Kind::NewPage;
        m_pending.push_back(newPage);
        return;
    }
    if (!m_printer->newPage())
        throw RunTimeError::printerError(QStringLiteral("the printer cannot start a new page"));
    forgetPainterClip();
}

void PrinterCanvas::deviceEndDoc()
{
    if (m_held) {
        // Hand the kept pages to the queue now that the document is whole.
        std::vector<CanvasOp> pages;
        pages.swap(m_pending);
        m_held = false;
        beginDocument();
        for (const CanvasOp& op : pages) {
            if (op.kind != CanvasOp::Kind::NewPage)
                paintOp(m_painter, op);
            else if (!m_printer->newPage())
                throw RunTimeError::printerError(
                    QStringLiteral("the printer cannot start a new page"));
            else
                forgetPainterClip();
        }
    }
    if (!m_painter.isActive())
        return;
    const bool ended = m_painter.end();
    const bool printerFailed = !ended || m_printer->printerState() == QPrinter::Error;
    std::unique_ptr<AtomicOutput> pdf = std::move(m_pdf);
    if (pdf)
        restoreOutputFileName(pdf->given());
    if (printerFailed)
        throw RunTimeError::printerError(
            QStringLiteral("the printer \"%1\" did not accept the document").arg(DeviceName()));
    if (pdf) {
        // The PDF engine reports no write errors: the file must be whole
        // before it replaces the chosen one.
        QString error = PdfFileProblem(pdf->openedPath());
        if (error.isEmpty() && pdf->commit(&error))
            return;
        throw RunTimeError::printerError(
            QStringLiteral("the PDF file \"%1\" could not be written: %2")
                .arg(pdf->target(), error));
    }
}

void PrinterCanvas::restoreOutputFileName(const QString& target)
{
    m_printer->setOutputFileName(target.isEmpty() && m_pdf ? m_pdf->given() : target);
}

QString PrinterCanvas::PdfFileProblem(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    const qint64 size = file.size();
    // A complete PDF ends with its cross-reference offset and %%EOF; the
    // offset must point at the cross-reference table inside the file.
    constexpr qint64 TailBytes = 64;
    if (size < TailBytes || !file.seek(size - TailBytes))
        return QStringLiteral("the file is incomplete");
    const QByteArray tail = file.read(TailBytes);
    const qsizetype at = tail.lastIndexOf("startxref");
    if (!tail.trimmed().endsWith("%%EOF") || at < 0)
        return QStringLiteral("the file is incomplete");
    bool ok = false;
    const qint64 xref
        = tail.mid(at + 9, tail.lastIndexOf("%%EOF") - at - 9).trimmed().toLongLong(&ok);
    if (!ok || xref <= 0 || xref >= size || !file.seek(xref) || !file.read(4).startsWith("xref"))
        return QStringLiteral("the file is incomplete");
    return QString();
}

void PrinterCanvas::abandonDocument()
{
    m_pending.clear();
    m_held = false;
    if (!m_painter.isActive())
        return;
    const bool aborted = m_printer->abort();
    m_painter.end();
    std::unique_ptr<AtomicOutput> pdf = std::move(m_pdf);
    if (pdf) {
        // The half-written file goes; an earlier PDF of the name stays.
        restoreOutputFileName(pdf->given());
        return;
    }
    // A PDF cannot be cancelled half-way through by the print engine; the
    // half-written file is removed instead so no partial document remains.
    if (!aborted && m_printer->outputFormat() == QPrinter::PdfFormat
        && !m_printer->outputFileName().isEmpty())
        QFile::remove(m_printer->outputFileName());
}
