#include "printing/SignPrice.h"

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// True when the text is digits, optionally grouped by commas in threes,
// with an optional decimal part, and has at least one digit.
bool isPlainAmount(const QString& text)
{
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? text : text.left(point);
    bool digits = false;
    for (qsizetype i = point < 0 ? text.size() : point + 1; i < text.size(); ++i) {
        if (!isDigit(text[i]))
            return false;
        digits = true;
    }
    const bool grouped = whole.contains(QLatin1Char(','));
    for (qsizetype i = 0; i < whole.size(); ++i) {
        // Counted from the right, every fourth character is a comma when
        // the whole part is grouped.
        const bool commaPlace = (whole.size() - i) % 4 == 0;
        if (grouped && commaPlace) {
            if (whole[i] != QLatin1Char(',') || i == 0)
                return false;
        } else if (!isDigit(whole[i])) {
            return false;
        } else {
            digits = true;
        }
    }
    return digits;
}

// Dollars of more digits than this do not fit a 64-bit count of cents:
// such a number is not a price and prints as typed.
constexpr qsizetype MaxDollarDigits = 16;

} // namespace

SignPrice PriceForSign(const QString& typed)
{
    const QString text = typed.trimmed();
    SignPrice price;
    price.amount = text;
    QString number = text;
    if (number.startsWith(QLatin1Char('$')))
        number = number.mid(1).trimmed();
    if (!isPlainAmount(number))
        return price;

    // The money form is built from the digits as typed, never through a
    // floating-point value, so no amount is rounded or overflows.
    const qsizetype point = number.indexOf(QLatin1Char('.'));
    QString whole = point < 0 ? number : number.left(point);
    const QString decimals = point < 0 ? QString() : number.mid(point + 1);
    // More than two decimals is not a price in cents: a typo such as
    // "0.995" shows as typed rather than being rounded away.
    if (decimals.size() > 2)
        return price;
    // Leading zeros (and a comma among them) are not part of the dollars.
    qsizetype first = 0;
    while (first < whole.size()
        && (whole[first] == QLatin1Char('0') || whole[first] == QLatin1Char(',')))
        ++first;
    whole = whole.mid(first);
    if (QString(whole).remove(QLatin1Char(',')).size() > MaxDollarDigits)
        return price;
    const QString cents = (decimals + QStringLiteral("00")).left(2);
    if (whole.isEmpty()) {
        price.amount = cents.startsWith(QLatin1Char('0')) ? cents.mid(1) : cents;
        price.cent = QString(QChar(0x00A2));
    } else {
        price.dollar = QStringLiteral("$");
        price.amount = whole + QLatin1Char('.') + cents;
    }
    return price;
}
