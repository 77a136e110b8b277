#include "base/SettingsStore.h"

#include "base/NumberText.h"
#include "base/SafeFile.h"
#include "base/SettingsKeys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <cerrno>
#include <cstring>
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

SettingsStore::FailureHandler& failureHandler()
{
    static SettingsStore::FailureHandler handler;
    return handler;
}

// Set once a failure was told, cleared by the next save that succeeds.
bool failureTold = false;

QString notKept(const QString& path, const QString& reason)
{
    return QStringLiteral("The settings could not be saved to %1: %2.  Settings made now will not "
                          "be kept.")
        .arg(path, reason);
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

QString SettingsStore::SaveSetting(
    const QString& application, const QString& section, const QString& key, const QString& value)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, application);
    const QString path = store.fileName();
    auto outcome = [](const QString& problem) {
        if (problem.isEmpty())
            failureTold = false;
        else if (!failureTold) {
            failureTold = true;
            if (failureHandler())
                failureHandler()(problem);
        }
        return problem;
    };
    // The store's own writer follows a link at its name: one that another
    // user left there is refused before anything is written.
    const QString refused = SafeFile::linkRefusal(path);
    if (!refused.isEmpty())
        return outcome(QStringLiteral("The settings were not saved.  %1").arg(refused));
    // The store holds connection strings with passwords: it is made
    // readable by its owner only, before its first value is written.
    if (!QFileInfo::exists(path) && QDir().mkpath(QFileInfo(path).absolutePath())) {
        const int fd = ::open(QFile::encodeName(path).constData(),
            O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, S_IRUSR | S_IWUSR);
        if (fd >= 0)
            ::close(fd);
    }
    store.setValue(groupedKey(section, key), value);
    store.sync();
    keepPrivate(path);
    if (store.status() == QSettings::AccessError)
        return outcome(notKept(path, writeReason(path)));
    return outcome(QString());
}

void SettingsStore::setSaveFailureHandler(FailureHandler handler)
{
    failureHandler() = std::move(handler);
    failureTold = false;
}

QString SettingsStore::writeReason(const QString& path)
{
    // The store's writer does not say why it failed; the same write is
    // tried on a scratch file beside it, as large as the store.
    const QByteArray name = QFile::encodeName(path);
    struct stat st = {};
    if (::stat(name.constData(), &st) == 0 && ::access(name.constData(), W_OK) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    const QByteArray scratch = QFile::encodeName(QFileInfo(path).absolutePath())
        + "/.settings-check-" + QByteArray::number(::getpid());
    const int fd = ::open(scratch.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
        S_IRUSR | S_IWUSR);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    const QByteArray bytes(qMax<qint64>(st.st_size, 0) + 4096, ' ');
    int code = 0;
    if (::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size() || ::fsync(fd) != 0)
        code = errno ? errno : ENOSPC;
    ::close(fd);
    ::unlink(scratch.constData());
    return code ? QString::fromLocal8Bit(std::strerror(code))
                : QStringLiteral("the file system refused the write");
}

void SettingsStore::keepPrivate(const QString& path)
{
    // Never through a link: only the store's own file is changed.
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode))
        ::chmod(QFile::encodeName(path).constData(), S_IRUSR | S_IWUSR);
}

QString SettingsStore::storeProblem(const QString& application)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, application);
    const QString path = store.fileName();
    const QByteArray name = QFile::encodeName(path);
    QString what;
    struct stat st;
    const bool found = ::stat(name.constData(), &st) == 0;
    const int statError = errno;
    const QString refused = SafeFile::linkRefusal(path);
    if (!refused.isEmpty())
        what = QStringLiteral("cannot be used: ") + refused;
    else if (!found && statError != ENOENT)
        what
            = QStringLiteral("cannot be read: ") + QString::fromLocal8Bit(std::strerror(statError));
    else if (found && !S_ISREG(st.st_mode))
        what = QStringLiteral("cannot be read: ") + SafeFile::notRegularReason(path);
    if (what.isEmpty()) {
        keepPrivate(path);
        // A file that exists but does not open for reading is unreadable,
        // whatever the store says about writing it.
        const int fd = found ? ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK) : 0;
        if (fd < 0)
            what
                = QStringLiteral("cannot be read: ") + QString::fromLocal8Bit(std::strerror(errno));
        else if (found)
            ::close(fd);
    }
    if (what.isEmpty()) {
        store.sync();
        const QFileInfo info(path);
        const QFileInfo folder(info.absolutePath());
        if (store.status() == QSettings::FormatError)
            what = QStringLiteral("cannot be read: it is damaged");
        else if (store.status() == QSettings::AccessError
            || (info.exists() ? !info.isWritable() : (folder.exists() && !folder.isWritable())))
            what = QStringLiteral("cannot be written: ") + writeReason(path);
    }
    if (what.isEmpty())
        return QString();
    if (what.endsWith(QLatin1Char('.')))
        what.chop(1);
    // Said now; a save that fails later is not told again.
    failureTold = true;
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

SettingValue AppSettings::getStored(SettingsKeys::Setting key, const QString& storedName) const
{
    return SettingValue(SettingsKeys::key(key), stored(storedName));
}

void AppSettings::save(SettingsKeys::Setting key, const QString& value) const
{
    save(SettingsKeys::key(key).name, value);
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
