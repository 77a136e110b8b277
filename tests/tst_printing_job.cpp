// The print job over recording surfaces: counting, paging, the preview's
// questions, cancel, and printer errors; and a print run through the window.

#include "PdfTestSupport.h"
#include "support/TestSupport.h"

#include "base/SettingsKeys.h"
#include "printing/PrintPlan.h"
#include "ui/frmSigns.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QtTest>

#include <map>

using namespace PrintTest;
using Answer = DialogService::Answer;

class TestPrintingJob : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSettingsScope> m_scope;
    std::unique_ptr<AppSettings> m_settings;
    SignListModel m_model;
    std::unique_ptr<FakePrintWindow> m_window;

    // Runs the job. rows: signs split by ";" ("T2": a typical sign SKU2; ""
    // a blank row). setup: "pv" previews instead of printing, "f=" format
    // index, "st=" window state, "ans=" answers in turn (o k, c ancel, y es,
    // n o), "fail=" the printer fails at that drawing call, "failEnd" at the
    // end, "logo=" and "pic=" sign options, or a setting "KEY=value" ("@" is
    // a test folder with the unreadable pictures bad.jpg and bad.bmp).
    FakePrintWindow& run(const QString& rows, const QString& setup)
    {
        writeTestFile(m_scope->path(), "bad.jpg", "garbage");
        writeTestFile(m_scope->path(), "bad.bmp", "BM"); // a bitmap's signature, nothing after
        std::vector<SignRow> signs;
        for (const QString& r : rows.split(';'))
            signs.push_back(r.startsWith('T')
                    ? typicalSign(r.mid(1).toInt())
                    : signOf(QString(r).replace('@', m_scope->path() + '/')));
        fill(m_model, signs);
        FakePrintWindow& w = *m_window;
        bool print = true;
        const std::map<QString, int*> numbers
            = { { "f", &w.format }, { "st", &w.state }, { "fail", &w.failAtDrawing },
                  { "logo", &w.options.logo }, { "pic", &w.options.graphic } };
        const Answer answers[] = { Answer::Ok, Answer::Cancel, Answer::Yes, Answer::No };
        for (const QString& token : setup.split(' ', Qt::SkipEmptyParts)) {
            const QString key = token.section('=', 0, 0), value = token.section('=', 1);
            if (numbers.count(key))
                *numbers.at(key) = value.toInt();
            else if (key == "pv")
                print = false;
            else if (key == "failEnd")
                w.failEndDoc = true;
            else if (key == "ans") {
                for (QChar a : value)
                    dialogs().queueAnswer(answers[QStringLiteral("ocyn").indexOf(a)]);
            } else
                m_settings->save(key, QString(value).replace('@', m_scope->path() + '/'));
        }
        jobFor(m_model, *m_settings, w).PrintSigns(print);
        return w;
    }

    // The SKU texts (the run's smallest font) page by page: "S1,S2 / S3".
    static QString skusByPage(const std::vector<CanvasOp>& ops)
    {
        double least = 1e9;
        for (const CanvasOp& op : textOps(ops))
            least = std::min(least, op.fontSize);
        QStringList pages { QString() };
        for (const CanvasOp& op : ops) {
            if ((op.kind == CanvasOp::Kind::NewPage || op.kind == CanvasOp::Kind::Cls)
                && !pages.back().isEmpty())
                pages << QString();
            else if (op.kind == CanvasOp::Kind::Text && op.fontSize == least)
                pages.back() += (pages.back().isEmpty() ? "" : ",") + op.text;
        }
        return pages.join(" / ");
    }

