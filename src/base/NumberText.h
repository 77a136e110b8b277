#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// Conversions of stored and typed text to numbers, the way every reader of a
// setting and every number box of the program does them. Stored values are
// plain text; each reader converts with one of these rules.
namespace NumberText {

// The leading decimal number of the text, leading blanks ignored: "12abc" is
// 12, "abc" is 0, " -1.5x" is -1.5. An optional sign, digits and one decimal
// point; no exponent and no thousands separators. A number too large for a
// double is an infinity of its sign, never 0.
double leadingNumber(const QString& text);

// Rounds to the nearest whole number, halves to the even neighbour
// (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double roundHalfEven(double value);

// True when the text, blanks around it ignored, is a plain signed decimal
// number: an optional sign, digits with at most one decimal point, at least
// one digit. Exponents, thousands separators, a lone sign or point are not.
bool isNumeric(const QString& text);

// The text as a whole number of 16 or 32 bits (halves to even). Text that is
// not numeric, or whose rounded value does not fit, gives no value; readers
// then fall back to their own default.
std::optional<qint16> toWhole16(const QString& text);
std::optional<qint32> toWhole32(const QString& text);

// Number-prefix, then rounded to 32 bits (halves to even); values beyond the
// 32-bit range are clamped to it.
qint32 leadingWhole32(const QString& text);

// "True"/"False" (any case) or a number, non-zero meaning true. Anything else
// gives no value.
std::optional<bool> toTruth(const QString& text);

// The text the program writes for a truth value.
inline QString truthText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace NumberText
