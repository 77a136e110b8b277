#pragma once

#include "base/SettingsStore.h"

#include <QStringList>

// The last data files read or saved, newest first and at most MaxFiles of
// them, kept in the settings under RECENTFILES as absolute paths, one a
// line.
class RecentFiles
{
public:
    static constexpr int MaxFiles = 5;

    explicit RecentFiles(const AppSettings& settings);

    QStringList files() const;
    // Puts the file first; a file already listed moves up instead of
    // appearing twice, and the oldest drops off the end.
    void add(const QString& path) const;
    void remove(const QString& path) const;

private:
    void store(const QStringList& files) const;

    const AppSettings& m_settings;
};
