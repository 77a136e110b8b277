#include "base/NumberText.h"
#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "support/TestSupport.h"

#include <QtTest>

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void storeReadsAndWrites()
    {
        TestSettingsScope scope;
        // A missing key gives the default, and reading never creates it.
        QCOMPARE(SettingsStore::GetSetting("QORPOS", "KESTRANE", "PRINTFORMAT", 0), QString("0"));
        QCOMPARE(SettingsStore::GetSetting("QORPOS", "KESTRANE", "frmSignsFTOP", -1), "-1");
        QCOMPARE(SettingsStore::GetSetting("QORPOS", "KESTRANE", "FILEIMPEXP", QString()), "");
        QCOMPARE(SettingsStore::GetSetting("QORPOS", "KESTRANE", "PRINTFORMAT", "x"), "x");
        const AppSettings settings(SettingsKeys::Application, SettingsKeys::Section);
        settings.save(SettingsKeys::MARGINTOP, "200.5");
        QCOMPARE(settings.text(SettingsKeys::MARGINTOP, "180"), QString("200.5"));
        QCOMPARE(settings.wholePrefix(SettingsKeys::MARGINTOP, "0"), 200);
        settings.save(SettingsKeys::MARGINTOP, "-360");
        // Another section of the same application is a different value.
        SettingsStore::SaveSetting("QORPOS", "OTHER", "MARGINTOP", "1");
        QCOMPARE(settings.text(SettingsKeys::MARGINTOP, "180"), QString("-360"));
    }

    // A stored text as a 16-bit whole number (halves to even, default 7 where
    // it is no number or out of range), as a truth value (-1: none) and as
    // its leading number.
    void storedNumbers_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("whole16");
        QTest::addColumn<int>("truth");
        QTest::addColumn<double>("prefix");
        // clang-format off
        QTest::newRow("plain") << "2" << 2 << 1 << 2.0;
        QTest::newRow("half to even down") << "2.5" << 2 << 1 << 2.5;
        QTest::newRow("half to even up") << "3.5" << 4 << 1 << 3.5;
        QTest::newRow("negative half") << "-2.5" << -2 << 1 << -2.5;
        QTest::newRow("blanks around") << "  12 " << 12 << 1 << 12.0;
        QTest::newRow("leading blanks") << "   1.5" << 2 << 1 << 1.5;
        QTest::newRow("letters") << "abc" << 7 << -1 << 0.0;
        QTest::newRow("trailing letters") << "12abc" << 7 << -1 << 12.0;
        QTest::newRow("beyond 16 bits") << "99999" << 7 << 1 << 99999.0;
        QTest::newRow("top of range") << "32767" << 32767 << 1 << 32767.0;
        QTest::newRow("rounds out of range") << "32767.5" << 7 << 1 << 32767.5;
        QTest::newRow("empty") << "" << 7 << -1 << 0.0;
        QTest::newRow("True") << "True" << 7 << 1 << 0.0;
        QTest::newRow("False") << "False" << 7 << 0 << 0.0;
        QTest::newRow("lower case true") << "true" << 7 << 1 << 0.0;
        QTest::newRow("zero") << "0" << 0 << 0 << 0.0;
        QTest::newRow("minus one") << "-1" << -1 << 1 << -1.0;
        QTest::newRow("leading point") << ".5" << 0 << 1 << 0.5;
        QTest::newRow("negative") << "-360" << -360 << 1 << -360.0;
        QTest::newRow("lone sign") << "-" << 7 << -1 << 0.0;
        QTest::newRow("second point stops") << "0.5.5" << 7 << -1 << 0.5;
        // clang-format on
    }

    void storedNumbers()
    {
        QFETCH(QString, stored);
        QFETCH(int, whole16);
        QFETCH(int, truth);
        QFETCH(double, prefix);
        TestSettingsScope scope;
        const AppSettings settings(SettingsKeys::Application, SettingsKeys::Section);
        settings.save("K", stored);
        QCOMPARE(int(settings.whole16("K", 7)), whole16);
        const std::optional<bool> value = NumberText::toTruth(stored);
        QCOMPARE(value.has_value() ? int(*value) : -1, truth);
        QCOMPARE(NumberText::leadingNumber(stored), prefix);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
