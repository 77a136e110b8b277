#include "PrintTestSupport.h"
#include "base/SettingsKeys.h"
#include "support/TestSupport.h"
#include "ui/CommonDialog.h"
#include "ui/PrintRangeDialog.h"
#include "ui/frmCalibrate.h"
#include "ui/frmSignLogo.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

namespace {

using namespace SettingsKeys;
const QStringList CalibrationKeys
    = { MARGINTOP, MARGINLEFT, ADJ4UD, ADJ4LR, ADJ2UD, ADJ2LR, ADJ1UD, ADJ1LR, PRINTSKU };
const QStringList LogoKeys = { FILELOGO, LOGOHEIGHT, LOGOWIDTH, LOGOLCR };

const QString TooHigh = "Error: \nHeight must be less than 2 inches.\n";
const QString TooWide = "Error: \nWidth must be less than 4 inches.\n";

const char* const Boxes[] = { "txtMarginTop", "txtMarginLeft", "txtAdj4UD", "txtAdj4LR",
    "txtAdj2UD", "txtAdj2LR", "txtAdj1UD", "txtAdj1LR" };

// Types texts into the calibration dialog's first boxes (in the order they are checked and
// stored); the texts of all eight.
QStringList boxes(const frmCalibrate& dlg, const QStringList& texts = {})
{
    QStringList now;
    for (int i = 0; i < 8; ++i) {
        if (i < texts.size())
            child<QLineEdit>(dlg, Boxes[i])->setText(texts[i]);
        now << child<QLineEdit>(dlg, Boxes[i])->text();
    }
    return now;
}

// As many messages shown as expected, the last an "Alert:" with that text.
void expectAlert(int count, const QString& text,
    DialogService::Buttons buttons = DialogService::Buttons::Ok,
    DialogService::Icon icon = DialogService::Icon::Information)
{
    QCOMPARE(dialogs().messages().size(), count);
    const DialogService::Message& m = dialogs().messages().constLast();
    QCOMPARE(QString("%1 %2 %3: ").arg(m.title).arg(int(m.buttons)).arg(int(m.icon)) + m.text,
        QString("Alert: %1 %2: ").arg(int(buttons)).arg(int(icon)) + text);
}

// The common dialog the logo dialog asks for its file through.
CommonDialog& common()
{
    static CommonDialog* dialog = new CommonDialog(dialogs(), nullptr); // lives to the end
    return *dialog;
}

} // namespace

class TestSetupDialogs : public QObject
{
    Q_OBJECT
    std::optional<TestSettingsScope> m_scope;

private slots:
    void init() { m_scope.emplace(); }
    void cleanup() { m_scope.reset(); }
    // OK checks the boxes in order: the first that is not numeric is named and
    // gets the focus, later ones are not examined, and nothing is stored.
    void validation_data()
    {
        QTest::addColumn<int>("bad");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("caption"); // empty: numeric, stored as typed
        const char* texts[] = { "", "   ", "x", "1e2", "-", "1,5", ".", "12a" };
        const char* captions[] = { "Top Margin", "Left Margin", "Up/Down 4-Up", "Left/Right 4-Up",
            "Up/Down 2-Up", "Left/Right 2-Up", "Up/Down 1-Up", "Left/Right 1-Up" };
        for (int i = 0; i < 8; ++i)
            QTest::addRow("%s", captions[i]) << i << texts[i] << captions[i];
        for (const char* text : { "-360", "12.5", "+45", ".5", "  42  " })
            QTest::newRow(text) << 4 << text << "";
        for (const char* text : { "12abc", "1e3", "1,000", "+-1", "1 000", "- 5", "&H10", "inf" })
            QTest::newRow(text) << 4 << text << "Up/Down 2-Up";
    }

    void validation()
    {
        QFETCH(int, bad);
        QFETCH(QString, text);
        QFETCH(QString, caption);
        frmCalibrate dlg(appSettings(), dialogs(), nullptr, {}, nullptr);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QStringList typed;
        for (int i = 0; i < 8; ++i)
            typed << (i == bad ? text : i < bad || caption.isEmpty() ? "0" : "abc");
        boxes(dlg, typed);
        dlg.cmdOk->setFocus();
        QTest::mouseClick(dlg.cmdOk, Qt::LeftButton);
        if (caption.isEmpty()) {
            QCOMPARE(messageTexts(), QStringList());
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
            QCOMPARE(storedValues(CalibrationKeys), typed << "1"); // print-SKU box ticked
            return;
        }
        expectAlert(1, caption + " must be numeric.  Please correct.");
        QCOMPARE(QApplication::focusWidget()->objectName(), Boxes[bad]);
        QVERIFY(dlg.isVisible());
        QCOMPARE(storedValues(CalibrationKeys), QStringList(9, Absent));
    }

