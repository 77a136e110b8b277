// The field dictionary: loading, the master store, refusing what is not a file.

#include "FileTestSupport.h"

class TestDictionary : public QObject
{
    Q_OBJECT

    QString write(const QString& name, const QByteArray& bytes)
    {
        return writeTestFile(m_dir.path(), name, bytes);
    }
    QTemporaryDir m_dir;

private slots:
    void setupClearsAndTracksLast()
    {
        qorDct d;
        QCOMPARE(d.setupFromData("[INV]\r\n10,1,30:a\r\n182,1,60:b\r\n48,1,8:c\r\n", "INV", 99),
            qint16(0));
        QCOMPARE(d.dLast(), qint16(182));
        d.setDMaster(10, false);
        // A failed load leaves cleared entries: lengths 0, every field master.
        QCOMPARE(d.setup(m_dir.filePath("missing.dct"), "INV", 99), qint16(1));
        QCOMPARE(QString("%1|%2|%3").arg(d.dLen(10)).arg(d.dLast()).arg(d.dMaster(10)), "0|0|1");
        QCOMPARE(d.setup(QString(), "INV", 99), qint16(1));
        // Fields past 199 are taken modulo 1000; what is left out of range is field 0.
        d.setDLen(182, 160);
        d.setDLen(0, 7);
        d.setDLen(250, 99);
        d.setDDesc(-5, "x");
        d.setDStDat(1048, true);
        QCOMPARE(QList<qint16>({ d.dLen(1182), d.dLen(250), d.dLen(-5), d.dLen(-1182), d.dLen(0) }),
            QList<qint16>({ 160, 7, 7, 7, 7 }));
        QCOMPARE(d.dDesc(0), QString());
        QVERIFY(!d.dMaster(48) && d.dStDat(48));
    }

