#pragma once

#include <QString>
#include <QTemporaryDir>

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
