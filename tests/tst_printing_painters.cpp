// Where each element of each sign style lands, on the recording surface.

#include "PrintTestSupport.h"
#include "support/TestSupport.h"

#include "base/NumberText.h"
#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "printing/PreviewCanvas.h"
#include "printing/SignPainter.h"
#include "ui/DialogService.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace PrintTest;
using Kind = CanvasOp::Kind;

namespace {

double even(double v)
{
    return NumberText::roundHalfEven(v);
}

} // namespace

class TestPrintingPainters : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSettingsScope> m_scope;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<SignListModel> m_model;
    std::unique_ptr<QTemporaryDir> m_files;
    SignOptions m_options;
    std::vector<RunTimeError> m_errors;

    SignPainter painter()
    {
        return SignPainter(
            *m_model, *m_settings, [this] { return m_options; },
            [this](const RunTimeError& e) { m_errors.push_back(e); });
    }

    // A 4-Up cell on the recorder's landscape Letter sheet.
    static SignPlacement cell(SignCanvas* canvas, int row = 1)
    {
        SignPlacement at;
        at.canvas = canvas;
        at.printing = true;
        at.row = row;
        at.top = 360;
        at.height = 5400;
        at.left = 720;
        at.width = 7200;
        return at;
    }

    void save(const QString& key, const QString& value) { m_settings->save(key, value); }

