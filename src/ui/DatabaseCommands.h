#pragma once

#include "itemdata/DatabaseSettings.h"

class AppSettings;
class DialogService;
class QWidget;

// The File-menu commands Inventory Database, CIS Database (optional) and
// Test Database Connections: the input box and the outcome in a message box.
namespace DatabaseCommands {

void EditConnectString(DatabaseSettings::Database database, DialogService& dialogs,
    const AppSettings& settings, QWidget* parent = nullptr, DatabaseState* state = nullptr);
void TestDatabaseConnections(DialogService& dialogs, const AppSettings& settings,
    QWidget* parent = nullptr, DatabaseState* inventory = nullptr, DatabaseState* cis = nullptr);

} // namespace DatabaseCommands
