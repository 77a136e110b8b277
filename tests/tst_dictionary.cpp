#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "itemdata/qorDct.h"
#include "support/TestSupport.h"
#include "ui/CommonDialog.h"
#include "ui/DialogService.h"
#include "ui/DictionaryCommands.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestDictionary : public QObject
{
    Q_OBJECT

private:
    QString write(const QString& name, const QByteArray& bytes)
    {
        return writeTestFile(m_dir.path(), name, bytes);
    }

    // The stored-name loader with scripted dialogs and its own settings.
    struct Loader
    {
        TestSettingsScope scope;
        DialogService& dialogs = DialogService::instance();
        CommonDialog dlg { dialogs, nullptr };
        qorDct d;
        bool run(bool ask)
        {
            return rsetup(d, ask, dlg, dialogs, "QORPOS", "KESTRANE", "DICTIONARY", "INV", 99);
        }
    };

    QTemporaryDir m_dir;

private slots:
    void fieldLines_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("alpha");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("description");

        // clang-format off
        QTest::newRow("lower-case name") << QByteArray("[inv]\r\n10,1,30:Desc\r\n") << 0 << 10 << 1 << 30 << "Desc";
        QTest::newRow("level 5") << QByteArray("[INV]5\r\n10,1,30:Desc\r\n") << 0 << 10 << 1 << 30 << "Desc";
        QTest::newRow("level 150 not taken") << QByteArray("[INV]150\r\n10,1,30:Desc\r\n") << 2 << 10 << 0 << 0 << "";
        QTest::newRow("other section") << QByteArray("[CIS]\r\n10,1,30:Desc\r\n") << 2 << 10 << 0 << 0 << "";
        QTest::newRow("later definition wins")
            << QByteArray("[INV]\r\n10,1,30:First\r\n[INV]\r\n10,0,12:Second\r\n") << 0 << 10 << 0
            << 12 << "Second";
        QTest::newRow("commas and colons in description")
            << QByteArray("[INV]\r\n10,1,30:Desc, with comma: and colon  \r\n") << 0 << 10 << 1
            << 30 << "Desc, with comma: and colon  ";
        QTest::newRow("no colon skipped") << QByteArray("[INV]\r\n10,1,30\r\n") << 0 << 10 << 0 << 0 << "";
        QTest::newRow("field above 199 skipped") << QByteArray("[INV]\r\n250,1,30:X\r\n") << 0 << 0 << 0 << 0 << "";
        QTest::newRow("comment skipped") << QByteArray("[INV]\r\n/10,1,30:x\r\n") << 2 << 10 << 0 << 0 << "";
        QTest::newRow("header is the last line") << QByteArray("10,1,30:x\r\n[INV]") << 2 << 10 << 0 << 0 << "";
        QTest::newRow("END stops reading")
            << QByteArray("[INV]\r\n[end]\r\n[INV]\r\n10,1,30:x\r\n") << 0 << 10 << 0 << 0 << "";
        // A "[" line without "]" still ends the selected section.
        QTest::newRow("bracket without close leaves the section")
            << QByteArray("[INV]\r\n[END\r\n10,1,30:x\r\n") << 0 << 10 << 0 << 0 << "";
        QTest::newRow("numbers with spaces and halves")
            << QByteArray("[INV]\r\n 10 , 2 ,30.5 :x\r\n") << 0 << 10 << 2 << 30 << "x";
        QTest::newRow("half rounds to even") << QByteArray("[INV]\r\n10,1,31.5:x\r\n") << 0 << 10 << 1 << 32 << "x";
        QTest::newRow("LF and CR line ends") << QByteArray("[INV]\n10,1,30:a\r48,0,8:b\n") << 0 << 48 << 0 << 8 << "b";
        QTest::newRow("Windows-1252 description")
            << QByteArray("[INV]\r\n10,1,3:Caf\xe9 \x80\r\n") << 0 << 10 << 1 << 3
            << QString::fromUtf8("Café €");
        QTest::newRow("field number too large") << QByteArray("[INV]\r\n40000,1,2:x\r\n") << 1 << 10 << 0 << 0 << "";
        QTest::newRow("length too large") << QByteArray("[INV]\r\n10,1,99999:x\r\n") << 1 << 10 << 0 << 0 << "";
        QTest::newRow("level too large") << QByteArray("[INV]70000\r\n10,1,3:x\r\n") << 1 << 10 << 0 << 0 << "";
        QTest::newRow("lines before the failure stay")
            << QByteArray("[INV]\r\n10,1,30:kept\r\n48,1,99999:x\r\n") << 1 << 10 << 1 << 30
            << "kept";
        QTest::newRow("empty file") << QByteArray() << 2 << 10 << 0 << 0 << "";
        // clang-format on
    }

    void fieldLines()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, status);
        QFETCH(int, field);
        QFETCH(int, alpha);
        QFETCH(int, length);
        QFETCH(QString, description);
        const QString path = write(QStringLiteral("d.dct"), file);
        qorDct d;
        QCOMPARE(int(d.setup(path, QStringLiteral("inv"), 99)), status);
        QCOMPARE(int(d.dAlpha(qint16(field))), alpha);
        QCOMPARE(int(d.dLen(qint16(field))), length);
        QCOMPARE(d.dDesc(qint16(field)), description);
        // The in-memory reader gives the same result.
        qorDct m;
        QCOMPARE(int(m.setupFromData(file, QStringLiteral("INV"), 99)), status);
        QCOMPARE(int(m.dLen(qint16(field))), length);
    }

    void setupClearsAndTracksLast()
    {
        qorDct d;
        QCOMPARE(d.setupFromData("[INV]\r\n10,1,30:a\r\n182,1,60:b\r\n48,1,8:c\r\n", "INV", 99),
            qint16(0));
        QCOMPARE(d.dLast(), qint16(182));
        d.setDMaster(10, false);
        // A failed load leaves cleared entries: lengths 0, every field master.
        QCOMPARE(d.setup(m_dir.filePath("missing.dct"), "INV", 99), qint16(1));
        QCOMPARE(d.dLen(10), qint16(0));
        QCOMPARE(d.dLast(), qint16(0));
        QCOMPARE(d.dMaster(10), true);
        QCOMPARE(d.setup(m_dir.path(), "INV", 99), qint16(1)); // a folder
        QCOMPARE(d.setup(QString(), "INV", 99), qint16(1));
    }

    void indexRule()
    {
        qorDct d;
        d.setDLen(182, 160);
        d.setDLen(0, 7);
        QCOMPARE(d.dLen(1182), qint16(160));
        QCOMPARE(d.dLen(250), qint16(7));
        QCOMPARE(d.dLen(-5), qint16(7));
        QCOMPARE(d.dLen(-1182), qint16(7));
        d.setDLen(250, 99);
        d.setDDesc(-5, "x");
        QCOMPARE(d.dLen(250), qint16(7));
        QCOMPARE(d.dLen(0), qint16(7));
        QCOMPARE(d.dDesc(0), QString());
        d.setDStDat(1048, true);
        QCOMPARE(d.dMaster(48), false);
        QCOMPARE(d.dStDat(48), true);
    }

    void masterStore_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("prisame");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("master48");

        // clang-format off
        QTest::newRow("empty block") << QByteArray("%BEGIN%\r\n%END%\r\n") << true << 0 << true;
        QTest::newRow("S") << QByteArray("%BEGIN%\r\n48,S\r\n%END%\r\n") << true << 0 << false;
        QTest::newRow("P, prisame") << QByteArray("%BEGIN%\r\n48,P\r\n%END%\r\n") << true << 0 << true;
        QTest::newRow("P, not prisame") << QByteArray("%BEGIN%\r\n48,P\r\n%END%\r\n") << false << 0 << false;
        QTest::newRow("lower case is no code") << QByteArray("%BEGIN%\r\n48,s\r\n%END%\r\n") << true << 0 << true;
        QTest::newRow("after the END section")
            << QByteArray("[INV]\r\n48,1,8:x\r\n[END]\r\n%BEGIN%\r\n48,S\r\n") << true << 0
            << false;
        QTest::newRow("lines after END ignored") << QByteArray("%BEGIN%\r\n%END%\r\n48,S\r\n") << true << 0 << true;
        QTest::newRow("no block") << QByteArray("[INV]\r\n48,1,8:x\r\n") << true << 2 << true;
        QTest::newRow("nothing after BEGIN") << QByteArray("48,S\r\n%BEGIN%") << true << 2 << true;
        QTest::newRow("field too large") << QByteArray("%BEGIN%\r\n48,S\r\n99999,S\r\n") << true << 1 << false;
        // clang-format on
    }

    void masterStore()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, prisame);
        QFETCH(int, status);
        QFETCH(bool, master48);
        const QString path = write(QStringLiteral("ms.dct"), file);
        qorDct d;
        QCOMPARE(int(d.setupms(path, prisame)), status);
        QCOMPARE(d.dMaster(48), master48);
        QCOMPARE(d.dMaster(10), true);
    }

    // A stored name that loads needs no question; a cancelled question
    // changes neither the dictionary nor the stored name.
    void rsetupStoredNameAndCancel()
    {
        Loader l;
        const QString good = write("good.dct", "[INV]\r\n10,1,30:D\r\n%BEGIN%\r\n%END%\r\n");
        SettingsStore::SaveSetting("QORPOS", "KESTRANE", "DICTIONARY", good);
        QVERIFY(l.run(false));
        QCOMPARE(l.d.dLen(10), qint16(30));
        QVERIFY(l.dialogs.fileRequests().isEmpty());

        l.d.setDLen(10, 5);
        l.dialogs.queueFile(std::nullopt);
        QVERIFY(!l.run(true));
        QCOMPARE(l.d.dLen(10), qint16(5));
        QCOMPARE(l.dialogs.fileRequests().at(0).fileName, good);
        QCOMPARE(SettingsStore::GetSetting("QORPOS", "KESTRANE", "DICTIONARY", QString()), good);
        QVERIFY(l.dialogs.messages().isEmpty());
    }

    void rsetupRetriesUntilCancel()
    {
        Loader l;
        const QString bad = write("bad.dct", "no section here\r\n");
        l.dialogs.queueFile(bad);
        l.dialogs.queueAnswer(DialogService::Answer::Ok);
        l.dialogs.queueFile(std::nullopt);
        QVERIFY(!l.run(true));

        QCOMPARE(l.dialogs.fileRequests().size(), 2);
        const DialogService::FileRequest first = l.dialogs.fileRequests().at(0);
        QCOMPARE(first.title, QStringLiteral("Open the Dictionary File"));
        QCOMPARE(first.filters.size(), 2);
        QCOMPARE(first.filterIndex, 1);
        QVERIFY(first.mustExist);
        // The failed name is offered again, and was remembered at once.
        QCOMPARE(l.dialogs.fileRequests().at(1).fileName, bad);
        QCOMPARE(SettingsStore::GetSetting("QORPOS", "KESTRANE", "DICTIONARY", QString()), bad);
        QCOMPARE(l.dialogs.messages().size(), 1);
        const DialogService::Message& message = l.dialogs.messages().at(0);
        QCOMPARE(message.text,
            QStringLiteral("Can not read dictionary file.  Select OK to try another name."));
        QCOMPARE(message.title, QStringLiteral("Alert:"));
        QVERIFY(message.buttons == DialogService::Buttons::OkCancel);
    }

    void rsetupWarnsWithoutMasterStoreBlock()
    {
        Loader l;
        l.dialogs.queueFile(write("noblock.dct", "[INV]\r\n10,1,30:D\r\n"));
        QVERIFY(l.run(true));
        QCOMPARE(l.dialogs.messages().size(), 1);
        QCOMPARE(l.dialogs.messages().at(0).text,
            QStringLiteral("Warning: could not read master/store specific info from data "
                           "dictionary.  Will treat all info as master."));
        QVERIFY(l.dialogs.messages().at(0).icon == DialogService::Icon::Information);
    }
};

QTEST_MAIN(TestDictionary)
#include "tst_dictionary.moc"
