// The settings file: its owner alone, values read and written in their form.

#include "FileTestSupport.h"

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    // The store is its owner's alone; one that cannot be kept is reported once at start.
    void settingsFile()
    {
        const auto file = [] { return QSettings(SettingsKeys::Application).fileName(); };
        const auto ownerOnly
            = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
        {
            TestSettingsScope scope;
            QVERIFY(QFile::permissions(file()) == ownerOnly);
            QFile::setPermissions(file(), ownerOnly | QFile::ReadGroup | QFile::ReadOther);
            appSettings().save("X", "1");
            QCOMPARE(SettingsStore::GetSetting("QORPOS", "KESTRANE", "PRINTFORMAT", 7), "7");
            QVERIFY(QFile::permissions(file()) == ownerOnly);
            frmSigns w(dialogs());
            QCOMPARE(messageTexts(), QStringList());
        }
        TestSettingsScope scope;
        QFile::remove(file());
        QVERIFY(QDir().mkpath(file()));
        dialogs().queueFile(scope.dictionaryPath());
        frmSigns w(dialogs());
        QCOMPARE(messageTexts().count("The settings file " + file()
                     + " cannot be read: It is a folder.  Settings made now will not be kept."),
            1);
    }

    // A stored text as a 16-bit whole number (halves to even, the window placement's -1 where it
    // is no number or out of range), as a truth value (-1: none) and as its leading number.
    void storedNumbers_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected"); // whole16|truth|prefix
        // clang-format off
        QTest::newRow("half to even down") << "2.5" << "2|1|2.5";
        QTest::newRow("half to even up") << "3.5" << "4|1|3.5";
        QTest::newRow("negative half") << "-2.5" << "-2|1|-2.5";
        QTest::newRow("blanks around") << "  12 " << "12|1|12";
        QTest::newRow("letters") << "abc" << "-1|-1|0";
        QTest::newRow("trailing letters") << "12abc" << "-1|-1|12";
        QTest::newRow("beyond 16 bits") << "99999" << "-1|1|99999";
        QTest::newRow("top of range") << "32767" << "32767|1|32767";
        QTest::newRow("rounds out of range") << "32767.5" << "-1|1|32767.5";
        QTest::newRow("empty") << "" << "-1|-1|0";
        QTest::newRow("True") << "True" << "-1|1|0";
        QTest::newRow("False") << "False" << "-1|0|0";
        QTest::newRow("leading point") << ".5" << "0|1|0.5";
        QTest::newRow("negative") << "-360" << "-360|1|-360";
        QTest::newRow("lone sign") << "-" << "-1|-1|0";
        QTest::newRow("second point stops") << "0.5.5" << "-1|-1|0.5";
        // clang-format on
    }

    void storedNumbers()
    {
        QFETCH(QString, stored);
        TestSettingsScope scope;
        appSettings().save("KFTOP", stored);
        const std::optional<bool> truth = NumberText::toTruth(stored);
        QTEST(QString::number(appSettings().get(SettingsKeys::Setting::PlacementTop, "K").whole())
                + '|' + QString::number(truth ? int(*truth) : -1) + '|'
                + QString::number(NumberText::leadingNumber(stored)),
            "expected");
    }

    // Numbers too large for a double read as infinity, and as the nearest whole 32-bit number.
    void tooLargeForADouble()
    {
        const QString nines(400, QLatin1Char('9'));
        const QString tiny = "0." + QString(400, QLatin1Char('0')) + "1";
        for (const auto& [text, number, whole] : { std::tuple(nines, qInf(), INT_MAX),
                 std::tuple(QString(" -" + nines + ".5x"), -qInf(), INT_MIN),
                 std::tuple(QString("0." + nines), 1.0, 1), std::tuple(tiny, 0.0, 0) }) {
            QCOMPARE(NumberText::leadingNumber(text), number);
            QCOMPARE(NumberText::leadingWhole32(text), whole);
        }
    }
};

QTEST_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
