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
    options.marginLeft = settings.get(Setting::MarginLeft).whole();
    options.marginTop = settings.get(Setting::MarginTop).whole();
    options.shiftUpDown = settings.get(info.shiftUpDown).whole();
    options.shiftLeftRight = settings.get(info.shiftLeftRight).whole();
}

PrintOptions ReadPrintOptions(const AppSettings& settings)
{
    using namespace SettingsKeys;
    PrintOptions options;
    options.format = formatFromIndex(settings.get(Setting::PrintFormat).whole());
    options.bullet = settings.get(Setting::PrintBullet).truth();
    options.sign.title = CheckValueOf(settings.get(Setting::PrintTitle).whole());
    options.sign.border = CheckValueOf(settings.get(Setting::PrintBorder).whole());
    options.sign.logo = CheckValueOf(settings.get(Setting::PrintLogo).whole());
    options.sign.retail = CheckValueOf(settings.get(Setting::PrintRegRetail).whole());
    options.sign.graphic = CheckValueOf(settings.get(Setting::PrintGraphic).whole());
    options.sign.barcode = CheckValueOf(settings.get(Setting::PrintBarcode).whole());
    ReadCalibration(settings, options);
    return options;
}
