#pragma once

#include "base/SettingsKeys.h"

#include <QString>
#include <QStringList>

#include <vector>

class AppSettings;
class SettingValue;

// Where the calibration of each printer is kept. The plain keys (MARGINTOP,
// MARGINLEFT and the six shifts) hold the values of the first printer
// calibrated, recorded under CALIBRATEDPRINTER, and serve every printer that
// was never calibrated, as they always have. A different printer calibrated
// later keeps its values under the key, "@" and its name, so a store with one
// printer prints exactly as before. Printers are named as the printer choice
// names them: the queue name, or "pdf:" and the PDF file's path.
namespace PrinterCalibration {

// The calibration keys, in the order the dialog shows and stores them.
const std::vector<SettingsKeys::Setting>& keys();

// The stored name of the printer's own value of a calibration key.
QString ownKey(SettingsKeys::Setting key, const QString& printer);

// The stored name a print run on the printer reads: its own value when it
// was calibrated on its own, else the plain key. A one-off override of the
// plain key (the batch command's --set) wins over both.
QString readKey(const AppSettings& settings, SettingsKeys::Setting key, const QString& printer);

// The key's value for the printer, in the key's form and with its default;
// the key may be one of the dialog's "Offered" rows of a calibration key.
SettingValue read(const AppSettings& settings, SettingsKeys::Setting key, const QString& printer);

// Whether a calibration of the printer is stored under the plain keys: no
// printer has claimed them yet (or no printer is named), or they are its own.
bool usesPlainKeys(const AppSettings& settings, const QString& printer);

// The printer the plain keys belong to; empty while none is recorded.
QString plainKeysPrinter(const AppSettings& settings);

// Stores the values (in the order of keys()) as the printer's calibration
// and records which printer the plain keys belong to.
void save(const AppSettings& settings, const QString& printer, const QStringList& values);

} // namespace PrinterCalibration
