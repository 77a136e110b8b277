#include "printing/PagePainter.h"

#include "printing/SignCanvas.h"

PagePainter::PagePainter(SignPainter& painter, const PrintOptions& options,
    const SheetMetrics& sheet, bool printing, double previewScale)
    : m_painter(painter)
    , m_options(options)
    , m_sheet(sheet)
    , m_printing(printing)
    , m_previewScale(previewScale)
    , m_formatScale(formatInfo(options.format).scaleFor(sheet.width_tw, sheet.height_tw))
{
}

SignPlacement PagePainter::placementFor(SignCanvas& canvas, const PlannedSign& sign) const
{
    const SignCell cell = CellForSign(m_options.format, sign.cell, m_sheet,
        m_options.marginAcross_tw(), m_options.marginDown_tw());
    SignPlacement placement;
    placement.canvas = &canvas;
    placement.printing = m_printing;
    placement.row = sign.row;
    placement.top_tw = cell.top_tw;
    placement.height_tw = cell.height_tw;
    placement.left_tw = cell.left_tw;
    placement.width_tw = cell.width_tw;
    placement.shiftUpDown_tw = m_options.shiftUpDown_tw;
    placement.shiftLeftRight_tw = m_options.shiftLeftRight_tw;
    placement.previewScale = m_previewScale;
    placement.formatScale = m_formatScale;
    placement.printableWidth_tw = m_sheet.printableWidth_tw;
    placement.printableHeight_tw = m_sheet.printableHeight_tw;
    return placement;
}

bool PagePainter::paintPage(
    SignCanvas& canvas, const PlannedPage& page, qint32 firstSign, const Hooks& hooks)
{
    qint32 number = firstSign;
    for (const PlannedSign& sign : page.signs) {
        if (hooks.before)
            hooks.before(number);
        ++number;
        const SignPlacement placement = placementFor(canvas, sign);
        const SignFit fit = m_options.bullet ? m_painter.PaintBulletSign(placement)
                                             : m_painter.PaintDescSign(placement);
        if (hooks.after && !hooks.after(sign, fit))
            return false;
    }
    return true;
}
