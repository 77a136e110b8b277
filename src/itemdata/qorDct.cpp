#include "itemdata/qorDct.h"

#include "base/Cp1252.h"
#include "base/NumberText.h"
#include "base/SafeFile.h"
#include "itemdata/DictLineReader.h"

#include <QBuffer>
#include <QFile>

#include <optional>

const QString qorDct::MasterStoreWarning = QStringLiteral(
    "Warning: could not read master/store specific info from data dictionary.  Will treat all "
    "info as master.");
const QString qorDct::CannotReadMessage
    = QStringLiteral("Can not read dictionary file.  Select OK to try another name.");

namespace {

// The number at the start of the text (blanks skipped, reading stops at the
// first character that cannot continue a number, no digits is 0), as a
// 16-bit whole number rounded halves to even. Nothing when it does not fit:
// the load then stops as for a read failure instead of wrapping around.
std::optional<qint16> leadingWhole16(const QByteArray& line, qsizetype from)
{
    // Only the characters that can belong to the number are handed on, so a
    // huge line is not converted whole for each of its numbers.
    qsizetype end = from;
    const qsizetype n = line.size();
    while (end < n && (line.at(end) == ' ' || line.at(end) == '\t'))
        ++end;
    if (end < n && (line.at(end) == '+' || line.at(end) == '-'))
        ++end;
    while (end < n && ((line.at(end) >= '0' && line.at(end) <= '9') || line.at(end) == '.'))
        ++end;
    const double value = NumberText::roundHalfEven(
        NumberText::leadingNumber(QString::fromLatin1(line.constData() + from, end - from)));
    if (!(value >= -32768.0 && value <= 32767.0))
        return std::nullopt;
    return qint16(value);
}

// Opens the dictionary for reading; anything but a regular file fails (a
// pipe would block the open, a device never ends).
bool openForReading(QFile& file, const QString& fnam)
{
    if (!SafeFile::isRegular(fnam))
        return false;
    file.setFileName(fnam);
    return file.open(QIODevice::ReadOnly);
}

} // namespace

qorDct::qorDct() = default;

int qorDct::indexOf(qint16 ix)
{
    const int index = ix % 1000; // keeps the sign of ix, as the rule asks
    return (index >= 0 && index < Entries) ? index : -1;
}

qint16 qorDct::dAlpha(qint16 ix) const
{
    const int i = indexOf(ix);
    return m_alpha[size_t(i < 0 ? 0 : i)];
}

void qorDct::setDAlpha(qint16 ix, qint16 value)
{
    const int i = indexOf(ix);
    if (i >= 0)
        m_alpha[size_t(i)] = value;
}

QString qorDct::dDesc(qint16 ix) const
{
    const int i = indexOf(ix);
    return m_description[size_t(i < 0 ? 0 : i)];
}

void qorDct::setDDesc(qint16 ix, const QString& value)
{
    const int i = indexOf(ix);
    if (i >= 0)
        m_description[size_t(i)] = value;
}

qint16 qorDct::dLen(qint16 ix) const
{
    const int i = indexOf(ix);
    return m_length[size_t(i < 0 ? 0 : i)];
}

void qorDct::setDLen(qint16 ix, qint16 value)
{
    const int i = indexOf(ix);
    if (i >= 0)
        m_length[size_t(i)] = value;
}

bool qorDct::dMaster(qint16 ix) const
{
    const int i = indexOf(ix);
    return m_master[size_t(i < 0 ? 0 : i)];
}

void qorDct::setDMaster(qint16 ix, bool value)
{
    const int i = indexOf(ix);
    if (i >= 0)
        m_master[size_t(i)] = value;
}

void qorDct::clearEntries()
{
    m_last = 0;
    for (size_t i = 0; i < size_t(Entries); ++i) {
        m_description[i].clear();
        m_alpha[i] = 0;
        m_length[i] = 0;
        m_master[i] = true;
    }
}

