#include "printing/RunTimeError.h"

#include <utility>

RunTimeError::RunTimeError(int number, QString description)
    : m_number(number)
    , m_description(std::move(description))
    , m_what(QStringLiteral("Runtime error %1: %2").arg(number).arg(m_description).toUtf8())
{
}

RunTimeError RunTimeError::printerError(const QString& detail)
{
    QString text = QStringLiteral("Printer error");
    if (!detail.isEmpty())
        text += QStringLiteral(": ") + detail;
    return RunTimeError(PrinterError, text);
}

RunTimeError RunTimeError::permissionDenied(const QString& reason)
{
    return RunTimeError(PermissionDenied, QStringLiteral("Permission denied: ") + reason);
}

RunTimeError RunTimeError::invalidPicture(const QString& path, const QString& detail)
{
    QString text = QStringLiteral("Invalid picture: ") + path;
    if (!detail.isEmpty())
        text += QStringLiteral(" (") + detail + QLatin1Char(')');
    return RunTimeError(InvalidPicture, text);
}

RunTimeError RunTimeError::overflow()
{
    return RunTimeError(Overflow, QStringLiteral("Overflow"));
}
