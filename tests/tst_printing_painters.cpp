// Where each element of each sign style lands, on the recording surface, and
// the cell geometry and preview scale the print job places them with.

#include "PrintTestSupport.h"
#include "support/TestSupport.h"

#include "printing/PreviewCanvas.h"
#include "printing/SignLayout.h"
#include "printing/SignPainter.h"

#include <QtTest>

#include <map>

using namespace PrintTest;

// The on-screen preview, keeping a log of its calls as well.
struct RecordingPreview : PreviewCanvas
{
    using PreviewCanvas::PreviewCanvas;
    std::vector<CanvasOp> ops;
    void logOp(const CanvasOp& op) override { ops.push_back(op); }
};

class TestPrintingPainters : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_files;
    std::unique_ptr<TestSettingsScope> m_scope;
    std::unique_ptr<AppSettings> m_settings;
    SignListModel m_model;
    SignOptions m_options;
    QStringList m_errors;

    SignPainter painter()
    {
        return SignPainter(
            m_model, *m_settings, [this] { return m_options; },
            [this](const RunTimeError& e) {
                m_errors << QStringLiteral("E%1 %2").arg(e.number()).arg(e.description());
            });
    }
    QString files(QString s) const { return s.replace('@', m_files.path() + '/'); }
    // Every drawing call of row 1 in one style in a 4-Up cell of landscape Letter, after
    // adjust has changed the placement.
    std::vector<CanvasOp> paint(bool bullet, const std::function<void(SignPlacement&)>& adjust = {})
    {
        RecordingCanvas c;
        SignPlacement at { &c, true, 1, 360, 5400, 720, 7200 };
        if (adjust)
            adjust(at);
        bullet ? painter().PaintBulletSign(at) : painter().PaintDescSign(at);
        return c.operations();
    }

