#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class SignCanvas;

// The calibration test page: a report of the printer's geometry and of the
// calibration values, a frame along the printable area, crossed lines where
// the centre of the sheet falls when the margins are right, and two rulers
// of tick marks (100 twips apart) from which the right margins can be read.
// The user folds the printed sheet in four and moves the margins until the
// cross lands on the fold.
class CalibrationTestPage
{
public:
    // The texts of the calibration boxes as they stand, saved or not.
    struct Values
    {
        QString marginTop;
        QString marginLeft;
        QString adj4UD, adj4LR;
        QString adj2UD, adj2LR;
        QString adj1UD, adj1LR;
    };

    // Line widths in device pixels: the frame and the cross are drawn
    // heavier than the tick marks.
    static constexpr int HeavyLineWidth = 6;
    static constexpr int TickLineWidth = 2;
    static constexpr int TickSpacing = 100;
    static constexpr int TickLength = 200;
    static constexpr int CrossHalfLength = 1500;

    // Draws the whole page on the surface and ends the document. Coordinates
    // are 16-bit whole numbers; one that does not fit raises the overflow
    // error, and any error of the surface passes through (RunTimeError).
    static void draw(SignCanvas& canvas, const Values& values, const QDateTime& now);

    // Numbers in their plain shortest form: no thousands separators, no
    // exponent, a fraction only when there is one. Single-precision values
    // are written with the digits they carry, not those of their double.
    static QString plainNumber(double value);
    static QString plainNumber(float value);

private:
    // The sheet's size and the printable area's, in twips.
    struct Sheet
    {
        qint32 width_tw, height_tw;
        float printWidth_tw, printHeight_tw;
        double nonPrintingWidth_tw() const { return double(width_tw) - double(printWidth_tw); }
        double nonPrintingHeight_tw() const { return double(height_tw) - double(printHeight_tw); }
    };
    static void printReport(
        SignCanvas& canvas, const Values& values, const QDateTime& now, const Sheet& sheet);
    static QStringList reportLines(SignCanvas& canvas, const Values& values, const Sheet& sheet);
    static void drawFrameAndCross(SignCanvas& canvas, const Values& values, const Sheet& sheet);
    static void drawRulers(SignCanvas& canvas, const Sheet& sheet);
};