qint16 qorDct::setup(const QString& fnam, const QString& Typ, qint16 lev)
{
    clearEntries();
    QFile file;
    if (!openForReading(file, fnam))
        return StatusUnreadable;
    return readSections(file, Typ, lev);
}

qint16 qorDct::setupFromData(const QByteArray& data, const QString& Typ, qint16 lev)
{
    clearEntries();
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return readSections(buffer, Typ, lev);
}

qint16 qorDct::readSections(QIODevice& device, const QString& Typ, qint16 lev)
{
    const QString wanted = Typ.toUpper();
    DictLineReader reader(device);
    QByteArray line;
    bool inSection = false;
    bool found = false;
    while (reader.next(line)) {
        if (line.startsWith('/'))
            continue;
        if (inSection) {
            found = true;
            if (!line.startsWith('[')) {
                const qsizetype comma1 = line.indexOf(',');
                const qsizetype comma2 = comma1 < 0 ? -1 : line.indexOf(',', comma1 + 1);
                const qsizetype colon = comma2 < 0 ? -1 : line.indexOf(':', comma2 + 1);
                if (colon < 0)
                    continue;
                const std::optional<qint16> field = leadingWhole16(line, 0);
                const std::optional<qint16> alpha = leadingWhole16(line, comma1 + 1);
                const std::optional<qint16> length = leadingWhole16(line, comma2 + 1);
                if (!field || !alpha || !length)
                    return StatusUnreadable;
                if (*field < 0 || *field > m_maxIndex)
                    continue;
                setDAlpha(*field, *alpha);
                setDLen(*field, *length);
                setDDesc(*field, Cp1252::decode(QByteArrayView(line).sliced(colon + 1)));
                if (*field > m_last)
                    m_last = *field;
                continue;
            }
            inSection = false;
        }
        if (!line.startsWith('['))
            continue;
        const qsizetype close = line.indexOf(']');
        if (close < 0)
            continue;
        const QString name = Cp1252::decode(QByteArrayView(line).sliced(1, close - 1)).toUpper();
        if (name == QLatin1String("END"))
            break;
        if (name != wanted)
            continue;
        const std::optional<qint16> level = leadingWhole16(line, close + 1);
        if (!level)
            return StatusUnreadable;
        if (*level <= lev)
            inSection = true;
    }
    if (reader.failed())
        return StatusUnreadable;
    return found ? StatusOk : StatusNotFound;
}

qint16 qorDct::setupms(const QString& fnam, bool prisame)
{
    for (qint16 i = 1; i < Entries; ++i)
        m_master[size_t(i)] = true;
    QFile file;
    if (!openForReading(file, fnam))
        return StatusUnreadable;
    return readMasterStore(file, prisame);
}

qint16 qorDct::setupmsFromData(const QByteArray& data, bool prisame)
{
    for (qint16 i = 1; i < Entries; ++i)
        m_master[size_t(i)] = true;
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return readMasterStore(buffer, prisame);
}

qint16 qorDct::readMasterStore(QIODevice& device, bool prisame)
{
    DictLineReader reader(device);
    QByteArray line;
    bool inBlock = false;
    bool found = false;
    while (reader.next(line)) {
        if (line.startsWith('/'))
            continue;
        if (!inBlock) {
            inBlock = line.startsWith("%BEGIN%");
            continue;
        }
        found = true;
        if (line.startsWith("%END%"))
            break;
        const std::optional<qint16> field = leadingWhole16(line, 0);
        if (!field)
            return StatusUnreadable;
        if (*field < 0 || *field > m_maxIndex)
            continue;
        const qsizetype comma = line.indexOf(',');
        if (comma < 0)
            continue;
        const char code = comma + 1 < line.size() ? line.at(comma + 1) : '\0';
        if (code == 'S')
            setDMaster(*field, false);
        else if (code == 'P')
            setDMaster(*field, prisame);
        else
            setDMaster(*field, true);
    }
    if (reader.failed())
        return StatusUnreadable;
    return found ? StatusOk : StatusNotFound;
}