    // An empty store shows the starting values; Cancel stores
    // nothing; OK stores every box exactly as typed and the print-SKU box.
    void okStoresAndCancelDoesNot()
    {
        const QStringList texts = { "200.5", "-360", "12.5", "-12.5", "0", " 7 ", "+100", "1440" };
        for (bool ok : { false, true }) {
            frmCalibrate dlg(appSettings(), dialogs(), nullptr, {}, nullptr);
            QCOMPARE(boxes(dlg), QStringList({ "180", "270", "0", "0", "0", "0", "0", "0" }));
            QVERIFY(dlg.ckbPrintSku->isChecked());
            QCOMPARE(dlg.txtPgHt->text(), QString()); // no printer to ask
            boxes(dlg, texts);
            dlg.ckbPrintSku->click();
            (ok ? dlg.cmdOk : dlg.cmdCancel)->click();
            QCOMPARE(dlg.result(), int(ok ? QDialog::Accepted : QDialog::Rejected));
            if (!ok)
                QCOMPARE(storedValues(CalibrationKeys), QStringList(9, Absent));
        }
        QVERIFY(dialogs().messages().isEmpty());
        QCOMPARE(storedValues(CalibrationKeys), texts + QStringList { "0" });
        frmCalibrate again(appSettings(), dialogs(), nullptr, {}, nullptr);
        QCOMPARE(boxes(again), texts);
        // The print-SKU box is ticked unless the stored value's leading number is 0.
        for (const QString value : { "0", "0abc", "no", "2" }) {
            appSettings().save(PRINTSKU, value);
            frmCalibrate dlg(appSettings(), dialogs(), nullptr, {}, nullptr);
            QCOMPARE(dlg.ckbPrintSku->isChecked(), value == "2");
        }
    }

    // The report at the top left of the test page, in 12 points.
    void testPageReport()
    {
        frmCalibrate dlg(appSettings(), dialogs(), nullptr, {}, nullptr);
        boxes(dlg, { "180.5", "270", "-360", "12.5", "1", "2", " 3", "+4" });
        // A printable area with a fraction: 359.5 twips unprintable at the top.
        RecordingCanvas canvas(QSizeF(12240, 15840), QMarginsF(360, 360, 359.5, 360), 600,
            QStringLiteral("Shop Laser"));
        QVERIFY(dlg.PrintTestPage(canvas));
        QCOMPARE(canvas.Orientation(), int(SignCanvas::Landscape));
        QCOMPARE(canvas.endDocs(), 1);

        const std::vector<CanvasOp> ops = PrintTest::textOps(canvas.operations());
        // Date and time on the first line, then one line every 268.125 twips.
        QVERIFY(ops.size() > 2 && ops[0].x == 0 && ops[0].y == 0 && ops[1].y == 0
            && ops[1].x >= ops[0].width);
        QStringList lines;
        for (size_t i = 2; i < ops.size(); ++i) {
            QCOMPARE(QPointF(ops[i].x, ops[i].y - ops[i - 1].y), QPointF(0, 268.125));
            QCOMPARE(ops[i].fontSize, 12.0);
            lines << ops[i].text;
        }
        // clang-format off
        const QStringList expected = { "Printer.DeviceName = Shop Laser", "Printer.Font =       " + canvas.FontName(),
            "Printer.ScaleMode =  1", "Printer.Height = 12240", "Printer.Width =  15840", "Printer.ScaleHeight = 11520.5",
            "Printer.ScaleWidth = 15120", "Printer.ScaleLeft = 0", "Printer.ScaleTop = 0", "Non-Printing Height = 719.5",
            "Non-Printing Width = 720", "", "Top Margin =  180.5", "Left Margin = 270", "4-up up/down = -360",
            "4-up left/right = 12.5", "2-up up/down = 1", "2-up left/right = 2", "1-up up/down =  3", "1-up left/right = +4",
            "", "Note:", "Crossed lines should print at center of page.", "Tick Marks are 100 units apart.",
            "Tick Marks meet at 0,0.", "Top Margin should be between 0 and 719.5", "Left Margin should be between 0 and 720" };
        // clang-format on
        QCOMPARE(lines, expected);
        // The test page reads the boxes as typed and stores none of them.
        QCOMPARE(stored(MARGINTOP), Absent);
    }

