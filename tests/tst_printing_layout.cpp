// Cell geometry, page counts and the preview's user scale.

#include "PrintTestSupport.h"

#include "document/SignListModel.h"
#include "printing/SignLayout.h"

#include <QtTest>

Q_DECLARE_METATYPE(SpanRule)
Q_DECLARE_METATYPE(SignFormat)

class TestPrintingLayout : public QObject
{
    Q_OBJECT

private slots:
    void cellSpan_data()
    {
        QTest::addColumn<SpanRule>("rule");
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("first");
        QTest::addColumn<double>("total");
        QTest::addColumn<double>("printable");
        QTest::addColumn<double>("margin");
        QTest::addColumn<int>("origin");
        QTest::addColumn<int>("size");

        // Outer: first cell from 0, second from the middle; margin unused.
        // clang-format off
        QTest::newRow("outer first") << SpanRule::Outer << 2 << 1 << 12240.0 << 11520.0 << 999.0 << 0 << 5400;
        QTest::newRow("outer second") << SpanRule::Outer << 2 << 0 << 12240.0 << 11520.0 << 999.0 << 6120 << 5400;
        QTest::newRow("outer single") << SpanRule::Outer << 1 << 0 << 12240.0 << 11520.0 << 0.0 << 0 << 11520;
        // An odd total: 12241 / 2 = 6120.5 goes to the even 6120; the size
        // 11520 - 6120.5 = 5399.5 goes to 5400.
        QTest::newRow("outer odd total") << SpanRule::Outer << 2 << 0 << 12241.0 << 11520.0 << 0.0 << 6120 << 5400;

        // Symmetric: the larger of the two unprintable margins all round.
        QTest::newRow("sym far margin larger")
            << SpanRule::Symmetric << 2 << 1 << 15840.0 << 15120.0 << 0.0 << 720 << 6480;
        QTest::newRow("sym second") << SpanRule::Symmetric << 2 << 0 << 15840.0 << 15120.0 << 0.0 << 8640 << 6480;
        QTest::newRow("sym equal margins") << SpanRule::Symmetric << 2 << 1 << 15840.0 << 15120.0 << 360.0 << 0 << 7200;
        QTest::newRow("sym near margin larger")
            << SpanRule::Symmetric << 1 << 0 << 15840.0 << 15120.0 << 500.0 << 0 << 14840;
        QTest::newRow("sym single") << SpanRule::Symmetric << 1 << 1 << 12240.0 << 11520.0 << 270.0 << 180 << 11340;
        // Odd total: 15841 / 2 - 720 = 7200.5 -> 7200; 15841/2 + 360 = 8280.5 -> 8280.
        QTest::newRow("sym odd total") << SpanRule::Symmetric << 2 << 0 << 15841.0 << 15121.0 << 360.0 << 7920 << 7200;
        // clang-format on
        // Absurd calibration does not crash, it only gives absurd cells.
        QTest::newRow("sym absurd")
            << SpanRule::Symmetric << 2 << 0 << 15840.0 << 15120.0 << 99999.0 << 7920 << -192078;
        QTest::newRow("sym negative")
            << SpanRule::Symmetric << 1 << 0 << 15840.0 << 15120.0 << -99999.0 << 200718 << -185598;
    }

    void cellSpan()
    {
        QFETCH(SpanRule, rule);
        QFETCH(int, n);
        QFETCH(int, first);
        QFETCH(double, total);
        QFETCH(double, printable);
        QFETCH(double, margin);
        QFETCH(int, origin);
        QFETCH(int, size);
        const CellExtent e = CellSpan(rule, n, first, total, printable, margin);
        QCOMPARE(e.origin, origin);
        QCOMPARE(e.size, size);
    }

