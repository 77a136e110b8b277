#include "printing/CalibrationTestPage.h"

#include "base/NumberText.h"
#include "printing/RunTimeError.h"
#include "printing/SignCanvas.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <limits>

namespace {

// The page's coordinates are 16-bit whole numbers; one that does not fit is
// the overflow error, as it would be for any 16-bit arithmetic.
qint16 whole16(double value)
{
    const double rounded = NumberText::roundHalfEven(value);
    if (!std::isfinite(rounded) || rounded < std::numeric_limits<qint16>::min()
        || rounded > std::numeric_limits<qint16>::max())
        throw RunTimeError::overflow();
    return qint16(rounded);
}

qint16 add16(qint16 a, int b)
{
    return whole16(double(a) + b);
}

qint32 whole32(double value)
{
    const double rounded = NumberText::roundHalfEven(value);
    if (!std::isfinite(rounded) || rounded < std::numeric_limits<qint32>::min()
        || rounded > std::numeric_limits<qint32>::max())
        throw RunTimeError::overflow();
    return qint32(rounded);
}

template <typename Real> QString shortestFixed(Real value)
{
    if (!std::isfinite(value))
        return QString::number(double(value));
    if (value == 0)
        return QStringLiteral("0"); // no "-0"
    char buffer[400];
    const auto result
        = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (result.ec != std::errc())
        return QString::number(double(value));
    return QString::fromLatin1(buffer, int(result.ptr - buffer));
}

} // namespace

QString CalibrationTestPage::plainNumber(double value)
{
    return shortestFixed(value);
}

QString CalibrationTestPage::plainNumber(float value)
{
    return shortestFixed(value);
}

void CalibrationTestPage::draw(SignCanvas& canvas, const Values& values, const QDateTime& now)
{
    canvas.setOrientation(SignCanvas::Landscape);
    canvas.setScaleMode(1);
    canvas.setFontSize(12);
    canvas.setDrawWidth(HeavyLineWidth);

    // The sheet as whole twips, the printable area as the printer gives it.
    Sheet sheet;
    sheet.width_tw = whole32(canvas.Width());
    sheet.height_tw = whole32(canvas.Height());
    sheet.printWidth_tw = float(canvas.ScaleWidth());
    sheet.printHeight_tw = float(canvas.ScaleHeight());

    printReport(canvas, values, now, sheet);
    drawFrameAndCross(canvas, values, sheet);
    drawRulers(canvas, sheet);
    canvas.EndDoc();
}

// The report, from the top-left corner of the printable area.
void CalibrationTestPage::printReport(
    SignCanvas& canvas, const Values& values, const QDateTime& now, const Sheet& sheet)
{
    canvas.setCurrentX(canvas.ScaleLeft());
    canvas.setCurrentY(canvas.ScaleTop());
    const QLocale locale = QLocale::system();
    canvas.Print(locale.toString(now.date(), QLocale::ShortFormat), SignCanvas::PrintEnd::Continue);
    canvas.NextPrintZone();
    canvas.Print(locale.toString(now.time(), QLocale::ShortFormat));
    for (const QString& line : reportLines(canvas, values, sheet))
        canvas.Print(line);
}

