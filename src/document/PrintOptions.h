#pragma once

#include "document/SignFormat.h"

#include <QString>
#include <QtGlobal>

class AppSettings;

// The main window's print options as the painters read them for each sign:
// check-box values (0, 1 or 2) and the title text.
struct SignOptions
{
    int border = 0;
    int logo = 0;
    int title = 0;
    int retail = 0;
    int graphic = 0;
    QString titleText;
    int barcode = 0;
};

// What one print run is asked to do: the format, the style, the sign options
// and the calibration the job reads at its start (margins and the format's
// shifts, whole twips). Colours, logo and the SKU setting are not here: the
// painters reread them from the settings for every sign.
struct PrintOptions
{
    SignFormat format = SignFormat::FourUp;
    bool bullet = false;
    SignOptions sign;
    qint32 marginLeft_tw = 0;
    qint32 marginTop_tw = 0;
    qint32 shiftUpDown_tw = 0;
    qint32 shiftLeftRight_tw = 0;

    // Margins as the format's cell rule takes them: across, then down.
    qint32 marginAcross_tw() const;
    qint32 marginDown_tw() const;
};

// The options as the stored settings give them (format, style and check-box
// values as the window restores them at start-up, no title text), with the
// calibration of that format for the printer (named as the printer choice
// names it; empty for the plain calibration).
PrintOptions ReadPrintOptions(const AppSettings& settings, const QString& printer = QString());

// The calibration of the format for the printer from the settings, as every
// run reads it.
void ReadCalibration(
    const AppSettings& settings, PrintOptions& options, const QString& printer = QString());

// A stored check-box value as the check box keeps it: 1 and 2 as they are,
// anything else unchecked.
int CheckValueOf(qint32 stored);
