#pragma once

#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "ui/DialogService.h"

#include <QTemporaryDir>
#include <QWidget>

// Points the per-user settings and data folders (the working list) at a fresh temporary folder
// while it lives, and scripts the dialog service with nothing queued. DICTIONARY names a data
// dictionary there (dictionaryPath()) that loads silently, so a window starts without asking.
class TestSettingsScope
{
public:
    TestSettingsScope();
    ~TestSettingsScope();
    QString path() const { return m_dir.path(); }
    QString dictionaryPath() const { return m_dir.filePath(QStringLiteral("pos.dct")); }

private:
    QTemporaryDir m_dir;
};

// Writes the bytes to a file of that name in the folder (or ends the run).
QString writeTestFile(const QString& folder, const QString& name, const QByteArray& bytes);

// The program's settings (application QORPOS, section KESTRANE), the one dialog service, and a
// stored value or "<absent>".
inline AppSettings appSettings()
{
    return AppSettings(SettingsKeys::Application, SettingsKeys::Section);
}
inline DialogService& dialogs()
{
    return DialogService::instance();
}
inline const QString Absent = QStringLiteral("<absent>");
inline QString stored(const QString& key)
{
    return SettingsStore::GetSetting(SettingsKeys::Application, SettingsKeys::Section, key, Absent);
}
QStringList storedValues(const QStringList& keys);

// The texts of the messages the dialog service has shown.
QStringList messageTexts();

// A window's child of that object name and type; ends the run when missing.
template <class T = QWidget> T* child(const QObject& parent, const char* name)
{
    T* found = parent.findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no child %s of that type", name);
    return found;
}

// Triggers the menu entry of that object name, which must be enabled.
void trigger(const QObject& window, const char* name);

class frmSigns;
class SignListModel;
// The SKU of every row of a list or of the main window's, the empty last row too.
QStringList skus(const SignListModel& model);
QStringList skus(const frmSigns& w);
// Types each SKU into the panel and saves it as the next row.
void typeList(frmSigns& w, const QStringList& skus);

// A second clerk's account on a shared store PC, for the tests of links one user leaves for
// another: created with useradd when the tests run as the superuser. Its uid (-1 when it cannot be
// had, and the test then skips) and name.
struct OtherClerk
{
    int uid = -1;
    QString name;
};
OtherClerk otherClerk();
// A symbolic link at link leading to target, owned by uid; false when it cannot be made.
bool plantLink(const QString& target, const QString& link, int uid);
