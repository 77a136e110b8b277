#include "base/SettingsKeys.h"

namespace SettingsKeys {

const std::vector<Key>& table()
{
    static const QString zero = QStringLiteral("0");
    static const std::vector<Key> rows {
        { Setting::PrintFormat, PRINTFORMAT, Form::Whole16, zero },
        { Setting::PrintRegRetail, PRINTREGRETAIL, Form::Whole16, zero },
        { Setting::PrintTitle, PRINTTITLE, Form::Whole16, zero },
        { Setting::PrintBorder, PRINTBORDER, Form::Whole16, zero },
        { Setting::PrintLogo, PRINTLOGO, Form::Whole16, zero },
        { Setting::PrintGraphic, PRINTGRAPHIC, Form::Whole16, zero },
        { Setting::PrintBarcode, PRINTBARCODE, Form::Whole16, zero },
        { Setting::PrintBullet, PRINTBULLET, Form::Truth, QStringLiteral("False") },
        { Setting::PrintLongDesc, PRINTLONGDESC, Form::Truth, QStringLiteral("False") },
        { Setting::ColorBorder, ColorBorder, Form::Whole32, zero },
        { Setting::ColorTitle, ColorTitle, Form::Whole32, zero },
        { Setting::ColorPrice, ColorPrice, Form::Whole32, zero },
        { Setting::Dictionary, DICTIONARY, Form::Text, QString() },
        { Setting::FileImpExp, FILEIMPEXP, Form::Text, QString() },
        { Setting::RecentFiles, RECENTFILES, Form::Text, QString() },
        { Setting::Printer, PRINTER, Form::Text, QString() },
        { Setting::OdbcInv, ODBCINV, Form::Text, QString() },
        { Setting::OdbcCis, ODBCCIS, Form::Text, QString() },
        { Setting::MarginTop, MARGINTOP, Form::NumberPrefix, zero },
        { Setting::MarginLeft, MARGINLEFT, Form::NumberPrefix, zero },
        { Setting::Adj4UD, ADJ4UD, Form::NumberPrefix, zero },
        { Setting::Adj4LR, ADJ4LR, Form::NumberPrefix, zero },
        { Setting::Adj2UD, ADJ2UD, Form::NumberPrefix, zero },
        { Setting::Adj2LR, ADJ2LR, Form::NumberPrefix, zero },
        { Setting::Adj1UD, ADJ1UD, Form::NumberPrefix, zero },
        { Setting::Adj1LR, ADJ1LR, Form::NumberPrefix, zero },
        { Setting::PrintSku, PRINTSKU, Form::NumberPrefix, QStringLiteral("1") },
        { Setting::CalibratedPrinter, CALIBRATEDPRINTER, Form::Text, QString() },
        { Setting::FileLogo, FILELOGO, Form::Text, QString() },
        { Setting::LogoWidth, LOGOWIDTH, Form::NumberPrefix, QStringLiteral("1.5") },
        { Setting::LogoHeight, LOGOHEIGHT, Form::NumberPrefix, QStringLiteral(".5") },
        { Setting::LogoLcr, LOGOLCR, Form::Text, QStringLiteral("CENTER") },
        { Setting::PlacementTop, PlacementTop, Form::Whole16, QStringLiteral("-1") },
        { Setting::PlacementLeft, PlacementLeft, Form::Whole16, QStringLiteral("-1") },
        { Setting::PlacementHeight, PlacementHeight, Form::Whole16, zero },
        { Setting::PlacementWidth, PlacementWidth, Form::Whole16, zero },
        { Setting::OdbcInvOffered, ODBCINV, Form::Text, QStringLiteral("POSDB") },
        { Setting::OdbcCisOffered, ODBCCIS, Form::Text, QStringLiteral("CISDB") },
        { Setting::MarginTopOffered, MARGINTOP, Form::Text, QStringLiteral("180") },
        { Setting::MarginLeftOffered, MARGINLEFT, Form::Text, QStringLiteral("270") },
        { Setting::LogoHeightOffered, LOGOHEIGHT, Form::Text, QStringLiteral("0.5") },
        { Setting::LogoLcrOffered, LOGOLCR, Form::Text, QString() },
    };
    return rows;
}

const Key& key(Setting setting)
{
    // The rows are in the order of Setting (checked by the tests).
    return table()[size_t(setting)];
}

const Key* find(const QString& name)
{
    for (const Key& row : table()) {
        if (row.name == name)
            return &row;
    }
    return nullptr;
}

} // namespace SettingsKeys
