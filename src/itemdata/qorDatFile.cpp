#include "itemdata/qorDatFile.h"

#include "base/Cp1252.h"
#include "base/SafeFile.h"
#include "itemdata/qorDct.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <limits>

namespace {

// A header may name at most this many fields: the count is a 16-bit number.
constexpr qsizetype MaxFields = 32767;

// A header line longer than this is refused as soon as it is seen to be, as
// a dictionary line is, rather than read whole into memory.
constexpr qsizetype MaxHeaderBytes = 64 * 1024;

} // namespace

qorDatFile::qorDatFile(Notifier notify)
    : m_notify(std::move(notify))
{
}

qorDatFile::~qorDatFile() = default;

void qorDatFile::notify(const QString& text) const
{
    if (m_notify)
        m_notify(text);
}

qint16 qorDatFile::fopen(
    const QString& Fname, const qorDct& Dict, const QString& flds, qint16 mode, qint16 Typ)
{
    Q_UNUSED(flds);
    Q_UNUSED(Typ);
    fclose();
    auto file = std::make_unique<QFile>(Fname);
    bool opened = false;
    // Only a regular file is opened: a pipe or a device would block the
    // open or never end.
    const QString notRegular = SafeFile::notRegularReason(Fname);
    if (!notRegular.isEmpty() && QFileInfo::exists(Fname) && !QFileInfo(Fname).isDir()) {
        m_dict = &Dict;
        notify(QStringLiteral("Can not open data file: ") + Fname + QLatin1Char('\n') + notRegular);
        return StatusCannotOpen;
    }
    if (!Fname.isEmpty() && !QFileInfo(Fname).isDir()) {
        if (mode == 0) {
            // Blocks are our own buffering; Qt's would only copy them again.
            opened = file->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        } else {
            if (mode == 1 && QFileInfo::exists(Fname))
                QFile::remove(Fname);
            opened = file->open(QIODevice::ReadWrite | QIODevice::Unbuffered);
        }
    }
    if (!opened) {
        m_dict = &Dict;
        notify(QStringLiteral("Can not open data file: ") + Fname);
        return StatusCannotOpen;
    }
    return openDevice(std::move(file), Fname, Dict);
}

qint16 qorDatFile::fopenData(const QByteArray& data, const QString& Fname, const qorDct& Dict)
{
    fclose();
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(data);
    buffer->open(QIODevice::ReadOnly);
    return openDevice(std::move(buffer), Fname, Dict);
}

qint16 qorDatFile::fopenDevice(
    std::unique_ptr<QIODevice> device, const QString& Fname, const qorDct& Dict)
{
    fclose();
    return openDevice(std::move(device), Fname, Dict);
}

qint16 qorDatFile::openDevice(
    std::unique_ptr<QIODevice> device, const QString& Fname, const qorDct& Dict)
{
    m_dict = &Dict;
    m_device = std::move(device);
    m_lineNumber = 0;
    m_firstRecordPos = 0;
    m_nextPos = 1;
    m_dataEndPos = -1;
    m_nulLine = 0;
    m_readErrorLine = 0;
    m_readFailed = false;
    m_headerTooLong = false;
    m_block.clear();
    m_blockStart = -1;
    m_fields.clear();
    m_fieldListText.clear();
    m_layout = CommaSeparated;

    if (!readLine(Start::Header)) {
        if (m_readFailed) {
            notify(QStringLiteral("Can not read data file: ") + Fname);
            fclose();
            return StatusCannotOpen;
        }
        notify(QStringLiteral("Data file is empty: ") + Fname);
        fclose();
        return StatusEmpty;
    }
    if (m_headerTooLong || !parseHeader()) {
        notify(QStringLiteral("Invalid Header: ") + Fname);
        fclose();
        return StatusInvalidHeader;
    }
    return StatusOk;
}

void qorDatFile::fclose()
{
    if (m_device)
        m_device->close();
    m_device.reset();
    m_block.clear();
    m_block.squeeze();
    m_blockStart = -1;
}