private slots:
    void initTestCase()
    {
        writePicture(m_files.path(), "sq64.jpg", 64, 64);
        writePicture(m_files.path(), "sq32.png", 32, 32);
        writePicture(m_files.path(), "logo.jpg", 300, 100);
        writePicture(m_files.path(), "huge.jpg", 9000, 7000);
        writeTestFile(m_files.path(), "bad.jpg", "this is not a picture");
    }
    void init()
    {
        m_scope = std::make_unique<TestSettingsScope>();
        m_settings = std::make_unique<AppSettings>(appSettings());
        m_options = SignOptions();
        m_errors.clear();
    }

    // Every drawing call of one sign in a 4-Up cell of landscape Letter (see
    // describe()), then its errors. style: "b" bullet or "d" description style, then the options
    // border, logo, title, retail, graphic as digits and the title text.
    // setup: "ud=", "lr=" (shifts), "w=", "h=" (cell), "k=" (format scale),
    // "pv=" (preview scale, not printing) or a setting "KEY=value"; "@" is the
    // picture folder.
    void layout_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("style");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("drawn");
        const QStringList plain = { "$ 1800,1610 40b", "2.00 2244.921875,1460 60b", " 1800,2811 20",
            "1 7508.76953125,5424.84375 10" };
        const QStringList desc
            = { " 4320,1460 20", "$ 2540.5078125,2412 40b", "2.00 2985.4296875,2262 80b" };
        const QString sku = "SKU-9 7030.9375,5424.84375 10";
        const QStringList bad = { "box 768,408 7824,5664 l24",
            "E481 Invalid picture: @bad.jpg (Unsupported image format)" };
        // clang-format off
        QTest::newRow("bullet style")
            << "4471|12.99|15.49|Cordless drill|18 volt|Keyless chuck|Two year warranty|@sq64.jpg"
            << "b10111 SALE" << "ColorBorder=255 ColorTitle=65280 ColorPrice=16711680" << QStringList {
            "box 768,408 7824,5664 l24 #255", "SALE 3653.251953125,660 25b #65280", "$ 1800,1379 40b #16711680",
            "12.99 2244.921875,1229 60b #16711680", "pic sq64.jpg 5593,1229 1340.625x1340.625",
            "Cordless drill 1800,2580 20", "dot 1968,3395 r41.89453125", "18 volt 2135.15625,3227 15",
            "dot 1968,3740 r41.89453125", "Keyless chuck 2135.15625,3572 15", "dot 1968,4085 r41.89453125",
            "Two year warranty 2135.15625,3917 15", "(regular retail $15.49) 1800,4302 15i",
            "4471 7175.078125,5328.84375 10" };
        const QString hose = "77|4.99|5.99|Garden hose||50 feet||@";
        QStringList hoseDrawn = { "Weekly special 2541.19140625,660 25b",
            "Garden hose 3163.65234375,1419 20", "50 feet 3861.2841796875,2221 15", "$ 1338,2716 40b",
            "4.99 1782.921875,2566 80b", "pic sq32.png 5514.5,2566 1787.5x1787.5",
            "(regular retail $5.99) 2969.3408203125,4364 15i", "77 7397.5390625,5424.84375 10" };
        QTest::newRow("desc style, blank first line") << hose + "sq32.png" << "d00111 Weekly special" << "" << hoseDrawn;
        QTest::newRow("cents") << "1|0.99" << "b" << "" << QStringList { "99 1800,1460 60b",
            QString(QChar(0xA2)) + " 3134.765625,1560 40b", plain[2], plain[3] };
        for (const auto& [place, x] : { std::pair { "RIGHT", 5510 }, { "LEFT", 870 }, { "CENTER", 3240 }, { "right", 3240 } })
            QTest::addRow("logo %s", place) << "1|2" << "b02" << QString("ud=30 FILELOGO=@logo.jpg LOGOLCR=") + place
                << QStringList { QString("pic logo.jpg %1,640 2160x720").arg(x) } + plain;
        QTest::newRow("logo a folder") << "1|2" << "b01" << "FILELOGO=@." << plain;
        QTest::newRow("logo missing") << "1|2" << "b01" << "FILELOGO=@none.jpg" << plain;
        QTest::newRow("logo unreadable") << "1|2" << "b11" << "FILELOGO=@bad.jpg" << bad;
        QTest::newRow("picture unreadable") << "1|2||||||@bad.jpg" << "b10001" << "" << bad;
        QTest::newRow("picture huge") << "1|2||||||@huge.jpg" << "b00001" << ""
            << QStringList { plain[0], plain[1],
            "pic huge.jpg 5499.375,1460 1340.625x1340.625", plain[2], plain[3] };
        // Item Graphic checked with no picture to show keeps the price where it stands
        // beside a picture.
        hoseDrawn.removeAt(5);
        QTest::newRow("desc style, graphic checked, no picture") << hose + "none.png" << "d00111 Weekly special" << "" << hoseDrawn;
        QTest::newRow("sku not stored") << "SKU-9|2" << "d" << "" << desc + QStringList { sku };
        QTest::newRow("sku 0") << "SKU-9|2" << "d" << "PRINTSKU=0" << desc;
        QTest::newRow("sku -3") << "SKU-9|2" << "d" << "PRINTSKU=-3" << desc + QStringList { sku };
        QTest::newRow("sku letters read as 0") << "SKU-9|2" << "d" << "PRINTSKU=no" << desc;
        QTest::newRow("1-Up scale") << "1|2||Desc|b" << "b1" << "k=2 w=14400 h=10800" << QStringList {
            "box 816,456 14928,10968 l48", "$ 2880,2860 80b", "2.00 3769.84375,2560 120b", "Desc 2880,5261 40",
            "dot 3215,6890 r83.7890625", "b 3550.3125,6555 30", "1 14297.5390625,10297.6875 20" };
        QTest::newRow("preview scale") << "1|2||Desc|b" << "b1" << "k=2 w=14400 h=10800 pv=0.5" << QStringList {
            "box 816,456 14928,10968 l1", "$ 2880,2860 40b", "2.00 3324.921875,2560 60b", "Desc 2880,3921 20",
            "dot 3048,4936 r41.89453125", "b 3215.15625,4768 15", "1 14408.76953125,10632.84375 10" };
        // A cell far off the sheet and of negative size draws without failing.
        const QString typical = "SKU1|12.99|15.49|Cordless drill with two batteries|18 volt|Keyless chuck|Two year warranty";
        for (const char* style : { "b10110 T", "d10110 T" })
            QTest::addRow("negative cell, %c", style[0]) << typical << style << "ud=99999 lr=99999 w=-199998"
                << QStringList { "box 768,408 -199374,5664 l24", " 816,5496.421875 5" };
        // clang-format on
    }

    void layout()
    {
        QFETCH(QString, row);
        QFETCH(QString, style);
        QFETCH(QString, setup);
        QFETCH(QStringList, drawn);
        fill(m_model, { signOf(files(row)) });
        const auto digit = [&style](int i) { return style.size() > i ? style[i].digitValue() : 0; };
        m_options = { digit(1), digit(2), digit(3), digit(4), digit(5), style.mid(7) };
        const auto ops = paint(style[0] == 'b', [&](SignPlacement& at) {
            const std::map<QString, qint32*> numbers = { { "ud", &at.shiftUpDown_tw },
                { "lr", &at.shiftLeftRight_tw }, { "w", &at.width_tw }, { "h", &at.height_tw } };
            for (const QString& token : setup.split(' ', Qt::SkipEmptyParts)) {
                const QString key = token.section('=', 0, 0), value = files(token.section('=', 1));
                if (numbers.count(key))
                    *numbers.at(key) = value.toInt();
                else if (key == "k")
                    at.formatScale = value.toDouble();
                else if (key == "pv")
                    at.previewScale = value.toDouble(), at.printing = false;
                else
                    m_settings->save(key, value);
            }
        });
        QCOMPARE((describe(ops) + m_errors).replaceInStrings(m_files.path() + '/', "@"), drawn);
    }

    // A logo of no size is left out: the sign is drawn as with the logo unchecked.
    void logoOfNoSize_data()
    {
        QTest::addColumn<QString>("size"); // width, height
        for (const char* size : { "0 0.5", "1.5 0", "-2 0.5", "1.5 tall" })
            QTest::newRow(size) << size;
    }
    void logoOfNoSize()
    {
        QFETCH(QString, size);
        writePicture(m_files.path(), "logo.png", 60, 20);
        fill(m_model, { typicalSign(1) });
        m_settings->save("FILELOGO", m_files.path() + "/logo.png");
        m_settings->save("LOGOWIDTH", size.section(' ', 0, 0));
        m_settings->save("LOGOHEIGHT", size.section(' ', 1));
        for (bool bullet : { true, false }) {
            QStringList drawn[2];
            for (int logo : { 0, 1 }) {
                m_options = { 1, logo, 1, 1, 0, QStringLiteral("SALE") };
                drawn[logo] = describe(paint(bullet));
            }
            QVERIFY(drawn[0].size() > 8); // title, price, description, lines, retail, SKU
            QCOMPARE(drawn[1], drawn[0]);
        }
    }

    // The price line's bold texts, then the description lines top to bottom,
    // in both styles. A description too wide for its cell breaks at the first
    // space from round(length / 2) on, halves to even.
    void texts_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("printed");
        // clang-format off
        QTest::newRow("letters") << "1|abc" << "abc; / ";
        QTest::newRow("blank promo uses retail") << "1||8.49" << "$;8.49; / ";
        QTest::newRow("blank everything") << "1|" << "; / ";
        QTest::newRow("7 chars from 4") << "1|x||abc def" << "x; / abc;def;";
        QTest::newRow("5 chars from 2") << "1|x||a bcd" << "x; / a;bcd;";
        QTest::newRow("no space") << "1|x||abcdefgh" << "x; / abcdefgh;";
        QTest::newRow("first space right of middle") << "1|x||one two three four" << "x; / one two three;four;";
        // clang-format on
    }

    void texts()
    {
        QFETCH(QString, row);
        QFETCH(QString, printed);
        fill(m_model, { signOf(row) });
        const QString description = m_model.signRow(1).column(SignListModel::ColDescription);
        for (bool bullet : { true, false }) {
            const auto ops = paint(bullet, [&description](SignPlacement& at) {
                at.canvas->setFontSize(20); // a description just too wide for one line
                if (!description.isEmpty())
                    at.width_tw = int(at.canvas->TextWidth(description));
            });
            QString price, lines;
            for (const CanvasOp& op : textOps(ops)) {
                price += op.bold ? op.text + ';' : "";
                lines += op.bold || op.fontSize <= 10 || op.text.isEmpty() ? "" : op.text + ';';
            }
            QCOMPARE(price + " / " + lines, printed);
        }
    }

    // "span": one axis of a cell. Signs across, first of two (1) or not, total, printable,
    // margin -> origin, size. Outer: the first cell from 0, the second from the middle, the
    // margin unused. Symmetric: the larger of the two unprintable margins all round. Halves
    // round to even. "cell": format, margins across and down, sign numbers -> top, height,
    // left, width of each sign's cell on landscape Letter (15840 x 12240, printable 15120 x
    // 11520), for 2-Up on portrait Letter. "view": preview box width, height and the margins
    // -> user scale, left, top, width, height for landscape Letter.
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
        QTest::newRow("4up") << "cell 4 360 360 1 2 3 4 5"
            << "0 5400 0 7200 / 0 5400 7920 7200 / 6120 5400 0 7200 / 6120 5400 7920 7200 / 0 5400 0 7200";
        // Top margin 400: no change; 100: every cell 260 lower and shorter.
        QTest::newRow("4up top 400") << "cell 4 360 400 1" << "0 5400 0 7200";
        QTest::newRow("4up top 100") << "cell 4 360 100 1" << "260 5140 0 7200";
        QTest::newRow("4up top 0") << "cell 4 360 0 3" << "6480 5040 0 7200";
        QTest::newRow("2up") << "cell 2 360 360 1 2 3" << "0 7200 0 11520 / 7920 7200 0 11520 / 0 7200 0 11520";
        QTest::newRow("1up") << "cell 1 360 360 7" << "0 11520 0 15120";
        // A wide box fits the page by height, centred across; a tall one by width.
        QTest::newRow("view wide") << "view 28800 15000 360 300" << "1.2254901960784315 -4190 -300 23501 12240";
        QTest::newRow("view tall") << "view 10000 20000 360 300" << "0.6313131313131313 -360 -9720 15840 31680";
        QTest::newRow("view flat") << "view 10000 1 0 0" << "8.169934640522875e-05 -61192080 0 122400000 12240";
        // clang-format on
    }

    void geometry()
    {
        QFETCH(QString, in);
        const QStringList w = in.split(' ');
        QList<double> a;
        for (const QString& n : w)
            a << n.toDouble();
        QStringList got;
        const auto add = [&got](std::initializer_list<double> numbers) {
            QStringList t;
            for (double d : numbers)
                t << QString::number(d, 'g', QLocale::FloatingPointShortest);
            got << t.join(' ');
        };
        if (w[0] == "span") {
            const CellExtent e = CellSpan(w[1] == "outer" ? SpanRule::Outer : SpanRule::Symmetric,
                int(a[2]), int(a[3]), a[4], a[5], a[6]);
            add({ double(e.origin_tw), double(e.size_tw) });
        } else if (w[0] == "cell") {
            const SheetMetrics sheet = a[1] == 2 ? SheetMetrics { 12240, 15840, 11520, 15120 }
                                                 : SheetMetrics { 15840, 12240, 15120, 11520 };
            const SignFormat format = a[1] == 4 ? SignFormat::FourUp
                : a[1] == 2                     ? SignFormat::TwoUp
                                                : SignFormat::OneUp;
            for (int i = 4; i < a.size(); ++i) {
                const SignCell c = CellForSign(format, int(a[i]), sheet, int(a[2]), int(a[3]));
                add({ double(c.top_tw), double(c.height_tw), double(c.left_tw),
                    double(c.width_tw) });
            }
        } else {
            const PreviewView v
                = PreviewViewFor(a[1], a[2], { 15840, 12240, 15120, 11520 }, int(a[3]), int(a[4]));
            add({ v.previewScale, v.left, v.top, v.width, v.height });
        }
        QTEST(got.join(" / "), "out");
    }

    // The same sign lands at the same twips on the printer and on a preview box.
    void previewAndPrinterAgree()
    {
        fill(m_model,
            { signOf("4471|12.99|15.49|A long description that needs two lines on this "
                     "sign|18 volt|Keyless chuck|Two year warranty|"
                + files("@sq64.jpg")) });
        m_options = { 0, 0, 1, 1, 1, QStringLiteral("SALE") };
        for (bool bullet : { true, false }) {
            RecordingPreview preview(QSize(1920, 1000), 96, 96);
            const PreviewView view = PreviewViewFor(
                preview.Width(), preview.Height(), { 15840, 12240, 15120, 11520 }, 360, 360);
            preview.setScaleLeft(view.left);
            preview.setScaleTop(view.top);
            preview.setScaleWidth(view.width);
            preview.setScaleHeight(view.height);
            const auto a = paint(bullet), &b = preview.ops;
            paint(bullet, [&](SignPlacement& at) {
                at = { &preview, false, 1, 360, 5400, 720, 7200, 0, 0, view.previewScale };
            });
            QCOMPARE(m_errors, QStringList());
            QCOMPARE(a.size(), b.size());
            for (size_t i = 0; i < a.size(); ++i)
                QVERIFY2(a[i].kind == b[i].kind && a[i].text == b[i].text
                        && qAbs(a[i].x - b[i].x) <= 1.0 && qAbs(a[i].y - b[i].y) <= 1.0
                        && qAbs(a[i].width - b[i].width) <= 1.0,
                    qPrintable(a[i].text));
        }
    }
};

QTEST_MAIN(TestPrintingPainters)
#include "tst_printing_painters.moc"