    // The frame along the printable area's bottom and right, the cross at the sheet's centre
    // less the margins, ticks 100 apart from the centre to the unprintable height and width.
    // A box not numeric draws nothing; beyond 16 bits is the overflow, the page abandoned.
    void testPage_data()
    {
        QTest::addColumn<QString>("in"); // top, left, portrait height, unprintable height, width
        QTest::addColumn<QString>("out"); // bottom, right, cross x, y, last ticks y, x; or message
        const QString overflow = "Runtime Error 6 has been detected.\r\nOverflow";
        // clang-format off
        QTest::newRow("margins 0 and 0 meet the rulers") << "0 0 15840 720 720" << "11520 15120 7920 6120 5420 7220";
        QTest::newRow("margins 180 and 270") << "180 270 15840 720 720" << "11520 15120 7650 5940 5420 7220";
        QTest::newRow("180 on 360 unprintable") << "180 0 15840 360 720" << "11880 15120 7920 5940 5820 7220";
        QTest::newRow("half rounds to even, up") << "180.5 -1.5 15840 720 720" << "11520 15120 7922 5940 5420 7220";
        QTest::newRow("negative margins") << "-100 -50 15840 720 720" << "11520 15120 7970 6220 5420 7220";
        QTest::newRow("none unprintable") << "180 270 15840 0 0" << "12240 15840 7650 5940 6120 7920";
        QTest::newRow("height 250") << "180 270 15840 250 360" << "11990 15480 7650 5940 5920 7620";
        QTest::newRow("limit on the grid is included") << "180 270 15840 300 99" << "11940 15741 7650 5940 5820 7920";
        QTest::newRow("fraction rounds before the limit") << "180 270 15840 299.5 100.5" << "11940.5 15739.5 7650 5940 5820 7820";
        QTest::newRow("cross ends at 32767") << "180 -23347 15840 720 720" << "11520 15120 31267 5940 5420 7220";
        QTest::newRow("cross ends at 32768") << "180 -23348 15840 720 720" << overflow;
        QTest::newRow("cross starts at -32768") << "180 39188 15840 720 720" << "11520 15120 -31268 5940 5420 7220";
        QTest::newRow("cross starts at -32769") << "180 39189 15840 720 720" << overflow;
        QTest::newRow("sheet beyond 16 bits") << "180 270 70000 720 720" << overflow;
        QTest::newRow("centre beyond 16 bits") << "180 -30000 15840 720 720" << overflow;
        QTest::newRow("centre below 16 bits") << "40000 270 15840 720 720" << overflow;
        QTest::newRow("too large for a double") << QString(400, '9') + " 270 15840 720 720" << overflow;
        QTest::newRow("not numeric") << "180 up 15840 720 720" << "Left Margin must be numeric.  Please correct.";
        // clang-format on
    }

