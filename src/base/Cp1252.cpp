#include "base/Cp1252.h"

#include <QStringDecoder>

#include <array>
#include <vector>

namespace {

// Characters of bytes 0x80 to 0x9F; the five bytes the code page leaves
// undefined map to the C1 control of the same number, as the platform
// codec maps them.
constexpr char16_t HighControls[32]
    = { 0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
          0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
          0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178 };

struct Tables
{
    std::array<char16_t, 256> toUnicode {};
    // -1 where the code page has no byte for the character.
    std::vector<qint16> fromUnicode = std::vector<qint16>(0x10000, qint16(-1));
    bool platform = false;

    Tables()
    {
        QStringDecoder decoder("windows-1252");
        platform = decoder.isValid();
        for (int b = 0; b < 256; ++b) {
            char16_t ch = char16_t(b);
            if (b >= 0x80 && b <= 0x9F)
                ch = HighControls[b - 0x80];
            if (platform) {
                const char byte = char(b);
                const QString s = decoder.decode(QByteArrayView(&byte, 1));
                if (s.size() == 1)
                    ch = s.at(0).unicode();
            }
            toUnicode[size_t(b)] = ch;
            fromUnicode[ch] = qint16(b);
        }
    }
};

const Tables& tables()
{
    static const Tables t;
    return t;
}

} // namespace

namespace Cp1252 {

QString decode(QByteArrayView bytes)
{
    const Tables& t = tables();
    QString out(bytes.size(), Qt::Uninitialized);
    char16_t* dst = reinterpret_cast<char16_t*>(out.data());
    const auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        dst[i] = t.toUnicode[src[i]];
    return out;
}

bool appendEncoded(QByteArray& out, const QString& text, qsizetype* badIndex)
{
    const Tables& t = tables();
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char* dst = out.data() + start;
    const char16_t* src = reinterpret_cast<const char16_t*>(text.constData());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qint16 b = t.fromUnicode[src[i]];
        if (b < 0) {
            out.resize(start + i);
            if (badIndex)
                *badIndex = i;
            return false;
        }
        dst[i] = char(b);
    }
    return true;
}

std::optional<QByteArray> encode(const QString& text, qsizetype* badIndex)
{
    QByteArray out;
    if (!appendEncoded(out, text, badIndex))
        return std::nullopt;
    return out;
}

bool usesPlatformCodec()
{
    return tables().platform;
}

} // namespace Cp1252