    void cellForSign_data()
    {
        QTest::addColumn<SignFormat>("format");
        QTest::addColumn<bool>("portrait");
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("m1");
        QTest::addColumn<int>("m2");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("width");

        // 4-Up on landscape Letter (15840 x 12240, printable 15120 x 11520),
        // margins as measured (360, 360): top-left, top-right, bottom-left,
        // bottom-right, then top-left again on the next page.
        // clang-format off
        QTest::newRow("4up 1") << SignFormat::FourUp << false << 1 << 360 << 360 << 0 << 5400 << 0 << 7200;
        QTest::newRow("4up 2") << SignFormat::FourUp << false << 2 << 360 << 360 << 0 << 5400 << 7920 << 7200;
        QTest::newRow("4up 3") << SignFormat::FourUp << false << 3 << 360 << 360 << 6120 << 5400 << 0 << 7200;
        QTest::newRow("4up 4") << SignFormat::FourUp << false << 4 << 360 << 360 << 6120 << 5400 << 7920 << 7200;
        QTest::newRow("4up 5") << SignFormat::FourUp << false << 5 << 360 << 360 << 0 << 5400 << 0 << 7200;
        // Top margin 400: no change; 100: every cell 260 lower and shorter.
        QTest::newRow("4up top 400") << SignFormat::FourUp << false << 1 << 360 << 400 << 0 << 5400 << 0 << 7200;
        QTest::newRow("4up top 100") << SignFormat::FourUp << false << 1 << 360 << 100 << 260 << 5140 << 0 << 7200;
        QTest::newRow("4up top 0") << SignFormat::FourUp << false << 3 << 360 << 0 << 6480 << 5040 << 0 << 7200;
        // 2-Up on portrait Letter: top half then bottom half, the full width.
        QTest::newRow("2up 1") << SignFormat::TwoUp << true << 1 << 360 << 360 << 0 << 7200 << 0 << 11520;
        QTest::newRow("2up 2") << SignFormat::TwoUp << true << 2 << 360 << 360 << 7920 << 7200 << 0 << 11520;
        QTest::newRow("2up 3") << SignFormat::TwoUp << true << 3 << 360 << 360 << 0 << 7200 << 0 << 11520;
        QTest::newRow("1up") << SignFormat::OneUp << false << 7 << 360 << 360 << 0 << 11520 << 0 << 15120;
        // clang-format on
    }

    void cellForSign()
    {
        QFETCH(SignFormat, format);
        QFETCH(bool, portrait);
        QFETCH(int, k);
        QFETCH(int, m1);
        QFETCH(int, m2);
        QFETCH(int, top);
        QFETCH(int, height);
        QFETCH(int, left);
        QFETCH(int, width);
        const SheetMetrics sheet = portrait ? SheetMetrics { 12240, 15840, 11520, 15120 }
                                            : SheetMetrics { 15840, 12240, 15120, 11520 };
        const SignCell cell = CellForSign(format, k, sheet, m1, m2);
        QCOMPARE(cell.top, top);
        QCOMPARE(cell.height, height);
        QCOMPARE(cell.left, left);
        QCOMPARE(cell.width, width);
    }

    void previewView()
    {
        const SheetMetrics landscape { 15840, 12240, 15120, 11520 };
        // A wide window: the page is fitted by height, centred across.
        PreviewView wide = PreviewViewFor(28800, 15000, landscape, 360, 300);
        QCOMPARE(wide.previewScale, 15000.0 / 12240);
        QCOMPARE(wide.top, -300.0);
        QCOMPARE(wide.height, 12240.0);
        QCOMPARE(wide.width, 23501.0); // 28800 / 15000 * 12240 = 23500.8
        QCOMPARE(wide.left, -3830.0 - 360); // (15840 - 23501) / 2 = -3830.5 -> -3830

        // A tall window: fitted by width, centred down.
        PreviewView tall = PreviewViewFor(10000, 20000, landscape, 360, 300);
        QCOMPARE(tall.previewScale, 10000.0 / 15840);
        QCOMPARE(tall.width, 15840.0);
        QCOMPARE(tall.height, 31680.0);
        QCOMPARE(tall.left, -360.0);
        QCOMPARE(tall.top, -9720.0);

        // A window squeezed flat still gets a scale the box can take.
        const PreviewView flat = PreviewViewFor(10000, 1, landscape, 0, 0);
        QVERIFY(flat.width >= 1 && flat.height >= 1);
    }
};

QTEST_MAIN(TestPrintingLayout)
#include "tst_printing_layout.moc"
