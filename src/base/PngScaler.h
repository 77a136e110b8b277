#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// Decodes a PNG file straight to a smaller size, one row at a time: each
// target pixel is the average of the pixels it covers. Memory is one row of
// the file and one row of sums, so a picture far too large to decode whole
// is read in the time it takes to inflate it. Interlaced files are not
// handled (their rows arrive in passes): handled() is then false.
class PngScaler
{
public:
    // size must not be larger than the picture on either side.
    QImage read(const QString& path, QSize size);
    bool handled() const { return m_handled; }
    const QString& error() const { return m_error; }

private:
    bool m_handled = true;
    QString m_error;
};
