#include "base/MORNLIB.h"

#include <QDir>
#include <QFileInfo>

namespace MORNLIB {

bool IsBlank(const QString& text)
{
    for (const QChar c : text) {
        if (c != QLatin1Char(' '))
            return false;
    }
    return true;
}

namespace {

    bool isOrdinaryFile(const QFileInfo& info)
    {
        return info.isFile() && !info.fileName().startsWith(QLatin1Char('.'));
    }

} // namespace

bool FileExists(const QString& path)
{
    if (IsBlank(path))
        return false;
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (!name.contains(QLatin1Char('*')) && !name.contains(QLatin1Char('?')))
        return isOrdinaryFile(info);
    const QDir dir = info.dir();
    if (!dir.exists())
        return false;
    const QFileInfoList matches
        = dir.entryInfoList(QStringList { name }, QDir::Files | QDir::NoDotAndDotDot);
    for (const QFileInfo& match : matches) {
        if (isOrdinaryFile(match))
            return true;
    }
    return false;
}

QString NullToEmpty(const std::optional<QString>& value)
{
    return value.value_or(QString());
}

} // namespace MORNLIB
