#include "base/SettingsStore.h"

#include "base/NumberText.h"
#include "base/SettingsKeys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// One QSettings object per call keeps the store uncached from the program's
// point of view; QSettings itself rereads the file when another writer
// changed it.
QString groupedKey(const QString& section, const QString& key)
{
    return section + QLatin1Char('/') + key;
}

} // namespace

QString SettingsStore::GetSetting(const QString& application, const QString& section,
    const QString& key, const QString& defaultValue)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, application);
    const QVariant value = store.value(groupedKey(section, key));
    if (!value.isValid())
        return defaultValue;
    return value.toString();
}

QString SettingsStore::GetSetting(
    const QString& application, const QString& section, const QString& key, int defaultValue)
{
    return GetSetting(application, section, key, QString::number(defaultValue));
}

void SettingsStore::SaveSetting(
    const QString& application, const QString& section, const QString& key, const QString& value)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, application);
    // The store holds connection strings with passwords: it is made
    // readable by its owner only, before its first value is written.
    const QString path = store.fileName();
    if (!QFileInfo::exists(path) && QDir().mkpath(QFileInfo(path).absolutePath())) {
        const int fd = ::open(QFile::encodeName(path).constData(),
            O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
        if (fd >= 0)
            ::close(fd);
    }
    store.setValue(groupedKey(section, key), value);
    store.sync();
    keepPrivate(path);
}

void SettingsStore::keepPrivate(const QString& path)
{
    if (QFileInfo(path).isFile())
        ::chmod(QFile::encodeName(path).constData(), S_IRUSR | S_IWUSR);
}

QString SettingsStore::storeProblem(const QString& application)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, application);
    const QString path = store.fileName();
    keepPrivate(path);
    store.sync();
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    QString what;
    if (store.status() == QSettings::FormatError)
        what = QStringLiteral("cannot be read: it is damaged");
    else if (info.exists() && (!info.isFile() || !info.isReadable()))
        what = QStringLiteral("cannot be read");
    else if (store.status() == QSettings::AccessError
        || (info.exists() ? !info.isWritable() : (folder.exists() && !folder.isWritable())))
        what = QStringLiteral("cannot be written");
    if (what.isEmpty())
        return QString();
    return QStringLiteral("The settings file %1 %2.  Settings made now will not be kept.")
        .arg(path, what);
}

AppSettings::AppSettings(QString application, QString section)
    : m_application(std::move(application))
    , m_section(std::move(section))
{
}

SettingValue::SettingValue(const SettingsKeys::Key& key, const QVariant& stored)
    : m_key(key)
    , m_text(stored.isValid() ? stored.toString() : key.defaultValue)
{
}

qint32 SettingValue::whole() const
{
    using SettingsKeys::Form;
    const QString& fallback = m_key.defaultValue;
    switch (m_key.form) {
    case Form::Whole16:
        return NumberText::toWhole16(m_text).value_or(NumberText::toWhole16(fallback).value_or(0));
    case Form::Whole32:
        return NumberText::toWhole32(m_text).value_or(NumberText::toWhole32(fallback).value_or(0));
    case Form::Truth:
        return truth() ? 1 : 0;
    case Form::Text:
    case Form::NumberPrefix:
        break;
    }
    return NumberText::leadingWhole32(m_text);
}

double SettingValue::number() const
{
    return NumberText::leadingNumber(m_text);
}

bool SettingValue::truth() const
{
    return NumberText::toTruth(m_text).value_or(
        NumberText::toTruth(m_key.defaultValue).value_or(false));
}

QVariant AppSettings::stored(const QString& name) const
{
    const auto overridden = m_overrides.constFind(name);
    if (overridden != m_overrides.constEnd())
        return overridden.value();
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, m_application);
    return store.value(groupedKey(m_section, name));
}

SettingValue AppSettings::get(SettingsKeys::Setting key) const
{
    const SettingsKeys::Key& row = SettingsKeys::key(key);
    return SettingValue(row, stored(row.name));
}

SettingValue AppSettings::get(SettingsKeys::Setting key, const QString& windowName) const
{
    const SettingsKeys::Key& row = SettingsKeys::key(key);
    return SettingValue(row, stored(windowName + row.name));
}

void AppSettings::save(SettingsKeys::Setting key, const QString& value) const
{
    save(SettingsKeys::key(key).name, value);
}

void AppSettings::save(const QString& key, const QString& value) const
{
    SettingsStore::SaveSetting(m_application, m_section, key, value);
}

void AppSettings::setOverride(const QString& key, const QString& value)
{
    m_overrides.insert(key, value);
}
