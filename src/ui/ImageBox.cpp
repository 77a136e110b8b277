#include "ui/ImageBox.h"

#include <QImageReader>
#include <QMouseEvent>
#include <QPixmap>

ImageBox::ImageBox(QWidget* parent)
    : QLabel(parent)
{
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
    setLineWidth(1);
    setScaledContents(true);
}

QImage ImageBox::readPicture(const QString& path, QString* error)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    // 256 MB of decoded pixels is far more than any sign picture needs.
    reader.setAllocationLimit(256);
    QImage image = reader.read();
    if (image.isNull() && error)
        *error = reader.errorString();
    return image;
}

bool ImageBox::loadPicture(const QString& path)
{
    QImage image = readPicture(path);
    if (image.isNull())
        return false;
    m_image = std::move(image);
    setPixmap(QPixmap::fromImage(m_image));
    return true;
}

void ImageBox::clearPicture()
{
    m_image = QImage();
    clear();
}

void ImageBox::mousePressEvent(QMouseEvent* event)
{
    QLabel::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        emit clicked();
}
