#pragma once

#include <QHash>
#include <QString>
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

// The one settings address the program uses, with the readers' conversions.
// A value the program never writes (letters where a number belongs, a number
// out of range) reads as the caller's default.
class AppSettings
{
public:
    AppSettings(QString application, QString section);

    const QString& application() const { return m_application; }
    const QString& section() const { return m_section; }

    QString text(const QString& key, const QString& defaultValue) const;
    qint16 whole16(const QString& key, qint16 defaultValue) const;
    qint32 whole32(const QString& key, qint32 defaultValue) const;
    bool truth(const QString& key, bool defaultValue) const;
    // Number-prefix reading (0 when the text has no leading number).
    double numberPrefix(const QString& key, const QString& defaultValue) const;
    // Number-prefix, rounded to a whole 32-bit number (halves to even).
    qint32 wholePrefix(const QString& key, const QString& defaultValue) const;

    // A number key of the settings key table, read in its form with the
    // table's default: Whole16 and Whole32 as whole numbers, NumberPrefix as
    // its leading number made whole, Truth as 1 or 0. Other keys read as
    // their leading number made whole (default 0).
    qint32 value(const QString& key) const;

    void save(const QString& key, const QString& value) const;

    // A value that takes the place of the stored one for every read through
    // this object (and the run settings made from it); the store itself is
    // never written. Used for one-off runs such as the batch command's --set.
    void setOverride(const QString& key, const QString& value);
    const QHash<QString, QString>& overrides() const { return m_overrides; }

private:
    QString m_application;
    QString m_section;
    QHash<QString, QString> m_overrides;
};
