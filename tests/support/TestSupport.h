#pragma once

#include "base/SettingsStore.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>

class DialogService;

// Points the per-user settings store and data folder (where the working
// list is kept) at a fresh temporary folder for the lifetime of the object, and puts the dialog
// service into scripted mode with nothing queued or recorded.
//
// The store starts as on a configured machine in one respect: DICTIONARY
// names a POS data dictionary (dictionaryPath(), in the temporary folder)
// that loads without a message, so a main window built in the scope starts
// without asking for one. Tests of the dictionary start-up remove the key.
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

// The folder the test data files live in (tests/data in the source tree).
QString testDataPath(const QString& name);

// Writes the bytes to a file of that name in the folder; fails the test run
// when the file cannot be written.
QString writeTestFile(const QString& folder, const QString& name, const QByteArray& bytes);

// The program's settings (application QORPOS, section KESTRANE), the one
// dialog service, and a stored value or "<absent>".
AppSettings appSettings();
DialogService& dialogs();
QString stored(const QString& key);
inline const QString Absent = QStringLiteral("<absent>");

// The texts of the messages the dialog service has shown.
QStringList messageTexts();

// A window's child of that object name; ends the test run when it is missing,
// so the name and the widget's type are checked too.
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
// The SKU of every row of the main window's list, the empty last row too.
QStringList skus(const frmSigns& w);
// Types each SKU into the panel and saves it as the next row.
void typeList(frmSigns& w, const QStringList& skus);
