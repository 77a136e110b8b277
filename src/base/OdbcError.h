#pragma once

#include <QString>
#include <QtGlobal>

// What the database layer reports after a failed operation: a number and a
// description, as the commands show them to the user. The number is the
// driver's native error code, or -1 when the driver (or the driver manager)
// gives none, so that a failure never reads as number 0. The SQLSTATE is
// kept for callers that need to tell kinds of failure apart.
struct OdbcError
{
    qint32 number = 0;
    QString sqlState;
    QString description;

    bool failed() const { return number != 0; }
    void clear() { *this = OdbcError(); }

    // A failure the layer itself detects (no diagnostics from the driver).
    static OdbcError layer(const QString& description)
    {
        return OdbcError { -1, QString(), description };
    }
};

// The first diagnostic record of an ODBC handle (SQLGetDiagRec) after a
// failed call, as an OdbcError. handleType is SQL_HANDLE_ENV/DBC/STMT.
OdbcError odbcDiagnostics(short handleType, void* handle);
