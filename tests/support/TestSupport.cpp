#include "support/TestSupport.h"

#include "document/SignListModel.h"
#include "ui/EntryBox.h"
#include "ui/frmSigns.h"

#include <QAction>
#include <QtTest>

#include <pwd.h>
#include <unistd.h>

TestSettingsScope::TestSettingsScope()
{
    qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("data")).toLocal8Bit());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
    dialogs().setScripted(true);
    dialogs().reset();
    writeTestFile(path(), QStringLiteral("pos.dct"),
        "/ POS data dictionary for tests\r\n[INV]\r\n1,1,20:SKU\r\n10,1,40:Description\r\n"
        "48,0,10:Regular retail\r\n54,0,10:Cost\r\n56,0,10:Promotional price\r\n"
        "177,1,40:Bullet 1\r\n178,1,40:Bullet 2\r\n179,1,40:Bullet 3\r\n"
        "182,1,160:Item graphic\r\n[END]\r\n%BEGIN%\r\n%END%\r\n");
    appSettings().save(SettingsKeys::DICTIONARY, dictionaryPath());
}

TestSettingsScope::~TestSettingsScope()
{
    dialogs().reset();
}

QString writeTestFile(const QString& folder, const QString& name, const QByteArray& bytes)
{
    const QString path = QDir(folder).filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QStringList storedValues(const QStringList& keys)
{
    QStringList values;
    for (const QString& key : keys)
        values << stored(key);
    return values;
}

QStringList messageTexts()
{
    QStringList texts;
    for (const auto& message : dialogs().messages())
        texts << message.text;
    return texts;
}

void trigger(const QObject& window, const char* name)
{
    QAction* action = child<QAction>(window, name);
    if (!action->isEnabled())
        qFatal("menu entry %s is disabled", name);
    action->trigger();
}

QStringList skus(const SignListModel& model)
{
    QStringList result;
    for (int r = 1; r < model.Rows(); ++r)
        result << model.cell(r, SignListModel::ColSku);
    return result;
}

QStringList skus(const frmSigns& w)
{
    return skus(*w.model());
}

void typeList(frmSigns& w, const QStringList& skus)
{
    for (const QString& sku : skus) {
        QTest::keyClicks(child<EntryBox>(w, "txtSku"), sku);
        trigger(w, "mnuEditSaveRow");
    }
}

OtherClerk otherClerk()
{
    static const OtherClerk clerk = [] {
        OtherClerk c;
        if (::geteuid() != 0)
            return c;
        const QByteArray name = "kestrane-clerk";
        // Two test programs may ask at once; the loser of the race on the account files finds the
        // account the other made.
        for (int attempt = 0; attempt < 5 && !::getpwnam(name.constData()); ++attempt) {
            if (attempt > 0)
                QThread::msleep(500);
            QProcess::execute(QStringLiteral("useradd"),
                { "--system", "--no-create-home", "--shell", "/usr/sbin/nologin",
                    QString::fromLatin1(name) });
        }
        if (const struct passwd* entry = ::getpwnam(name.constData())) {
            c.uid = int(entry->pw_uid);
            c.name = QString::fromLatin1(name);
        }
        return c;
    }();
    return clerk;
}

bool plantLink(const QString& target, const QString& link, int uid)
{
    const QByteArray name = QFile::encodeName(link);
    return ::symlink(QFile::encodeName(target).constData(), name.constData()) == 0
        && ::lchown(name.constData(), uid_t(uid), gid_t(-1)) == 0;
}
