#include "itemdata/DictLineReader.h"

#include <QIODevice>

#include <cstring>

namespace {
constexpr qint64 BlockSize = 64 * 1024;
}

bool DictLineReader::fill()
{
    if (m_eof || m_failed)
        return false;
    m_block.resize(BlockSize);
    const qint64 got = m_device.read(m_block.data(), BlockSize);
    if (got < 0) {
        m_failed = true;
        m_block.clear();
        m_pos = 0;
        return false;
    }
    m_block.resize(got);
    m_pos = 0;
    if (got == 0) {
        m_eof = true;
        return false;
    }
    return true;
}

bool DictLineReader::next(QByteArray& line)
{
    line.clear();
    bool any = false;
    for (;;) {
        if (m_pos >= m_block.size() && !fill())
            return any && !m_failed;
        if (m_pendingCr) {
            m_pendingCr = false;
            if (m_block.at(m_pos) == '\n')
                ++m_pos;
            if (m_pos >= m_block.size())
                continue;
        }
        const char* begin = m_block.constData() + m_pos;
        const qsizetype avail = m_block.size() - m_pos;
        const char* end = begin;
        const char* stop = begin + avail;
        while (end < stop && *end != '\n' && *end != '\r')
            ++end;
        if (line.size() + (end - begin) > MaxLineBytes) {
            // No dictionary line is this long: the data is not a dictionary
            // (a file without line ends would otherwise fill the memory).
            m_failed = true;
            line.clear();
            return false;
        }
        line.append(begin, end - begin);
        any = true;
        m_pos += (end - begin);
        if (end < stop) {
            m_pendingCr = (*end == '\r');
            ++m_pos;
            return true;
        }
    }
}
