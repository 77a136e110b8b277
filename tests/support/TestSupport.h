#pragma once

#include <QString>
#include <QTemporaryDir>

// Points the per-user settings store at a fresh temporary folder for the
// lifetime of the object, and puts the dialog service into scripted mode
// with nothing queued or recorded.
class TestSettingsScope
{
public:
    TestSettingsScope();
    ~TestSettingsScope();
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

// The folder the test data files live in (tests/data in the source tree).
QString testDataPath(const QString &name);
