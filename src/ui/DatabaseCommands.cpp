#include "ui/DatabaseCommands.h"

#include "base/OdbcConnectString.h"
#include "ui/DialogService.h"
#include "ui/ResultMessage.h"

namespace DatabaseCommands {

void EditConnectString(DatabaseSettings::Database database, DialogService& dialogs,
    const AppSettings& settings, QWidget* parent, DatabaseState* state,
    const DatabaseSettings::Runner& runner)
{
    const DatabaseSettings::ConnectPrompt box = DatabaseSettings::connectPrompt(database, settings);
    // Room for one character past the limit and many more: a pasted string
    // arrives whole and a string too long is refused with its true length.
    const QString answer = dialogs.inputBox(
        box.prompt, box.title, box.current, parent, 16 * OdbcConnectString::MaxLength);
    ShowResult(dialogs,
        DatabaseSettings::applyConnectString(database, answer, settings, state, runner), parent);
}

void TestDatabaseConnections(DialogService& dialogs, const AppSettings& settings, QWidget* parent,
    DatabaseState* inventory, DatabaseState* cis, const DatabaseSettings::Runner& runner)
{
    ShowResult(
        dialogs, DatabaseSettings::TestConnections(settings, inventory, cis, runner), parent);
}

} // namespace DatabaseCommands
