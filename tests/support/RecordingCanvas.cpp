#include "support/RecordingCanvas.h"

#include <utility>

RecordingCanvas::RecordingCanvas()
    : RecordingCanvas(QSizeF(12240, 15840), QMarginsF(360, 360, 360, 360))
{
}

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

double RecordingCanvas::marginLeft() const
{
    // Turning the sheet a quarter anticlockwise brings the portrait top
    // margin to the left.
    return Orientation() == Landscape ? m_margins.top() : m_margins.left();
}

double RecordingCanvas::marginTop() const
{
    return Orientation() == Landscape ? m_margins.right() : m_margins.top();
}

void RecordingCanvas::applyGeometry()
{
    const bool landscape = Orientation() == Landscape;
    const double w = landscape ? m_sheet.height() : m_sheet.width();
    const double h = landscape ? m_sheet.width() : m_sheet.height();
    const double pw = w
        - (landscape ? m_margins.top() + m_margins.bottom() : m_margins.left() + m_margins.right());
    const double ph = h
        - (landscape ? m_margins.left() + m_margins.right() : m_margins.top() + m_margins.bottom());
    setGeometry(w, h, pw, ph, m_dpi, m_dpi);
}
