#include "ui/ImageBox.h"

#include "base/PictureReader.h"

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

bool ImageBox::loadPicture(const QString& path)
{
    QImage image = PictureReader::read(path);
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
