// The print job over recording surfaces: counting, paging, the preview's
// questions, cancel, and printer errors.

#include "PrintTestSupport.h"
#include "support/TestSupport.h"

#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "ui/DialogService.h"

#include <QtTest>

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
    // end, "logo" and "pic" sign options, or a setting "KEY=value" ("@" is
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
        for (const QString& token : setup.split(' ', Qt::SkipEmptyParts)) {
            const QString key = token.section('=', 0, 0), value = token.section('=', 1);
            const Answer answers[] = { Answer::Ok, Answer::Cancel, Answer::Yes, Answer::No };
            if (key == "pv")
                print = false;
            else if (key == "f")
                w.format = value.toInt();
            else if (key == "st")
                w.state = value.toInt();
            else if (key == "ans") {
                for (QChar a : value)
                    dialogs().queueAnswer(answers[QStringLiteral("ocyn").indexOf(a)]);
            } else if (key == "fail")
                w.failAtDrawing = value.toInt();
            else if (key == "failEnd")
                w.failEndDoc = true;
            else if (key == "logo")
                w.options.logo = 1;
            else if (key == "pic")
                w.options.graphic = 1;
            else
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

    // What the run did to the printer, the progress, printer setup, the
    // window and the preview, the SKUs drawn page by page on the printer and
    // the preview, and the messages shown ("title iICON bBUTTONS: text").
    void runs_data()
    {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QStringList>("said");
        const QString noData = "Alert: i1 b0: No data to print.";
        const QString error482 = "Alert: i1 b2: Runtime Error 482 has been detected.\r\nCheck that "
                                 "your printer is ready (hooked up, on-line, etc).\r\nDo you want "
                                 "to verify what printer this program is using?";
        // clang-format off
        QTest::newRow("no SKU: nothing to print") << "|1.99||no sku;  |" << "" << "" << QStringList { noData };
        QTest::newRow("no SKU: nothing to preview") << "|1.99||no sku;  |" << "pv" << "" << QStringList { noData };
        QTest::newRow("4up 4 signs: one page") << "S1|1.00;;S2|1.00;;S3|1.00;;S4|1.00" << "" << "" << QStringList {};
        QTest::newRow("4up 5 signs") << "S1|1.00;;S2|1.00;;S3|1.00;;S4|1.00;;S5|1.00" << "" << "" << QStringList {};
        QTest::newRow("4up 8 signs: no trailing page") << "S1|1;S2|1;S3|1;S4|1;S5|1;S6|1;S7|1;S8|1" << "" << "" << QStringList {};
        QTest::newRow("2up 3 signs") << "S1|1.00;;S2|1.00;;S3|1.00" << "f=1" << "" << QStringList {};
        QTest::newRow("1up 3 signs") << "S1|1.00;;S2|1.00;;S3|1.00" << "f=2" << "" << QStringList {};
        QTest::newRow("preview two pages") << "S1|1.00;S2|1.00;S3|1.00;S4|1.00;S5|1.00" << "pv st=7 ans=oo" << ""
            << QStringList { "Print Preview i0 b1: Previewing page 1 of 2\r\nPress OK to see the next page.\r\nTo move this box, use the mouse to drag it.",
                             "Print Preview i0 b1: Previewing page 2 of 2\r\nTo move this box, use the mouse to drag it." };
        QTest::newRow("preview cancelled on the first of two pages") << "T1;T2" << "pv f=2 st=1 ans=c" << "" << QStringList {};
        QTest::newRow("preview cancelled on its only page") << "T1" << "pv f=2 st=1 ans=c" << "" << QStringList {};
        QTest::newRow("unreadable picture stops the run") << "T1;S2|1||||||@bad.jpg;T3" << "pic" << "" << QStringList {};
        QTest::newRow("unreadable logo in the preview") << "T1;T2" << "pv logo st=4 FILELOGO=@bad.bmp" << "" << QStringList {};
        QTest::newRow("printer error, yes opens printer setup") << "T1;T2" << "fail=3 ans=y" << "" << QStringList { error482 };
        QTest::newRow("printer error, no just ends") << "T1;T2" << "fail=3 ans=n" << "" << QStringList { error482 };
        QTest::newRow("printer refuses the finished document") << "T1;T2" << "failEnd ans=n" << "" << QStringList { error482 };
        // clang-format on
    }

    void runs()
    {
        QFETCH(QString, rows);
        QFETCH(QString, setup);
        QFETCH(QString, result);
        QFETCH(QStringList, said);
        const FakePrintWindow& w = run(rows, setup);
        const QString got
            = QString::asprintf("open%d o%d new%d end%d abandoned%d progress%d/%d%s "
                                "setup%d state%d shown at %d max%d vis%d previews%d "
                                "clears%d | ",
                  w.printer.opened, w.printer.orientation, w.printer.newPages, w.printer.endDocs,
                  w.printer.abandoned, w.lastProgress, w.progressTotal,
                  w.progressEnded ? " ended" : "", w.setupRuns, w.state, w.stateWhenPreviewShown,
                  w.maximized, w.previewVisible, w.previewsShown, w.preview.clears)
            + skusByPage(w.printer.ops) + " | " + skusByPage(w.preview.ops);
        QStringList messages;
        for (const auto& m : dialogs().messages())
            messages << QStringLiteral("%1 i%2 b%3: %4")
                            .arg(m.title)
                            .arg(int(m.icon))
                            .arg(int(m.buttons))
                            .arg(QString(m.text).replace(m_scope->path() + '/', "@"));
        qDebug().noquote() << got << messages;
        QCOMPARE(got, result);
        QCOMPARE(messages, said);
    }

    // Where SKU and price texts land for the format and the calibration.
    void placement_data()
    {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("drawn");
        // clang-format off
        QTest::newRow("4up fills left-right, top-bottom") << "S1|1;S2|1;;S3|1;|1|||bullet only;S5|1"
            << "MARGINLEFT=360 MARGINTOP=360abc PRINTSKU=1" << QStringList {};
        QTest::newRow("2up scaled and shifted") << "S1|5" << "f=1 ADJ2UD=100.5 ADJ2LR=-40 MARGINTOP=360 MARGINLEFT=360" << QStringList {};
        // clang-format on
    }

    void placement()
    {
        QFETCH(QString, rows);
        QFETCH(QString, setup);
        QFETCH(QStringList, drawn);
        const QStringList got = describe(run(rows, setup).printer.ops);
        qDebug().noquote() << "\n  " + got.join("\n  ");
        QCOMPARE(got, drawn);
    }

    void optionsAndSettingsReadPerSign()
    {
        fill(m_model, { typicalSign(1), typicalSign(2) });
        m_window->beforeSign = [this](int n) {
            if (n == 2) {
                m_settings->save(SettingsKeys::ColorPrice, "255");
                m_window->options.title = 1;
                m_window->options.titleText = "LATE";
            }
        };
        jobFor(m_model, *m_settings, *m_window).PrintSigns(true);
        QCOMPARE(findText(m_window->printer.ops, "12.99", 0)->color, 0);
        QCOMPARE(findText(m_window->printer.ops, "12.99", 1)->color, 255);
        QCOMPARE(findText(m_window->printer.ops, "LATE")->page, 1);
    }
};

QTEST_MAIN(TestPrintingJob)
#include "tst_printing_job.moc"
