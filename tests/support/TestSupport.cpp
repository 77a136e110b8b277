#include "support/TestSupport.h"

#include "platform/DialogService.h"

#include <QSettings>

TestSettingsScope::TestSettingsScope()
{
    qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
    DialogService::instance().setScripted(true);
    DialogService::instance().reset();
}

TestSettingsScope::~TestSettingsScope()
{
    DialogService::instance().reset();
}

QString testDataPath(const QString &name)
{
    return QString::fromLocal8Bit(qgetenv("KESTRANE_SOURCE_DIR")) + QLatin1String("/tests/data/")
        + name;
}
