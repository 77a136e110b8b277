// The print job over recording surfaces: counting, paging, the preview's
// questions, cancel, and printer errors.

#include "PrintTestSupport.h"
#include "support/TestSupport.h"

#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "ui/DialogService.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace PrintTest;
using Kind = CanvasOp::Kind;
using Answer = DialogService::Answer;

namespace {

const QString Cr = QStringLiteral("\r\n");

QString previewText(int page, int pages)
{
    QString t = QStringLiteral("Previewing page %1 of %2").arg(page).arg(pages);
    if (page != pages)
        t += Cr + "Press OK to see the next page.";
    return t + Cr + "To move this box, use the mouse to drag it.";
}

// The SKU texts (the smallest font of the run) drawn on each page, in order.
std::vector<QStringList> skusByPage(const std::vector<CanvasOp>& ops)
{
    double skuSize = 1e9;
    for (const CanvasOp& op : ops) {
        if (op.kind == Kind::Text)
            skuSize = std::min(skuSize, op.fontSize);
    }
    std::vector<QStringList> pages(1);
    for (const CanvasOp& op : ops) {
        if (op.kind == Kind::NewPage || op.kind == Kind::Cls) {
            if (!pages.back().isEmpty())
                pages.emplace_back();
        } else if (op.kind == Kind::Text && op.fontSize == skuSize) {
            pages.back() << op.text;
        }
    }
    if (pages.back().isEmpty() && pages.size() > 1)
        pages.pop_back();
    return pages;
}

QString writeBadPicture(const QTemporaryDir& dir, const char* name, const char* bytes)
{
    return writeTestFile(dir.path(), QString::fromLatin1(name), QByteArray(bytes));
}

} // namespace

class TestPrintingJob : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSettingsScope> m_scope;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<SignListModel> m_model;
    std::unique_ptr<FakePrintWindow> m_window;

    DialogService& dialogs() { return DialogService::instance(); }
    void run(bool print)
    {
        PrintJob job = jobFor(*m_model, *m_settings, *m_window);
        job.PrintSigns(print);
    }

