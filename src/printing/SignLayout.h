#pragma once

#include "document/PrintOptions.h"

#include <QString>
#include <QtGlobal>

class SignCanvas;
class SignListModel;

// What the print job hands a sign painter: the surface, whether it is the
// printer, the grid row, the sign's cell, the format's shifts and the two
// scales. Lengths are in twips (the _tw fields).
struct SignPlacement
{
    SignCanvas* canvas = nullptr;
    bool printing = true;
    int row = 1;
    qint32 top_tw = 0;
    qint32 height_tw = 0;
    qint32 left_tw = 0;
    qint32 width_tw = 0;
    qint32 shiftUpDown_tw = 0;
    qint32 shiftLeftRight_tw = 0;
    double previewScale = 1.0;
    double formatScale = 1.0;
    // The printer's printable area in twips from (0, 0); nothing of the sign
    // is drawn outside it. 0: not known, no limit.
    double printableWidth_tw = 0;
    double printableHeight_tw = 0;
};

// One axis of a sign's cell: where it starts and how long it is, in twips.
struct CellExtent
{
    qint32 origin_tw = 0;
    qint32 size_tw = 0;
    bool operator==(const CellExtent& o) const
    {
        return origin_tw == o.origin_tw && size_tw == o.size_tw;
    }
};

enum class SpanRule { Outer, Symmetric };

// One axis of the cell of a sign: n cells (1 or 2) share the axis, first
// says whether this is the first of two. Outer: the first cell starts at 0,
// the second at the middle of the sheet; the margin is not used. Symmetric:
// every cell keeps the same distance from the sheet's edges and from its
// middle, the larger of the two unprintable margins. Halves of odd totals
// stay fractional until the final rounding (halves to even).
CellExtent CellSpan(
    SpanRule rule, int n, int first, double total_tw, double printable_tw, double margin_tw);

// The sheet as the job sees it after the orientation is set: sheet and
// printable size in twips (printable rounded to whole twips).
struct SheetMetrics
{
    double width_tw = 0;
    double height_tw = 0;
    double printableWidth_tw = 0;
    double printableHeight_tw = 0;
};

// A sign's cell on its page.
struct SignCell
{
    qint32 top_tw = 0;
    qint32 height_tw = 0;
    qint32 left_tw = 0;
    qint32 width_tw = 0;
};

// The cell of the k-th sign (k from 1) in the format, with the margins the
// format uses (m1 across, m2 down; 2-Up swaps which setting feeds which).
SignCell CellForSign(
    SignFormat format, qint32 k, const SheetMetrics& sheet, qint32 m1_tw, qint32 m2_tw);

// Signs per page of the format, and the page count for a number of signs.
int SignsPerPage(SignFormat format);
qint32 PageCount(SignFormat format, qint32 signs);

// The user scale the preview box gets so that a printed page fits the
// window: the box's client size (twips), the sheet and the margins.
struct PreviewView
{
    double previewScale = 1.0;
    double left = 0;
    double top = 0;
    double width = 1;
    double height = 1;
};
PreviewView PreviewViewFor(double clientWidth_tw, double clientHeight_tw, const SheetMetrics& sheet,
    qint32 m1_tw, qint32 m2_tw);

// True when the row holds no sign: both the SKU and the first bullet line
// are empty once trimmed.
bool IsBlankRow(const SignListModel& model, int row);

// The text without leading and trailing spaces (only spaces, as the sign
// list's cells are compared everywhere).
QString TrimSpaces(const QString& text);
