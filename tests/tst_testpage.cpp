#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "printing/RecordingCanvas.h"
#include "support/TestSupport.h"
#include "ui/DialogService.h"
#include "ui/frmCalibrate.h"

#include <QImage>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

namespace {

std::vector<CanvasOp> opsOf(const SignCanvas& canvas, CanvasOp::Kind kind)
{
    std::vector<CanvasOp> result;
    for (const CanvasOp& op : canvas.operations())
        if (op.kind == kind)
            result.push_back(op);
    return result;
}

QLineF lineOf(const CanvasOp& op)
{
    return QLineF(op.x, op.y, op.x2, op.y2);
}

// A US Letter recorder whose landscape sheet has the given unprintable
// height and width (twips), split evenly on both sides.
RecordingCanvas letterWithUnprintable(double height, double width)
{
    // Turned to landscape, the portrait left and right margins become the
    // bottom and top, the portrait top and bottom the left and right.
    return RecordingCanvas(
        QSizeF(12240, 15840), QMarginsF(height / 2, width / 2, height / 2, width / 2));
}

void setBoxes(frmCalibrate& dlg, const QString& top, const QString& left)
{
    dlg.txtMarginTop->setText(top);
    dlg.txtMarginLeft->setText(left);
}

// Landscape US Letter: the sheet is 15840 by 12240 twips.
constexpr int W2 = 7920;
constexpr int H2 = 6120;

} // namespace

class TestTestPage : public QObject
{
    Q_OBJECT

private slots:
    void reportLines()
    {
        TestSettingsScope scope;
        frmCalibrate dlg(appSettings(), dialogs(), nullptr, {}, nullptr);
        const char* texts[] = { "180.5", "270", "-360", "12.5", "1", "2", " 3", "+4" };
        QLineEdit* boxes[] = { dlg.txtMarginTop, dlg.txtMarginLeft, dlg.txtAdj4UD, dlg.txtAdj4LR,
            dlg.txtAdj2UD, dlg.txtAdj2LR, dlg.txtAdj1UD, dlg.txtAdj1LR };
        for (int i = 0; i < 8; ++i)
            boxes[i]->setText(texts[i]);
        // A printable area with a fraction: 359.5 twips unprintable at the top.
        RecordingCanvas canvas(QSizeF(12240, 15840), QMarginsF(360, 360, 359.5, 360), 600,
            QStringLiteral("Shop Laser"));
        QVERIFY(dlg.PrintTestPage(canvas));
        QVERIFY(dialogs().messages().isEmpty());
        QCOMPARE(canvas.Orientation(), int(SignCanvas::Landscape));
        QCOMPARE(canvas.endDocs(), 1);
        QVERIFY(!canvas.abandoned());

        const std::vector<CanvasOp> texts28 = opsOf(canvas, CanvasOp::Kind::Text);
        QCOMPARE(int(texts28.size()), 29);
        // Date, then the time at the next print zone on the same line.
        QVERIFY(!texts28[0].text.isEmpty() && !texts28[1].text.isEmpty());
        QCOMPARE(texts28[0].x, 0.0);
        QCOMPARE(texts28[0].y, 0.0);
        QCOMPARE(texts28[1].y, 0.0);
        QVERIFY(texts28[1].x >= texts28[0].width);

        const QStringList expected = {
            "Printer.DeviceName = Shop Laser",
            "Printer.Font =       " + canvas.FontName(),
            "Printer.ScaleMode =  1",
            "Printer.Height = 12240",
            "Printer.Width =  15840",
            "Printer.ScaleHeight = 11520.5",
            "Printer.ScaleWidth = 15120",
            "Printer.ScaleLeft = 0",
            "Printer.ScaleTop = 0",
            "Non-Printing Height = 719.5",
            "Non-Printing Width = 720",
            "",
            "Top Margin =  180.5",
            "Left Margin = 270",
            "4-up up/down = -360",
            "4-up left/right = 12.5",
            "2-up up/down = 1",
            "2-up left/right = 2",
            "1-up up/down =  3",
            "1-up left/right = +4",
            "",
            "Note:",
            "Crossed lines should print at center of page.",
            "Tick Marks are 100 units apart.",
            "Tick Marks meet at 0,0.",
            "Top Margin should be between 0 and 719.5",
            "Left Margin should be between 0 and 720",
        };
        double y = texts28[0].height;
        for (int i = 0; i < expected.size(); ++i) {
            const CanvasOp& op = texts28[size_t(i) + 2];
            QCOMPARE(op.text, expected.at(i));
            QCOMPARE(op.x, 0.0);
            QCOMPARE(op.y, y);
            QCOMPARE(op.fontSize, 12.0);
            y += op.height;
        }
        // The page writes nothing to the store.
        QCOMPARE(appSettings().text(SettingsKeys::MARGINTOP, "absent"), QString("absent"));
    }

