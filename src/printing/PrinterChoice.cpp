#include "printing/PrinterChoice.h"

#include <QFileInfo>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

namespace PrinterChoice {

QString toText(const QPrinter& printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return PdfPrefix + printer.outputFileName();
    return printer.printerName();
}

QString destinationName(const QPrinter& printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return printer.outputFileName();
    return printer.printerName();
}

QString restore(QPrinter& printer, const QString& text)
{
    if (text.isEmpty())
        return QString();

    // Only an unusable choice falls back; the message names what printing
    // uses instead, so the user knows where the next signs go.
    auto fallback = [&printer](const QString& what) {
        const QString now = destinationName(printer);
        return what + QStringLiteral(" is no longer available.\nPrinting uses ")
            + (now.isEmpty() ? QStringLiteral("the system's default printer")
                             : QStringLiteral("\"%1\"").arg(now))
            + QStringLiteral(" until you choose another in File, Printer Setup.");
    };

    if (text.startsWith(PdfPrefix)) {
        const QString path = text.mid(PdfPrefix.size());
        const QFileInfo folder(QFileInfo(path).absolutePath());
        if (path.isEmpty() || !folder.isDir() || !folder.isWritable())
            return fallback(QStringLiteral("The PDF file \"%1\" chosen for printing").arg(path));
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        return QString();
    }

    if (QPrinterInfo::printerInfo(text).isNull())
        return fallback(QStringLiteral("The printer \"%1\" chosen for printing").arg(text));
    printer.setOutputFormat(QPrinter::NativeFormat);
    printer.setPrinterName(text);
    useDefaultPaper(printer);
    return QString();
}

void useDefaultPaper(QPrinter& printer)
{
    if (printer.outputFormat() != QPrinter::NativeFormat || printer.printerName().isEmpty())
        return;
    const QPageSize paper = QPrinterInfo(printer).defaultPageSize();
    if (paper.isValid() && !paper.isEquivalentTo(printer.pageLayout().pageSize()))
        printer.setPageSize(paper);
}

} // namespace PrinterChoice
