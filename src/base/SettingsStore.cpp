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

bool SettingsStore::HasSetting(
    const QString& application, const QString& section, const QString& key)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, application);
    return store.contains(groupedKey(section, key));
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

QString AppSettings::text(const QString& key, const QString& defaultValue) const
{
    const auto overridden = m_overrides.constFind(key);
    if (overridden != m_overrides.constEnd())
        return overridden.value();
    return SettingsStore::GetSetting(m_application, m_section, key, defaultValue);
}

qint16 AppSettings::whole16(const QString& key, qint16 defaultValue) const
{
    return NumberText::toWhole16(text(key, QString::number(defaultValue))).value_or(defaultValue);
}

qint32 AppSettings::whole32(const QString& key, qint32 defaultValue) const
{
    return NumberText::toWhole32(text(key, QString::number(defaultValue))).value_or(defaultValue);
}

bool AppSettings::truth(const QString& key, bool defaultValue) const
{
    return NumberText::toTruth(
        text(key, defaultValue ? QStringLiteral("True") : QStringLiteral("False")))
        .value_or(defaultValue);
}

double AppSettings::numberPrefix(const QString& key, const QString& defaultValue) const
{
    return NumberText::leadingNumber(text(key, defaultValue));
}

qint32 AppSettings::wholePrefix(const QString& key, const QString& defaultValue) const
{
    return NumberText::leadingWhole32(text(key, defaultValue));
}

qint32 AppSettings::value(const QString& key) const
{
    using SettingsKeys::Form;
    const SettingsKeys::Key* row = SettingsKeys::find(key);
    if (!row)
        return wholePrefix(key, QStringLiteral("0"));
    switch (row->form) {
    case Form::Whole16:
        return whole16(key, NumberText::toWhole16(row->defaultValue).value_or(0));
    case Form::Whole32:
        return whole32(key, NumberText::toWhole32(row->defaultValue).value_or(0));
    case Form::Truth:
        return truth(key, NumberText::toTruth(row->defaultValue).value_or(false)) ? 1 : 0;
    case Form::Text:
    case Form::NumberPrefix:
        break;
    }
    return wholePrefix(key, row->defaultValue);
}

bool AppSettings::contains(const QString& key) const
{
    return m_overrides.contains(key) || SettingsStore::HasSetting(m_application, m_section, key);
}

void AppSettings::save(const QString& key, const QString& value) const
{
    SettingsStore::SaveSetting(m_application, m_section, key, value);
}

void AppSettings::setOverride(const QString& key, const QString& value)
{
    m_overrides.insert(key, value);
}
