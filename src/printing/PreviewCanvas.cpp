#include "printing/PreviewCanvas.h"

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace {

#ifdef __linux__
// Where the preview image's memory was mapped, to unmap it with the image.
struct Mapping
{
    void* base = nullptr;
    size_t bytes = 0;
};
#endif

// A white image of the size. Filling megabytes of fresh memory page by page
// took most of the time of a first preview page; on Linux the image lives in
// memory mapped on a 2 MB boundary and marked for huge pages, so the fill
// faults in a few large pages instead of thousands of small ones.
QImage whiteImage(QSize pixels)
{
    const QSize size = pixels.expandedTo(QSize(1, 1));
    QImage image;
#ifdef __linux__
    constexpr size_t HugePage = size_t(2) << 20;
    const qsizetype bytesPerLine = qsizetype(size.width()) * 4;
    const size_t bytes = size_t(bytesPerLine) * size_t(size.height());
    void* base = mmap(
        nullptr, bytes + HugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base != MAP_FAILED) {
        auto* start = reinterpret_cast<uchar*>(
            (reinterpret_cast<quintptr>(base) + HugePage - 1) & ~quintptr(HugePage - 1));
        madvise(start, bytes, MADV_HUGEPAGE); // a hint; without it the pages are small
        image = QImage(
            start, size.width(), size.height(), bytesPerLine, QImage::Format_RGB32,
            [](void* info) {
                const auto* mapping = static_cast<Mapping*>(info);
                munmap(mapping->base, mapping->bytes);
                delete mapping;
            },
            new Mapping { base, bytes + HugePage });
    }
#endif
    if (image.isNull())
        image = QImage(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

PreviewCanvas::PreviewCanvas(QSize pixels, double dpiX, double dpiY)
    : m_image(whiteImage(pixels))
{
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
    m_painter.setClipping(false);
    forgetPainterClip();
    m_painter.fillRect(m_image.rect(), Qt::white);
}
