#include "base/PictureReader.h"

#include "base/PngScaler.h"
#include "base/SafeFile.h"

#include <QImageReader>

namespace {

// Only a regular file is handed to the image reader: opening a pipe would
// block, and a device never ends.
bool checkRegular(const QString& path, QString* error)
{
    const QString reason = SafeFile::notRegularReason(path);
    if (reason.isEmpty())
        return true;
    if (error)
        *error = reason;
    return false;
}

QSize capped(QSize size)
{
    if (size.width() > PictureReader::MaxSide || size.height() > PictureReader::MaxSide)
        size = size.scaled(PictureReader::MaxSide, PictureReader::MaxSide, Qt::KeepAspectRatio);
    return size.expandedTo(QSize(1, 1));
}

} // namespace

QSize PictureReader::probe(const QString& path, QString* error)
{
    if (!checkRegular(path, error))
        return QSize();
    QImageReader reader(path);
    const QSize size = reader.canRead() ? reader.size() : QSize();
    if (!size.isValid() && error)
        *error = reader.errorString();
    return size;
}

QImage PictureReader::read(
    const QString& path, QSize bound, Qt::AspectRatioMode mode, QString* error)
{
    if (!checkRegular(path, error))
        return QImage();
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (stored.isValid() && !stored.isEmpty()) {
        // The bound is for the picture as shown; a picture turned a quarter
        // by its orientation is decoded with the sides swapped.
        if (bound.isValid()
            && reader.transformation().testFlag(QImageIOHandler::TransformationRotate90))
            bound.transpose();
        QSize size = stored;
        if (bound.isValid() && !bound.isEmpty()) {
            if (mode == Qt::IgnoreAspectRatio)
                size = size.boundedTo(bound);
            else if (size.width() > bound.width() || size.height() > bound.height())
                size = size.scaled(bound, Qt::KeepAspectRatio);
        }
        size = capped(size);
        if (size != stored && reader.format() == "png") {
            // Qt decodes a PNG whole before scaling it; ours reads it a row
            // at a time.
            PngScaler png;
            QImage image = png.read(path, size);
            if (png.handled()) {
                if (image.isNull() && error)
                    *error = png.error();
                return image;
            }
        }
        if (size != stored)
            reader.setScaledSize(size);
    }
    QImage image = reader.read();
    if (image.isNull() && error)
        *error = reader.errorString();
    return image;
}

PictureCache::PictureCache(qint64 budgetBytes)
    : m_budget(budgetBytes)
{
}

QImage PictureCache::picture(const QString& path, QSize drawnPixels, QString* error)
{
    const QString key = path + QLatin1Char('|') + QString::number(drawnPixels.width())
        + QLatin1Char('x') + QString::number(drawnPixels.height());
    const auto found = m_index.find(key);
    if (found != m_index.end()) {
        m_entries.splice(m_entries.begin(), m_entries, found.value());
        return found.value()->image;
    }
    QImage image = PictureReader::read(path, drawnPixels, Qt::IgnoreAspectRatio, error);
    if (image.isNull())
        return image;
    m_entries.push_front(Entry { key, image });
    m_index.insert(key, m_entries.begin());
    m_bytes += image.sizeInBytes();
    // The newest picture stays even when it alone is over the budget.
    while (m_bytes > m_budget && m_entries.size() > 1) {
        const Entry& last = m_entries.back();
        m_bytes -= last.image.sizeInBytes();
        m_index.remove(last.key);
        m_entries.pop_back();
    }
    return image;
}
