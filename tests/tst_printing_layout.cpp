// Cell geometry and the preview's user scale.

#include "printing/SignLayout.h"

#include <QtTest>

class TestPrintingLayout : public QObject
{
    Q_OBJECT

private slots:
    // "span": one axis of a cell. Signs across, first of two (1) or not,
    // total, printable, margin -> origin, size. Outer: the first cell from 0,
    // the second from the middle, the margin unused. Symmetric: the larger of
    // the two unprintable margins all round. Halves round to even.
    // "cell": format (1, 2 or 4-Up), sign number, margins across and down ->
    // top, height, left, width on landscape Letter (15840 x 12240, printable
    // 15120 x 11520), for 2-Up on portrait Letter.
    // "view": preview box width, height and the margins -> user scale, left,
    // top, width, height for landscape Letter.
    void geometry_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        // clang-format off
        QTest::newRow("outer first") << "span outer 2 1 12240 11520 999" << "0 5400";
        QTest::newRow("outer second") << "span outer 2 0 12240 11520 999" << "6120 5400";
        QTest::newRow("outer single") << "span outer 1 0 12240 11520 0" << "0 11520";
        QTest::newRow("outer odd total") << "span outer 2 0 12241 11520 0" << "6120 5400";
        QTest::newRow("sym far margin larger") << "span sym 2 1 15840 15120 0" << "720 6480";
        QTest::newRow("sym second") << "span sym 2 0 15840 15120 0" << "8640 6480";
        QTest::newRow("sym equal margins") << "span sym 2 1 15840 15120 360" << "0 7200";
        QTest::newRow("sym near margin larger") << "span sym 1 0 15840 15120 500" << "0 14840";
        QTest::newRow("sym single") << "span sym 1 1 12240 11520 270" << "180 11340";
        QTest::newRow("sym odd total") << "span sym 2 0 15841 15121 360" << "7920 7200";
        // Absurd calibration does not crash, it only gives absurd cells.
        QTest::newRow("sym absurd") << "span sym 2 0 15840 15120 99999" << "7920 -192078";
        QTest::newRow("sym negative") << "span sym 1 0 15840 15120 -99999" << "200718 -185598";
        // 4-Up: top-left, top-right, bottom-left, bottom-right, top-left again.
        QTest::newRow("4up 1") << "cell 4 1 360 360" << "0 5400 0 7200";
        QTest::newRow("4up 2") << "cell 4 2 360 360" << "0 5400 7920 7200";
        QTest::newRow("4up 3") << "cell 4 3 360 360" << "6120 5400 0 7200";
        QTest::newRow("4up 4") << "cell 4 4 360 360" << "6120 5400 7920 7200";
        QTest::newRow("4up 5") << "cell 4 5 360 360" << "0 5400 0 7200";
        // Top margin 400: no change; 100: every cell 260 lower and shorter.
        QTest::newRow("4up top 400") << "cell 4 1 360 400" << "0 5400 0 7200";
        QTest::newRow("4up top 100") << "cell 4 1 360 100" << "260 5140 0 7200";
        QTest::newRow("4up top 0") << "cell 4 3 360 0" << "6480 5040 0 7200";
        // 2-Up: top half then bottom half, the full width.
        QTest::newRow("2up 1") << "cell 2 1 360 360" << "0 7200 0 11520";
        QTest::newRow("2up 2") << "cell 2 2 360 360" << "7920 7200 0 11520";
        QTest::newRow("2up 3") << "cell 2 3 360 360" << "0 7200 0 11520";
        QTest::newRow("1up") << "cell 1 7 360 360" << "0 11520 0 15120";
        // A wide box fits the page by height, centred across: (15840 - 23501)
        // / 2 -> -3830 less the margin; a tall one by width, centred down.
        QTest::newRow("view wide") << "view 28800 15000 360 300" << "1.2254901960784315 -4190 -300 23501 12240";
        QTest::newRow("view tall") << "view 10000 20000 360 300" << "0.6313131313131313 -360 -9720 15840 31680";
        // A box squeezed flat still gets a scale the canvas can take.
        QTest::newRow("view flat") << "view 10000 1 0 0" << "8.169934640522875e-05 -61192080 0 122400000 12240";
        // clang-format on
    }

    void geometry()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        const QStringList w = in.split(' ');
        QList<double> a;
        for (const QString& n : w)
            a << n.toDouble();
        QList<double> got;
        if (w[0] == "span") {
            const CellExtent e = CellSpan(w[1] == "outer" ? SpanRule::Outer : SpanRule::Symmetric,
                int(a[2]), int(a[3]), a[4], a[5], a[6]);
            got = { double(e.origin), double(e.size) };
        } else if (w[0] == "cell") {
            const SheetMetrics sheet = a[1] == 2 ? SheetMetrics { 12240, 15840, 11520, 15120 }
                                                 : SheetMetrics { 15840, 12240, 15120, 11520 };
            const SignFormat format = a[1] == 4 ? SignFormat::FourUp
                : a[1] == 2                     ? SignFormat::TwoUp
                                                : SignFormat::OneUp;
            const SignCell c = CellForSign(format, int(a[2]), sheet, int(a[3]), int(a[4]));
            got = { double(c.top), double(c.height), double(c.left), double(c.width) };
        } else {
            const PreviewView v
                = PreviewViewFor(a[1], a[2], { 15840, 12240, 15120, 11520 }, int(a[3]), int(a[4]));
            got = { v.previewScale, v.left, v.top, v.width, v.height };
        }
        QStringList text;
        for (double d : got)
            text << QString::number(d, 'g', QLocale::FloatingPointShortest);
        QCOMPARE(text.join(' '), out);
    }
};

QTEST_MAIN(TestPrintingLayout)
#include "tst_printing_layout.moc"
