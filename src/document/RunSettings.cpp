#include "document/RunSettings.h"

#include "base/NumberText.h"
#include "base/SettingsStore.h"

RunSettings::RunSettings(const AppSettings& settings)
    : m_prefix(settings.section() + QLatin1Char('/'))
    , m_overrides(settings.overrides())
    , m_store(QSettings::NativeFormat, QSettings::UserScope, settings.application())
{
}

QString RunSettings::text(const QString& key, const QString& defaultValue) const
{
    const auto overridden = m_overrides.constFind(key);
    if (overridden != m_overrides.constEnd())
        return overridden.value();
    const QVariant value = m_store.value(m_prefix + key);
    return value.isValid() ? value.toString() : defaultValue;
}

qint32 RunSettings::whole32(const QString& key, qint32 defaultValue) const
{
    return NumberText::toWhole32(text(key, QString::number(defaultValue))).value_or(defaultValue);
}

double RunSettings::numberPrefix(const QString& key, const QString& defaultValue) const
{
    return NumberText::leadingNumber(text(key, defaultValue));
}
