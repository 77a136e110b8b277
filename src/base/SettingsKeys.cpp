#include "base/SettingsKeys.h"

namespace SettingsKeys {

const std::vector<Key>& table()
{
    static const QString zero = QStringLiteral("0");
    static const std::vector<Key> rows {
        { PRINTFORMAT, Form::Whole16, zero },
        { PRINTREGRETAIL, Form::Whole16, zero },
        { PRINTTITLE, Form::Whole16, zero },
        { PRINTBORDER, Form::Whole16, zero },
        { PRINTLOGO, Form::Whole16, zero },
        { PRINTGRAPHIC, Form::Whole16, zero },
        { PRINTBARCODE, Form::Whole16, zero },
        { PRINTBULLET, Form::Truth, QStringLiteral("False") },
        { PRINTLONGDESC, Form::Truth, QStringLiteral("False") },
        { ColorBorder, Form::Whole32, zero },
        { ColorTitle, Form::Whole32, zero },
        { ColorPrice, Form::Whole32, zero },
        { DICTIONARY, Form::Text, QString() },
        { FILEIMPEXP, Form::Text, QString() },
        { RECENTFILES, Form::Text, QString() },
        { PRINTER, Form::Text, QString() },
        { ODBCINV, Form::Text, QString() },
        { ODBCCIS, Form::Text, QString() },
        { MARGINTOP, Form::NumberPrefix, zero },
        { MARGINLEFT, Form::NumberPrefix, zero },
        { ADJ4UD, Form::NumberPrefix, zero },
        { ADJ4LR, Form::NumberPrefix, zero },
        { ADJ2UD, Form::NumberPrefix, zero },
        { ADJ2LR, Form::NumberPrefix, zero },
        { ADJ1UD, Form::NumberPrefix, zero },
        { ADJ1LR, Form::NumberPrefix, zero },
        { PRINTSKU, Form::NumberPrefix, QStringLiteral("1") },
        { CALIBRATEDPRINTER, Form::Text, QString() },
        { FILELOGO, Form::Text, QString() },
        { LOGOWIDTH, Form::NumberPrefix, QStringLiteral("1.5") },
        { LOGOHEIGHT, Form::NumberPrefix, QStringLiteral(".5") },
        { LOGOLCR, Form::Text, QStringLiteral("CENTER") },
    };
    return rows;
}

const Key* find(const QString& name)
{
    for (const Key& key : table()) {
        if (key.name == name)
            return &key;
    }
    return nullptr;
}

} // namespace SettingsKeys
