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

int CheckValueOf(qint16 stored)
{
    return stored == 1 || stored == 2 ? stored : 0;
}

void ReadCalibration(const AppSettings& settings, PrintOptions& options)
{
    using namespace SettingsKeys;
    const QString zero = QStringLiteral("0");
    const FormatInfo& info = formatInfo(options.format);
    options.marginLeft = settings.wholePrefix(MARGINLEFT, zero);
    options.marginTop = settings.wholePrefix(MARGINTOP, zero);
    options.shiftUpDown = settings.wholePrefix(info.shiftUpDownKey, zero);
    options.shiftLeftRight = settings.wholePrefix(info.shiftLeftRightKey, zero);
}

PrintOptions ReadPrintOptions(const AppSettings& settings)
{
    using namespace SettingsKeys;
    PrintOptions options;
    options.format = formatFromIndex(settings.whole16(PRINTFORMAT, 0));
    options.bullet = settings.truth(PRINTBULLET, false);
    options.sign.title = CheckValueOf(settings.whole16(PRINTTITLE, 0));
    options.sign.border = CheckValueOf(settings.whole16(PRINTBORDER, 0));
    options.sign.logo = CheckValueOf(settings.whole16(PRINTLOGO, 0));
    options.sign.retail = CheckValueOf(settings.whole16(PRINTREGRETAIL, 0));
    options.sign.graphic = CheckValueOf(settings.whole16(PRINTGRAPHIC, 0));
    ReadCalibration(settings, options);
    return options;
}
