#include "printing/SignLayout.h"

#include "base/NumberText.h"
#include "document/SignListModel.h"

#include <algorithm>

namespace {

qint32 roundWhole(double v)
{
    return qint32(NumberText::roundHalfEven(v));
}

} // namespace

QString TrimSpaces(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

bool IsBlankRow(const SignListModel& model, int row)
{
    return TrimSpaces(model.cell(row, SignListModel::ColSku)).isEmpty()
        && TrimSpaces(model.cell(row, SignListModel::ColBullet1)).isEmpty();
}

CellExtent CellSpan(
    SpanRule rule, int n, int first, double total_tw, double printable_tw, double margin_tw)
{
    const bool leading = n == 1 || first == 1;
    if (rule == SpanRule::Outer) {
        return { leading ? 0 : roundWhole(total_tw / 2),
            n == 1 ? roundWhole(printable_tw) : roundWhole(printable_tw - total_tw / 2) };
    }
    const double other = total_tw - printable_tw - margin_tw;
    const double m = other > margin_tw ? other : margin_tw;
    return { leading ? roundWhole(m - margin_tw) : roundWhole(total_tw / 2 + m - margin_tw),
        n == 1 ? roundWhole(total_tw - 2 * m) : roundWhole(total_tw / 2 - 2 * m) };
}

SignCell CellForSign(
    SignFormat format, qint32 k, const SheetMetrics& sheet, qint32 m1_tw, qint32 m2_tw)
{
    const double w = sheet.width_tw, h = sheet.height_tw;
    const double wp = sheet.printableWidth_tw, hp = sheet.printableHeight_tw;
    CellExtent down, across;
    switch (format) {
    case SignFormat::FourUp: {
        const int inTopRow = (k % 4 == 1 || k % 4 == 2) ? 1 : 0;
        down = CellSpan(SpanRule::Outer, 2, inTopRow, h, hp, 0);
        // Signs must not start in the top quarter inch a printer cannot
        // reach reliably.
        if (m2_tw < 360) {
            down.origin_tw += 360 - m2_tw;
            down.size_tw -= 360 - m2_tw;
        }
        across = CellSpan(SpanRule::Symmetric, 2, int(k % 2), w, wp, m1_tw);
        break;
    }
    case SignFormat::TwoUp:
        down = CellSpan(SpanRule::Symmetric, 2, int(k % 2), h, hp, m2_tw);
        across = CellSpan(SpanRule::Symmetric, 1, 0, w, wp, m1_tw);
        break;
    case SignFormat::OneUp:
        down = CellSpan(SpanRule::Symmetric, 1, 0, h, hp, m2_tw);
        across = CellSpan(SpanRule::Symmetric, 1, 0, w, wp, m1_tw);
        break;
    }
    return { down.origin_tw, down.size_tw, across.origin_tw, across.size_tw };
}

int SignsPerPage(SignFormat format)
{
    return formatInfo(format).signsPerPage;
}

qint32 PageCount(SignFormat format, qint32 signs)
{
    const qint64 per = SignsPerPage(format);
    return qint32((qint64(signs) + per - 1) / per);
}

PreviewView PreviewViewFor(double clientWidth_tw, double clientHeight_tw, const SheetMetrics& sheet,
    qint32 m1_tw, qint32 m2_tw)
{
    const double fw = clientWidth_tw > 0 ? clientWidth_tw : 1;
    const double fh = clientHeight_tw > 0 ? clientHeight_tw : 1;
    const double w = sheet.width_tw > 0 ? sheet.width_tw : 1;
    const double h = sheet.height_tw > 0 ? sheet.height_tw : 1;
    PreviewView view;
    view.previewScale = fw / w;
    view.width = w;
    view.height = roundWhole(fh / fw * w);
    view.left = -m1_tw;
    if (sheet.printableHeight_tw > view.height) {
        // The page is taller than the window: fit it by height instead.
        view.previewScale = fh / h;
        view.top = -m2_tw;
        view.height = h;
        view.width = roundWhole(fw / fh * h);
        view.left = roundWhole((w - view.width) / 2) - m1_tw;
    } else {
        view.top = roundWhole((h - view.height) / 2);
    }
    // A window squeezed to almost nothing still gets a usable scale.
    view.width = std::max(view.width, 1.0);
    view.height = std::max(view.height, 1.0);
    return view;
}
