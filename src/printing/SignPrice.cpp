#include "printing/SignPrice.h"

#include <QRegularExpression>

#include <cmath>

SignPrice PriceForSign(const QString& typed)
{
    const QString text = typed.trimmed();
    SignPrice price;
    price.amount = text;
    QString number = text;
    if (number.startsWith(QLatin1Char('$')))
        number = number.mid(1).trimmed();
    // Digits, optionally grouped by commas in threes, and an optional
    // decimal part; at least one digit somewhere.
    static const QRegularExpression plain(
        QStringLiteral("^(?:\\d+|\\d{1,3}(?:,\\d{3})+)?(?:\\.\\d*)?$"));
    if (!number.contains(QRegularExpression(QStringLiteral("\\d")))
        || !plain.match(number).hasMatch())
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