private slots:
    void init()
    {
        m_scope = std::make_unique<TestSettingsScope>();
        m_settings = std::make_unique<AppSettings>(appSettings());
        m_window = std::make_unique<FakePrintWindow>();
    }

    // What the run did: the printer opened, orientation, new pages, end docs and abandoned as
    // digits; the progress shown ("!" when never ended); printer setups; the window state and
    // the state while previewing; the preview visible, pages shown and clears; the SKUs drawn
    // page by page on the printer and the preview; the messages ("title iICON bBUTTONS: text").
    void runs_data()
    {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QStringList>("said");
        const QString page = "Print Preview i0 b1: Previewing page ";
        const QString next = "\r\nPress OK to see the next page.";
        const QString move = "\r\nTo move this box, use the mouse to drag it.";
        const QString error481
            = "Alert: i1 b0: Runtime Error 481 has been detected.\r\nInvalid picture: ";
        const QStringList error482
            = { "Alert: i1 b2: Runtime Error 482 has been detected.\r\nCheck "
                "that your printer is ready (hooked up, on-line, etc).\r\nDo "
                "you want to verify what printer this program is using?" };
        // Margins that leave a cell no room stop the run before anything is drawn, naming
        // the setting; in 2-Up the margins swap axes.
        const QString noRoom = "Alert: i1 b0: The printer calibration leaves no room for a sign: ";
        const QString fix = " twips. Correct it in File, Calibrate Printer.";
        // clang-format off
        QTest::newRow("no SKU: nothing to print") << "|1.99||no sku;  |" << "" << "00000 0/0! s0 w0,-1 p0,0,0 |  | "
            << QStringList { "Alert: i1 b0: No data to print." };
        QTest::newRow("4up 5 signs") << "S1|1.00;;S2|1.00;;S3|1.00;;S4|1.00;;S5|1.00;" << ""
            << "12110 5/5 s0 w0,-1 p0,0,0 | S1,S2,S3,S4 / S5 | " << QStringList {};
        QTest::newRow("4up 8 signs: no trailing page") << "S1|1;S2|1;S3|1;S4|1;S5|1;S6|1;S7|1;S8|1" << ""
            << "12110 8/8 s0 w0,-1 p0,0,0 | S1,S2,S3,S4 / S5,S6,S7,S8 | " << QStringList {};
        QTest::newRow("2up 3 signs") << "S1|1.00;;S2|1.00;;S3|1.00;" << "f=1" << "11110 3/3 s0 w0,-1 p0,0,0 | S1,S2 / S3 | "
            << QStringList {};
        QTest::newRow("1up 3 signs") << "S1|1.00;;S2|1.00;;S3|1.00;" << "f=2"
            << "12210 3/3 s0 w0,-1 p0,0,0 | S1 / S2 / S3 | " << QStringList {};
        QTest::newRow("preview two pages") << "S1|1.00;S2|1.00;S3|1.00;S4|1.00;S5|1.00" << "pv st=7 ans=oo"
            << "12000 5/5 s0 w7,2 p0,2,2 |  | S1,S2,S3,S4 / S5"
            << QStringList { page + "1 of 2" + next + move, page + "2 of 2" + move };
        QTest::newRow("preview cancelled on the first of two pages") << "T1;T2" << "pv f=2 st=1 ans=c"
            << "12000 1/2 s0 w1,2 p0,1,1 |  | SKU1" << QStringList { page + "1 of 2" + next + move };
        QTest::newRow("preview cancelled on its only page") << "T1" << "pv f=2 st=1 ans=c"
            << "12000 1/1 s0 w1,2 p0,1,1 |  | SKU1" << QStringList { page + "1 of 1" + move };
        QTest::newRow("unreadable picture stops the run") << "T1;S2|1||||||@bad.jpg;T3" << "pic=1"
            << "12001 2/3 s0 w0,-1 p0,0,0 | SKU1 | " << QStringList { error481 + "@bad.jpg (Unsupported image format)" };
        QTest::newRow("unreadable logo in the preview") << "T1;T2" << "pv logo=1 st=4 FILELOGO=@bad.bmp"
            << "12001 1/2 s0 w4,2 p0,0,1 |  | " << QStringList { error481 + "@bad.bmp (Unknown error)" };
        QTest::newRow("printer error, yes opens printer setup") << "T1;T2" << "fail=3 ans=y"
            << "12001 1/2 s1 w0,-1 p0,0,0 | $ | " << error482;
        QTest::newRow("printer refuses the finished document") << "T1;T2" << "failEnd ans=n"
            << "12001 2/2 s0 w0,-1 p0,0,0 | SKU1,SKU2 | " << error482;
        QTest::newRow("no room across") << "T1;T2" << "MARGINLEFT=9000" << "12000 0/0! s0 w0,-1 p0,0,0 |  | "
            << QStringList { noRoom + "MARGINLEFT is 9000" + fix };
        QTest::newRow("no room down, preview untouched") << "T1" << "pv st=1 f=1 MARGINTOP=200 MARGINLEFT=-8000"
            << "11000 0/0! s0 w1,-1 p0,0,0 |  | " << QStringList { noRoom + "MARGINLEFT is -8000" + fix };
        QTest::newRow("no room across in 2-Up") << "T1" << "f=1 MARGINTOP=6200" << "11000 0/0! s0 w0,-1 p0,0,0 |  | "
            << QStringList { noRoom + "MARGINTOP is 6200" + fix };
        QTest::newRow("narrow cell still prints") << "T1" << "f=1 MARGINTOP=5000"
            << "11010 1/1 s0 w0,-1 p0,0,0 | Two year warranty | " << QStringList {};
        // clang-format on
    }

    void runs()
    {
        QFETCH(QString, rows);
        QFETCH(QString, setup);
        const FakePrintWindow& w = run(rows, setup);
        const CanvasLog& p = w.printer;
        const QString got
            = QString::asprintf("%d%d%d%d%d %d/%d%s s%d w%d,%d p%d,%d,%d | ", p.opened,
                  p.orientation, p.newPages, p.endDocs, p.abandoned, w.lastProgress,
                  w.progressTotal, w.progressEnded ? "" : "!", w.setupRuns, w.state,
                  w.stateWhenPreviewShown, w.previewVisible, w.previewsShown, w.preview.clears)
            + skusByPage(p.ops) + " | " + skusByPage(w.preview.ops);
        QStringList messages;
        for (const auto& m : dialogs().messages())
            messages
                << QStringLiteral("%1 i%2 b%3: ").arg(m.title).arg(int(m.icon)).arg(int(m.buttons))
                    + QString(m.text).replace(m_scope->path() + '/', "@");
        QTEST(got, "result");
        QTEST(messages, "said");
    }

    // The plan of a run as data: printable rows, cells per page, copies, first cell, page range
    // and chosen rows in; "page: row.cell ..." per page out.
    void planPages_data()
    {
        QTest::addColumn<QVector<int>>("printable");
        QTest::addColumn<int>("perPage");
        QTest::addColumn<QString>("range"); // [copies x] first cell, from, to[, chosen rows]
        QTest::addColumn<QString>("plan");
        const QVector<int> seven { 1, 2, 3, 4, 5, 6, 7 }, gaps { 2, 5, 9 }, two { 1, 2 };
        // clang-format off
        QTest::newRow("first cell 3") << seven << 4 << "3 1 0" << "1: 1.3 2.4 | 2: 3.1 4.2 5.3 6.4 | 3: 7.1";
        QTest::newRow("first cell 3, page 2 only") << seven << 4 << "3 2 2" << "2: 3.1 4.2 5.3 6.4";
        QTest::newRow("cell past the page: the last") << seven << 4 << "9 1 1" << "1: 1.4";
        QTest::newRow("cell 0: the first") << seven << 2 << "0 1 1" << "1: 1.1 2.2";
        QTest::newRow("blank rows skipped, 2-Up cell 2") << gaps << 2 << "2 1 0" << "1: 2.2 | 2: 5.1 9.2";
        QTest::newRow("range past the end") << seven << 4 << "1 2 9" << "2: 5.1 6.2 7.3";
        QTest::newRow("chosen rows in list order, blank and unknown left out") << gaps << 1 << "1 1 0 9 2 2 40 3"
            << "1: 2.1 | 2: 9.1";
        QTest::newRow("chosen rows, cell and pages") << seven << 4 << "4 2 2 7 1 6 3" << "2: 3.1 6.2 7.3";
        QTest::newRow("no such page, full pages") << seven + QList { 8 } << 4 << "1 3 4" << "no page 3 to print: the signs fill 2 pages.";
        QTest::newRow("nothing chosen prints") << gaps << 4 << "1 1 0 3" << "no data";
        QTest::newRow("empty list") << QVector<int> {} << 4 << "1 1 0" << "no data";
        QTest::newRow("3 copies: three hammers and a saw") << two << 4 << "3x 1 1 0" << "1: 1.1 1.2 1.3 2.4 | 2: 2.1 2.2";
        QTest::newRow("copies from cell 2, page 2 only") << QList { 1, 2, 3 } << 4 << "3x 2 2 2" << "2: 2.1 2.2 2.3 3.4";
        QTest::newRow("copies of chosen rows, 2-Up") << gaps << 2 << "2x 2 1 0 9 2" << "1: 2.2 | 2: 2.1 9.2 | 3: 9.1";
        QTest::newRow("copies, 1-Up pages 2 to 3") << QList { 4, 8 } << 1 << "2x 1 2 3" << "2: 4.1 | 3: 8.1";
        QTest::newRow("copies count in the pages") << seven << 4 << "2x 1 5 5"
            << "no page 5 to print: the signs fill 4 pages.";
        QTest::newRow("99 copies, last page") << two << 4 << "99x 1 50 0" << "50: 2.1 2.2";
        // clang-format on
    }
    void planPages()
    {
        QFETCH(QVector<int>, printable);
        QFETCH(int, perPage);
        QFETCH(QString, range);
        QStringList numbers = range.split(' ');
        const int copies = numbers[0].endsWith('x') ? numbers.takeFirst().chopped(1).toInt() : 1;
        PrintRange asked { numbers[0].toInt(), numbers[1].toInt(), numbers[2].toInt(),
            numbers.size() > 3, {}, copies };
        for (const QString& row : numbers.mid(3))
            asked.rows << row.toInt();
        const PrintPlan plan
            = PlanPages(std::vector<int>(printable.begin(), printable.end()), perPage, asked);
        QStringList pages;
        for (const PlannedPage& page : plan.pages) {
            QString text = QString::number(page.number) + ':';
            for (const PlannedSign& sign : page.signs)
                text += QString(" %1.%2").arg(sign.row).arg(sign.cell);
            pages << text;
        }
        const QString got = plan.outcome == PrintPlan::Outcome::NoData ? QString("no data")
            : plan.outcome == PrintPlan::Outcome::NoSuchPage
            ? plan.noSuchPageMessage().mid(QString("There is ").size())
            : pages.join(" | ");
        QTEST(got, "plan");
    }

    // Where SKU and price texts land for the format and the calibration.
    void placement_data()
    {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("drawn");
        // clang-format off
        QTest::newRow("4up fills left-right, top-bottom") << "S1|1;S2|1;;S3|1;|1|||bullet only;S5|1"
            << "MARGINLEFT=360 MARGINTOP=360abc PRINTSKU=1" << QStringList {
            "$ 1080,1250 40b", "1.00 1524.921875,1100 60b", " 1080,2451 20", "S1 6655.37109375,5064.84375 10",
            "$ 9000,1250 40b", "1.00 9444.921875,1100 60b", " 9000,2451 20", "S2 14575.37109375,5064.84375 10",
            "$ 1080,7370 40b", "1.00 1524.921875,7220 60b", " 1080,8571 20", "S3 6655.37109375,11184.84375 10",
            "$ 9000,7370 40b", "1.00 9444.921875,7220 60b", " 9000,8571 20", "dot 9168,9386 r41.89453125",
            "bullet only 9335.15625,9218 15", " 14820,11184.84375 10", "page", "$ 1080,1250 40b",
            "1.00 1524.921875,1100 60b", " 1080,2451 20", "S5 6655.37109375,5064.84375 10" };
        QTest::newRow("2up scaled and shifted") << "S1|5"
            << "f=1 ADJ2UD=100.5 ADJ2LR=-40 MARGINTOP=360 MARGINLEFT=360" << QStringList {
            "$ 1688,1718.1176470588234 51.76470588235294b", "5.00 2263.78125,1524 77.64705882352942b",
            " 1688,3272 25.88235294117647",
            "S1 10815.18612132353,6766.268382352941 12.941176470588236" };
        // clang-format on
    }

    void placement()
    {
        QFETCH(QString, rows);
        QFETCH(QString, setup);
        QFETCH(QStringList, drawn);
        QCOMPARE(describe(run(rows, setup).printer.ops), drawn);
    }

    // Each up/down and left/right shift moves the signs of its own format only; the margins
    // move every format (turned with the 2-Up's landscape sheet). Where the first "$" lands.
    void calibrationShifts_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QPointF>("dollar");
        const QPointF up4(1692, 1610), up2(2340, 2338.117647), up1(2880, 3220);
        const struct
        {
            const char* key;
            QPointF shifted[3]; // 4-Up, 2-Up, 1-Up
        } rows[] = {
            { "", { up4, up2, up1 } },
            { "ADJ4UD", { { 1692, 1710 }, up2, up1 } },
            { "ADJ4LR", { { 1792, 1610 }, up2, up1 } },
            { "ADJ2UD", { up4, { 2340, 2438.117647 }, up1 } },
            { "ADJ2LR", { up4, { 2440, 2338.117647 }, up1 } },
            { "ADJ1UD", { up4, up2, { 2880, 3320 } } },
            { "ADJ1LR", { up4, up2, { 2980, 3220 } } },
            { "MARGINTOP", { { 1692, 1510 }, { 2170, 2338.117647 }, { 2880, 3020 } } },
            { "MARGINLEFT", { { 1522, 1610 }, { 2340, 2138.117647 }, { 2710, 3220 } } },
        };
        const char* const formats[] = { "4-Up", "2-Up", "1-Up" };
        for (const auto& row : rows)
            for (int f = 0; f < 3; ++f)
                QTest::addRow("%s %s", formats[f], *row.key ? row.key : "unshifted")
                    << f << (*row.key ? QString(row.key) + "=100" : QString()) << row.shifted[f];
    }
    void calibrationShifts()
    {
        QFETCH(int, format);
        QFETCH(QString, setting);
        QFETCH(QPointF, dollar);
        const FakePrintWindow& w = run("S1|1", QString("f=%1 %2").arg(format).arg(setting));
        const CanvasOp* op = findText(w.printer.ops, "$");
        QVERIFY(op);
        QVERIFY2(std::abs(op->x - dollar.x()) < 1e-3 && std::abs(op->y - dollar.y()) < 1e-3,
            qPrintable(QString::asprintf("at %.3f,%.3f", op->x, op->y)));
    }

    void optionsAndSettingsReadPerSign()
    {
        m_window->beforeSign = [this](int n) {
            if (n == 2)
                m_settings->save(SettingsKeys::ColorPrice, "255"), m_window->options.title = 1;
            m_window->options.titleText = "LATE";
        };
        const auto& ops = run("T1;T2", "").printer.ops;
        QCOMPARE(findText(ops, "12.99", 0)->color, 0);
        QCOMPARE(findText(ops, "12.99", 1)->color, 255);
        QCOMPARE(findText(ops, "LATE")->page, 1);
    }

    // Print Signs (1-Up from the button) and Print Preview through the real main window. At
    // the window's designed size the summary shows what needs attention first, within the room
    // the database indicators leave; the whole line is the status bar's tooltip.
    void printAndPreviewThroughTheWindow()
    {
        frmSigns w(dialogs());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.printer()->setOutputFormat(QPrinter::PdfFormat);
        w.printer()->setPageSize(QPageSize(QPageSize::Letter));
        fill(*w.model(), { typicalSign(1), typicalSign(2), typicalSign(3) });
        const QString pdf = m_scope->path() + "/signs.pdf";
        w.printer()->setOutputFileName(pdf);
        for (QAction* format : w.findChildren<QAction*>("mnuFormatSel"))
            if (format->property("index").toInt() == 2)
                format->trigger(); // 1-Up
        QTest::mouseClick(child<QPushButton>(w, "cmdPrintGrid"), Qt::LeftButton);
        QCOMPARE(PdfTest::pageCount(pdf), 3);
        QCOMPARE(w.printer()->pageLayout().orientation(), QPageLayout::Landscape);
        QStatusBar* bar = w.statusBar();
        QCOMPARE(bar->currentMessage(), "3 signs printed on 3 pages to " + pdf);

        // The preview pages on, then hides and puts the window back.
        const Qt::WindowStates before = w.windowState();
        dialogs().queueAnswer(Answer::Ok);
        dialogs().queueAnswer(Answer::Ok);
        trigger(w, "mnuFilePrintPreview");
        QCOMPARE(dialogs().messages().size(), 3);
        QVERIFY(!child<QLabel>(w, "picBox")->isVisible());
        QCOMPARE(w.windowState(), before);
        QCOMPARE(bar->currentMessage(), QStringLiteral("3 signs previewed on 3 pages"));

        const QString folder
            = m_scope->path() + "/a rather long folder name for the signs/of this week";
        QDir().mkpath(folder);
        w.printer()->setOutputFileName(folder + "/cell3.pdf");
        fill(*w.model(),
            { typicalSign(1), typicalSign(2), typicalSign(3),
                sign("SKU4", "5", "", QString("heavy duty galvanized steel ").repeated(15)) });
        trigger(w, "mnuFilePrintGrid");
        const QString attention = "1 cut (row 4); ";
        QCOMPARE(bar->currentMessage(),
            attention + "4 signs printed on 4 pages to " + folder + "/cell3.pdf");
        QCOMPARE(bar->toolTip(), bar->currentMessage());
        int room = bar->contentsRect().width();
        for (QLabel* label : bar->findChildren<QLabel*>())
            room -= label->isVisible() ? label->width() : 0;
        QVERIFY2(bar->fontMetrics().horizontalAdvance(attention) < room,
            qPrintable(QString::number(room)));
        bar->showMessage("Ready"); // the next message replaces the tooltip with itself
        QCOMPARE(bar->toolTip(), QStringLiteral("Ready"));

        // A printer that fails offers the printer setup.
        dialogs().reset();
        w.printer()->setOutputFileName(m_scope->path() + "/missing/folder/out.pdf");
        dialogs().queueAnswer(Answer::Yes);
        dialogs().queuePrinter(false);
        trigger(w, "mnuFilePrintGrid");
        QCOMPARE(messageTexts().size(), 1);
        QVERIFY(messageTexts()[0].startsWith("Runtime Error 482 has been detected.\r\n"));
        QCOMPARE(dialogs().printerRequests(), 1);
    }
};

QTEST_MAIN(TestPrintingJob)
#include "tst_printing_job.moc"
