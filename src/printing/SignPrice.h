#pragma once

#include <QString>

// A price as the sign prints it: an optional small "$" before the amount,
// the amount in the price size, an optional small cent sign after it.
struct SignPrice
{
    QString dollar;
    QString amount;
    QString cent;
    // True when the text was read as money (dollars or cents).
    bool money() const { return !dollar.isEmpty() || !cent.isEmpty(); }
};

// Reads a typed promo or regular price the way a shopper reads a price tag.
// Surrounding blanks, one leading "$" and thousands separators ("1,299.00")
// are allowed. A plain non-negative number with at most two decimals prints
// in money form: from a dollar up, "$" and the dollars without leading zeros
// with exactly two cent digits ("1.5" is "$1.50", "0012" is "$12.00"); below
// a dollar, whole cents with a cent sign ("0.5" is "50" and a cent sign).
// Anything else prints as typed, without "$" or cent sign: text that is not
// a plain non-negative number ("2 FOR $5", "-1", "."), a number with more
// than two decimals ("0.995") and one too large to count in cents.
SignPrice PriceForSign(const QString& typed);
