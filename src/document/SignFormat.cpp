#include "document/SignFormat.h"

#include "base/SettingsKeys.h"

const std::vector<FormatInfo>& SignFormats()
{
    using namespace SettingsKeys;
    static const std::vector<FormatInfo> table {
        { SignFormat::FourUp, QStringLiteral("4up"), QStringLiteral("4-Up"), true, 4,
            FormatInfo::Scale::Unit, false, Setting::Adj4UD, Setting::Adj4LR },
        { SignFormat::TwoUp, QStringLiteral("2up"), QStringLiteral("2-Up"), false, 2,
            FormatInfo::Scale::SheetRatio, true, Setting::Adj2UD, Setting::Adj2LR },
        { SignFormat::OneUp, QStringLiteral("1up"), QStringLiteral("1-Up"), true, 1,
            FormatInfo::Scale::Double, false, Setting::Adj1UD, Setting::Adj1LR },
    };
    return table;
}

const FormatInfo& formatInfo(SignFormat format)
{
    return SignFormats()[size_t(formatFromIndex(int(format)))];
}

SignFormat formatFromIndex(int index)
{
    if (index < 0 || index >= int(SignFormats().size()))
        return SignFormat::FourUp;
    return SignFormat(index);
}

std::optional<SignFormat> formatFromName(const QString& name)
{
    for (const FormatInfo& info : SignFormats()) {
        if (info.name == name)
            return info.format;
    }
    return std::nullopt;
}

double FormatInfo::scaleFor(double sheetWidth, double sheetHeight) const
{
    switch (scale) {
    case Scale::Unit:
        break;
    case Scale::SheetRatio:
        return sheetWidth > 0 ? sheetHeight / sheetWidth : 1.0;
    case Scale::Double:
        return 2.0;
    }
    return 1.0;
}