    void frameAndCross_data()
    {
        QTest::addColumn<double>("unprintableHeight");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("left");
        QTest::addColumn<int>("cx");
        QTest::addColumn<int>("cy");
        // clang-format off
        QTest::newRow("margins 0 and 0 meet the rulers") << 720.0 << "0" << "0" << W2 << H2;
        QTest::newRow("margins 180 and 270") << 720.0 << "180" << "270" << W2 - 270 << H2 - 180;
        QTest::newRow("180 on 360 unprintable") << 360.0 << "180" << "0" << W2 << H2 - 180;
        QTest::newRow("half rounds to even, up") << 720.0 << "180.5" << "-1.5" << W2 + 2 << H2 - 180;
        QTest::newRow("negative margins") << 720.0 << "-100" << "-50" << W2 + 50 << H2 + 100;
        // clang-format on
    }

    void frameAndCross()
    {
        QFETCH(double, unprintableHeight);
        QFETCH(QString, top);
        QFETCH(QString, left);
        QFETCH(int, cx);
        QFETCH(int, cy);
        TestSettingsScope scope;
        frmCalibrate dlg(appSettings(), dialogs(), nullptr, {}, nullptr);
        setBoxes(dlg, top, left);
        RecordingCanvas canvas = letterWithUnprintable(unprintableHeight, 720);
        QVERIFY(dlg.PrintTestPage(canvas));
        const double sh = 12240 - unprintableHeight;
        const double sw = 15840 - 720;

        const std::vector<CanvasOp> lines = opsOf(canvas, CanvasOp::Kind::Line);
        QVERIFY(lines.size() > 6);
        const QLineF heavy[] = {
            { 0, 0, 15840, 0 },
            { 0, sh, 15840, sh },
            { 0, 0, 0, 12240 },
            { sw, 0, sw, 12240 },
            { cx - 1500.0, double(cy), cx + 1500.0, double(cy) },
            { double(cx), cy - 1500.0, double(cx), cy + 1500.0 },
        };
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(lineOf(lines[size_t(i)]), heavy[i]);
            QCOMPARE(lines[size_t(i)].drawWidth, 6);
            QCOMPARE(lines[size_t(i)].color, 0);
        }
        for (size_t i = 6; i < lines.size(); ++i)
            QCOMPARE(lines[i].drawWidth, 2);