    void testPage()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        const QStringList a = in.split(' ');
        frmCalibrate dlg(appSettings(), dialogs(), nullptr, {}, nullptr);
        boxes(dlg, a.mid(0, 2));
        const double h = a[3].toDouble() / 2, w = a[4].toDouble() / 2;
        RecordingCanvas canvas(QSizeF(12240, a[2].toDouble()), QMarginsF(h, w, h, w));
        QList<double> expected;
        for (const QString& n : out.split(' '))
            expected << n.toDouble();
        QCOMPARE(dlg.PrintTestPage(canvas), expected[0] > 0);
        if (expected[0] == 0) {
            expectAlert(1, out);
            const bool drawn = out.startsWith("Runtime Error 6 ");
            QCOMPARE(canvas.abandoned(), drawn);
            QCOMPARE(canvas.operations().empty(), !drawn);
            QCOMPARE(canvas.endDocs(), 0);
            return;
        }
        const double bottom = expected[0], right = expected[1], cx = expected[2], cy = expected[3];
        QList<QLineF> lines = { { 0, 0, 15840, 0 }, { 0, bottom, 15840, bottom },
            { 0, 0, 0, 12240 }, { right, 0, right, 12240 }, { cx - 1500, cy, cx + 1500, cy },
            { cx, cy - 1500, cx, cy + 1500 } };
        for (double y = 6120; y >= expected[4]; y -= 100)
            lines << QLineF(8120, y, 7920, y);
        for (double x = 7920; x >= expected[5]; x -= 100)
            lines << QLineF(x, 6320, x, 6120);
        QList<QLineF> drawn;
        for (const CanvasOp& op : PrintTest::opsOfKind(canvas.operations(), CanvasOp::Kind::Line)) {
            QCOMPARE(op.drawWidth, drawn.size() < 6 ? 6 : 2);
            QCOMPARE(op.color, 0);
            drawn << QLineF(op.x, op.y, op.x2, op.y2);
        }
        QCOMPARE(drawn, lines);
    }

    // Without a printer, or with one that fails, the test page is the printer error, which
    // offers printer setup; the values then belong to the printer chosen there. With one, the
    // dialog shows its sheet and printable area and the page is printed on it.
    void testPagePrinted()
    {
        const QString pdf = m_scope->path() + "/testpage.pdf",
                      gone = m_scope->path() + "/gone/a.pdf";
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(gone);
        printer.setResolution(300);
        // US Letter, a quarter inch (18 points, 360 twips) unprintable, a little
        // more at the bottom: the printable height has a fraction of a twip.
        QVERIFY(printer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter),
            QPageLayout::Portrait, QMarginsF(18, 18, 18, 27.01), QPageLayout::Point)));
        const auto choose = [&] { printer.setOutputFileName(pdf); };
        frmCalibrate none(appSettings(), dialogs(), nullptr, choose, nullptr);
        dialogs().queueAnswer(DialogService::Answer::Yes);
        none.cmdPrintTest->click();
        expectAlert(1,
            "Runtime Error 482 has been detected.\r\n"
            "Check that your printer is ready (hooked up, on-line, etc).\r\n"
            "Do you want to verify what printer this program is using?",
            DialogService::Buttons::YesNo);
        QCOMPARE(printer.outputFileName(), pdf); // printer setup ran
        printer.setOutputFileName(gone);
        frmCalibrate dlg(appSettings(), dialogs(), &printer, choose, nullptr);
        QCOMPARE(
            dlg.txtPgHt->text() + " / " + dlg.txtPgWd->text(), "15840, 14939.8 / 12240, 11520");
        // The figures are those of the current orientation, which stays as it was.
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Portrait);
        dialogs().queueAnswer(DialogService::Answer::Yes);
        dlg.cmdPrintTest->click();
        QCOMPARE(
            dlg.lblPrinter->text(), "These values are for the printer \"PDF file " + pdf + "\".");
        dlg.cmdPrintTest->click(); // margins 180 and 270
        QCOMPARE(dialogs().messages().size(), 2);
        dlg.cmdOk->click();
        QCOMPARE(stored(CALIBRATEDPRINTER), "pdf:" + pdf);

        // Rendered at 300 dots per inch (1 twip is 1/4.8 dot): the frame a quarter inch in,
        // the cross at (8010, 6300), a tick from the rulers at the sheet's centre.
        QProcess render;
        render.start("pdftoppm", { "-r", "300", "-gray", "-png", "-singlefile", pdf, pdf });
        QVERIFY(render.waitForFinished(60000) && render.exitCode() == 0);
        const QImage image(pdf + ".png");
        QCOMPARE(image.size(), QSize(3300, 2550));
        for (const QPointF at : { QPointF(4000, 360), QPointF(9010, 6300), QPointF(8380, 6180) })
            QVERIFY(qGray(image.pixel(std::lround(at.x() / 4.8), std::lround(at.y() / 4.8))) < 160);
    }

    // Save checks both sizes (by their leading number) and stores them exactly
    // as typed with the position: exactly "LEFT" or "RIGHT", anything else is
    // the centre; a failure names every fault and focuses the last box. The
    // preview of the starting 0.5 by 1.5 inches stands as far from the side as
    // from the top (pixels at 96 dots per inch).
    void saveChecksSizes_data()
    {
        QTest::addColumn<QString>("position");
        QTest::addColumn<int>("left");
        QTest::addColumn<QString>("sizes"); // height|width
        QTest::addColumn<QString>("outcome"); // the position stored, or message@box focused
        const QString h0 = "Error: \nHeight must be greater than 0.\n@txtLogoHeight";
        // clang-format off
        QTest::newRow("under the limits") << Absent << 168 << "1.99|3.99" << "CENTER";
        QTest::newRow("LEFT") << "LEFT" << 8 << "1.99|3.99" << "LEFT";
        QTest::newRow("RIGHT") << "RIGHT" << 328 << "1.99|3.99" << "RIGHT";
        QTest::newRow("lower-case left") << "left" << 168 << "1|1." << "CENTER";
        QTest::newRow("padded RIGHT") << "RIGHT " << 168 << "1|1" << "CENTER";
        QTest::newRow("height 2") << Absent << 168 << "2|1" << TooHigh + "@txtLogoHeight";
        QTest::newRow("width 4") << Absent << 168 << "1|4" << TooWide + "@txtLogoWidth";
        QTest::newRow("zero height, wide") << Absent << 168 << "0|5"
            << "Error: \nHeight must be greater than 0.\nWidth must be less than 4 inches.\n@txtLogoWidth";
        QTest::newRow("negative width") << Absent << 168 << "0.5|-1" << "Error: \nWidth must be greater than 0.\n@txtLogoWidth";
        QTest::newRow("empty height") << Absent << 168 << "|1" << h0;
        QTest::newRow("letters are 0") << Absent << 168 << "abc|1" << h0;
        QTest::newRow("leading number of the text") << Absent << 168 << "1.5in|2 inches" << "CENTER";
        // clang-format on
    }

    void saveChecksSizes()
    {
        QFETCH(QString, position);
        QFETCH(int, left);
        QFETCH(QString, sizes);
        QFETCH(QString, outcome);
        if (position != Absent)
            appSettings().save(LOGOLCR, position);
        frmSignLogo dlg(appSettings(), dialogs(), common(), nullptr);
        QVERIFY(dlg.FormLoaded());
        QCOMPARE(dlg.txtLogoHeight->text() + "|" + dlg.txtLogoWidth->text(), QString("0.5|1.5"));
        QCOMPARE(dlg.imgLogo->geometry(), QRect(left, 8, 144, 48));
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        // Typing may already complain of a size too large; only Save matters here.
        dlg.txtLogoHeight->setText(sizes.section('|', 0, 0));
        dlg.txtLogoWidth->setText(sizes.section('|', 1));
        dialogs().reset();
        dlg.cmdSave->setFocus();
        dlg.cmdSave->click();
        if (!outcome.contains('@')) {
            QVERIFY(dialogs().messages().isEmpty());
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
            QCOMPARE(storedValues(LogoKeys),
                QStringList { "" } + sizes.split('|') + QStringList { outcome });
            return;
        }
        expectAlert(1, outcome.section('@', 0, 0));
        QCOMPARE(QApplication::focusWidget()->objectName(), outcome.section('@', 1));
        QCOMPARE(storedValues(LogoKeys), QStringList(4, Absent));
    }

    // The file is chosen by clicking the preview or double-clicking the path; a cancelled
    // file dialog changes nothing, Cancel stores nothing, Save stores the chosen file.
    void chosenFileIsPreviewedAndStored()
    {
        const QString oldPath
            = PrintTest::writePicture(m_scope->path(), "old.png", 40, 20, Qt::red);
        const QString newPath
            = PrintTest::writePicture(m_scope->path(), "new.bmp", 40, 20, Qt::red);
        appSettings().save(FILELOGO, oldPath);
        for (bool save : { false, true }) {
            frmSignLogo dlg(appSettings(), dialogs(), common(), nullptr);
            QVERIFY(!dlg.logoPicture().isNull());
            QCOMPARE(dlg.txtLogoFileName->text(), oldPath);
            dialogs().queueFile(std::nullopt);
            QTest::mouseDClick(dlg.txtLogoFileName, Qt::LeftButton);
            QCOMPARE(dlg.LogoFile(), oldPath);
            dialogs().queueFile(newPath);
            QTest::mouseClick(dlg.imgLogo, Qt::LeftButton);
            QCOMPARE(dialogs().fileRequests().constLast().fileName, oldPath);
            QCOMPARE(dlg.txtLogoFileName->text(), newPath);
            // The picture fills the preview at its printed size, whatever its own size.
            const QImage shown = dlg.imgLogo->grab().toImage();
            QCOMPARE(shown.size(), QSize(144, 48));
            QCOMPARE(QColor(shown.pixel(4, 44)), QColor(Qt::red));
            QCOMPARE(QColor(shown.pixel(140, 4)), QColor(Qt::red));

            dlg.txtLogoHeight->setText(" .75"); // stored as typed
            dlg.txtLogoWidth->setText("2.250");
            dlg.optLeft->click();
            (save ? dlg.cmdSave : dlg.cmdCancel)->click();
            QCOMPARE(dlg.result(), int(save ? QDialog::Accepted : QDialog::Rejected));
            if (!save)
                QCOMPARE(storedValues(LogoKeys), QStringList({ oldPath, Absent, Absent, Absent }));
        }
        QCOMPARE(storedValues(LogoKeys), QStringList({ newPath, " .75", "2.250", "LEFT" }));
        QVERIFY(dialogs().messages().isEmpty());
    }

    // A stored file that is gone or no picture shows no preview and is kept;
    // a stored size out of range is silent until Save, a size typed is said at once. Choosing a
    // file that is no picture is said at once.
    void storedValuesThatDoNotWork()
    {
        const QString gone = m_scope->path() + "/gone.jpg";
        const QString notAPicture = writeTestFile(m_scope->path(), "notes.jpg", "not a picture");
        appSettings().save(FILELOGO, gone);
        appSettings().save(LOGOWIDTH, "5");
        frmSignLogo dlg(appSettings(), dialogs(), common(), nullptr);
        QVERIFY(dlg.logoPicture().isNull());
        QCOMPARE(dlg.txtLogoFileName->text(), gone);
        QVERIFY(dialogs().messages().isEmpty());
        // Sized only as far as the boxes were filled before the width failed.
        QCOMPARE(dlg.imgLogo->width(), 0);
        dlg.cmdSave->click();
        expectAlert(1, TooWide);
        // A size too large is reported while typing; the preview keeps its size.
        dlg.txtLogoWidth->setText("1.5");
        dlg.txtLogoWidth->setText("5");
        expectAlert(2, TooWide);
        QCOMPARE(dlg.imgLogo->width(), 144);
        dlg.txtLogoWidth->setText("1.5");
        dlg.cmdSave->click();
        QCOMPARE(storedValues(LogoKeys), QStringList({ gone, "0.5", "1.5", "CENTER" }));

        appSettings().save(FILELOGO, notAPicture);
        frmSignLogo second(appSettings(), dialogs(), common(), nullptr);
        QVERIFY(second.logoPicture().isNull());
        dialogs().queueFile(notAPicture);
        QTest::mouseClick(second.imgLogo, Qt::LeftButton);
        QCOMPARE(second.LogoFile(), notAPicture);
        expectAlert(3,
            notAPicture
                + " is not a picture that can be read.\nChoose a JPEG or bitmap "
                  "file, or the signs will print without a logo.",
            DialogService::Buttons::Ok, DialogService::Icon::Exclamation);
    }

    // The print question's copies: the choice it opens with, the range it allows, and the page
    // count that follows them (five signs, two of them selected). in: signs per page, the
    // copies the question opens with, the copies typed (0: none), "s" for selected rows only.
    void printRangeCopies_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out"); // copies, the page count shown
        QTest::newRow("opens with one") << "4 1 0"
                                        << "1 of 2 pages";
        QTest::newRow("opens with the kept choice") << "4 3 0"
                                                    << "3 of 4 pages";
        QTest::newRow("kept choice out of range") << "4 0 0"
                                                  << "1 of 2 pages";
        QTest::newRow("2-Up from cell 2, 99") << "2 1 99"
                                              << "99 of 248 pages";
        QTest::newRow("no more than 99") << "1 1 100"
                                         << "99 of 495 pages";
        QTest::newRow("selected rows") << "4 1 3 s"
                                       << "3 of 2 pages";
    }
    void printRangeCopies()
    {
        QFETCH(QString, in);
        const QStringList a = in.split(' ');
        PrintRange initial;
        initial.copies = a[1].toInt();
        initial.selectedOnly = a.size() > 3;
        initial.firstCell = a[0] == "2" ? 2 : 1;
        PrintRangeDialog dlg("Print Signs", a[0].toInt(), 5, 2, initial);
        if (a[2] != "0")
            child<QSpinBox>(dlg, "spnCopies")->setValue(a[2].toInt());
        const QString pages = child<QLabel>(dlg, "lblPageCount")->text();
        QTEST(QString::number(dlg.range().copies) + ' ' + pages, "out");
        QCOMPARE(child<QSpinBox>(dlg, "spnToPage")->maximum(), pages.split(' ')[1].toInt());
    }
};

QTEST_MAIN(TestSetupDialogs)
#include "tst_setupdialogs.moc"
