#include "base/RecentFiles.h"

#include "base/SettingsKeys.h"

#include <QFileInfo>

namespace {

const QChar Separator = QLatin1Char('\n');

QString absolute(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

RecentFiles::RecentFiles(const AppSettings& settings)
    : m_settings(settings)
{
}

QStringList RecentFiles::files() const
{
    QStringList list = m_settings.get(SettingsKeys::Setting::RecentFiles)
                           .text()
                           .split(Separator, Qt::SkipEmptyParts);
    list.removeDuplicates();
    if (list.size() > MaxFiles)
        list.erase(list.begin() + MaxFiles, list.end());
    return list;
}

void RecentFiles::add(const QString& path) const
{
    // A name with a line break in it cannot be stored in the one-a-line list.
    if (path.isEmpty() || path.contains(Separator))
        return;
    const QString file = absolute(path);
    QStringList list = files();
    list.removeAll(file);
    list.prepend(file);
    store(list);
}

void RecentFiles::remove(const QString& path) const
{
    QStringList list = files();
    if (list.removeAll(absolute(path)) > 0)
        store(list);
}

void RecentFiles::store(const QStringList& files) const
{
    m_settings.save(SettingsKeys::RECENTFILES, files.mid(0, MaxFiles).join(Separator));
}
