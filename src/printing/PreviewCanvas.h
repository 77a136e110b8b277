#pragma once

#include "printing/SignCanvas.h"

#include <QImage>
#include <QPainter>
#include <QSize>

// The on-screen preview as a drawing surface: an image the size of the
// preview box, in screen pixels, shown by the main window in picBox. The job
// sets the user scale (ScaleLeft/Top/Width/Height) so that the painters draw
// in printer twips; Width/Height are the box's own size in twips. Font sizes
// are screen points, as on a picture box.
class PreviewCanvas : public SignCanvas
{
public:
    // A white box of the given size in pixels at the given screen resolution.
    PreviewCanvas(QSize pixels, double dpiX, double dpiY);
    ~PreviewCanvas() override;

    QString DeviceName() const override { return QString(); }
    const QImage& image() const { return m_image; }

protected:
    QPainter* devicePainter() override
    {
        m_blank = false;
        return &m_painter;
    }
    void deviceNewPage() override { }
    void deviceEndDoc() override { }
    void deviceCls() override;

private:
    QImage m_image;
    QPainter m_painter;
    bool m_blank = true; // nothing drawn since the box was last cleared
};
