#include "base/SettingsKeys.h"
#include "itemdata/qorDct.h"
#include "support/TestSupport.h"
#include "ui/CommonDialog.h"
#include "ui/DialogService.h"
#include "ui/DictionaryCommands.h"

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
    QTemporaryDir m_dir;

private slots:
    // Section INV at level 99: the load status, then field 10's (or the
    // row's field's) alpha flag, length and description.
    void fieldLines_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("lower-case name") << QByteArray("[inv]\r\n10,1,30:Desc\r\n") << 10 << "0|1|30|Desc";
        QTest::newRow("level 5") << QByteArray("[INV]5\r\n10,1,30:Desc\r\n") << 10 << "0|1|30|Desc";
        QTest::newRow("level 150 not taken") << QByteArray("[INV]150\r\n10,1,30:Desc\r\n") << 10 << "2|0|0|";
        QTest::newRow("other section") << QByteArray("[CIS]\r\n10,1,30:Desc\r\n") << 10 << "2|0|0|";
        QTest::newRow("later definition wins")
            << QByteArray("[INV]\r\n10,1,30:First\r\n[INV]\r\n10,0,12:Second\r\n") << 10 << "0|0|12|Second";
        QTest::newRow("commas and colons in description")
            << QByteArray("[INV]\r\n10,1,30:Desc, with comma: and colon  \r\n") << 10 << "0|1|30|Desc, with comma: and colon  ";
        QTest::newRow("no colon skipped") << QByteArray("[INV]\r\n10,1,30\r\n") << 10 << "0|0|0|";
        QTest::newRow("field above 199 skipped") << QByteArray("[INV]\r\n250,1,30:X\r\n") << 0 << "0|0|0|";
        QTest::newRow("comment skipped") << QByteArray("[INV]\r\n/10,1,30:x\r\n") << 10 << "2|0|0|";
        QTest::newRow("header is the last line") << QByteArray("10,1,30:x\r\n[INV]") << 10 << "2|0|0|";
        QTest::newRow("END stops reading") << QByteArray("[INV]\r\n[end]\r\n[INV]\r\n10,1,30:x\r\n") << 10 << "0|0|0|";
        // A "[" line without "]" still ends the selected section.
        QTest::newRow("bracket without close leaves the section") << QByteArray("[INV]\r\n[END\r\n10,1,30:x\r\n") << 10 << "0|0|0|";
        QTest::newRow("numbers with spaces and halves") << QByteArray("[INV]\r\n 10 , 2 ,30.5 :x\r\n") << 10 << "0|2|30|x";
        QTest::newRow("half rounds to even") << QByteArray("[INV]\r\n10,1,31.5:x\r\n") << 10 << "0|1|32|x";
        QTest::newRow("LF and CR line ends") << QByteArray("[INV]\n10,1,30:a\r48,0,8:b\n") << 48 << "0|0|8|b";
        QTest::newRow("Windows-1252 description")
            << QByteArray("[INV]\r\n10,1,3:Caf\xe9 \x80\r\n") << 10 << QString::fromUtf8("0|1|3|Café €");
        QTest::newRow("field number too large") << QByteArray("[INV]\r\n40000,1,2:x\r\n") << 10 << "1|0|0|";
        QTest::newRow("length too large") << QByteArray("[INV]\r\n10,1,99999:x\r\n") << 10 << "1|0|0|";
        QTest::newRow("level too large") << QByteArray("[INV]70000\r\n10,1,3:x\r\n") << 10 << "1|0|0|";
        QTest::newRow("lines before the failure stay")
            << QByteArray("[INV]\r\n10,1,30:kept\r\n48,1,99999:x\r\n") << 10 << "1|1|30|kept";
        QTest::newRow("empty file") << QByteArray() << 10 << "2|0|0|";
        // clang-format on
    }

    // From a file and from memory alike.
    void fieldLines()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, field);
        QFETCH(QString, expected);
        qorDct d;
        qorDct m;
        const qint16 status = d.setup(write(QStringLiteral("d.dct"), file), "inv", 99);
        QCOMPARE(m.setupFromData(file, "INV", 99), status);
        for (const qorDct* dict : { &d, &m }) {
            const auto f = qint16(field);
            QCOMPARE(QString("%1|%2|%3|%4")
                         .arg(status)
                         .arg(dict->dAlpha(f))
                         .arg(dict->dLen(f))
                         .arg(dict->dDesc(f)),
                expected);
        }
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
        QCOMPARE(d.setup(QString(), "INV", 99), qint16(1));
    }

    // Field numbers past 199 are taken modulo 1000; what is left out of range
    // reads as field 0, and writes to it are ignored.
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

    // The status of the master/store block and whether field 48 is master
    // (with prices the same at every store, and without).
    void masterStore_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("empty block") << QByteArray("%BEGIN%\r\n%END%\r\n") << "0|1|1";
        QTest::newRow("S") << QByteArray("%BEGIN%\r\n48,S\r\n%END%\r\n") << "0|0|0";
        QTest::newRow("P") << QByteArray("%BEGIN%\r\n48,P\r\n%END%\r\n") << "0|1|0";
        QTest::newRow("lower case is no code") << QByteArray("%BEGIN%\r\n48,s\r\n%END%\r\n") << "0|1|1";
        QTest::newRow("after the END section") << QByteArray("[INV]\r\n48,1,8:x\r\n[END]\r\n%BEGIN%\r\n48,S\r\n") << "0|0|0";
        QTest::newRow("lines after END ignored") << QByteArray("%BEGIN%\r\n%END%\r\n48,S\r\n") << "0|1|1";
        QTest::newRow("no block") << QByteArray("[INV]\r\n48,1,8:x\r\n") << "2|1|1";
        QTest::newRow("nothing after BEGIN") << QByteArray("48,S\r\n%BEGIN%") << "2|1|1";
        QTest::newRow("field too large") << QByteArray("%BEGIN%\r\n48,S\r\n99999,S\r\n") << "1|0|0";
        // clang-format on
    }

    void masterStore()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        const QString path = write(QStringLiteral("ms.dct"), file);
        QStringList got;
        for (const bool prisame : { true, false }) {
            qorDct d;
            const qint16 status = d.setupms(path, prisame);
            if (prisame)
                got << QString::number(status);
            got << QString::number(d.dMaster(48));
            QVERIFY(d.dMaster(10));
        }
        QCOMPARE(got.join('|'), expected);
    }

    // The stored name is loaded without a question; a cancelled question
    // changes neither the dictionary nor the stored name; a file that does
    // not load is remembered at once and offered again.
    void rsetupAsksUntilLoadedOrCancelled()
    {
        TestSettingsScope scope;
        CommonDialog dlg(dialogs(), nullptr);
        qorDct d;
        const auto run = [&](bool ask) {
            return rsetup(d, ask, dlg, dialogs(), "QORPOS", "KESTRANE", "DICTIONARY", "INV", 99);
        };
        const QString good = write("good.dct", "[INV]\r\n10,1,30:D\r\n%BEGIN%\r\n%END%\r\n");
        appSettings().save(SettingsKeys::DICTIONARY, good);
        QVERIFY(run(false));
        QCOMPARE(d.dLen(10), qint16(30));
        QVERIFY(dialogs().fileRequests().isEmpty());

        d.setDLen(10, 5);
        dialogs().queueFile(std::nullopt);
        QVERIFY(!run(true));
        QCOMPARE(d.dLen(10), qint16(5));
        QCOMPARE(dialogs().fileRequests().at(0).fileName, good);
        QCOMPARE(stored(SettingsKeys::DICTIONARY), good);
        QVERIFY(dialogs().messages().isEmpty());

        const QString bad = write("bad.dct", "no section here\r\n");
        dialogs().queueFile(bad);
        dialogs().queueAnswer(DialogService::Answer::Ok);
        dialogs().queueFile(std::nullopt);
        QVERIFY(!run(true));
        QCOMPARE(dialogs().fileRequests().size(), 3);
        QCOMPARE(dialogs().fileRequests().at(2).fileName, bad);
        QCOMPARE(stored(SettingsKeys::DICTIONARY), bad);
        QCOMPARE(messageTexts(),
            QStringList { "Can not read dictionary file.  Select OK to try another name." });
        QCOMPARE(dialogs().messages().at(0).title, QStringLiteral("Alert:"));
        QVERIFY(dialogs().messages().at(0).buttons == DialogService::Buttons::OkCancel);

        // Without the master/store block it loads, with a warning.
        dialogs().reset();
        dialogs().queueFile(write("noblock.dct", "[INV]\r\n10,1,30:D\r\n"));
        QVERIFY(run(true));
        QCOMPARE(messageTexts(),
            QStringList { "Warning: could not read master/store specific info from data "
                          "dictionary.  Will treat all info as master." });
        QVERIFY(dialogs().messages().at(0).icon == DialogService::Icon::Information);
    }
};

QTEST_MAIN(TestDictionary)
#include "tst_dictionary.moc"
