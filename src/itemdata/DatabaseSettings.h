#pragma once

#include "base/OdbcError.h"
#include "itemdata/DatabaseState.h"

#include <QString>

class AppSettings;
class DialogService;
class QWidget;

// The File-menu commands that manage the two database connection strings:
// edit one (type it, try it, store it) and test both.
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
    static void EditConnectString(Database database, DialogService& dialogs,
        const AppSettings& settings, QWidget* parent = nullptr, DatabaseState* state = nullptr);

    // Test Database Connections: the report of both stored strings, one line
    // each after a leading line break, as the message shows it. Each table
    // is opened without reading a row of it. What was learned about each
    // database is also handed back where asked for.
    static QString TestReport(const AppSettings& settings, DatabaseState* inventory = nullptr,
        DatabaseState* cis = nullptr);
    static void TestDatabaseConnections(DialogService& dialogs, const AppSettings& settings,
        QWidget* parent = nullptr, DatabaseState* inventory = nullptr,
        DatabaseState* cis = nullptr);
};
