// The key table: every setting's stored name and the default a reader gets from an empty store,
// written out here as the store's documented values, not taken from the table.

#include "support/TestSupport.h"
#include <QtTest>

using SettingsKeys::Setting;

Q_DECLARE_METATYPE(Setting)

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    // Every setting in the key table's order as "name=default", with "/n" where the default read
    // as a whole number is n, not 0; a new key cannot be read without a default of the table.
    void everyKeyReadsItsDefault()
    {
        TestSettingsScope scope;
        // A section nothing was stored in (the scope stores the dictionary in the program's).
        const AppSettings settings(SettingsKeys::Application, "EMPTY");
        QCOMPARE(SettingsKeys::table().size(), size_t(Setting::Count));
        QStringList got;
        for (int s = 0; s < int(Setting::Count); ++s) {
            QCOMPARE(SettingsKeys::key(Setting(s)).setting, Setting(s));
            const SettingValue value = settings.get(Setting(s));
            got << SettingsKeys::key(Setting(s)).name + '=' + value.text()
                    + (value.whole() ? "/" + QString::number(value.whole()) : QString());
        }
        QCOMPARE(got,
            QStringList({ "PRINTFORMAT=0", "PRINTREGRETAIL=0", "PRINTTITLE=0", "PRINTBORDER=0",
                "PRINTLOGO=0", "PRINTGRAPHIC=0", "PRINTBARCODE=0", "PRINTBULLET=False",
                "PRINTLONGDESC=False", "ColorBorder=0", "ColorTitle=0", "ColorPrice=0",
                "DICTIONARY=", "FILEIMPEXP=", "RECENTFILES=", "PRINTER=", "ODBCINV=", "ODBCCIS=",
                "MARGINTOP=0", "MARGINLEFT=0", "ADJ4UD=0", "ADJ4LR=0", "ADJ2UD=0", "ADJ2LR=0",
                "ADJ1UD=0", "ADJ1LR=0", "PRINTSKU=1/1", "CALIBRATEDPRINTER=", "FILELOGO=",
                "LOGOWIDTH=1.5/2", "LOGOHEIGHT=.5", "LOGOLCR=CENTER", "FTOP=-1/-1", "FLEFT=-1/-1",
                "FHEIGHT=0", "FWIDTH=0", "ODBCINV=POSDB", "ODBCCIS=CISDB", "MARGINTOP=180/180",
                "MARGINLEFT=270/270", "LOGOHEIGHT=0.5", "LOGOLCR=" }));
        QCOMPARE(SettingsKeys::find("PRINTBORDER")->setting, Setting::PrintBorder);
        QCOMPARE(SettingsKeys::find("MARGINTOP")->setting, Setting::MarginTop);
        QVERIFY(!SettingsKeys::find("frmSignsFTOP"));
    }

    // What is stored wins over the default, in the key's form; a number key holding no number
    // reads as its default.
    void storedValuesInTheirForm_data()
    {
        QTest::addColumn<Setting>("key");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("whole");
        QTest::addColumn<bool>("truth");
        QTest::newRow("whole-16 rounds half to even") << Setting::PrintFormat << "2.5" << 2 << true;
        QTest::newRow("whole-16 letters: default") << Setting::PrintBorder << "x" << 0 << false;
        QTest::newRow("whole-32 past 16 bits") << Setting::ColorPrice << "255000" << 255000 << true;
        QTest::newRow("truth text") << Setting::PrintBullet << "True" << 1 << true;
        QTest::newRow("truth letters: default") << Setting::PrintBullet << "yes" << 0 << false;
        QTest::newRow("number prefix") << Setting::MarginTop << "200.5tw" << 200 << false;
        QTest::newRow("number prefix, none") << Setting::PrintSku << "off" << 0 << false;
    }
    void storedValuesInTheirForm()
    {
        QFETCH(Setting, key);
        QFETCH(QString, stored);
        TestSettingsScope scope;
        const AppSettings settings = appSettings();
        settings.save(key, stored);
        QCOMPARE(settings.get(key).text(), stored);
        QTEST(int(settings.get(key).whole()), "whole");
        if (SettingsKeys::key(key).form != SettingsKeys::Form::NumberPrefix)
            QTEST(settings.get(key).truth(), "truth");
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
