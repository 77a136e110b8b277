#pragma once

#include <QString>

#include <optional>

// What the program needs to know about a connection string before it hands
// it to the driver manager: whether it is too long to pass at all, whether
// it names a SQLite database file that is not there (the SQLite driver would
// quietly create an empty one), and the string the driver is given.
class OdbcConnectString
{
public:
    // The driver manager takes the string's length as a SQLSMALLINT.
    static constexpr int MaxLength = 32767;
    // How long the SQLite driver waits for a locked database file.
    static constexpr int SqliteBusyTimeoutMs = 5000;

    // The value of the first "key=value" pair whose key matches (without
    // regard to case or surrounding spaces), as typed; nothing when absent.
    static std::optional<QString> value(const QString& connect, const QString& key);

    // True when the string is for the SQLite driver: a Driver= naming it, or
    // a DSN= whose data source uses it.
    static bool isSqlite(const QString& connect);

    // The database file of a "Driver=SQLite...;Database=..." string, the
    // path exactly as the driver reads it (without a Database= value, the
    // driver takes the whole string for a file name); nothing for any other
    // string and for an in-memory database.
    static std::optional<QString> sqliteFile(const QString& connect);

    // The database file of a "Driver=SQLite...;Database=..." string when it
    // does not exist (the path exactly as the driver would read it); nothing
    // for any other string, an in-memory database or a file that exists.
    static std::optional<QString> missingSqliteFile(const QString& connect);

    // The string as the driver manager receives it: unchanged, except that a
    // SQLite string without a Timeout of its own gets one (busyMs), so that a
    // locked file is waited for a few seconds instead of the driver's 100. A
    // string that the addition would make too long stays as it is.
    static QString forDriver(const QString& connect, int busyMs = SqliteBusyTimeoutMs);

    // The text with the value of every PWD= and Password= pair (any case)
    // shown as "****", for messages, the status bar and tooltips that may
    // echo a connection string. A value in braces is masked up to its
    // closing brace. Everything else stays as it is.
    static QString masked(const QString& text);
};
