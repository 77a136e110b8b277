#include "base/NumberText.h"

#include <cmath>
#include <limits>

namespace NumberText {

namespace {

    bool isBlankChar(QChar c)
    {
        return c == QLatin1Char(' ') || c == QLatin1Char('\t');
    }

    // Scans an optional sign, digits and one point starting at pos. Returns the
    // end of the number and whether any digit was seen.
    int scanNumber(const QString& text, int pos, bool* sawDigit)
    {
        *sawDigit = false;
        const int n = int(text.size());
        if (pos < n && (text[pos] == QLatin1Char('+') || text[pos] == QLatin1Char('-')))
            ++pos;
        bool sawPoint = false;
        while (pos < n) {
            const QChar c = text[pos];
            if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
                *sawDigit = true;
            } else if (c == QLatin1Char('.') && !sawPoint) {
                sawPoint = true;
            } else {
                break;
            }
            ++pos;
        }
        return pos;
    }

    double parseSpan(const QString& text, int from, int to)
    {
        bool ok = false;
        QString span = text.mid(from, to - from);
        if (span.endsWith(QLatin1Char('.')))
            span.chop(1);
        if (span == QLatin1String("+") || span == QLatin1String("-") || span.isEmpty())
            return 0.0;
        const double v = span.toDouble(&ok);
        if (ok)
            return v;
        // The span is a well-formed decimal, so a failed conversion is out of
        // range: too large is an infinity of its sign (which every reader
        // then treats as an overflow or clamps), too small is zero.
        const bool negative = span.startsWith(QLatin1Char('-'));
        const QString whole = span.section(QLatin1Char('.'), 0, 0);
        for (const QChar c : whole) {
            if (c >= QLatin1Char('1') && c <= QLatin1Char('9'))
                return negative ? -std::numeric_limits<double>::infinity()
                                : std::numeric_limits<double>::infinity();
        }
        return 0.0;
    }

} // namespace

double leadingNumber(const QString& text)
{
    int pos = 0;
    const int n = int(text.size());
    while (pos < n && isBlankChar(text[pos]))
        ++pos;
    bool sawDigit = false;
    const int end = scanNumber(text, pos, &sawDigit);
    if (!sawDigit)
        return 0.0;
    return parseSpan(text, pos, end);
}

double roundHalfEven(double value)
{
    // nearbyint honours the current rounding mode, which the program never
    // changes from round-to-nearest-even.
    return std::nearbyint(value);
}

bool isNumeric(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool sawDigit = false;
    const int end = scanNumber(t, 0, &sawDigit);
    return sawDigit && end == t.size();
}

namespace {

    template <typename Int> std::optional<Int> toWhole(const QString& text)
    {
        if (!isNumeric(text))
            return std::nullopt;
        const QString t = text.trimmed();
        const double rounded = roundHalfEven(parseSpan(t, 0, int(t.size())));
        if (rounded < double(std::numeric_limits<Int>::min())
            || rounded > double(std::numeric_limits<Int>::max()))
            return std::nullopt;
        return Int(rounded);
    }

} // namespace

std::optional<qint16> toWhole16(const QString& text)
{
    return toWhole<qint16>(text);
}

std::optional<qint32> toWhole32(const QString& text)
{
    return toWhole<qint32>(text);
}

qint32 leadingWhole32(const QString& text)
{
    const double rounded = roundHalfEven(leadingNumber(text));
    if (rounded <= double(std::numeric_limits<qint32>::min()))
        return std::numeric_limits<qint32>::min();
    if (rounded >= double(std::numeric_limits<qint32>::max()))
        return std::numeric_limits<qint32>::max();
    return qint32(rounded);
}

std::optional<bool> toTruth(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (isNumeric(t))
        return parseSpan(t, 0, int(t.size())) != 0.0;
    return std::nullopt;
}

} // namespace NumberText
