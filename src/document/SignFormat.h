#pragma once

#include "base/SettingsKeys.h"

#include <QString>

#include <optional>
#include <vector>

// The three sign formats, as the index of the checked format menu entry
// (and the value stored under PRINTFORMAT).
enum class SignFormat { FourUp = 0, TwoUp = 1, OneUp = 2 };

// Everything that differs between the formats, one row each: the name the
// batch command takes, the menu caption, the page orientation, how many signs
// share a page, how the sign's drawing is scaled, which margin feeds which
// axis of the cell and the settings of the format's shifts.
struct FormatInfo
{
    enum class Scale {
        Unit, // drawn as designed
        SheetRatio, // sheet height over sheet width (2-Up: a sign fills half a portrait page)
        Double // twice the size
    };

    SignFormat format;
    QString name;
    QString caption;
    bool landscape;
    int signsPerPage;
    Scale scale;
    // 2-Up reads the top margin across the page and the left margin down.
    bool marginsSwapped;
    SettingsKeys::Setting shiftUpDown;
    SettingsKeys::Setting shiftLeftRight;

    // The drawing scale on a sheet of this size (twips).
    double scaleFor(double sheetWidth, double sheetHeight) const;
};

// The table, in menu order.
const std::vector<FormatInfo>& SignFormats();
const FormatInfo& formatInfo(SignFormat format);
// A stored or checked index; anything outside the table counts as 4-Up.
SignFormat formatFromIndex(int index);
// The format of a batch name ("4up", "2up", "1up"), none for anything else.
std::optional<SignFormat> formatFromName(const QString& name);
