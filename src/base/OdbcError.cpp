#include "base/OdbcError.h"

#include <QVector>

#include <sql.h>
#include <sqlext.h>

static_assert(sizeof(SQLWCHAR) == sizeof(ushort), "the layer passes text as UTF-16");

OdbcError odbcDiagnostics(short handleType, void* handle)
{
    OdbcError error;
    SQLWCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    // Some drivers hand a record out only once, so ask with room to spare
    // rather than probing for the length first.
    QVector<SQLWCHAR> text(2048);
    const SQLRETURN rc = SQLGetDiagRecW(
        handleType, handle, 1, state, &native, text.data(), SQLSMALLINT(text.size()), &length);
    if (rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO) {
        error.sqlState = QString::fromUtf16(reinterpret_cast<const char16_t*>(state), 5);
        error.description = QString::fromUtf16(reinterpret_cast<const char16_t*>(text.data()),
            qBound(0, int(length), int(text.size()) - 1))
                                .simplified();
    }
    if (error.description.isEmpty())
        error.description = QStringLiteral("Unknown database error");
    error.number = native != 0 ? native : -1;
    return error;
}
