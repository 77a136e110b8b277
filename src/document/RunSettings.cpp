#include "document/RunSettings.h"

RunSettings::RunSettings(const AppSettings& settings)
    : m_prefix(settings.section() + QLatin1Char('/'))
    , m_overrides(settings.overrides())
    , m_store(QSettings::NativeFormat, QSettings::UserScope, settings.application())
{
}

SettingValue RunSettings::get(SettingsKeys::Setting key) const
{
    const SettingsKeys::Key& row = SettingsKeys::key(key);
    const auto overridden = m_overrides.constFind(row.name);
    if (overridden != m_overrides.constEnd())
        return SettingValue(row, overridden.value());
    return SettingValue(row, m_store.value(m_prefix + row.name));
}
