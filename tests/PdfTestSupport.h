#pragma once

// Printing to a real PDF file and reading it back with poppler's tools.

#include "PrintTestSupport.h"

#include "printing/PrinterCanvas.h"

#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>
#include <vector>

namespace PdfTest {

// The program's standard output, or "" when it fails or cannot start.
inline QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    const bool ok = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit;
    return ok && p.exitCode() == 0 ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

struct Word
{
    int page = 0;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    QString text;
};

// Every word of the PDF with its box in points from the sheet's top-left.
inline std::vector<Word> readWords(const QString& pdf)
{
    static const QRegularExpression wordRe("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" "
                                           "xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>");
    std::vector<Word> words;
    int page = 0;
    for (const QString& line : run("pdftotext", { "-bbox", pdf, "-" }).split('\n')) {
        page += line.contains(QLatin1String("<page ")) ? 1 : 0;
        if (const auto m = wordRe.match(line); m.hasMatch())
            words.push_back({ page, m.captured(1).toDouble(), m.captured(2).toDouble(),
                m.captured(3).toDouble(), m.captured(4).toDouble(), m.captured(5) });
    }
    return words;
}

// The first word of that text (on that page, when one is given).
inline const Word* findWord(const std::vector<Word>& words, const QString& text, int page = 0)
{
    const auto it = std::find_if(words.begin(), words.end(),
        [&](const Word& w) { return w.text == text && (page == 0 || w.page == page); });
    return it == words.end() ? nullptr : &*it;
}

// The page count pdfinfo reports, or -1.
inline int pageCount(const QString& pdf)
{
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                       .match(run(QStringLiteral("pdfinfo"), { pdf }));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// A print run going to a PDF file on US Letter with a quarter inch margin.
class PdfWindow : public PrintTest::FakePrintWindow
{
public:
    explicit PdfWindow(const QString& file)
        : printer(QPrinter::HighResolution)
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        printer.setPageSize(QPageSize(QPageSize::Letter));
        printer.setPageMargins(QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);
    }
    std::unique_ptr<SignCanvas> openPrinterCanvas() override
    {
        return std::make_unique<PrinterCanvas>(&printer);
    }
    QPrinter printer;
};

} // namespace PdfTest
