#pragma once

#include <QString>

#include <vector>

// Every settings key of the program, in one place, with the defaults its
// readers pass. Where two readers pass different defaults, both are here.
namespace SettingsKeys {

inline const QString Application = QStringLiteral("QORPOS");
inline const QString Section = QStringLiteral("KESTRANE");

// Main window options (read at start-up, written at exit).
inline const QString PRINTFORMAT = QStringLiteral("PRINTFORMAT"); // whole-16, "0"
inline const QString PRINTREGRETAIL = QStringLiteral("PRINTREGRETAIL"); // whole-16, "0"
inline const QString PRINTTITLE = QStringLiteral("PRINTTITLE"); // whole-16, "0"
inline const QString PRINTBORDER = QStringLiteral("PRINTBORDER"); // whole-16, 0
inline const QString PRINTLOGO = QStringLiteral("PRINTLOGO"); // whole-16, 0
inline const QString PRINTGRAPHIC = QStringLiteral("PRINTGRAPHIC"); // whole-16, 0
inline const QString PRINTBARCODE = QStringLiteral("PRINTBARCODE"); // whole-16, 0
inline const QString PRINTBULLET = QStringLiteral("PRINTBULLET"); // truth, 0
inline const QString PRINTLONGDESC = QStringLiteral("PRINTLONGDESC"); // truth, 0

// Colours: decimal text of red + 256 * green + 65536 * blue; whole-32, 0.
inline const QString ColorBorder = QStringLiteral("ColorBorder");
inline const QString ColorTitle = QStringLiteral("ColorTitle");
inline const QString ColorPrice = QStringLiteral("ColorPrice");

// Files.
inline const QString DICTIONARY = QStringLiteral("DICTIONARY"); // text, ""
inline const QString FILEIMPEXP = QStringLiteral("FILEIMPEXP"); // text, ""
// The last data files read or saved, newest first, one path a line; text, "".
inline const QString RECENTFILES = QStringLiteral("RECENTFILES");

// The printer chosen in Printer Setup: its name, or "pdf:" and the PDF file's
// path; text, "" (the system's default printer).
inline const QString PRINTER = QStringLiteral("PRINTER");

// Database connection strings: "POSDB"/"CISDB" when offered for editing,
// "" when used.
inline const QString ODBCINV = QStringLiteral("ODBCINV");
inline const QString ODBCCIS = QStringLiteral("ODBCCIS");
inline const QString ODBCINVOffered = QStringLiteral("POSDB");
inline const QString ODBCCISOffered = QStringLiteral("CISDB");

// Calibration: text as typed; the dialog's defaults differ from the print
// job's ("0").
inline const QString MARGINTOP = QStringLiteral("MARGINTOP"); // dialog 180
inline const QString MARGINLEFT = QStringLiteral("MARGINLEFT"); // dialog 270
inline const QString ADJ4UD = QStringLiteral("ADJ4UD");
inline const QString ADJ4LR = QStringLiteral("ADJ4LR");
inline const QString ADJ2UD = QStringLiteral("ADJ2UD");
inline const QString ADJ2LR = QStringLiteral("ADJ2LR");
inline const QString ADJ1UD = QStringLiteral("ADJ1UD");
inline const QString ADJ1LR = QStringLiteral("ADJ1LR");
inline const QString PRINTSKU = QStringLiteral("PRINTSKU"); // number-prefix, 1
// The printer the plain calibration keys above belong to (as PRINTER names
// it); text, "" while no calibration has said. A printer calibrated after
// another keeps its values under the key, "@" and its name.
inline const QString CALIBRATEDPRINTER = QStringLiteral("CALIBRATEDPRINTER");

// Logo.
inline const QString FILELOGO = QStringLiteral("FILELOGO"); // text, ""
inline const QString LOGOWIDTH = QStringLiteral("LOGOWIDTH"); // number-prefix, "1.5"
inline const QString LOGOHEIGHT = QStringLiteral("LOGOHEIGHT"); // "0.5" dialog, ".5" painters
inline const QString LOGOLCR = QStringLiteral("LOGOLCR"); // "" dialog, "CENTER" painters

// Window placement keys are the window's name followed by one of these.
inline const QString PlacementTop = QStringLiteral("FTOP"); // whole-16, -1
inline const QString PlacementLeft = QStringLiteral("FLEFT"); // whole-16, -1
inline const QString PlacementHeight = QStringLiteral("FHEIGHT"); // whole-16, 0
inline const QString PlacementWidth = QStringLiteral("FWIDTH"); // whole-16, 0

// How a key's stored text is read: as it is, as a 16- or 32-bit whole number
// (anything else reads as the default), as truth text, or by its leading
// number (read whole, halves to even).
enum class Form { Text, Whole16, Whole32, Truth, NumberPrefix };

// One row per key the print options and the print job read: name, form and
// the default a reader gets when nothing usable is stored. (Dialogs offer
// their own starting texts for some keys, such as 180 and 270 for the
// margins; those are what the dialog shows, not what a print run reads.)
struct Key
{
    QString name;
    Form form;
    QString defaultValue;
};
const std::vector<Key>& table();
// The row of a key; null for a key not in the table.
const Key* find(const QString& name);

} // namespace SettingsKeys