bool qorDatFile::parseHeader()
{
    bool sawComma = false;
    bool sawTab = false;
    bool invalid = false;
    QByteArray digits;
    qsizetype digitsSinceClose = 0;

    auto closeEntry = [&]() {
        if (qsizetype(m_fields.size()) >= MaxFields) {
            invalid = true;
            return;
        }
        qsizetype first = 0;
        while (first < digits.size() - 1 && digits.at(first) == '0')
            ++first;
        const QByteArray number = digits.isEmpty() ? QByteArray("0") : digits.mid(first);
        // Anything beyond 16 bits can never equal a field number asked for;
        // it keeps its place in the list but is never found.
        qint32 value = std::numeric_limits<qint32>::max();
        if (number.size() <= 9)
            value = number.toInt();
        if (!m_fields.empty())
            m_fieldListText += QLatin1Char(',');
        m_fieldListText += QLatin1Char(' ') + QString::fromLatin1(number);
        m_fields.push_back(value);
        digits.clear();
        digitsSinceClose = 0;
    };

    for (const char c : std::as_const(m_line)) {
        if (c == '\t' || c == ',') {
            (c == ',' ? sawComma : sawTab) = true;
            closeEntry();
        } else if (c == ' ') {
            if (digitsSinceClose > 0)
                closeEntry();
        } else if (c >= '0' && c <= '9') {
            digits += c;
            ++digitsSinceClose;
        } else {
            invalid = true;
        }
        if (invalid)
            break;
    }
    if (!invalid && !m_line.isEmpty())
        closeEntry();

    m_layout = sawComma ? QuoteAndComma : (sawTab ? TabDelimited : CommaSeparated);
    return !invalid && !(sawComma && sawTab);
}

bool qorDatFile::loadBlock(qint64 offset)
{
    if (m_blockStart >= 0 && offset >= m_blockStart && offset < m_blockStart + m_block.size())
        return true;
    if (!m_device)
        return false;
    m_block.resize(m_blockSize);
    qint64 got = -1;
    if (m_device->seek(offset))
        got = m_device->read(m_block.data(), m_blockSize);
    if (got < 0) {
        m_readFailed = true;
        got = 0;
    }
    m_block.resize(got);
    m_blockStart = offset;
    return got > 0;
}

// Appends the line that starts at the 1-based position pos to m_line and
// returns the position after it. atLineFeed tells that a line feed ended
// it, cut that the file stopped giving bytes half-way.
qint64 qorDatFile::scanLine(qint64 pos, Start how, bool& atLineFeed, bool& cut)
{
    for (;;) {
        if (m_dataEndPos > 0 && pos >= m_dataEndPos)
            break;
        if (!loadBlock(pos - 1)) {
            // A line the file stopped giving half-way is not a record.
            cut = m_readFailed;
            break;
        }
        const qint64 rel = pos - 1 - m_blockStart;
        const char* begin = m_block.constData() + rel;
        const qint64 avail = m_block.size() - rel;
        const char* lf = static_cast<const char*>(std::memchr(begin, '\n', size_t(avail)));
        const qint64 scan = lf ? (lf - begin) : avail;
        const char* nul = static_cast<const char*>(std::memchr(begin, '\0', size_t(scan)));
        if (nul) {
            // A NUL ends the line and the data.
            m_line.append(begin, nul - begin);
            pos += nul - begin;
            m_dataEndPos = pos;
            m_nulLine = how == Start::Header ? 1 : m_lineNumber + 2;
            break;
        }
        m_line.append(begin, scan);
        pos += scan;
        if (how == Start::Header && m_line.size() > MaxHeaderBytes) {
            m_headerTooLong = true;
            break;
        }
        if (lf) {
            ++pos;
            atLineFeed = true;
            break;
        }
    }
    return pos;
}

