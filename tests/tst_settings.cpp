// The key table: every setting's stored name and the default a reader gets from an empty store,
// written out here as the store's documented values, not taken from the table.

#include "support/TestSupport.h"

#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"

#include <QtTest>

using SettingsKeys::Setting;

Q_DECLARE_METATYPE(Setting)

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void everyKeyReadsItsDefault_data()
    {
        QTest::addColumn<Setting>("key");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text"); // read from an empty store
        QTest::addColumn<int>("whole"); // the same, as a whole number in the key's form
        const auto row = [](Setting key, const char* name, const char* text, int whole) {
            QTest::newRow(qPrintable(QString(name) + '/' + QString::number(int(key))))
                << key << QString(name) << QString(text) << whole;
        };
        // clang-format off
        row(Setting::PrintFormat, "PRINTFORMAT", "0", 0);
        row(Setting::PrintRegRetail, "PRINTREGRETAIL", "0", 0);
        row(Setting::PrintTitle, "PRINTTITLE", "0", 0);
        row(Setting::PrintBorder, "PRINTBORDER", "0", 0);
        row(Setting::PrintLogo, "PRINTLOGO", "0", 0);
        row(Setting::PrintGraphic, "PRINTGRAPHIC", "0", 0);
        row(Setting::PrintBarcode, "PRINTBARCODE", "0", 0);
        row(Setting::PrintBullet, "PRINTBULLET", "False", 0);
        row(Setting::PrintLongDesc, "PRINTLONGDESC", "False", 0);
        row(Setting::ColorBorder, "ColorBorder", "0", 0);
        row(Setting::ColorTitle, "ColorTitle", "0", 0);
        row(Setting::ColorPrice, "ColorPrice", "0", 0);
        row(Setting::Dictionary, "DICTIONARY", "", 0);
        row(Setting::FileImpExp, "FILEIMPEXP", "", 0);
        row(Setting::RecentFiles, "RECENTFILES", "", 0);
        row(Setting::Printer, "PRINTER", "", 0);
        row(Setting::OdbcInv, "ODBCINV", "", 0);
        row(Setting::OdbcCis, "ODBCCIS", "", 0);
        row(Setting::OdbcInvOffered, "ODBCINV", "POSDB", 0);
        row(Setting::OdbcCisOffered, "ODBCCIS", "CISDB", 0);
        row(Setting::MarginTop, "MARGINTOP", "0", 0);
        row(Setting::MarginLeft, "MARGINLEFT", "0", 0);
        row(Setting::MarginTopOffered, "MARGINTOP", "180", 180);
        row(Setting::MarginLeftOffered, "MARGINLEFT", "270", 270);
        row(Setting::Adj4UD, "ADJ4UD", "0", 0);
        row(Setting::Adj4LR, "ADJ4LR", "0", 0);
        row(Setting::Adj2UD, "ADJ2UD", "0", 0);
        row(Setting::Adj2LR, "ADJ2LR", "0", 0);
        row(Setting::Adj1UD, "ADJ1UD", "0", 0);
        row(Setting::Adj1LR, "ADJ1LR", "0", 0);
        row(Setting::PrintSku, "PRINTSKU", "1", 1);
        row(Setting::FileLogo, "FILELOGO", "", 0);
        row(Setting::LogoWidth, "LOGOWIDTH", "1.5", 2);
        row(Setting::LogoHeight, "LOGOHEIGHT", ".5", 0);
        row(Setting::LogoHeightOffered, "LOGOHEIGHT", "0.5", 0);
        row(Setting::LogoLcr, "LOGOLCR", "CENTER", 0);
        row(Setting::LogoLcrOffered, "LOGOLCR", "", 0);
        row(Setting::PlacementTop, "FTOP", "-1", -1);
        row(Setting::PlacementLeft, "FLEFT", "-1", -1);
        row(Setting::PlacementHeight, "FHEIGHT", "0", 0);
        row(Setting::PlacementWidth, "FWIDTH", "0", 0);
        // clang-format on
    }
    void everyKeyReadsItsDefault()
    {
        QFETCH(Setting, key);
        QFETCH(QString, name);
        TestSettingsScope scope;
        // A section nothing was stored in (the scope stores the dictionary in the program's).
        const AppSettings settings(SettingsKeys::Application, "EMPTY");
        QCOMPARE(SettingsKeys::key(key).setting, key);
        QCOMPARE(SettingsKeys::key(key).name, name);
        const SettingValue value = settings.get(key);
        QTEST(value.text(), "text");
        QTEST(int(value.whole()), "whole");
    }

    // Every setting has its row, so a new key cannot be read without a default of the table.
    void everySettingHasARow()
    {
        QCOMPARE(SettingsKeys::table().size(), size_t(Setting::Count));
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
        QTest::newRow("whole-32 beyond 16 bits")
            << Setting::ColorPrice << "255000" << 255000 << true;
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
