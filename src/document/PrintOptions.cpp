#include "document/PrintOptions.h"

#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "document/PrinterCalibration.h"

qint32 PrintOptions::marginAcross_tw() const
{
    return formatInfo(format).marginsSwapped ? marginTop_tw : marginLeft_tw;
}

qint32 PrintOptions::marginDown_tw() const
{
    return formatInfo(format).marginsSwapped ? marginLeft_tw : marginTop_tw;
}

int CheckValueOf(qint32 stored)
{
    return stored == 1 || stored == 2 ? stored : 0;
}

void ReadCalibration(const AppSettings& settings, PrintOptions& options, const QString& printer)
{
    using namespace SettingsKeys;
    const FormatInfo& info = formatInfo(options.format);
    const auto read
        = [&](Setting key) { return PrinterCalibration::read(settings, key, printer).whole(); };
    options.marginLeft_tw = read(Setting::MarginLeft);
    options.marginTop_tw = read(Setting::MarginTop);
    options.shiftUpDown_tw = read(info.shiftUpDown);
    options.shiftLeftRight_tw = read(info.shiftLeftRight);
}

PrintOptions ReadPrintOptions(const AppSettings& settings, const QString& printer)
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
    ReadCalibration(settings, options, printer);
    return options;
}
