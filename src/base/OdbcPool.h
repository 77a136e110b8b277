#pragma once

#include "base/OdbcError.h"

#include <QString>

#include <functional>

class OdbcConnection;

// Keeps connections open between the program's uses of a database, so that
// a lookup does not pay for a new login each time. Each use still opens
// (takes) and closes (gives back) a connection of its own; connections are
// kept per exact connection string, so a changed string is used from the
// next use on. Work that fails on a kept connection (its link may have gone:
// server restarted, network cut) is run once more on a new connection within
// the same use, unless it failed by reaching the time limit; a SQLite
// connection is not
// reused once its file has been replaced or removed. Connections idle for
// IdleSeconds are closed, and all of them when the program ends.
class OdbcPool
{
public:
    static constexpr int IdleSeconds = 60;
    // The time limit of every statement run through the pool.
    static constexpr int StatementTimeoutSeconds = 5;

    using Work = std::function<OdbcError(OdbcConnection&)>;

    // Runs `work` on a connection to `connect` and returns its error (clear
    // on success), or why no connection could be made: a string too long,
    // a SQLite database file that does not exist ("database file not found:
    // <path>", nothing is created), or the driver's own failure. `work` must
    // be safe to run a second time after it failed.
    static OdbcError run(const QString& connect, const Work& work);

    // Closes every kept connection.
    static void closeAll();
    // How many connections are kept open for the string right now.
    static int idleCount(const QString& connect);
};
