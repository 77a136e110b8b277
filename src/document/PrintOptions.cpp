#include "document/PrintOptions.h"

#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"

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

void ReadCalibration(const AppSettings& settings, PrintOptions& options)
{
    using namespace SettingsKeys;
    const FormatInfo& info = formatInfo(options.format);
    options.marginLeft = settings.value(MARGINLEFT);
    options.marginTop = settings.value(MARGINTOP);
    options.shiftUpDown = settings.value(info.shiftUpDownKey);
    options.shiftLeftRight = settings.value(info.shiftLeftRightKey);
}

PrintOptions ReadPrintOptions(const AppSettings& settings)
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
    ReadCalibration(settings, options);
    return options;
}
