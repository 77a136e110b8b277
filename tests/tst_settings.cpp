#include "base/NumberText.h"
#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "support/TestSupport.h"

#include <QtTest>

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void missingKeyGivesDefault()
    {
        TestSettingsScope scope;
        QCOMPARE(SettingsStore::GetSetting("QORPOS", "KESTRANE", "PRINTFORMAT", 0), QString("0"));
        QCOMPARE(
            SettingsStore::GetSetting("QORPOS", "KESTRANE", "frmSignsFTOP", -1), QString("-1"));
        QCOMPARE(
            SettingsStore::GetSetting("QORPOS", "KESTRANE", "FILEIMPEXP", QString()), QString());
        // Reading never creates the key.
        QCOMPARE(SettingsStore::GetSetting("QORPOS", "KESTRANE", "PRINTFORMAT", "x"), QString("x"));
    }

    void writeThenReadSeesLatest()
    {
        TestSettingsScope scope;
        const AppSettings settings(SettingsKeys::Application, SettingsKeys::Section);
        settings.save(SettingsKeys::MARGINTOP, "200.5");
        QCOMPARE(settings.text(SettingsKeys::MARGINTOP, "180"), QString("200.5"));
        QCOMPARE(settings.wholePrefix(SettingsKeys::MARGINTOP, "0"), 200);
        settings.save(SettingsKeys::MARGINTOP, "-360");
        QCOMPARE(settings.text(SettingsKeys::MARGINTOP, "180"), QString("-360"));
        // Another section of the same application is a different value.
        SettingsStore::SaveSetting("QORPOS", "OTHER", "MARGINTOP", "1");
        QCOMPARE(settings.text(SettingsKeys::MARGINTOP, "180"), QString("-360"));
    }

    void whole16_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain") << "2" << 2;
        QTest::newRow("half to even down") << "2.5" << 2;
        QTest::newRow("half to even up") << "3.5" << 4;
        QTest::newRow("negative half") << "-2.5" << -2;
        QTest::newRow("blanks around") << "  12 " << 12;
        QTest::newRow("letters give default") << "abc" << 7;
        QTest::newRow("trailing letters give default") << "12abc" << 7;
        QTest::newRow("beyond 16 bits gives default") << "99999" << 7;
        QTest::newRow("top of range") << "32767" << 32767;
        QTest::newRow("rounds out of range") << "32767.5" << 7;
        QTest::newRow("empty gives default") << "" << 7;
    }

    void whole16()
    {
        QFETCH(QString, stored);
        QFETCH(int, expected);
        TestSettingsScope scope;
        const AppSettings settings(SettingsKeys::Application, SettingsKeys::Section);
        settings.save("K", stored);
        QCOMPARE(int(settings.whole16("K", 7)), expected);
    }

    void truth_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("expected"); // 1 true, 0 false, -1 default
        QTest::newRow("True") << "True" << 1;
        QTest::newRow("False") << "False" << 0;
        QTest::newRow("lower case") << "true" << 1;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("minus one") << "-1" << 1;
        QTest::newRow("letters") << "abc" << -1;
    }

    void truth()
    {
        QFETCH(QString, stored);
        QFETCH(int, expected);
        const std::optional<bool> value = NumberText::toTruth(stored);
        if (expected < 0)
            QVERIFY(!value.has_value());
        else
            QCOMPARE(value, std::optional<bool>(expected == 1));
    }

    void numberPrefix_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("number then letters") << "12abc" << 12.0;
        QTest::newRow("no number") << "abc" << 0.0;
        QTest::newRow("leading blanks") << "   1.5" << 1.5;
        QTest::newRow("leading point") << ".5" << 0.5;
        QTest::newRow("negative") << "-360" << -360.0;
        QTest::newRow("lone sign") << "-" << 0.0;
        QTest::newRow("second point stops") << "0.5.5" << 0.5;
    }

    void numberPrefix()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(NumberText::leadingNumber(text), expected);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
