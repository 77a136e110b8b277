#include "document/PrinterCalibration.h"

#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"

namespace PrinterCalibration {

const QStringList& keys()
{
    using namespace SettingsKeys;
    static const QStringList list
        = { MARGINTOP, MARGINLEFT, ADJ4UD, ADJ4LR, ADJ2UD, ADJ2LR, ADJ1UD, ADJ1LR };
    return list;
}

QString ownKey(const QString& key, const QString& printer)
{
    return key + QLatin1Char('@') + printer;
}

QString readKey(const AppSettings& settings, const QString& key, const QString& printer)
{
    if (printer.isEmpty() || settings.overrides().contains(key))
        return key;
    const QString own = ownKey(key, printer);
    return settings.contains(own) ? own : key;
}

QString plainKeysPrinter(const AppSettings& settings)
{
    return settings.text(SettingsKeys::CALIBRATEDPRINTER, QString());
}

bool usesPlainKeys(const AppSettings& settings, const QString& printer)
{
    if (printer.isEmpty())
        return true;
    // A printer already holding values of its own goes on using them.
    if (settings.contains(ownKey(SettingsKeys::MARGINTOP, printer)))
        return false;
    const QString owner = plainKeysPrinter(settings);
    return owner.isEmpty() || owner == printer;
}

void save(const AppSettings& settings, const QString& printer, const QStringList& values)
{
    const bool plain = usesPlainKeys(settings, printer);
    for (int i = 0; i < keys().size() && i < values.size(); ++i)
        settings.save(plain ? keys()[i] : ownKey(keys()[i], printer), values[i]);
    if (plain && !printer.isEmpty() && plainKeysPrinter(settings).isEmpty())
        settings.save(SettingsKeys::CALIBRATEDPRINTER, printer);
}

} // namespace PrinterCalibration
