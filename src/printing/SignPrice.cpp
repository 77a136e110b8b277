#include "printing/SignPrice.h"

#include <cmath>

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

    QString digits = number;
    digits.remove(QLatin1Char(','));
    const double value = digits.toDouble();
    const long long cents = std::llround(value * 100);
    if (cents < 100) {
        price.amount = QString::number(cents);
        price.cent = QString(QChar(0x00A2));
    } else {
        price.dollar = QStringLiteral("$");
        price.amount = number;
    }
    return price;
}
