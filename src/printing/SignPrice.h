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
// are allowed. One dollar or more prints as typed (without the "$") after a
// "$"; less than a dollar prints as whole cents with a cent sign ("0.5" is
// "50" and a cent sign). Anything that is not a plain non-negative number
// ("2 FOR $5", "-1", ".") prints as typed, without "$" or cent sign.
SignPrice PriceForSign(const QString& typed);