private slots:
    void init()
    {
        m_scope = std::make_unique<TestSettingsScope>();
        m_settings
            = std::make_unique<AppSettings>(SettingsKeys::Application, SettingsKeys::Section);
        m_model = std::make_unique<SignListModel>();
        m_files = std::make_unique<QTemporaryDir>();
        m_options = SignOptions();
        m_errors.clear();
    }

    void bulletStyleElements()
    {
        const QString picture = writePicture(m_files->path(), "drill.jpg", 64, 64);
        fill(*m_model,
            { sign("4471", "12.99", "15.49", "Cordless drill", "18 volt", "Keyless chuck",
                "Two year warranty", picture) });
        save(SettingsKeys::ColorBorder, "255");
        save(SettingsKeys::ColorTitle, "65280");
        save(SettingsKeys::ColorPrice, "16711680");
        m_options = { 1, 0, 1, 1, 1, QStringLiteral("SALE") };
        RecordingCanvas c;
        c.setOrientation(SignCanvas::Landscape);
        const SignPlacement at = cell(&c);
        painter().PaintBulletSign(at);
        QVERIFY(m_errors.empty());
        const auto& ops = c.operations();

        // Border: 24-pixel line, inset by 2 and 4 line widths.
        const auto boxes = opsOfKind(ops, Kind::Box);
        QCOMPARE(boxes.size(), size_t(1));
        QCOMPARE(boxes[0].drawWidth, 24);
        QCOMPARE(boxes[0].color, 255);
        QCOMPARE(boxes[0].x, 720.0 + 48);
        QCOMPARE(boxes[0].y, 360.0 + 48);
        QCOMPARE(boxes[0].x2, 720.0 + 7200 - 96);
        QCOMPARE(boxes[0].y2, 360.0 + 5400 - 96);

        // Title: no logo, title and retail checked: starts 300 below the top,
        // centred, bold, 25 points, in the title colour.
        const CanvasOp* title = findText(ops, "SALE");
        QVERIFY(title);
        QCOMPARE(title->y, 360.0 + 300);
        QVERIFY(qAbs(title->x + title->width / 2 - (720 + 3600)) < 0.001);
        QCOMPARE(title->fontSize, 25.0);
        QVERIFY(title->bold);
        QCOMPARE(title->color, 65280);

        // Price: a small "$" 150 lower, then the price after it, 15 % in.
        const double px = 720 + 1080;
        const CanvasOp* dollar = findText(ops, "$");
        const CanvasOp* price = findText(ops, "12.99");
        QVERIFY(dollar && price);
        QCOMPARE(price->y, even(title->y + 10 + title->height));
        QCOMPARE(dollar->x, px);
        QCOMPARE(dollar->y, price->y + 150);
        QCOMPARE(dollar->fontSize, 40.0);
        QCOMPARE(price->x, px + dollar->width);
        QCOMPARE(price->fontSize, 60.0);
        QVERIFY(price->bold);
        QCOMPARE(price->color, 16711680);

        // Picture beside the price, one price-line high and wide, never on it.
        const auto pictures = opsOfKind(ops, Kind::Picture);
        QCOMPARE(pictures.size(), size_t(1));
        const double ph = price->height;
        QCOMPARE(pictures[0].y, price->y);
        QCOMPARE(pictures[0].width, ph);
        QCOMPARE(pictures[0].height, ph);
        const double pw = price->width + dollar->width;
        QCOMPARE(pictures[0].x, std::max(720.0 + 7200 - (px - 720) - ph, even(px + 1.1 * pw)));
        QVERIFY(pictures[0].x >= price->x + price->width);

        // Description below the price, at the inset, 20 points, not bold.
        const CanvasOp* desc = findText(ops, "Cordless drill");
        QVERIFY(desc);
        QCOMPARE(desc->x, px);
        QCOMPARE(desc->y, even(price->y + ph + 10));
        QCOMPARE(desc->fontSize, 20.0);
        QVERIFY(!desc->bold);
        QCOMPARE(desc->color, 0);

        // Bullets: dots of radius h/8 at (h/2, h/2) from each line's start,
        // text h further in; gaps 10, 10 and 50 below the lines.
        const auto circles = opsOfKind(ops, Kind::Circle);
        QCOMPARE(circles.size(), size_t(3));
        const char* bullets[] = { "18 volt", "Keyless chuck", "Two year warranty" };
        double y = even(desc->y + desc->height + 200);
        for (int i = 0; i < 3; ++i) {
            const CanvasOp* b = findText(ops, bullets[i]);
            QVERIFY(b);
            const double h = b->height;
            QCOMPARE(b->fontSize, 15.0);
            QCOMPARE(b->y, y);
            QCOMPARE(b->x, px + h);
            QCOMPARE(circles[size_t(i)].x, even(h / 2 + px));
            QCOMPARE(circles[size_t(i)].y, even(h / 2 + y));
            QCOMPARE(circles[size_t(i)].radius, h / 8);
            QCOMPARE(circles[size_t(i)].fillStyle, 0);
            QCOMPARE(circles[size_t(i)].fillColor, 0);
            y = even(y + h + (i == 2 ? 50 : 10));
        }

        // Regular retail in italics at the inset, then the SKU in the corner.
        const CanvasOp* retail = findText(ops, "(regular retail $15.49)");
        QVERIFY(retail);
        QCOMPARE(retail->y, y);
        QCOMPARE(retail->x, px);
        QVERIFY(retail->italic);
        QCOMPARE(retail->fontSize, 15.0);
        const CanvasOp* sku = findText(ops, "4471");
        QVERIFY(sku);
        QCOMPARE(sku->fontSize, 10.0);
        QVERIFY(qAbs(sku->x + sku->width - (720 + 7200 - 300)) < 0.001);
        QCOMPARE(sku->y, 360 + 5400 - 1.5 * sku->height - 4 * 24);

        // Nothing else was drawn.
        QCOMPARE(textOps(ops).size(), size_t(9));
    }

    void priceTexts_data()
    {
        QTest::addColumn<QString>("promo");
        QTest::addColumn<QString>("retail");
        QTest::addColumn<QStringList>("printed");
        const QString cent = QString(QChar(0xA2));
        // clang-format off
        QTest::newRow("dollars") << "12.99" << "" << QStringList { "$", "12.99" };
        QTest::newRow("cents") << ".99" << "" << QStringList { "99", cent };
        QTest::newRow("zero") << "0" << "" << QStringList { "0", cent };
        QTest::newRow("blank promo uses retail") << "" << "8.49" << QStringList { "$", "8.49" };
        QTest::newRow("blank everything") << "" << "" << QStringList { "" };
        QTest::newRow("letters") << "abc" << "" << QStringList { "abc" };
        QTest::newRow("negative") << "-1" << "" << QStringList { "-1" };
        QTest::newRow("two points") << "0.5.5" << "" << QStringList { "0.5.5" };
        QTest::newRow("typed dollar") << "$12.99" << "" << QStringList { "$", "12.99" };
        QTest::newRow("half") << ".5" << "" << QStringList { "50", cent };
        QTest::newRow("spaces trimmed") << "  3 " << "" << QStringList { "$", "3" };
        // clang-format on
    }

    void priceTexts()
    {
        QFETCH(QString, promo);
        QFETCH(QString, retail);
        QFETCH(QStringList, printed);
        fill(*m_model, { sign("1", promo, retail) });
        for (bool bullet : { true, false }) {
            RecordingCanvas c;
            bullet ? painter().PaintBulletSign(cell(&c)) : painter().PaintDescSign(cell(&c));
            QStringList priceLine;
            for (const CanvasOp& op : textOps(c.operations())) {
                if (op.bold)
                    priceLine << op.text;
            }
            QCOMPARE(priceLine, printed);
        }
    }

    void centSignPlacement()
    {
        // The cent sign follows the digits, a little higher.
        fill(*m_model, { sign("1", "0.99") });
        const QString cent = QString(QChar(0xA2));
        RecordingCanvas c;
        painter().PaintBulletSign(cell(&c));
        const CanvasOp* digits = findText(c.operations(), "99");
        const CanvasOp* centOp = findText(c.operations(), cent);
        QVERIFY(digits && centOp);
        QCOMPARE(centOp->x, digits->x + digits->width);
        QCOMPARE(centOp->y, digits->y + 100);
        QCOMPARE(centOp->fontSize, 40.0);
    }

    void descriptionSplit_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QStringList>("lines");
        // The search for a space starts at round(length / 2), halves to even.
        // clang-format off
        QTest::newRow("7 chars from 4") << "abc def" << QStringList { "abc", "def" };
        QTest::newRow("5 chars from 2") << "a bcd" << QStringList { "a", "bcd" };
        QTest::newRow("no space") << "abcdefgh" << QStringList { "abcdefgh" };
        QTest::newRow("first space right of middle") << "one two three four" << QStringList { "one two three", "four" };
        // clang-format on
    }

    void descriptionSplit()
    {
        QFETCH(QString, description);
        QFETCH(QStringList, lines);
        fill(*m_model, { sign("1", "1", "", description) });
        for (bool bullet : { true, false }) {
            RecordingCanvas c;
            SignPlacement at = cell(&c);
            // Every description is too wide for one line, and its halves fit.
            c.setFontSize(20);
            at.width = int(c.TextWidth(description));
            bullet ? painter().PaintBulletSign(at) : painter().PaintDescSign(at);
            QStringList printed;
            double lastY = -1;
            for (const CanvasOp& op : textOps(c.operations())) {
                if (!op.bold && op.fontSize > 10) {
                    printed << op.text;
                    QVERIFY(op.y > lastY);
                    lastY = op.y;
                }
            }
            QCOMPARE(printed, lines);
        }
    }

    void descStyleElements()
    {
        const QString picture = writePicture(m_files->path(), "p.png", 32, 32);
        fill(*m_model, { sign("77", "4.99", "5.99", "Garden hose", "", "50 feet", "", picture) });
        m_options = { 0, 0, 1, 1, 1, QStringLiteral("Weekly special") };
        RecordingCanvas c;
        const SignPlacement at = cell(&c);
        painter().PaintDescSign(at);
        QVERIFY(m_errors.empty());
        const auto& ops = c.operations();
        const double centre = 720 + 3600;

        const CanvasOp* title = findText(ops, "Weekly special");
        const CanvasOp* desc = findText(ops, "Garden hose");
        const CanvasOp* line2 = findText(ops, "50 feet");
        const CanvasOp* dollar = findText(ops, "$");
        const CanvasOp* price = findText(ops, "4.99");
        const CanvasOp* retail = findText(ops, "(regular retail $5.99)");
        QVERIFY(title && desc && line2 && dollar && price && retail);
        QCOMPARE(title->y, 360.0 + 300);
        QCOMPARE(desc->y, even(title->y + title->height + 200));
        QVERIFY(qAbs(desc->x + desc->width / 2 - centre) < 0.001);
        // The blank first line still takes its place above the second.
        const double line1Y = even(desc->y + desc->height + 10);
        QCOMPARE(line2->y, even(line1Y + line2->height + 10));
        QVERIFY(qAbs(line2->x + line2->width / 2 - centre) < 0.001);
        QCOMPARE(opsOfKind(ops, Kind::Circle).size(), size_t(0));

        // Price with the picture: three equal gaps; "$" continues into the
        // number at the big size.
        const double priceTop = even(line2->y + line2->height + 10);
        QCOMPARE(price->y, priceTop);
        QCOMPARE(dollar->y, priceTop + 150);
        QCOMPARE(price->x, dollar->x + dollar->width);
        QCOMPARE(price->fontSize, 80.0);
        const double ph = price->height;
        const double g = even((7200 - (price->width + dollar->width) - ph) / 3);
        QCOMPARE(dollar->x, 720 + g);
        const auto pictures = opsOfKind(ops, Kind::Picture);
        QCOMPARE(pictures.size(), size_t(1));
        QCOMPARE(pictures[0].x, 720 + 7200 - g - ph);
        QCOMPARE(pictures[0].y, priceTop);

        QCOMPARE(retail->y, even(priceTop + ph + 10));
        QVERIFY(qAbs(retail->x + retail->width / 2 - centre) < 0.001);
        QVERIFY(retail->italic);
        QCOMPARE(retail->fontSize, 15.0);
    }

    void logoPlacement_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<double>("left");
        // Logo 1.5 x .5 inches: 2160 x 720 twips in a 7200-wide cell at 720.
        QTest::newRow("right") << "RIGHT" << 720.0 + 7200 - 2160 - 250;
        QTest::newRow("left") << "LEFT" << 720.0 + 150;
        QTest::newRow("centre") << "CENTER" << 720.0 + 2520;
        QTest::newRow("lower case centres") << "right" << 720.0 + 2520;
    }

    void logoPlacement()
    {
        QFETCH(QString, place);
        QFETCH(double, left);
        const QString logo = writePicture(m_files->path(), "logo.jpg", 300, 100);
        save(SettingsKeys::FILELOGO, logo);
        save(SettingsKeys::LOGOLCR, place);
        fill(*m_model, { sign("1", "2") });
        m_options.logo = 2; // any non-zero value shows the logo
        RecordingCanvas c;
        SignPlacement at = cell(&c);
        at.shiftUpDown = 30;
        painter().PaintBulletSign(at);
        const auto pictures = opsOfKind(c.operations(), Kind::Picture);
        QCOMPARE(pictures.size(), size_t(1));
        QCOMPARE(pictures[0].x, left);
        QCOMPARE(pictures[0].y, 360.0 + 280);
        QCOMPARE(pictures[0].width, 2160.0);
        QCOMPARE(pictures[0].height, 720.0);
        QCOMPARE(pictures[0].text, logo);
        // The price starts below the logo.
        QCOMPARE(findText(c.operations(), "2")->y, 360.0 + 30 + 720 + 350);
    }

    void missingOrBadPictures()
    {
        // A logo path that is a folder or does not exist: no logo, no error.
        for (const QString& path : { m_files->path(), m_files->path() + "/none.jpg", QString() }) {
            save(SettingsKeys::FILELOGO, path);
            fill(*m_model, { sign("1", "2") });
            m_options.logo = 1;
            RecordingCanvas c;
            painter().PaintBulletSign(cell(&c));
            QVERIFY(m_errors.empty());
            QCOMPARE(opsOfKind(c.operations(), Kind::Picture).size(), size_t(0));
            QCOMPARE(findText(c.operations(), "2")->y, 360.0 + 1100);
        }

        // An unreadable picture is error 481 with a clear description; the
        // rest of the sign is not drawn.
        QFile bad(m_files->path() + "/bad.jpg");
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("this is not a picture");
        bad.close();
        save(SettingsKeys::FILELOGO, bad.fileName());
        m_options.border = 1;
        RecordingCanvas c;
        painter().PaintBulletSign(cell(&c));
        QCOMPARE(m_errors.size(), size_t(1));
        QCOMPARE(m_errors[0].number(), 481);
        QVERIFY(m_errors[0].description().contains("bad.jpg"));
        QCOMPARE(c.operations().size(), size_t(1)); // the border only

        m_errors.clear();
        m_options.logo = 0;
        m_options.graphic = 1;
        fill(*m_model, { sign("1", "2", "", "", "", "", "", bad.fileName()) });
        RecordingCanvas d;
        painter().PaintBulletSign(cell(&d));
        QCOMPARE(m_errors.size(), size_t(1));
        QCOMPARE(m_errors[0].number(), 481);
        QVERIFY(!findText(d.operations(), "1")); // no SKU: the sign stopped
    }

    void hugePicture()
    {
        const QString path = writePicture(m_files->path(), "huge.jpg", 9000, 7000);
        fill(*m_model, { sign("1", "2", "", "", "", "", "", path) });
        m_options.graphic = 1;
        RecordingCanvas c;
        painter().PaintBulletSign(cell(&c));
        QVERIFY(m_errors.empty());
        QCOMPARE(opsOfKind(c.operations(), Kind::Picture).size(), size_t(1));
    }

    void skuSetting_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("shown");
        QTest::newRow("not stored") << QString() << true;
        QTest::newRow("zero") << "0" << false;
        QTest::newRow("other number") << "-3" << true;
        QTest::newRow("letters read as 0") << "no" << false;
    }

    void skuSetting()
    {
        QFETCH(QString, stored);
        QFETCH(bool, shown);
        if (!stored.isNull())
            save(SettingsKeys::PRINTSKU, stored);
        fill(*m_model, { sign("SKU-9", "2") });
        RecordingCanvas c;
        painter().PaintDescSign(cell(&c));
        QCOMPARE(findText(c.operations(), "SKU-9") != nullptr, shown);
        // Without a border the SKU sits 1.5 heights above the cell's bottom.
        if (shown) {
            const CanvasOp* sku = findText(c.operations(), "SKU-9");
            QCOMPARE(sku->y, 360 + 5400 - 1.5 * sku->height);
        }
    }

    void formatScaleAndPreviewScale()
    {
        // 1-Up doubles every size and distance; the preview scales fonts and
        // draws one-pixel lines.
        fill(*m_model, { sign("1", "2", "", "Desc", "b") });
        m_options.border = 1;
        RecordingCanvas c;
        SignPlacement at = cell(&c);
        at.formatScale = 2.0;
        at.width = 14400; // a 1-Up cell, which the doubled sign fits
        at.height = 10800;
        painter().PaintBulletSign(at);
        QCOMPARE(findText(c.operations(), "2")->fontSize, 120.0);
        QCOMPARE(findText(c.operations(), "2")->y, 360.0 + 2200);
        QCOMPARE(opsOfKind(c.operations(), Kind::Box)[0].drawWidth, 48);

        RecordingCanvas preview;
        at.canvas = &preview;
        at.printing = false;
        at.previewScale = 0.5;
        painter().PaintBulletSign(at);
        QCOMPARE(findText(preview.operations(), "2")->fontSize, 60.0);
        QCOMPARE(opsOfKind(preview.operations(), Kind::Box)[0].drawWidth, 1);
    }

    void previewAndPrinterAgree()
    {
        // The same sign on the printer and on the preview box, which maps
        // the page onto 1920 x 1000 screen pixels, lands at the same twips.
        const QString picture = writePicture(m_files->path(), "g.jpg", 40, 40);
        fill(*m_model,
            { sign("4471", "12.99", "15.49", "A long description that needs two lines on this sign",
                "18 volt", "Keyless chuck", "Two year warranty", picture) });
        m_options = { 0, 0, 1, 1, 1, QStringLiteral("SALE") };
        for (bool bullet : { true, false }) {
            RecordingCanvas printer;
            printer.setOrientation(SignCanvas::Landscape);
            PreviewCanvas preview(QSize(1920, 1000), 96, 96);
            preview.setRecording(true);
            const SheetMetrics sheet { printer.Width(), printer.Height(), printer.ScaleWidth(),
                printer.ScaleHeight() };
            const PreviewView view
                = PreviewViewFor(preview.Width(), preview.Height(), sheet, 360, 360);
            preview.setScaleLeft(view.left);
            preview.setScaleTop(view.top);
            preview.setScaleWidth(view.width);
            preview.setScaleHeight(view.height);
            SignPlacement at = cell(&printer);
            bullet ? painter().PaintBulletSign(at) : painter().PaintDescSign(at);
            at.canvas = &preview;
            at.printing = false;
            at.previewScale = view.previewScale;
            bullet ? painter().PaintBulletSign(at) : painter().PaintDescSign(at);
            QVERIFY(m_errors.empty());

            const auto& a = printer.operations();
            const auto& b = preview.operations();
            QCOMPARE(a.size(), b.size());
            for (size_t i = 0; i < a.size(); ++i) {
                QCOMPARE(int(a[i].kind), int(b[i].kind));
                QCOMPARE(a[i].text, b[i].text);
                QVERIFY2(qAbs(a[i].x - b[i].x) <= 1.0 && qAbs(a[i].y - b[i].y) <= 1.0,
                    qPrintable(a[i].text));
                QVERIFY(qAbs(a[i].width - b[i].width) <= 1.0);
            }
            // And the preview really drew: the price colour (black) is on the image.
            int dark = 0;
            const QImage& img = preview.image();
            for (int y = 0; y < img.height(); y += 2)
                for (int x = 0; x < img.width(); x += 2)
                    dark += qGray(img.pixel(x, y)) < 100;
            QVERIFY(dark > 500);
        }
    }

    void absurdCalibration()
    {
        // Cells far off the sheet or of negative size draw without failing.
        fill(*m_model, { typicalSign(1) });
        m_options = { 1, 0, 1, 1, 0, QStringLiteral("T") };
        for (int v : { -99999, 99999 }) {
            RecordingCanvas c;
            SignPlacement at = cell(&c);
            at.shiftUpDown = v;
            at.shiftLeftRight = v;
            at.width = -v * 2;
            painter().PaintBulletSign(at);
            painter().PaintDescSign(at);
        }
        QVERIFY(m_errors.empty());
    }
};

QTEST_MAIN(TestPrintingPainters)
#include "tst_printing_painters.moc"
