#pragma once

#include "base/CommandResult.h"
#include "base/OdbcError.h"
#include "base/OdbcPool.h"
#include "itemdata/DatabaseState.h"

#include <QString>

#include <functional>

class AppSettings;

// The two database connection strings behind the File-menu commands: edit
// one (type it, try it, store it) and test both. The window asks for the
// string and shows the outcomes (ui/DatabaseCommands).
class DatabaseSettings
{
public:
    enum class Database { Inventory, Cis };

    // Opens the statement's result set on a connection for the string
    // exactly as given (a kept one where there is one, unless a fresh login
    // is asked for), within the pool's deadline, and closes the result set
    // again. The error is clear (number 0) on success.
    static OdbcError TryStatement(const QString& connectString, const QString& sql,
        OdbcPool::Login login = OdbcPool::Login::KeptOrNew);
    // The same work, for the pool, and the statement that proves a database's
    // table can be opened (it returns no row).
    static OdbcPool::Work trialWork(const QString& sql);
    static QString trialStatement(Database database);

    // Inventory Database / CIS Database (optional): offers the stored string
    // (or POSDB / CISDB when none is stored); a box of spaces switches the
    // database off; anything else is stored trimmed once its trial statement
    // opens, and otherwise reported and not stored. The trial's outcome is
    // handed back where asked for.
    struct ConnectPrompt
    {
        QString prompt;
        QString title;
        QString current;
    };
    static ConnectPrompt connectPrompt(Database database, const AppSettings& settings);

    // How the commands run their database work (a statement on a
    // connection): by default right here; the window hands in one that runs
    // it off its thread and keeps painting meanwhile. The work owns what it
    // uses, so a runner may give up waiting for it.
    using Work = std::function<OdbcError()>;
    using Runner = std::function<OdbcError(const Work&)>;

    // What the user typed into the box ("" when cancelled): done, or a
    // notice when the trial statement failed (passwords masked). The state
    // is set only when the trial worked and the answer was stored.
    static CommandResult applyConnectString(Database database, const QString& answer,
        const AppSettings& settings, DatabaseState* state = nullptr, const Runner& runner = {});

    // Test Database Connections: the report of both stored strings, one line
    // each after a leading line break, as the message shows it. Each table
    // is opened without reading a row of it. What was learned about each
    // database is also handed back where asked for.
    static QString TestReport(const AppSettings& settings, DatabaseState* inventory = nullptr,
        DatabaseState* cis = nullptr, const Runner& runner = {});
    static CommandResult TestConnections(const AppSettings& settings,
        DatabaseState* inventory = nullptr, DatabaseState* cis = nullptr,
        const Runner& runner = {});
};
