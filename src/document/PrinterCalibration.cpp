#include "document/PrinterCalibration.h"

#include "base/SettingsStore.h"

using SettingsKeys::Setting;

namespace PrinterCalibration {

const std::vector<Setting>& keys()
{
    static const std::vector<Setting> list
        = { Setting::MarginTop, Setting::MarginLeft, Setting::Adj4UD, Setting::Adj4LR,
              Setting::Adj2UD, Setting::Adj2LR, Setting::Adj1UD, Setting::Adj1LR };
    return list;
}

QString ownKey(Setting key, const QString& printer)
{
    return SettingsKeys::key(key).name + QLatin1Char('@') + printer;
}

QString readKey(const AppSettings& settings, Setting key, const QString& printer)
{
    const QString plain = SettingsKeys::key(key).name;
    if (printer.isEmpty() || settings.overrides().contains(plain))
        return plain;
    const QString own = ownKey(key, printer);
    return settings.contains(own) ? own : plain;
}

SettingValue read(const AppSettings& settings, Setting key, const QString& printer)
{
    return settings.getStored(key, readKey(settings, key, printer));
}

QString plainKeysPrinter(const AppSettings& settings)
{
    return settings.get(Setting::CalibratedPrinter).text();
}

bool usesPlainKeys(const AppSettings& settings, const QString& printer)
{
    if (printer.isEmpty())
        return true;
    // A printer already holding values of its own goes on using them.
    if (settings.contains(ownKey(Setting::MarginTop, printer)))
        return false;
    const QString owner = plainKeysPrinter(settings);
    return owner.isEmpty() || owner == printer;
}

void save(const AppSettings& settings, const QString& printer, const QStringList& values)
{
    const bool plain = usesPlainKeys(settings, printer);
    for (size_t i = 0; i < keys().size() && int(i) < values.size(); ++i) {
        const Setting key = keys()[i];
        settings.save(plain ? SettingsKeys::key(key).name : ownKey(key, printer), values[int(i)]);
    }
    if (plain && !printer.isEmpty() && plainKeysPrinter(settings).isEmpty())
        settings.save(Setting::CalibratedPrinter, printer);
}

} // namespace PrinterCalibration