QStringList CalibrationTestPage::reportLines(
    SignCanvas& canvas, const Values& values, const Sheet& sheet)
{
    const double nonPrintingWidth = sheet.nonPrintingWidth_tw();
    const double nonPrintingHeight = sheet.nonPrintingHeight_tw();
    return {
        QStringLiteral("Printer.DeviceName = ") + canvas.DeviceName(),
        QStringLiteral("Printer.Font =       ") + canvas.FontName(),
        QStringLiteral("Printer.ScaleMode =  ") + QString::number(canvas.ScaleMode()),
        QStringLiteral("Printer.Height = ") + QString::number(sheet.height_tw),
        QStringLiteral("Printer.Width =  ") + QString::number(sheet.width_tw),
        QStringLiteral("Printer.ScaleHeight = ") + plainNumber(sheet.printHeight_tw),
        QStringLiteral("Printer.ScaleWidth = ") + plainNumber(sheet.printWidth_tw),
        QStringLiteral("Printer.ScaleLeft = ") + plainNumber(canvas.ScaleLeft()),
        QStringLiteral("Printer.ScaleTop = ") + plainNumber(canvas.ScaleTop()),
        QStringLiteral("Non-Printing Height = ") + plainNumber(nonPrintingHeight),
        QStringLiteral("Non-Printing Width = ") + plainNumber(nonPrintingWidth),
        QString(),
        QStringLiteral("Top Margin =  ") + values.marginTop,
        QStringLiteral("Left Margin = ") + values.marginLeft,
        QStringLiteral("4-up up/down = ") + values.adj4UD,
        QStringLiteral("4-up left/right = ") + values.adj4LR,
        QStringLiteral("2-up up/down = ") + values.adj2UD,
        QStringLiteral("2-up left/right = ") + values.adj2LR,
        QStringLiteral("1-up up/down = ") + values.adj1UD,
        QStringLiteral("1-up left/right = ") + values.adj1LR,
        QString(),
        QStringLiteral("Note:"),
        QStringLiteral("Crossed lines should print at center of page."),
        QStringLiteral("Tick Marks are 100 units apart."),
        QStringLiteral("Tick Marks meet at 0,0."),
        QStringLiteral("Top Margin should be between 0 and ") + plainNumber(nonPrintingHeight),
        QStringLiteral("Left Margin should be between 0 and ") + plainNumber(nonPrintingWidth),
    };
}

void CalibrationTestPage::drawFrameAndCross(
    SignCanvas& canvas, const Values& values, const Sheet& sheet)
{
    // The frame runs to the sheet's size; the printer clips it to the
    // printable area, which it then outlines.
    canvas.Line(0, 0, sheet.width_tw, 0);
    canvas.Line(0, sheet.printHeight_tw, sheet.width_tw, sheet.printHeight_tw);
    canvas.Line(0, 0, 0, sheet.height_tw);
    canvas.Line(sheet.printWidth_tw, 0, sheet.printWidth_tw, sheet.height_tw);

    // Where the sheet's centre falls if the margins are the printer's real
    // offsets.
    const double marginLeft = NumberText::leadingNumber(values.marginLeft);
    const double marginTop = NumberText::leadingNumber(values.marginTop);
    const qint16 cx = whole16(sheet.width_tw / 2.0 - marginLeft);
    const qint16 cy = whole16(sheet.height_tw / 2.0 - marginTop);
    canvas.Line(add16(cx, -CrossHalfLength), cy, add16(cx, CrossHalfLength), cy);
    canvas.Line(cx, add16(cy, -CrossHalfLength), cx, add16(cy, CrossHalfLength));
}

// The rulers meet where the cross falls with both margins 0; each tick up
// (or left) stands for 100 twips more margin, up to the non-printing height
// (or width).
void CalibrationTestPage::drawRulers(SignCanvas& canvas, const Sheet& sheet)
{
    canvas.setDrawWidth(TickLineWidth);
    const qint16 h2 = whole16(sheet.height_tw / 2.0);
    const qint16 w2 = whole16(sheet.width_tw / 2.0);
    const qint16 heightLimit = whole16(h2 - sheet.nonPrintingHeight_tw());
    for (qint16 y = h2; y >= heightLimit; y = add16(y, -TickSpacing))
        canvas.Line(add16(w2, TickLength), y, w2, y);
    const qint16 widthLimit = whole16(w2 - sheet.nonPrintingWidth_tw());
    for (qint16 x = w2; x >= widthLimit; x = add16(x, -TickSpacing))
        canvas.Line(x, add16(h2, TickLength), x, h2);
}
