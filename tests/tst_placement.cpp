#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "support/TestSupport.h"
#include "ui/frmSigns.h"

#include <QRadioButton>
#include <QScreen>
#include <QtTest>

namespace {

void store(const QString& key, const QString& value)
{
    SettingsStore::SaveSetting(SettingsKeys::Application, SettingsKeys::Section, key, value);
}

const QStringList PlacementKeys
    = { "frmSignsFTOP", "frmSignsFLEFT", "frmSignsFHEIGHT", "frmSignsFWIDTH" };

// Starts the window, lets its frame arrive, and returns where the frame
// stands; the window is closed (and its placement saved) afterwards.
QRect startAndClose()
{
    frmSigns w;
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return QRect();
    QTest::qWait(200);
    const QRect frame = w.frameGeometry();
    w.close();
    return frame;
}

} // namespace

class TestPlacement : public QObject
{
    Q_OBJECT

private slots:
    void reopensWhereItClosed_data();
    void reopensWhereItClosed();
    void bothStylesStoredSelectBullet();
};

void TestPlacement::reopensWhereItClosed_data()
{
    QTest::addColumn<QStringList>("values"); // FTOP, FLEFT, FHEIGHT, FWIDTH; "" not stored
    QTest::addColumn<QString>("expected"); // x y w h of the frame; "-" where the default holds

    QTest::newRow("all four") << QStringList { "1500", "1200", "6000", "9000" } << "80 100 600 400";
    QTest::newRow("top alone") << QStringList { "1500", "", "6000", "9000" } << "- 100 600 400";
    QTest::newRow("left alone") << QStringList { "", "1200", "6000", "9000" } << "80 - 600 400";
    QTest::newRow("off the screen")
        << QStringList { "30000", "30000", "6000", "9000" } << "200 400 600 400";
    QTest::newRow("larger than the screen")
        << QStringList { "0", "0", "15000", "15000" } << "0 0 800 800";
}

void TestPlacement::reopensWhereItClosed()
{
    QFETCH(QStringList, values);
    QFETCH(QString, expected);

    TestSettingsScope scope;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(screen, QRect(0, 0, 800, 800));
    // Where a window of that size goes by itself.
    store("frmSignsFHEIGHT", values.at(2));
    store("frmSignsFWIDTH", values.at(3));
    const QRect byItself = startAndClose();

    // An empty value counts as not stored.
    for (int i = 0; i < 4; ++i)
        store(PlacementKeys.at(i), values.at(i));
    const QStringList want = expected.split(' ');
    const QRect first = startAndClose();
    const QRect wanted(want.at(0) == "-" ? byItself.x() : want.at(0).toInt(),
        want.at(1) == "-" ? byItself.y() : want.at(1).toInt(), want.at(2).toInt(),
        want.at(3).toInt());
    QCOMPARE(first, wanted);
    // Stable from then on: every start reopens where the last one closed.
    QStringList keys;
    for (const QString& key : PlacementKeys)
        keys << stored(key);
    for (int start = 0; start < 3; ++start) {
        QCOMPARE(startAndClose(), wanted);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(stored(PlacementKeys.at(i)), keys.at(i));
    }
}

void TestPlacement::bothStylesStoredSelectBullet()
{
    TestSettingsScope scope;
    store(SettingsKeys::PRINTBULLET, "True");
    store(SettingsKeys::PRINTLONGDESC, "True");
    frmSigns w;
    QVERIFY(w.findChild<QRadioButton*>("ckbBullet")->isChecked());
    QVERIFY(!w.findChild<QRadioButton*>("ckbLongDesc")->isChecked());
    w.close();
    QCOMPARE(stored(SettingsKeys::PRINTLONGDESC), QString("False"));
}

QTEST_MAIN(TestPlacement)
#include "tst_placement.moc"
