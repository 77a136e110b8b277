#pragma once

#include <QString>

class QPrinter;

// The printer choice remembered between runs, as one text: a printer's name,
// or "pdf:" followed by the path of the PDF file printing writes to.
namespace PrinterChoice {

inline const QString PdfPrefix = QStringLiteral("pdf:");

// The stored text for the printer's current destination.
QString toText(const QPrinter& printer);

// What the destination is called in messages: the printer's name or the PDF
// file's path.
QString destinationName(const QPrinter& printer);

// Points the printer at the stored destination. An empty text leaves the
// printer on the system default. A printer that no longer exists, or a PDF
// file whose folder is gone, leaves the printer on the system default too and
// returns the message that says so; otherwise the result is empty. A printer
// gets its own default paper.
QString restore(QPrinter& printer, const QString& text);

// Gives a printer its own default paper (its queue's default page size).
// Qt starts every printer on A4 and keeps that whenever the printer also
// takes A4, so a Letter queue would otherwise get A4 pages. PDF output and
// a printer that names no default are left as they are.
void useDefaultPaper(QPrinter& printer);

} // namespace PrinterChoice
