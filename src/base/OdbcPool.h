#pragma once

#include "base/OdbcError.h"

#include <QString>

#include <functional>

class OdbcConnection;

// Keeps connections open between the program's uses of a database, so that
// a lookup does not pay for a new login each time. Each use still opens
// (takes) and closes (gives back) a connection of its own; connections are
// kept per exact connection string, so a changed string is used from the
// next use on. Work that fails on a kept connection because its link is gone
// (server restarted, network cut: SQLSTATE class 08 or the driver saying the
// connection is dead) is run once more on a new connection within the same
// use; a statement error keeps the connection and is not retried. A SQLite
// connection is not reused once its file has been replaced or removed.
// Connections idle for IdleSeconds are closed, except the one per string
// that keepOpen() asked for, and all of them when the program ends.
//
// Every use runs on a thread of its own and the caller waits at most
// DeadlineMs for it, whatever the server, the network or a locked file do:
// a use that misses its deadline reports NoAnswer, and the connection it was
// using is closed when the driver returns, never used again. The driver's
// own limits (login timeout, statement time limit, SQLite's busy wait) are
// set from what is left of the same budget, so that the driver's own message
// arrives first wherever the driver can keep to its limits.
class OdbcPool
{
public:
    static constexpr int IdleSeconds = 60;
    // How long one use of a database may take, login included.
    static constexpr int DeadlineMs = 5000;
    // What the driver's limits leave of the deadline for reporting in time.
    static constexpr int DriverMarginMs = 500;
    // The text of a use that missed its deadline.
    static QString noAnswerText();

    enum class Login { KeptOrNew, Fresh };
    using Work = std::function<OdbcError(OdbcConnection&)>;

    // Runs `work` on a connection to `connect` and returns its error (clear
    // on success), or why no connection could be made: a string too long,
    // a SQLite database file that does not exist ("database file not found:
    // <path>", nothing is created), the driver's own failure, or NoAnswer.
    // Login::Fresh always logs in anew (the new connection is kept
    // afterwards). `work` runs on another thread and may still be running
    // after this returned NoAnswer: it must own (or share ownership of)
    // everything it touches, and be safe to run a second time.
    static OdbcError run(const QString& connect, const Work& work, Login login = Login::KeptOrNew);

    // Runs `work` as run() does and keeps one connection to the string open
    // from then on, past the idle time, until closeAll().
    static OdbcError keepOpen(const QString& connect, const Work& work);

    // Closes every kept connection.
    static void closeAll();
    // How many connections are kept open for the string right now.
    static int idleCount(const QString& connect);
    // How many uses are running on their threads right now, those abandoned
    // at their deadline included. The program does not wait for them at
    // exit.
    static int runningUses();
};