        const QString lastButOne = opsOf(canvas, CanvasOp::Kind::Text).at(27).text;
        QCOMPARE(
            lastButOne, "Top Margin should be between 0 and " + QString::number(unprintableHeight));
    }

    void rulers_data()
    {
        QTest::addColumn<double>("unprintableHeight");
        QTest::addColumn<double>("unprintableWidth");
        QTest::addColumn<QList<int>>("ys"); // vertical ruler, tick heights
        QTest::addColumn<QList<int>>("xs"); // horizontal ruler, tick positions
        QTest::newRow("none unprintable") << 0.0 << 0.0 << QList<int> { H2 } << QList<int> { W2 };
        QTest::newRow("height 250") << 250.0 << 360.0 << QList<int> { H2, H2 - 100, H2 - 200 }
                                    << QList<int> { W2, W2 - 100, W2 - 200, W2 - 300 };
        QTest::newRow("limit on the grid is included")
            << 300.0 << 99.0 << QList<int> { H2, H2 - 100, H2 - 200, H2 - 300 }
            << QList<int> { W2 };
        QTest::newRow("fraction rounds before the limit")
            << 299.5 << 100.5 << QList<int> { H2, H2 - 100, H2 - 200, H2 - 300 }
            << QList<int> { W2, W2 - 100 };
    }

    void rulers()
    {
        QFETCH(double, unprintableHeight);
        QFETCH(double, unprintableWidth);
        QFETCH(QList<int>, ys);
        QFETCH(QList<int>, xs);
        TestSettingsScope scope;
        frmCalibrate dlg(appSettings(), dialogs(), nullptr, {}, nullptr);
        RecordingCanvas canvas = letterWithUnprintable(unprintableHeight, unprintableWidth);
        QVERIFY(dlg.PrintTestPage(canvas));

        const std::vector<CanvasOp> lines = opsOf(canvas, CanvasOp::Kind::Line);
        QCOMPARE(int(lines.size()), 6 + ys.size() + xs.size());
        for (int i = 0; i < ys.size(); ++i)
            QCOMPARE(lineOf(lines[size_t(6 + i)]), QLineF(W2 + 200, ys.at(i), W2, ys.at(i)));
        for (int i = 0; i < xs.size(); ++i)
            QCOMPARE(
                lineOf(lines[size_t(6 + ys.size() + i)]), QLineF(xs.at(i), H2 + 200, xs.at(i), H2));
    }

    void overflowIsReported_data()
    {
        QTest::addColumn<double>("portraitSheetHeight");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("left");
        // clang-format off
        QTest::newRow("sheet beyond 16 bits") << 70000.0 << "180" << "270";
        QTest::newRow("centre beyond 16 bits") << 15840.0 << "180" << "-30000";
        QTest::newRow("centre below 16 bits") << 15840.0 << "40000" << "270";
        // clang-format on
    }

    void overflowIsReported()
    {
        QFETCH(double, portraitSheetHeight);
        QFETCH(QString, top);
        QFETCH(QString, left);
        TestSettingsScope scope;
        frmCalibrate dlg(appSettings(), dialogs(), nullptr, {}, nullptr);
        setBoxes(dlg, top, left);
        RecordingCanvas canvas(QSizeF(12240, portraitSheetHeight), QMarginsF(360, 360, 360, 360));
        QVERIFY(!dlg.PrintTestPage(canvas));
        QCOMPARE(dialogs().messages().size(), 1);
        const DialogService::Message& shown = dialogs().messages().constFirst();
        QCOMPARE(shown.text, QString("Runtime Error 6 has been detected.\r\nOverflow"));
        QCOMPARE(shown.buttons, DialogService::Buttons::Ok);
        QCOMPARE(shown.icon, DialogService::Icon::Information);
        QCOMPARE(shown.title, QString("Alert:"));
        // The half-drawn page is thrown away; the dialog keeps its values.
        QVERIFY(canvas.abandoned());
        QCOMPARE(canvas.endDocs(), 0);
        QCOMPARE(dlg.txtMarginLeft->text(), left);
    }

    void invalidBoxPrintsNothing()
    {
        TestSettingsScope scope;
        frmCalibrate dlg(appSettings(), dialogs(), nullptr, {}, nullptr);
        dlg.txtAdj1UD->setText("up");
        RecordingCanvas canvas;
        QVERIFY(!dlg.PrintTestPage(canvas));
        QCOMPARE(dialogs().messages().size(), 1);
        QCOMPARE(dialogs().messages().constFirst().text,
            QString("Up/Down 1-Up must be numeric.  Please correct."));
        QVERIFY(canvas.operations().empty());
        QCOMPARE(canvas.Orientation(), int(SignCanvas::Portrait));
    }

    void printerErrorOffersSetup_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("printerThere");
        QTest::newRow("yes opens printer setup") << true << true;
        QTest::newRow("no printer at all") << true << false;
    }

    void printerErrorOffersSetup()
    {
        QFETCH(bool, yes);
        QFETCH(bool, printerThere);
        TestSettingsScope scope;
        // A file printer whose folder does not exist cannot start a document
        // (and no real printer is ever spoken to).
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(scope.path() + "/no such folder/page.pdf");
        int setups = 0;
        frmCalibrate dlg(
            appSettings(), dialogs(), printerThere ? &printer : nullptr, [&setups] { ++setups; },
            nullptr);
        dialogs().queueAnswer(yes ? DialogService::Answer::Yes : DialogService::Answer::No);
        dlg.cmdPrintTest->click();
        QCOMPARE(dialogs().messages().size(), 1);
        const DialogService::Message& shown = dialogs().messages().constFirst();
        QCOMPARE(shown.text,
            QString("Runtime Error 482 has been detected.\r\n"
                    "Check that your printer is ready (hooked up, on-line, etc).\r\n"
                    "Do you want to verify what printer this program is using?"));
        QCOMPARE(shown.buttons, DialogService::Buttons::YesNo);
        QCOMPARE(setups, yes ? 1 : 0);
        QCOMPARE(dlg.result(), 0); // still open, nothing decided
    }

    void printedToPdf()
    {
        TestSettingsScope scope;
        const QString pdf = scope.path() + "/testpage.pdf";
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setResolution(300);
        // US Letter, a quarter inch unprintable all round.
        QVERIFY(printer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter),
            QPageLayout::Portrait, QMarginsF(18, 18, 18, 18), QPageLayout::Point)));
        frmCalibrate dlg(appSettings(), dialogs(), &printer, {}, nullptr);
        setBoxes(dlg, "180", "270");
        dlg.cmdPrintTest->click();
        QVERIFY2(dialogs().messages().isEmpty(),
            qPrintable(dialogs().messages().isEmpty() ? QString()
                                                      : dialogs().messages().constFirst().text));
        QVERIFY(QFile::exists(pdf));

        // The report is on the page as text (its placement is checked on the
        // recording surface; the printer's origin in the PDF tests).
        QProcess text;
        text.start(QStringLiteral("pdftotext"), { pdf, "-" });
        QVERIFY(text.waitForFinished(60000) && text.exitCode() == 0);
        const QString report = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY(
            report.contains("Printer.DeviceName") && report.contains("Tick Marks meet at 0,0."));

        // The drawing, rendered: 300 dots per inch, so 1 twip is 1/4.8 dot.
        QProcess render;
        render.start(QStringLiteral("pdftoppm"),
            { "-r", "300", "-gray", "-png", "-singlefile", pdf, scope.path() + "/testpage" });
        QVERIFY(render.waitForFinished(60000) && render.exitCode() == 0);
        const QImage image(scope.path() + "/testpage.png");
        QCOMPARE(image.size(), QSize(3300, 2550));
        const auto dot = [](double sheetTwips) { return int(std::lround(sheetTwips / 4.8)); };
        const auto darkRun = [&image](int x, int y, bool vertical, int reach) {
            int count = 0;
            for (int d = -reach; d <= reach; ++d) {
                const int px = vertical ? x : x + d;
                const int py = vertical ? y + d : y;
                if (qGray(image.pixel(px, py)) < 160)
                    ++count;
            }
            return count;
        };
        // Frame: along the printable area, a quarter inch in from the edges.
        QVERIFY(darkRun(dot(4000), dot(360), true, 6) > 0);
        QVERIFY(darkRun(dot(15480), dot(9000), false, 6) > 0);
        // Cross: centred on the sheet's centre less the margins (printable origin
        // at 360, 360): 360 + 7920 - 270 across, 360 + 6120 - 180 down.
        const double crossX = 360 + 7920 - 270, crossY = 360 + 6120 - 180;
        const int crossThickness = darkRun(dot(crossX + 1000), dot(crossY), true, 8);
        QVERIFY(crossThickness > 0);
        QVERIFY(darkRun(dot(crossX), dot(crossY - 1000), false, 8) > 0);
        QCOMPARE(darkRun(dot(crossX + 1700), dot(crossY), true, 8), 0); // 3000 twips long
        // Rulers meet at the centre of the sheet (margins 0).
        const double meetX = 360 + 7920, meetY = 360 + 6120;
        const int tickThickness = darkRun(dot(meetX + 100), dot(meetY - 300), true, 8);
        QVERIFY(tickThickness > 0);
        QVERIFY(darkRun(dot(meetX - 400), dot(meetY + 100), false, 8) > 0);
        QCOMPARE(darkRun(dot(meetX - 450), dot(meetY + 100), false, 4), 0); // between ticks
        // The frame and the cross are heavier than the ticks.
        QVERIFY2(crossThickness >= 2 * tickThickness,
            qPrintable(QString("cross %1, tick %2").arg(crossThickness).arg(tickThickness)));
    }
};

QTEST_MAIN(TestTestPage)
#include "tst_testpage.moc"
