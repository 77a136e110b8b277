#pragma once

#include <QString>

#include <vector>

// Every settings key of the program, in one place: the stored names, and
// the table of forms and defaults every read goes through.
namespace SettingsKeys {

inline const QString Application = QStringLiteral("QORPOS");
inline const QString Section = QStringLiteral("KESTRANE");

// Main window options (read at start-up, written at exit).
inline const QString PRINTFORMAT = QStringLiteral("PRINTFORMAT");
inline const QString PRINTREGRETAIL = QStringLiteral("PRINTREGRETAIL");
inline const QString PRINTTITLE = QStringLiteral("PRINTTITLE");
inline const QString PRINTBORDER = QStringLiteral("PRINTBORDER");
inline const QString PRINTLOGO = QStringLiteral("PRINTLOGO");
inline const QString PRINTGRAPHIC = QStringLiteral("PRINTGRAPHIC");
inline const QString PRINTBARCODE = QStringLiteral("PRINTBARCODE");
inline const QString PRINTBULLET = QStringLiteral("PRINTBULLET");
inline const QString PRINTLONGDESC = QStringLiteral("PRINTLONGDESC");

// Colours: decimal text of red + 256 * green + 65536 * blue.
inline const QString ColorBorder = QStringLiteral("ColorBorder");
inline const QString ColorTitle = QStringLiteral("ColorTitle");
inline const QString ColorPrice = QStringLiteral("ColorPrice");

// Files.
inline const QString DICTIONARY = QStringLiteral("DICTIONARY");
inline const QString FILEIMPEXP = QStringLiteral("FILEIMPEXP");
// The last data files read or saved, newest first, one path a line.
inline const QString RECENTFILES = QStringLiteral("RECENTFILES");

// The printer chosen in Printer Setup: its name, or "pdf:" and the PDF file's
// path; empty for the system's default printer.
inline const QString PRINTER = QStringLiteral("PRINTER");

// Database connection strings (the edit box offers a placeholder when none
// is stored).
inline const QString ODBCINV = QStringLiteral("ODBCINV");
inline const QString ODBCCIS = QStringLiteral("ODBCCIS");

// Calibration: text as typed; the dialog offers other starting texts for
// the margins than the print job reads ("0").
inline const QString MARGINTOP = QStringLiteral("MARGINTOP");
inline const QString MARGINLEFT = QStringLiteral("MARGINLEFT");
inline const QString ADJ4UD = QStringLiteral("ADJ4UD");
inline const QString ADJ4LR = QStringLiteral("ADJ4LR");
inline const QString ADJ2UD = QStringLiteral("ADJ2UD");
inline const QString ADJ2LR = QStringLiteral("ADJ2LR");
inline const QString ADJ1UD = QStringLiteral("ADJ1UD");
inline const QString ADJ1LR = QStringLiteral("ADJ1LR");
inline const QString PRINTSKU = QStringLiteral("PRINTSKU");
// The printer the plain calibration keys above belong to (as PRINTER names
// it); "" while no calibration has said. A printer calibrated after another
// keeps its values under the key, "@" and its name.
inline const QString CALIBRATEDPRINTER = QStringLiteral("CALIBRATEDPRINTER");

// Logo.
inline const QString FILELOGO = QStringLiteral("FILELOGO");
inline const QString LOGOWIDTH = QStringLiteral("LOGOWIDTH");
inline const QString LOGOHEIGHT = QStringLiteral("LOGOHEIGHT");
inline const QString LOGOLCR = QStringLiteral("LOGOLCR");

// Window placement keys are the window's name followed by one of these.
inline const QString PlacementTop = QStringLiteral("FTOP");
inline const QString PlacementLeft = QStringLiteral("FLEFT");
inline const QString PlacementHeight = QStringLiteral("FHEIGHT");
inline const QString PlacementWidth = QStringLiteral("FWIDTH");

// How a key's stored text is read: as it is, as a 16- or 32-bit whole number
// (anything else reads as the default), as truth text, or by its leading
// number (read whole, halves to even).
enum class Form { Text, Whole16, Whole32, Truth, NumberPrefix };

// Every value the program reads, one row of the key table each. A key some
// dialog offers with a different starting text than the print run reads has
// a second row (the "Offered" ones) for the dialog; both rows read the same
// stored key. The window placement rows are read under the window's name.
enum class Setting {
    PrintFormat,
    PrintRegRetail,
    PrintTitle,
    PrintBorder,
    PrintLogo,
    PrintGraphic,
    PrintBarcode,
    PrintBullet,
    PrintLongDesc,
    ColorBorder,
    ColorTitle,
    ColorPrice,
    Dictionary,
    FileImpExp,
    RecentFiles,
    Printer,
    OdbcInv,
    OdbcCis,
    MarginTop,
    MarginLeft,
    Adj4UD,
    Adj4LR,
    Adj2UD,
    Adj2LR,
    Adj1UD,
    Adj1LR,
    PrintSku,
    CalibratedPrinter,
    FileLogo,
    LogoWidth,
    LogoHeight,
    LogoLcr,
    PlacementTop,
    PlacementLeft,
    PlacementHeight,
    PlacementWidth,
    // What the dialogs show when nothing is stored.
    OdbcInvOffered,
    OdbcCisOffered,
    MarginTopOffered,
    MarginLeftOffered,
    LogoHeightOffered,
    LogoLcrOffered,
    Count
};

// One row of the key table: the stored key's name, its form and the default
// a reader gets when nothing usable is stored.
struct Key
{
    Setting setting;
    QString name;
    Form form;
    QString defaultValue;
};
// Every row, in the order of Setting.
const std::vector<Key>& table();
const Key& key(Setting setting);
// The print run's row of a stored key name; null for a name not in the table.
const Key* find(const QString& name);

} // namespace SettingsKeys
