#pragma once

#include "base/CommandResult.h"
#include "base/OdbcError.h"
#include "itemdata/DatabaseState.h"

#include <QString>

class AppSettings;

// The two database connection strings behind the File-menu commands: edit
// one (type it, try it, store it) and test both. The window asks for the
// string and shows the outcomes (ui/DatabaseCommands).
class DatabaseSettings
{
public:
    enum class Database { Inventory, Cis };

    // Opens the statement's result set on a connection for the string
    // exactly as given (a kept one where there is one), within the
    // statement time limit, and closes the result set again. The error is
    // clear (number 0) on success.
    static OdbcError TryStatement(const QString& connectString, const QString& sql);

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
    // What the user typed into the box ("" when cancelled): done, or a
    // notice when the trial statement failed.
    static CommandResult applyConnectString(Database database, const QString& answer,
        const AppSettings& settings, DatabaseState* state = nullptr);

    // Test Database Connections: the report of both stored strings, one line
    // each after a leading line break, as the message shows it. Each table
    // is opened without reading a row of it. What was learned about each
    // database is also handed back where asked for.
    static QString TestReport(const AppSettings& settings, DatabaseState* inventory = nullptr,
        DatabaseState* cis = nullptr);
    static CommandResult TestConnections(const AppSettings& settings,
        DatabaseState* inventory = nullptr, DatabaseState* cis = nullptr);
};
