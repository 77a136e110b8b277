// End to end: signs printed to a real PDF through the printer surface, read
// back with poppler's tools.

#include "PdfTestSupport.h"
#include "support/TestSupport.h"

#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "ui/DialogService.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace PrintTest;
using namespace PdfTest;

namespace {

const Word* find(const std::vector<Word>& words, const QString& text, int page = 0)
{
    for (const Word& w : words) {
        if (w.text == text && (page == 0 || w.page == page))
            return &w;
    }
    return nullptr;
}

// Liberation Sans: ascent 1854 and descent 434 in 2048 units per em; poppler
// boxes a word from the ascent to the descent.
constexpr double LineHeightPerEm = (1854.0 + 434.0) / 2048.0;

} // namespace

class TestPrintingPdf : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSettingsScope> m_scope;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<SignListModel> m_model;
    std::unique_ptr<QTemporaryDir> m_dir;

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QFAIL("poppler-utils (pdftotext) is needed for the PDF tests");
    }

    void init()
    {
        m_scope = std::make_unique<TestSettingsScope>();
        m_settings
            = std::make_unique<AppSettings>(SettingsKeys::Application, SettingsKeys::Section);
        m_model = std::make_unique<SignListModel>();
        m_dir = std::make_unique<QTemporaryDir>();
    }

    void fontSizeIsTrueOnPaper_data()
    {
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("bold");
        QTest::newRow("72") << 72.0 << true;
        QTest::newRow("10") << 10.0 << false;
    }

    void fontSizeIsTrueOnPaper()
    {
        QFETCH(double, points);
        QFETCH(bool, bold);
        const QString pdf = m_dir->path() + "/size.pdf";
        PdfWindow w(pdf);
        {
            PrinterCanvas c(&w.printer);
            c.setFontSize(points);
            c.setFontBold(bold);
            c.setCurrentX(1440);
            c.setCurrentY(2880);
            c.Print("12.99", SignCanvas::PrintEnd::Continue);
            const double width = c.TextWidth("12.99");
            QCOMPARE(c.CurrentX(), 1440 + width);
            c.EndDoc();
            const auto words = readWords(pdf);
            const Word* price = find(words, "12.99");
            QVERIFY(price);
            // Quarter-inch margin (18 pt) plus the position.
            QVERIFY(qAbs(price->xMin - (18 + 72)) < 0.05);
            QVERIFY(qAbs(price->yMin - (18 + 144)) < 0.05);
            // N points tall; and as wide as TextWidth said.
            QVERIFY2(qAbs((price->yMax - price->yMin) / LineHeightPerEm - points) < 0.05,
                qPrintable(QString::number(price->yMax - price->yMin)));
            QVERIFY(qAbs((price->xMax - price->xMin) * 20 - width) < 1.0);
            QVERIFY(qAbs((price->yMax - price->yMin) * 20 - c.TextHeight("1")) < 1.0);
        }
    }

    void signsOfEachFormat_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("bullet");
        QTest::addColumn<int>("pages");
        QTest::addColumn<double>("priceX"); // points from the sheet's left
        QTest::addColumn<double>("pricePoints");
        // 4-Up, landscape 792 x 612 pt: cell 1 from the printable left, 15 %
        // of its 360-pt width in; 60-point price.
        QTest::newRow("4up bullet") << 0 << true << 2 << (18 + 54.0) << 60.0;
        // 2-Up portrait: formatScale 792 / 612.
        QTest::newRow("2up bullet") << 1 << true << 3 << (18 + 0.15 * 576) << 60.0 * 792 / 612;
        QTest::newRow("1up bullet") << 2 << true << 5 << (18 + 0.15 * 756) << 120.0;
        QTest::newRow("1up desc") << 2 << false << 5 << -1.0 << 160.0;
    }

    void signsOfEachFormat()
    {
        QFETCH(int, format);
        QFETCH(bool, bullet);
        QFETCH(int, pages);
        QFETCH(double, priceX);
        QFETCH(double, pricePoints);
        const QString pdf = m_dir->path() + "/signs.pdf";
        const QString picture = writePicture(m_dir->path(), "item.jpg", 120, 120);
        std::vector<SignRow> rows;
        for (int i = 1; i <= 5; ++i) {
            SignRow r = typicalSign(i);
            r.column(SignListModel::ColPromo) = i == 5 ? ".89" : "12.99";
            r.column(SignListModel::ColGraphic) = picture;
            rows.push_back(r);
        }
        fill(*m_model, rows);
        m_settings->save(SettingsKeys::MARGINLEFT, "360");
        m_settings->save(SettingsKeys::MARGINTOP, "360");
        PdfWindow w(pdf);
        w.format = format;
        w.bullet = bullet;
        w.options = { 1, 0, 1, 1, 1, QStringLiteral("SALE") };
        PrintJob job = jobFor(*m_model, *m_settings, w);
        job.PrintSigns(true);
        QVERIFY(DialogService::instance().messages().isEmpty());

        QCOMPARE(pageCount(pdf), pages);
        const auto words = readWords(pdf);
        for (int i = 1; i <= 5; ++i)
            QVERIFY2(find(words, QString("SKU%1").arg(i)), qPrintable(QString::number(i)));
        QCOMPARE(find(words, "SKU5")->page, pages);
        QVERIFY(find(words, "SALE"));
        QVERIFY(find(words, "(regular"));
        QVERIFY(find(words, "89"));

        const Word* price = find(words, "12.99", 1);
        QVERIFY(price);
        QVERIFY2(qAbs((price->yMax - price->yMin) / LineHeightPerEm - pricePoints) < 0.1,
            qPrintable(QString::number((price->yMax - price->yMin) / LineHeightPerEm)));
        const Word* dollar = find(words, "$", 1);
        QVERIFY(dollar);
        if (priceX >= 0) {
            // Bullet style: "$" at 15 % of the cell, price right after it.
            QVERIFY2(qAbs(dollar->xMin - priceX) < 0.1, qPrintable(QString::number(dollar->xMin)));
            QVERIFY(qAbs(price->xMin - dollar->xMax) < 0.1);
        }

        // The item picture is embedded once however many signs show it.
        const QString images = run("pdfimages", { "-list", pdf });
        QSet<QString> objects;
        int drawn = 0;
        for (const QString& line : images.split('\n').mid(2)) {
            const QStringList f = line.simplified().split(' ');
            if (f.size() > 11) {
                ++drawn;
                objects.insert(f[10]);
            }
        }
        QCOMPARE(drawn, 5);
        QCOMPARE(objects.size(), 1);
    }

    void demoSignsStayInTheirBorders_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("bullet");
        for (int format : { 0, 1, 2 }) {
            for (bool bullet : { true, false })
                QTest::addRow("%d %s", format, bullet ? "bullet" : "desc") << format << bullet;
        }
    }

    // The demo store's settings (a 2 x 0.65 inch logo, title, regular
    // retail, border, pictures, its margins): every word of every sign lies
    // inside the border line of its own cell.
    void demoSignsStayInTheirBorders()
    {
        QFETCH(int, format);
        QFETCH(bool, bullet);
        const QString pdf = m_dir->path() + "/demo.pdf";
        m_settings->save(SettingsKeys::FILELOGO, writePicture(m_dir->path(), "logo.jpg", 200, 65));
        m_settings->save(SettingsKeys::LOGOWIDTH, "2");
        m_settings->save(SettingsKeys::LOGOHEIGHT, "0.65");
        m_settings->save(SettingsKeys::MARGINTOP, "180");
        m_settings->save(SettingsKeys::MARGINLEFT, "270");
        const QString picture = writePicture(m_dir->path(), "item.jpg", 120, 120);
        fill(*m_model,
            { sign("100001", "11.99", "14.99", "PROLINE CLAW HAMMER 16 OZ", "Forged steel head",
                  "Anti-vibration grip", "Lifetime warranty", picture),
                sign("100012", "0.59", "0.79", "PROLINE WIRE NUTS ASSORTED", "UL listed",
                    "Color coded", "Pack of 10", picture),
                sign("100024", "", "129.59", "HANDYMAN CORDLESS DRILL 20 V BRUSHLESS",
                    "2 batteries included", "Two-speed gearbox", "LED work light", picture),
                sign("100040", "23.99", "29.99", "HANDYMAN DUCT TAPE 1.88 IN X 60 YD",
                    "Weather resistant", "Tears by hand", "Strong adhesive", picture) });
        PdfWindow w(pdf);
        w.format = format;
        w.bullet = bullet;
        w.options = { 1, 1, 1, 1, 1, QStringLiteral("WEEKLY SPECIAL") };
        PrintJob job = jobFor(*m_model, *m_settings, w);
        const PrintResult result = job.PrintSigns(true);
        QVERIFY(DialogService::instance().messages().isEmpty());
        QCOMPARE(result.signs, 4);
        QVERIFY(result.rowsCut.empty());

        // Each sign's border line, inner edge, in points on its page.
        const bool portrait = format == 1;
        const SheetMetrics sheet { portrait ? 12240.0 : 15840, portrait ? 15840.0 : 12240,
            portrait ? 11520.0 : 15120, portrait ? 15120.0 : 11520 };
        const double k = format == 0 ? 1.0 : format == 1 ? 15840.0 / 12240 : 2.0;
        const double e = std::nearbyint(24 * k), pen = 24 * k * 1440 / 1200 / 2;
        std::vector<std::pair<int, QRectF>> borders;
        for (int n = 1; n <= 4; ++n) {
            const SignCell cell = CellForSign(
                SignFormat(format), n, sheet, portrait ? 180 : 270, portrait ? 270 : 180);
            const QRectF box(QPointF(cell.left + 2 * e + pen, cell.top + 2 * e + pen),
                QPointF(
                    cell.left + cell.width - 4 * e - pen, cell.top + cell.height - 4 * e - pen));
            borders.push_back(
                { (n - 1) / SignsPerPage(SignFormat(format)) + 1, box.translated(360, 360) });
        }
        const auto words = readWords(pdf);
        QVERIFY(find(words, "100040"));
        for (const Word& word : words) {
            const QRectF box(
                QPointF(word.xMin * 20, word.yMin * 20), QPointF(word.xMax * 20, word.yMax * 20));
            bool inside = false;
            for (const auto& [page, border] : borders)
                inside
                    = inside || (page == word.page && border.adjusted(-2, -2, 2, 2).contains(box));
            QVERIFY2(inside, qPrintable(word.text));
        }
    }

    void abortedRunLeavesNoDocument()
    {
        const QString pdf = m_dir->path() + "/aborted.pdf";
        const QString bad = m_dir->path() + "/bad.jpg";
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("not a jpeg") > 0);
        f.close();
        std::vector<SignRow> rows;
        for (int i = 1; i <= 6; ++i)
            rows.push_back(typicalSign(i));
        rows[5].column(SignListModel::ColGraphic) = bad;
        fill(*m_model, rows);
        PdfWindow w(pdf);
        w.options.graphic = 1;
        PrintJob job = jobFor(*m_model, *m_settings, w);
        job.PrintSigns(true);
        QCOMPARE(DialogService::instance().messages().size(), 1);
        QVERIFY(job.PrintAborted());
        QVERIFY(!QFile::exists(pdf));
    }

    void realPrinterGetsNothingUntilTheEnd()
    {
        // A print queue takes whatever it is given; the pages are kept until
        // the document is whole, so an abandoned run never reaches it.
        QPrinter printer(QPrinter::HighResolution);
        if (printer.outputFormat() != QPrinter::NativeFormat || printer.printerName().isEmpty())
            QSKIP("no printer is installed");
        PrinterCanvas c(&printer);
        c.setFontSize(20);
        c.Print("first page");
        c.NewPage();
        c.Box(0, 0, 1440, 1440, 0);
        QVERIFY(c.documentOpen());
        QCOMPARE(c.heldOperations(), size_t(3));
        QCOMPARE(printer.printerState(), QPrinter::Idle);
        c.abandonDocument();
        QVERIFY(!c.documentOpen());
        QCOMPARE(c.heldOperations(), size_t(0));
        QCOMPARE(printer.printerState(), QPrinter::Idle);
    }
};

QTEST_MAIN(TestPrintingPdf)
#include "tst_printing_pdf.moc"