bool qorDatFile::readLine(Start how)
{
    qint64 pos = 0;
    switch (how) {
    case Start::Header:
        pos = 1;
        m_lineNumber = -1;
        break;
    case Start::Rewind:
        pos = m_firstRecordPos;
        m_lineNumber = 0;
        break;
    case Start::Next:
        pos = m_nextPos;
        break;
    }

    m_line.clear();
    bool atLineFeed = false;
    bool cut = false;
    if (pos > 0) {
        pos = scanLine(pos, how, atLineFeed, cut);
        if (atLineFeed && m_line.endsWith('\r'))
            m_line.chop(1);
    }

    if (cut) {
        m_readErrorLine = how == Start::Header ? 1 : m_lineNumber + 2;
        m_line.clear();
    }
    const bool ok = pos > 0 && !cut && (atLineFeed || !m_line.isEmpty());
    if (ok) {
        ++m_lineNumber;
        m_nextPos = pos;
    } else {
        m_nextPos = 0;
        m_lineNumber = 0;
    }
    if (how == Start::Header)
        m_firstRecordPos = m_nextPos;
    return ok;
}

bool qorDatFile::gr(qint32 iline)
{
    if (!m_device)
        return false;
    if (iline < 1)
        return readLine(Start::Next);
    // Going back, or starting over once the end of the data was reached,
    // begins again at the first record without reopening the file.
    if (iline < m_lineNumber || m_nextPos == 0) {
        if (!readLine(Start::Rewind))
            return false;
    }
    while (iline > m_lineNumber) {
        if (!readLine(Start::Next))
            return false;
    }
    return m_lineNumber == iline;
}

// The field at position (0-based) of the current line, its quotes taken
// off; false when the line holds fewer fields.
bool qorDatFile::fieldAt(qsizetype position, QByteArrayView& field) const
{
    const char separator = m_layout == TabDelimited ? '\t' : ',';
    const bool quoting = m_layout == QuoteAndComma;
    QByteArrayView rest(m_line);

    // The end of a quoted field: the next double quote directly followed
    // by a comma, looked for after the opening quote.
    auto quotedEnd = [](QByteArrayView text) -> qsizetype {
        const qsizetype at = text.sliced(1).indexOf(QByteArrayView("\",", 2));
        return at < 0 ? -1 : at + 1;
    };

    for (qsizetype skip = 0; skip < position; ++skip) {
        const qsizetype end
            = (quoting && rest.startsWith('"')) ? quotedEnd(rest) : rest.indexOf(separator);
        if (end < 0)
            return false;
        rest = rest.sliced(end + ((quoting && rest.startsWith('"')) ? 2 : 1));
    }

    field = rest;
    if (quoting && rest.startsWith('"')) {
        const qsizetype end = quotedEnd(rest);
        if (end >= 0)
            field = rest.first(end + 1);
    } else {
        const qsizetype end = rest.indexOf(separator);
        if (end >= 0)
            field = rest.first(end);
    }
    if (field.size() >= 2 && field.startsWith('"') && field.endsWith('"'))
        field = field.sliced(1, field.size() - 2);
    return true;
}

qint16 qorDatFile::gf(qint16 ifld, QString& ibuf) const
{
    ibuf.clear();
    qsizetype position = -1;
    for (size_t k = 0; k < m_fields.size(); ++k) {
        if (m_fields[k] == ifld) {
            position = qsizetype(k);
            break;
        }
    }
    if (position < 0)
        return FieldMissing;

    // A record with fewer fields than the header: the fields past its end
    // are blank (rather than repeating its last field).
    QByteArrayView field;
    if (!fieldAt(position, field))
        return FieldBlank;

    // A negative length (a dictionary can hold one) keeps nothing.
    const qsizetype length = m_dict ? qMax<qsizetype>(0, m_dict->dLen(ifld)) : 0;
    if (field.size() > length)
        field = field.first(length);
    while (!field.isEmpty() && field.back() == ' ')
        field.chop(1);
    if (field.isEmpty()) // only spaces are gone with the trailing ones
        return FieldBlank;

    QByteArray value = field.toByteArray();
    value.replace('\x01', '\'');
    value.replace('\x02', '"');
    ibuf = Cp1252::decode(value);
    return StatusOk;
}

qint16 qorDatFile::GetFieldList(QList<qint32>& arr) const
{
    arr.clear();
    arr.reserve(qsizetype(m_fields.size()) + 1);
    for (const qint32 number : m_fields)
        arr.append(number);
    arr.append(-1);
    return qint16(m_fields.size());
}

QString qorDatFile::LineBuf() const
{
    return Cp1252::decode(m_line);
}
