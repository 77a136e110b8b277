#include "document/PrintOptions.h"

#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "document/PrinterCalibration.h"

qint32 PrintOptions::marginAcross() const
{
    return formatInfo(format).marginsSwapped ? marginTop : marginLeft;
}

qint32 PrintOptions::marginDown() const
{
    return formatInfo(format).marginsSwapped ? marginLeft : marginTop;
}

int CheckValueOf(qint32 stored)
{
    return stored == 1 || stored == 2 ? stored : 0;
}

void ReadCalibration(const AppSettings& settings, PrintOptions& options, const QString& printer)
{
    using namespace SettingsKeys;
    const FormatInfo& info = formatInfo(options.format);
    // A printer's own keys are not in the key table; they read as the plain
    // keys do, by their leading number made whole.
    const auto read = [&](const QString& key) {
        return settings.value(PrinterCalibration::readKey(settings, key, printer));
    };
    options.marginLeft = read(MARGINLEFT);
    options.marginTop = read(MARGINTOP);
    options.shiftUpDown = read(info.shiftUpDownKey);
    options.shiftLeftRight = read(info.shiftLeftRightKey);
}

PrintOptions ReadPrintOptions(const AppSettings& settings, const QString& printer)
{
    using namespace SettingsKeys;
    PrintOptions options;
    options.format = formatFromIndex(settings.value(PRINTFORMAT));
    options.bullet = settings.value(PRINTBULLET) != 0;
    options.sign.title = CheckValueOf(settings.value(PRINTTITLE));
    options.sign.border = CheckValueOf(settings.value(PRINTBORDER));
    options.sign.logo = CheckValueOf(settings.value(PRINTLOGO));
    options.sign.retail = CheckValueOf(settings.value(PRINTREGRETAIL));
    options.sign.graphic = CheckValueOf(settings.value(PRINTGRAPHIC));
    options.sign.barcode = CheckValueOf(settings.value(PRINTBARCODE));
    ReadCalibration(settings, options, printer);
    return options;
}
