#pragma once

#include "base/SettingsKeys.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <QtGlobal>

#include <functional>

// The per-user store of named text values, addressed by application,
// section and key. Values are always text; each reader converts them with
// the helpers of NumberText. Nothing is cached: every read goes to the
// store and sees the latest write.
class SettingsStore
{
public:
    // The stored text, or the default when the key (or its section or
    // application) does not exist. Reading never creates a key.
    static QString GetSetting(const QString& application, const QString& section,
        const QString& key, const QString& defaultValue);
    // A number default comes back as its decimal text.
    static QString GetSetting(
        const QString& application, const QString& section, const QString& key, int defaultValue);
    // Whether the key holds a value.
    static bool HasSetting(const QString& application, const QString& section, const QString& key);

    // Creates or overwrites the key, creating application and section as
    // needed. Empty when it was saved, else a message with the reason; the
    // first failure after a success also goes to the failure handler.
    static QString SaveSetting(const QString& application, const QString& section,
        const QString& key, const QString& value);

    // Told once when settings stop being saved (a full disk, a file made
    // read-only, a link left at its name), and again only after a save has
    // succeeded in between.
    using FailureHandler = std::function<void(const QString& message)>;
    static void setSaveFailureHandler(FailureHandler handler);

    // Empty when the application's store can be read and written; otherwise
    // a message saying what is wrong with its file. Also makes an existing
    // store readable by its owner only.
    static QString storeProblem(const QString& application);

private:
    static void keepPrivate(const QString& path);
    // Why a file cannot be written into folder, found by trying: the
    // system's reason, e.g. "No space left on device".
    static QString writeReason(const QString& path);
};

// One setting as read: the stored text, or the key table's default when
// nothing is stored, and that text converted in the key's form. A value the
// program never writes (letters where a number belongs, a number out of
// range) converts as the table's default.
class SettingValue
{
public:
    SettingValue(const SettingsKeys::Key& key, const QVariant& stored);

    // The stored text, or the table's default text.
    const QString& text() const { return m_text; }
    // The value as a whole number in the key's form: Whole16 and Whole32 as
    // whole numbers, Truth as 1 or 0, NumberPrefix and Text as their leading
    // number made whole (halves to even).
    qint32 whole() const;
    // The leading number of the text (0 when it has none).
    double number() const;
    // Truth text (True/False, or a number: non-zero is true).
    bool truth() const;

private:
    const SettingsKeys::Key& m_key;
    QString m_text;
};

// The one settings address the program uses. Every read goes through get()
// and the key table: nobody passes a default of their own.
class AppSettings
{
public:
    AppSettings(QString application, QString section);

    const QString& application() const { return m_application; }
    const QString& section() const { return m_section; }

    SettingValue get(SettingsKeys::Setting key) const;
    // A window placement key, stored under the window's name.
    SettingValue get(SettingsKeys::Setting key, const QString& windowName) const;
    // The key read in its form and with its default, from another stored
    // name (a printer's own calibration).
    SettingValue getStored(SettingsKeys::Setting key, const QString& storedName) const;
    // Whether the stored name holds a value, in the store or as an override.
    bool contains(const QString& storedName) const;

    void save(SettingsKeys::Setting key, const QString& value) const;
    void save(const QString& key, const QString& value) const;

    // A value that takes the place of the stored one for every read through
    // this object (and the run settings made from it); the store itself is
    // never written. Used for one-off runs such as the batch command's --set.
    void setOverride(const QString& key, const QString& value);
    const QHash<QString, QString>& overrides() const { return m_overrides; }

private:
    QVariant stored(const QString& name) const;

    QString m_application;
    QString m_section;
    QHash<QString, QString> m_overrides;
};
