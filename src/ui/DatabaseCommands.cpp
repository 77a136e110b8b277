#include "ui/DatabaseCommands.h"

#include "ui/DialogService.h"
#include "ui/ResultMessage.h"

namespace DatabaseCommands {

void EditConnectString(DatabaseSettings::Database database, DialogService& dialogs,
    const AppSettings& settings, QWidget* parent, DatabaseState* state)
{
    const DatabaseSettings::ConnectPrompt box = DatabaseSettings::connectPrompt(database, settings);
    const QString answer = dialogs.inputBox(box.prompt, box.title, box.current, parent);
    ShowResult(
        dialogs, DatabaseSettings::applyConnectString(database, answer, settings, state), parent);
}

void TestDatabaseConnections(DialogService& dialogs, const AppSettings& settings, QWidget* parent,
    DatabaseState* inventory, DatabaseState* cis)
{
    ShowResult(dialogs, DatabaseSettings::TestConnections(settings, inventory, cis), parent);
}

} // namespace DatabaseCommands
