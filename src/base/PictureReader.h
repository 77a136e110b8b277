#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <QHash>
#include <list>

// Reads picture files (JPEG, bitmap, PNG and whatever else Qt reads) for
// every place that shows one: the item graphic, the logo dialog and the
// print surfaces. Only regular files are opened. A picture is decoded no
// larger than it is drawn, and never beyond MaxSide pixels on a side, so a
// camera-sized or huge picture costs the memory of its drawn size.
class PictureReader
{
public:
    static constexpr int MaxSide = 4096;

    // The picture's size in pixels as stored, read from its header; an
    // invalid size (and the reason in error) when it cannot be read.
    static QSize probe(const QString& path, QString* error = nullptr);

    // Decodes the picture. With a valid bound it is decoded at most that
    // size: each side cut to the bound (the picture is stretched into its
    // rectangle when drawn), or with KeepAspectRatio scaled to fit inside
    // it. Either way no side exceeds MaxSide. A null image (and the reason
    // in error) when it cannot be read.
    static QImage read(const QString& path, QSize bound = QSize(),
        Qt::AspectRatioMode mode = Qt::IgnoreAspectRatio, QString* error = nullptr);
};

// The pictures of one print run or preview, decoded at their drawn size and
// kept while they fit a fixed memory budget; the least recently drawn goes
// first. A picture drawn again at the same size is the same image, so a
// printer embeds it once.
class PictureCache
{
public:
    static constexpr qint64 DefaultBudgetBytes = 48 * 1024 * 1024;

    explicit PictureCache(qint64 budgetBytes = DefaultBudgetBytes);

    // The picture decoded for a rectangle of drawnPixels; null with the
    // reason in error when it cannot be read.
    QImage picture(const QString& path, QSize drawnPixels, QString* error = nullptr);
    qint64 bytesHeld() const { return m_bytes; }

private:
    struct Entry
    {
        QString key;
        QImage image;
    };
    qint64 m_budget;
    qint64 m_bytes = 0;
    std::list<Entry> m_entries; // most recently used first
    QHash<QString, std::list<Entry>::iterator> m_index;
};
