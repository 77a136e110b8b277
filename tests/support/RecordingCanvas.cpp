#include "support/RecordingCanvas.h"

#include <utility>

RecordingCanvas::RecordingCanvas(
    QSizeF portraitSheetTwips, QMarginsF portraitMarginsTwips, double dpi, QString deviceName)
    : m_sheet(portraitSheetTwips)
    , m_margins(portraitMarginsTwips)
    , m_dpi(dpi)
    , m_deviceName(std::move(deviceName))
{
    applyGeometry();
}

void RecordingCanvas::setOrientation(int orientation)
{
    SignCanvas::setOrientation(orientation);
    applyGeometry();
}

// Turned a quarter, the sheet's sides change places and so do its pairs of margins.
void RecordingCanvas::applyGeometry()
{
    const bool landscape = Orientation() == Landscape;
    const QSizeF sheet = landscape ? m_sheet.transposed() : m_sheet;
    const double across = m_margins.left() + m_margins.right();
    const double down = m_margins.top() + m_margins.bottom();
    setGeometry(sheet.width(), sheet.height(), sheet.width() - (landscape ? down : across),
        sheet.height() - (landscape ? across : down), m_dpi, m_dpi);
}
