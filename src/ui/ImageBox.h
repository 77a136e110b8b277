#pragma once

#include <QImage>
#include <QLabel>

// An image box that stretches its picture to its own size, with a thin
// border, and reports clicks.
class ImageBox : public QLabel
{
    Q_OBJECT

public:
    explicit ImageBox(QWidget* parent = nullptr);

    // Shows the picture file (a huge one decoded at a reduced size); false
    // (and the box unchanged) when the file cannot be read as a picture.
    bool loadPicture(const QString& path);
    void clearPicture();
    bool hasPicture() const { return !m_image.isNull(); }
    const QImage& picture() const { return m_image; }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QImage m_image;
};
