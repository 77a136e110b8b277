#pragma once

#include "itemdata/DatabaseSettings.h"

class AppSettings;
class DialogService;
class QWidget;

// The File-menu commands Inventory Database, CIS Database (optional) and
// Test Database Connections: the input box and the outcome in a message box.
namespace DatabaseCommands {

// The box takes a string up to the driver manager's limit and longer, so
// that a longer one is refused by the length check rather than cut short.
void EditConnectString(DatabaseSettings::Database database, DialogService& dialogs,
    const AppSettings& settings, QWidget* parent = nullptr, DatabaseState* state = nullptr,
    const DatabaseSettings::Runner& runner = {});
void TestDatabaseConnections(DialogService& dialogs, const AppSettings& settings,
    QWidget* parent = nullptr, DatabaseState* inventory = nullptr, DatabaseState* cis = nullptr,
    const DatabaseSettings::Runner& runner = {});

} // namespace DatabaseCommands
