#pragma once

#include "base/SettingsStore.h"

#include <QHash>
#include <QSettings>
#include <QString>
#include <QtGlobal>

// The settings as a print run reads them, sign after sign. It keeps one
// handle on the store for the run instead of opening the store for every
// read: each read still sees the latest value, because every handle on the
// same store in the process shares its state (and another process's writes
// arrive as the store syncs), so nothing is cached against change. Values
// convert exactly as AppSettings converts them.
class RunSettings
{
public:
    explicit RunSettings(const AppSettings& settings);

    SettingValue get(SettingsKeys::Setting key) const;

private:
    QString m_prefix;
    QHash<QString, QString> m_overrides;
    mutable QSettings m_store;
};
