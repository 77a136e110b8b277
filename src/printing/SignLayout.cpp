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

CellExtent CellSpan(SpanRule rule, int n, int first, double total, double printable, double margin)
{
    const bool leading = n == 1 || first == 1;
    if (rule == SpanRule::Outer) {
        return { leading ? 0 : roundWhole(total / 2),
            n == 1 ? roundWhole(printable) : roundWhole(printable - total / 2) };
    }
    const double other = total - printable - margin;
    const double m = other > margin ? other : margin;
    return { leading ? roundWhole(m - margin) : roundWhole(total / 2 + m - margin),
        n == 1 ? roundWhole(total - 2 * m) : roundWhole(total / 2 - 2 * m) };
}

SignCell CellForSign(SignFormat format, qint32 k, const SheetMetrics& sheet, qint32 m1, qint32 m2)
{
    const double w = sheet.width, h = sheet.height;
    const double wp = sheet.printableWidth, hp = sheet.printableHeight;
    CellExtent down, across;
    switch (format) {
    case SignFormat::FourUp: {
        const int inTopRow = (k % 4 == 1 || k % 4 == 2) ? 1 : 0;
        down = CellSpan(SpanRule::Outer, 2, inTopRow, h, hp, 0);
        // Signs must not start in the top quarter inch a printer cannot
        // reach reliably.
        if (m2 < 360) {
            down.origin += 360 - m2;
            down.size -= 360 - m2;
        }
        across = CellSpan(SpanRule::Symmetric, 2, int(k % 2), w, wp, m1);
        break;
    }
    case SignFormat::TwoUp:
        down = CellSpan(SpanRule::Symmetric, 2, int(k % 2), h, hp, m2);
        across = CellSpan(SpanRule::Symmetric, 1, 0, w, wp, m1);
        break;
    case SignFormat::OneUp:
        down = CellSpan(SpanRule::Symmetric, 1, 0, h, hp, m2);
        across = CellSpan(SpanRule::Symmetric, 1, 0, w, wp, m1);
        break;
    }
    return { down.origin, down.size, across.origin, across.size };
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

PreviewView PreviewViewFor(
    double clientWidth, double clientHeight, const SheetMetrics& sheet, qint32 m1, qint32 m2)
{
    const double fw = clientWidth > 0 ? clientWidth : 1;
    const double fh = clientHeight > 0 ? clientHeight : 1;
    const double w = sheet.width > 0 ? sheet.width : 1;
    const double h = sheet.height > 0 ? sheet.height : 1;
    PreviewView view;
    view.previewScale = fw / w;
    view.width = w;
    view.height = roundWhole(fh / fw * w);
    view.left = -m1;
    if (sheet.printableHeight > view.height) {
        // The page is taller than the window: fit it by height instead.
        view.previewScale = fh / h;
        view.top = -m2;
        view.height = h;
        view.width = roundWhole(fw / fh * h);
        view.left = roundWhole((w - view.width) / 2) - m1;
    } else {
        view.top = roundWhole((h - view.height) / 2);
    }
    // A window squeezed to almost nothing still gets a usable scale.
    view.width = std::max(view.width, 1.0);
    view.height = std::max(view.height, 1.0);
    return view;
}
