#pragma once

#include <QByteArray>

class QIODevice;

// Reads text lines from a device a block at a time. A line ends at a line
// feed, a carriage return, or a carriage return and line feed; the end
// characters are not part of the line. Used for dictionary files, which are
// read from the start to the end without positioning. Lines are capped in
// length (MaxLineBytes).
class DictLineReader
{
public:
    explicit DictLineReader(QIODevice& device)
        : m_device(device)
    {
    }

    // The next line in line; false at the end of the data or on a read error
    // (then failed() is true).
    bool next(QByteArray& line);
    bool failed() const { return m_failed; }

    // A longer line is a read failure.
    static constexpr qsizetype MaxLineBytes = 64 * 1024;

private:
    bool fill();

    QIODevice& m_device;
    QByteArray m_block;
    qsizetype m_pos = 0;
    bool m_eof = false;
    bool m_failed = false;
    // A CR ended the previous line; a LF right after it belongs to it.
    bool m_pendingCr = false;
};