    // The status of the master/store block and whether field 48 is master (with prices the same at
    // every store, and without).
    void masterStore_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* tag, const char* file, const char* expected) {
            QTest::newRow(tag) << QByteArray(file) << QString(expected);
        };
        row("empty block", "%BEGIN%\r\n%END%\r\n", "0|1|1");
        row("S", "%BEGIN%\r\n48,S\r\n%END%\r\n", "0|0|0");
        row("P", "%BEGIN%\r\n48,P\r\n%END%\r\n", "0|1|0");
        row("lower case is no code", "%BEGIN%\r\n48,s\r\n%END%\r\n", "0|1|1");
        row("after the END section", "[INV]\r\n48,1,8:x\r\n[END]\r\n%BEGIN%\r\n48,S\r\n", "0|0|0");
        row("lines after END ignored", "%BEGIN%\r\n%END%\r\n48,S\r\n", "0|1|1");
        row("no block", "[INV]\r\n48,1,8:x\r\n", "2|1|1");
        row("nothing after BEGIN", "48,S\r\n%BEGIN%", "2|1|1");
        row("field too large", "%BEGIN%\r\n48,S\r\n99999,S\r\n", "1|0|0");
    }

    void masterStore()
    {
        QFETCH(QByteArray, file);
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
        QTEST(got.join('|'), "expected");
    }

    // The stored name is loaded without a question; a cancelled question changes neither the
    // dictionary nor the stored name; a file that does not load is remembered at once and offered
    // again.
    void rsetupAsksUntilLoadedOrCancelled()
    {
        TestSettingsScope scope;
        CommonDialog dlg(dialogs(), nullptr);
        qorDct d;
        const auto run = [&](bool ask) {
            return rsetup(d, ask, dlg, dialogs(), appSettings(), SettingsKeys::Setting::Dictionary,
                "INV", 99);
        };
        const QString good = write("good.dct", "[INV]\r\n10,1,30:D\r\n%BEGIN%\r\n%END%\r\n");
        appSettings().save(SettingsKeys::DICTIONARY, good);
        QVERIFY(run(false) && dialogs().fileRequests().isEmpty());
        QCOMPARE(d.dLen(10), qint16(30));
        d.setDLen(10, 5);
        dialogs().queueFile(std::nullopt);
        QVERIFY(!run(true) && dialogs().messages().isEmpty());
        QCOMPARE(d.dLen(10), qint16(5));
        QCOMPARE(dialogs().fileRequests().at(0).fileName + '|' + stored(SettingsKeys::DICTIONARY),
            good + '|' + good);

        const QString bad = write("bad.dct", "no section here\r\n");
        dialogs().queueFile(bad);
        dialogs().queueAnswer(DialogService::Answer::Ok);
        dialogs().queueFile(std::nullopt);
        QVERIFY(!run(true));
        QCOMPARE(dialogs().fileRequests().size(), 3);
        QCOMPARE(dialogs().fileRequests().at(2).fileName + '|' + stored(SettingsKeys::DICTIONARY),
            bad + '|' + bad);
        QCOMPARE(messageTexts(),
            QStringList { "Can not read dictionary file.  Select OK to try another name." });
        QVERIFY(dialogs().messages().at(0).buttons == DialogService::Buttons::OkCancel);
        // A chosen file without the master/store block loads, with a warning.
        dialogs().reset();
        dialogs().queueFile(write("noblock.dct", "[INV]\r\n10,1,30:D\r\n"));
        QVERIFY(run(true));
        QCOMPARE(messageTexts(), QStringList { qorDct::MasterStoreWarning });
    }

    // Result 1 at once for a pipe, a device, a folder and a line longer than any dictionary's.
    void dictionaryRefusesNonFiles()
    {
        Fifo fifo(m_dir.path());
        const QString longLine = write("long.dct", "[INV]\r\n1,1,20:S" + QByteArray(4 << 20, 'x'));
        for (const QString& path : { fifo.m_path, QString("/dev/zero"), m_dir.path(), longLine }) {
            qorDct dict;
            QCOMPARE(dict.setup(path, "INV", 99), qorDct::StatusUnreadable);
            QCOMPARE(dict.setupms(path, true), qorDct::StatusUnreadable);
        }
    }

    // The window warns at start-up when the dictionary has no master/store block. The item graphic
    // path gets 160 characters whatever the dictionary says, after the Dictionary File command too.
    void windowDictionaryAndImport()
    {
        TestSettingsScope scope;
        const QByteArray fields = "[INV]\r\n1,1,10:SKU\r\n10,1,30:Desc\r\n182,1,12:Graphic\r\n";
        const QString noBlock = write("noblock.dct", fields);
        appSettings().save(SettingsKeys::DICTIONARY, noBlock);
        const QString longPath = "/pictures/" + QString(170, QLatin1Char('g'));
        const QString data = write(
            "win.txt", Header + "W1\tWindow item\t\t\t\t\t\t\t" + longPath.toLatin1() + "\r\n");
        frmSigns w(dialogs());
        QCOMPARE(messageTexts(),
            QStringList { "Warning: could not read master/store specific info from data "
                          "dictionary.  Will treat all info as master." });
        dialogs().queueFile(data);
        trigger(w, "mnuFileImport");
        QCOMPARE(w.model()->cell(1, 9), longPath.left(160));
        QCOMPARE(w.statusBar()->currentMessage(), "Signs read from the data file: 1");
        dialogs().reset();
        dialogs().queueFile(write("win.dct", fields + "%BEGIN%\r\n%END%\r\n"));
        trigger(w, "mnuFileDict");
        QCOMPARE(firstRequest(), "open|Open the Dictionary File|" + noBlock + "|2|1|1");
        dialogs().queueFile(data);
        trigger(w, "mnuFileImport");
        // The second sign after the empty row the list had, and no warning this time.
        QCOMPARE(QString("%1|%2").arg(w.model()->Rows()).arg(w.model()->cell(3, 9)),
            "5|" + longPath.left(160));
        QVERIFY(dialogs().messages().isEmpty());
    }
};

QTEST_MAIN(TestDictionary)
#include "tst_dictionary.moc"
