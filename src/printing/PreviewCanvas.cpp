#include "printing/PreviewCanvas.h"

PreviewCanvas::PreviewCanvas(QSize pixels, double dpiX, double dpiY)
    : m_image(pixels.expandedTo(QSize(1, 1)), QImage::Format_RGB32)
{
    m_image.fill(Qt::white);
    setGeometry(m_image.width() * 1440.0 / dpiX, m_image.height() * 1440.0 / dpiY,
        m_image.width() * 1440.0 / dpiX, m_image.height() * 1440.0 / dpiY, dpiX, dpiY);
    m_painter.begin(&m_image);
    m_painter.setRenderHints(
        QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
}

PreviewCanvas::~PreviewCanvas()
{
    m_painter.end();
}

void PreviewCanvas::deviceCls()
{
    if (m_blank)
        return;
    m_blank = true;
    m_painter.setTransform(QTransform());
    m_painter.fillRect(m_image.rect(), Qt::white);
}
