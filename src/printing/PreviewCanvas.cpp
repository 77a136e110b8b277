#include "printing/PreviewCanvas.h"

#include "printing/RunTimeError.h"

#include <QImageReader>

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

// The screen shows a picture at a few dozen pixels; reading only its header
// here and decoding it at that size when it is drawn keeps a preview page
// quick even with camera-sized pictures.
QImage PreviewCanvas::readPicture(const QString& path)
{
    QImageReader reader(path);
    if (!reader.canRead() || !reader.size().isValid())
        throw RunTimeError::invalidPicture(path, reader.errorString());
    return QImage();
}

QImage PreviewCanvas::pictureForDevice(const SignPicture& picture, QSizeF devicePixels)
{
    const QSize size = devicePixels.toSize().expandedTo(QSize(1, 1));
    const QString key = picture.path + QLatin1Char('|') + QString::number(size.width())
        + QLatin1Char('x') + QString::number(size.height());
    auto found = m_shown.constFind(key);
    if (found != m_shown.constEnd())
        return *found;
    QImageReader reader(picture.path);
    reader.setAutoTransform(true);
    reader.setScaledSize(size);
    QImage image = reader.read();
    if (image.isNull())
        throw RunTimeError::invalidPicture(picture.path, reader.errorString());
    m_shown.insert(key, image);
    return image;
}