private slots:
    void init()
    {
        m_scope = std::make_unique<TestSettingsScope>();
        m_settings
            = std::make_unique<AppSettings>(SettingsKeys::Application, SettingsKeys::Section);
        m_model = std::make_unique<SignListModel>();
        m_window = std::make_unique<FakePrintWindow>();
    }

    void emptyList()
    {
        fill(*m_model, { sign("", "1.99", "", "no sku"), sign("  ", "") });
        for (bool print : { true, false }) {
            dialogs().reset();
            run(print);
            QCOMPARE(dialogs().messages().size(), 1);
            QCOMPARE(dialogs().messages()[0].text, QStringLiteral("No data to print."));
            QCOMPARE(dialogs().messages()[0].title, QStringLiteral("Alert:"));
            QCOMPARE(dialogs().messages()[0].icon, DialogService::Icon::Information);
            QVERIFY(!m_window->printer.opened);
            QVERIFY(!m_window->maximized);
        }
    }

    void paging_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("signs");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<int>("newPages");
        QTest::newRow("4up 4 signs: one page") << 0 << 4 << 2 << 0;
        QTest::newRow("4up 5 signs") << 0 << 5 << 2 << 1;
        QTest::newRow("4up 8 signs: no trailing page") << 0 << 8 << 2 << 1;
        QTest::newRow("2up 3 signs") << 1 << 3 << 1 << 1;
        QTest::newRow("1up 3 signs") << 2 << 3 << 2 << 2;
    }

    void paging()
    {
        QFETCH(int, format);
        QFETCH(int, signs);
        QFETCH(int, orientation);
        QFETCH(int, newPages);
        std::vector<SignRow> rows;
        for (int i = 1; i <= signs; ++i) {
            rows.push_back(sign(QString("S%1").arg(i), "1.00"));
            rows.push_back(SignRow()); // blank rows take no cell
        }
        fill(*m_model, rows);
        m_window->format = format;
        run(true);
        QVERIFY(dialogs().messages().isEmpty());
        QCOMPARE(m_window->printer.orientation, orientation);
        QCOMPARE(m_window->printer.newPages, newPages);
        QCOMPARE(m_window->printer.endDocs, 1);
        QVERIFY(!m_window->printer.abandoned);
        QCOMPARE(m_window->lastProgress, signs);
        QCOMPARE(m_window->progressTotal, signs);
        QVERIFY(m_window->progressEnded);
    }

    void fiveSignsFourUp()
    {
        // Signs 1 to 4 fill page 1 left-right, top-bottom; sign 5 goes
        // top-left on page 2. A row with only a first bullet line is a sign.
        fill(*m_model,
            { sign("S1", "1"), sign("S2", "1"), SignRow(), sign("S3", "1"),
                sign("", "1", "", "", "bullet only"), sign("S5", "1") });
        m_settings->save(SettingsKeys::MARGINLEFT, "360");
        m_settings->save(SettingsKeys::MARGINTOP, "360abc");
        m_settings->save(SettingsKeys::PRINTSKU, "1");
        run(true);
        const auto pages = skusByPage(m_window->printer.ops);
        QCOMPARE(pages.size(), size_t(2));
        QCOMPARE(pages[0], (QStringList { "S1", "S2", "S3", "" }));
        QCOMPARE(pages[1], QStringList { "S5" });
        QVERIFY(findText(m_window->printer.ops, "bullet only"));

        // Cell corners from the recorded SKUs (right-aligned, bottom-aligned).
        const auto& ops = m_window->printer.ops;
        const CanvasOp* s1 = findText(ops, "S1");
        const CanvasOp* s2 = findText(ops, "S2");
        const CanvasOp* s3 = findText(ops, "S3");
        const CanvasOp* s5 = findText(ops, "S5");
        QCOMPARE(s1->x + s1->width, 7200.0 - 300);
        QCOMPARE(s2->x + s2->width, 7920.0 + 7200 - 300);
        QCOMPARE(s1->y + 1.5 * s1->height, 5400.0);
        QCOMPARE(s3->y + 1.5 * s3->height, 6120.0 + 5400);
        QCOMPARE(s5->x, s1->x);
        QCOMPARE(s5->y, s1->y);
        QCOMPARE(s5->page, 2);
    }

    void shiftsAndScalesPerFormat()
    {
        fill(*m_model, { sign("S1", "5") });
        m_settings->save(SettingsKeys::ADJ2UD, "100.5");
        m_settings->save(SettingsKeys::ADJ2LR, "-40");
        m_settings->save(SettingsKeys::MARGINTOP, "360");
        m_settings->save(SettingsKeys::MARGINLEFT, "360");
        m_window->format = 1;
        run(true);
        // 2-Up: portrait, formatScale = 15840 / 12240; shift 100.5 -> 100.
        const double k = 15840.0 / 12240;
        const CanvasOp* dollar = findText(m_window->printer.ops, "$");
        QVERIFY(dollar);
        QCOMPARE(dollar->fontSize, 40 * k);
        QCOMPARE(dollar->x, std::nearbyint(0.15 * 11520 - 40));
        QCOMPARE(findText(m_window->printer.ops, "5")->y, std::nearbyint(0 + 100 + 1100 * k));
    }

    void previewPaging()
    {
        std::vector<SignRow> rows;
        for (int i = 1; i <= 5; ++i)
            rows.push_back(sign(QString("S%1").arg(i), "1.00"));
        fill(*m_model, rows);
        m_window->state = 7;
        dialogs().queueAnswer(Answer::Ok);
        dialogs().queueAnswer(Answer::Ok);
        run(false);
        const auto& messages = dialogs().messages();
        QCOMPARE(messages.size(), 2);
        QCOMPARE(messages[0].text, previewText(1, 2));
        QCOMPARE(messages[0].title, QStringLiteral("Print Preview"));
        QCOMPARE(messages[0].buttons, DialogService::Buttons::OkCancel);
        QCOMPARE(messages[1].text, previewText(2, 2));
        // The window was maximised for the preview, then put back; nothing
        // went to the printer.
        QCOMPARE(m_window->stateWhenPreviewShown, 2);
        QCOMPARE(m_window->state, 7);
        QVERIFY(!m_window->previewVisible);
        QCOMPARE(m_window->previewsShown, 2);
        QCOMPARE(m_window->printer.endDocs, 0);
        QCOMPARE(m_window->printer.ops.size(), size_t(0));
        const auto pages = skusByPage(m_window->preview.ops);
        QCOMPARE(pages.size(), size_t(2));
        QCOMPARE(pages[1], QStringList { "S5" });
        // The preview was cleared at the start and between the pages.
        QCOMPARE(m_window->preview.clears, 2);
    }

    void previewCancel_data()
    {
        QTest::addColumn<int>("signs");
        QTest::newRow("first of two 1-Up pages") << 2;
        QTest::newRow("only page") << 1;
    }

    void previewCancel()
    {
        QFETCH(int, signs);
        fill(*m_model,
            signs == 1 ? std::vector<SignRow> { typicalSign(1) }
                       : std::vector<SignRow> { typicalSign(1), typicalSign(2) });
        m_window->format = 2;
        m_window->state = 1;
        dialogs().queueAnswer(Answer::Cancel);
        run(false);
        QCOMPARE(dialogs().messages().size(), 1);
        QCOMPARE(dialogs().messages()[0].text, previewText(1, signs));
        QVERIFY(!findText(m_window->preview.ops, "SKU2"));
        QVERIFY(!m_window->previewVisible);
        QCOMPARE(m_window->state, 1);
    }

    void unreadablePictureStopsTheRun()
    {
        QTemporaryDir dir;
        const QString bad = writeBadPicture(dir, "bad.jpg", "garbage");
        fill(
            *m_model, { typicalSign(1), sign("S2", "1", "", "", "", "", "", bad), typicalSign(3) });
        m_window->options.graphic = 1;
        run(true);
        QCOMPARE(dialogs().messages().size(), 1);
        const auto& m = dialogs().messages()[0];
        QVERIFY(
            m.text.startsWith("Runtime Error 481 has been detected.\r\nInvalid picture: " + bad));
        QCOMPARE(m.buttons, DialogService::Buttons::Ok);
        QCOMPARE(m.title, QStringLiteral("Alert:"));
        QVERIFY(findText(m_window->printer.ops, "SKU1"));
        QVERIFY(!findText(m_window->printer.ops, "SKU3"));
        // The half-finished document is thrown away, not printed.
        QCOMPARE(m_window->printer.endDocs, 0);
        QVERIFY(m_window->printer.abandoned);
        QCOMPARE(m_window->setupRuns, 0);
    }

    void errorInPreviewRestoresWindow()
    {
        QTemporaryDir dir;
        // A file with a bitmap's signature but nothing after it.
        m_settings->save(SettingsKeys::FILELOGO, writeBadPicture(dir, "bad.bmp", "BM"));
        m_window->options.logo = 1;
        m_window->state = 4;
        fill(*m_model, { typicalSign(1), typicalSign(2) });
        run(false);
        QCOMPARE(dialogs().messages().size(), 1);
        QVERIFY(dialogs().messages()[0].text.startsWith("Runtime Error 481"));
        QVERIFY(!m_window->previewVisible);
        QCOMPARE(m_window->state, 4);
    }

    void printerError_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<int>("setupRuns");
        QTest::addColumn<bool>("atEnd"); // the queue refuses the finished document
        QTest::newRow("yes opens printer setup") << Answer::Yes << 1 << false;
        QTest::newRow("no just ends") << Answer::No << 0 << false;
        QTest::newRow("refused at the end") << Answer::No << 0 << true;
    }

    void printerError()
    {
        QFETCH(Answer, answer);
        QFETCH(int, setupRuns);
        QFETCH(bool, atEnd);
        fill(*m_model, { typicalSign(1), typicalSign(2) });
        if (atEnd)
            m_window->failEndDoc = true;
        else
            m_window->failAtDrawing = 3;
        dialogs().queueAnswer(answer);
        run(true);
        QCOMPARE(dialogs().messages().size(), 1);
        const auto& m = dialogs().messages()[0];
        QCOMPARE(m.text,
            QStringLiteral("Runtime Error 482 has been detected.\r\n"
                           "Check that your printer is ready (hooked up, on-line, etc).\r\n"
                           "Do you want to verify what printer this program is using?"));
        QCOMPARE(m.buttons, DialogService::Buttons::YesNo);
        QCOMPARE(m.icon, DialogService::Icon::Information);
        QCOMPARE(m.title, QStringLiteral("Alert:"));
        QCOMPARE(m_window->setupRuns, setupRuns);
        QCOMPARE(findText(m_window->printer.ops, "SKU2") != nullptr, atEnd);
        QVERIFY(m_window->printer.abandoned);
    }

    void optionsAndSettingsReadPerSign()
    {
        fill(*m_model, { typicalSign(1), typicalSign(2) });
        m_window->beforeSign = [this](int n) {
            if (n == 2) {
                m_settings->save(SettingsKeys::ColorPrice, "255");
                m_window->options.title = 1;
                m_window->options.titleText = "LATE";
            }
        };
        run(true);
        QCOMPARE(findText(m_window->printer.ops, "12.99", 0)->color, 0);
        QCOMPARE(findText(m_window->printer.ops, "12.99", 1)->color, 255);
        QCOMPARE(findText(m_window->printer.ops, "LATE")->page, 1);
    }
};

QTEST_MAIN(TestPrintingJob)
#include "tst_printing_job.moc"
