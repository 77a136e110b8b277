// End to end: signs printed to a real PDF through the printer surface, read
// back with poppler's tools; their barcodes scanned by a barcode reader.
// Printing part of a list: a first sheet with cells already used, a range of
// pages, only the selected rows; and the main window's question before.

#include "PdfTestSupport.h"
#include "support/TestSupport.h"

#include "base/SettingsKeys.h"
#include "ui/DialogService.h"
#include "ui/EntryBox.h"
#include "ui/frmSigns.h"

#include <QDir>
#include <QTableView>
#include <QtTest>

using namespace PrintTest;
using namespace PdfTest;

Q_DECLARE_METATYPE(PrintRange)

namespace {

// Where each SKU landed: "SKU<n>@<page>.<cell>", cells counted left to
// right, top to bottom, sorted. 4-Up and 1-Up sheets lie (792 x 612 pt),
// 2-Up sheets stand.
QStringList placesOf(const QString& pdf, int format)
{
    QStringList places;
    for (const Word& w : readWords(pdf)) {
        const int cell = format == 0 ? (w.yMin > 306 ? 3 : 1) + (w.xMin > 396 ? 1 : 0)
            : format == 1            ? (w.yMin > 396 ? 2 : 1)
                                     : 1;
        if (w.text.startsWith("SKU"))
            places << QString("%1@%2.%3").arg(w.text).arg(w.page).arg(cell);
    }
    places.sort();
    return places;
}

PrintRange rangeOf(int firstCell, int from, int to, QVector<int> rows = {})
{
    return { firstCell, from, to, !rows.isEmpty(), rows };
}

// Liberation Sans: ascent 1854 and descent 434 in 2048 units per em; poppler
// boxes a word from the ascent to the descent.
constexpr double LineHeightPerEm = (1854.0 + 434.0) / 2048.0;

} // namespace

class TestPrintingPdf : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestSettingsScope> m_scope;
    AppSettings m_settings = appSettings();
    SignListModel m_model;

    PrintResult print(FakePrintWindow& w, int format, bool bullet, const SignOptions& options)
    {
        w.format = format;
        w.bullet = bullet;
        w.options = options;
        const PrintResult result = jobFor(m_model, m_settings, w).PrintSigns(true);
        [&] { QCOMPARE(messageTexts(), QStringList()); }();
        return result;
    }
    QString file(const QString& name) const { return m_scope->path() + '/' + name; }
    QString picture(const QString& name, int w, int h)
    {
        return writePicture(m_scope->path(), name, w, h);
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QFAIL("poppler-utils (pdftotext) is needed for the PDF tests");
    }
    void init() { m_scope = std::make_unique<TestSettingsScope>(); }

    // N points tall and as wide as TextWidth says, where CurrentX/Y put it.
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
        const QString pdf = file("size.pdf");
        PdfWindow w(pdf);
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
        const Word* price = findWord(words, "12.99");
        QVERIFY(price);
        // The quarter-inch margin (18 pt) plus the position.
        QVERIFY(qAbs(price->xMin - 90) < 0.05 && qAbs(price->yMin - 162) < 0.05);
        const double height = price->yMax - price->yMin;
        QVERIFY2(
            qAbs(height / LineHeightPerEm - points) < 0.05, qPrintable(QString::number(height)));
        QVERIFY(qAbs((price->xMax - price->xMin) * 20 - width) < 1.0);
        QVERIFY(qAbs(height * 20 - c.TextHeight("1")) < 1.0);
    }

    // The demo store's signs and settings (a 2 x 0.65 inch logo, title,
    // regular retail, border, pictures, its margins) in each format and
    // style: pages, texts, the first price's size on paper and, in the bullet
    // style, its "$"'s place (points); every word inside the inner edge of
    // its own cell's border line (twips).
    void demoSigns_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("bullet");
        QTest::addColumn<int>("pages");
        QTest::addColumn<double>("dollarX");
        QTest::addColumn<double>("pricePoints");
        QTest::addColumn<QString>("borders"); // the cells of one page: left, top, right, bottom
        const QString fourUp = "602.4 602.4 7449.6 5649.6 | 8522.4 602.4 15369.6 5649.6 | "
                               "602.4 6722.4 7449.6 11769.6 | 8522.4 6722.4 15369.6 11769.6";
        const QString twoUp = "800.6 620.6 11737.4 7417.4 | 800.6 8540.6 11737.4 15337.4";
        const QString oneUp = "664.8 844.8 15259.2 11659.2";
        QTest::newRow("4up bullet") << 0 << true << 1 << 79.65 << 54.57 << fourUp;
        QTest::newRow("4up desc") << 0 << false << 1 << -1.0 << 72.92 << fourUp;
        QTest::newRow("2up bullet") << 1 << true << 2 << 119.7 << 77.65 << twoUp;
        QTest::newRow("2up desc") << 1 << false << 2 << -1.0 << 98.55 << twoUp;
        QTest::newRow("1up bullet") << 2 << true << 4 << 139.05 << 117.8 << oneUp;
        QTest::newRow("1up desc") << 2 << false << 4 << -1.0 << 157.24 << oneUp;
    }
    void demoSigns()
    {
        QFETCH(int, format);
        QFETCH(bool, bullet);
        QFETCH(int, pages);
        QFETCH(double, dollarX);
        QFETCH(double, pricePoints);
        QFETCH(QString, borders);
        m_settings.save(SettingsKeys::FILELOGO, picture("logo.jpg", 200, 65));
        m_settings.save(SettingsKeys::LOGOWIDTH, "2");
        m_settings.save(SettingsKeys::LOGOHEIGHT, "0.65");
        m_settings.save(SettingsKeys::MARGINTOP, "180");
        m_settings.save(SettingsKeys::MARGINLEFT, "270");
        const QString item = picture("item.jpg", 120, 120);
        fill(m_model,
            { sign("100001", "11.99", "14.99", "PROLINE CLAW HAMMER 16 OZ", "Forged steel head",
                  "Anti-vibration grip", "Lifetime warranty", item),
                sign("100012", "0.59", "0.79", "PROLINE WIRE NUTS ASSORTED", "UL listed",
                    "Color coded", "Pack of 10", item),
                sign("100024", "", "129.59", "HANDYMAN CORDLESS DRILL 20 V BRUSHLESS",
                    "2 batteries included", "Two-speed gearbox", "LED work light", item),
                sign("100040", "23.99", "29.99", "HANDYMAN DUCT TAPE 1.88 IN X 60 YD",
                    "Weather resistant", "Tears by hand", "Strong adhesive", item) });
        const QString pdf = file("demo.pdf");
        PdfWindow w(pdf);
        const PrintResult result
            = print(w, format, bullet, { 1, 1, 1, 1, 1, QStringLiteral("WEEKLY SPECIAL") });
        QCOMPARE(result.signs, 4);
        QVERIFY(result.rowsCut.empty());

        QCOMPARE(pageCount(pdf), pages);
        const auto words = readWords(pdf);
        for (const char* text : { "100001", "100012", "100024", "WEEKLY", "(regular", "59" })
            QVERIFY2(findWord(words, text), text);
        QCOMPARE(findWord(words, "100040")->page, pages);
        const Word* price = findWord(words, "11.99", 1);
        const Word* dollar = findWord(words, "$", 1);
        QVERIFY(price && dollar);
        const double points = (price->yMax - price->yMin) / LineHeightPerEm;
        QVERIFY2(qAbs(points - pricePoints) < 0.1, qPrintable(QString::number(points)));
        if (dollarX >= 0) {
            QVERIFY2(qAbs(dollar->xMin - dollarX) < 0.1, qPrintable(QString::number(dollar->xMin)));
            QVERIFY(qAbs(price->xMin - dollar->xMax) < 0.1);
        }

        std::vector<QRectF> cells;
        for (const QString& cell : borders.split(" | ")) {
            const QStringList v = cell.split(' ');
            cells.emplace_back(QPointF(v[0].toDouble(), v[1].toDouble()),
                QPointF(v[2].toDouble(), v[3].toDouble()));
        }
        for (const Word& word : words) {
            const QRectF box(
                QPointF(word.xMin * 20, word.yMin * 20), QPointF(word.xMax * 20, word.yMax * 20));
            bool inside = false;
            for (int n = 0; n < 4; ++n) {
                inside = inside
                    || (word.page == n / int(cells.size()) + 1
                        && cells[n % cells.size()].adjusted(-2, -2, 2, 2).contains(box));
            }
            QVERIFY2(inside, qPrintable(word.text));
        }
    }

    void abortedRunLeavesNoDocument()
    {
        std::vector<SignRow> rows;
        for (int i = 1; i <= 6; ++i)
            rows.push_back(typicalSign(i));
        rows[5].column(SignListModel::ColGraphic)
            = writeTestFile(m_scope->path(), "bad.jpg", "not a jpeg");
        fill(m_model, rows);
        PdfWindow w(file("aborted.pdf"));
        w.options.graphic = 1;
        PrintJob job = jobFor(m_model, m_settings, w);
        job.PrintSigns(true);
        QCOMPARE(dialogs().messages().size(), 1);
        QVERIFY(job.PrintAborted());
        QVERIFY(!QFile::exists(w.printer.outputFileName()));
    }

    // A print queue takes whatever it is given; the pages are kept until the
    // document is whole, so an abandoned run never reaches it.
    void realPrinterGetsNothingUntilTheEnd()
    {
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

    // SKUs of every kind, each as a scanner reports it: Code 128 for free
    // text, UPC-A and EAN-13 for article numbers with a valid check digit,
    // Code 128 again for twelve digits with a wrong one. Every sign's barcode
    // scans as its SKU; the bars stand above the SKU line, inside the border,
    // each at least a hundredth of an inch wide, and no text comes within
    // seven of those widths of them. The signs' one item picture is
    // embedded in the PDF once.
    void barcodes_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("4-Up") << 0;
        QTest::newRow("2-Up") << 1;
        QTest::newRow("1-Up") << 2;
    }
    void barcodes()
    {
        QFETCH(int, format);
        QStringList scans = { "CODE-128:HX-2210", "UPC-A:036000291452", "EAN-13:4006381333931",
            "CODE-128:036000291453", "CODE-128:WD40 12OZ" };
        const QString item = picture("item.jpg", 120, 120);
        std::vector<SignRow> rows;
        for (const QString& scan : scans) {
            rows.push_back(typicalSign(1));
            rows.back().column(SignListModel::ColSku) = scan.section(':', 1);
            rows.back().column(SignListModel::ColGraphic) = item;
        }
        fill(m_model, rows);
        const SignOptions options = { 1, 0, 1, 0, 1, QStringLiteral("SALE"), 1 };

        FakePrintWindow recorded;
        print(recorded, format, true, options);
        std::vector<std::vector<CanvasOp>> signs; // each sign starts with its border
        for (const CanvasOp& op : recorded.printer.ops) {
            if (op.kind == CanvasOp::Kind::Box)
                signs.emplace_back();
            if (!signs.empty())
                signs.back().push_back(op);
        }
        QCOMPARE(signs.size(), rows.size());
        for (size_t i = 0; i < signs.size(); ++i) {
            const std::vector<CanvasOp>& ops = signs[i];
            const CanvasOp* sku = findText(ops, rows[i].column(SignListModel::ColSku));
            QVERIFY(sku);
            QRectF barcode;
            for (const CanvasOp& bar : opsOfKind(ops, CanvasOp::Kind::FillRect)) {
                QVERIFY(bar.x2 - bar.x >= 14.4 - 1e-6);
                barcode |= QRectF(QPointF(bar.x, bar.y), QPointF(bar.x2, bar.y2));
            }
            QVERIFY2(!barcode.isEmpty(), qPrintable(sku->text));
            QVERIFY(barcode.bottom() < sku->y && barcode.right() < ops.front().x2);
            const QRectF clear = barcode.adjusted(-7 * 14.4, 0, 7 * 14.4, 0);
            for (const CanvasOp& op : textOps(ops))
                QVERIFY2(!clear.intersects(QRectF(op.x, op.y, op.width, op.height)),
                    qPrintable(op.text));
        }

        const QString pdf = file("signs.pdf");
        PdfWindow w(pdf);
        print(w, format, true, options);
        QSet<QString> objects;
        int drawn = 0;
        for (const QString& line : run("pdfimages", { "-list", pdf }).split('\n').mid(2)) {
            if (const QStringList f = line.simplified().split(' '); f.size() > 11 && ++drawn)
                objects.insert(f[10]);
        }
        QCOMPARE(drawn, 5);
        QCOMPARE(objects.size(), 1);

        if (QStandardPaths::findExecutable("zbarimg").isEmpty())
            QSKIP("zbarimg (zbar-tools) is not installed; the barcodes cannot be scanned");
        run("pdftoppm", { "-r", "300", "-gray", "-png", pdf, file("page") });
        const QStringList pages = QDir(m_scope->path()).entryList({ "page*.png" });
        QCOMPARE(pages.size(), pageCount(pdf));
        QStringList decoded;
        for (const QString& page : pages)
            decoded += run("zbarimg", { "-q", "-Supca.enable", "-Sisbn13.disable", file(page) })
                           .split('\n', Qt::SkipEmptyParts);
        decoded.sort();
        scans.sort();
        QCOMPARE(decoded, scans);
    }

    // Seven signs, SKU1 to SKU7, then two blank rows.
    void pagesAndCells_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<PrintRange>("range");
        QTest::addColumn<QString>("printed"); // where each sign lands, or the message
        const auto row = [](const char* name, int format, PrintRange range, const char* printed) {
            QTest::newRow(name) << format << range << QString(printed);
        };
        row("4-Up all", 0, PrintRange(),
            "SKU1@1.1 SKU2@1.2 SKU3@1.3 SKU4@1.4 SKU5@2.1 SKU6@2.2 SKU7@2.3");
        row("4-Up from cell 3", 0, rangeOf(3, 1, 0),
            "SKU1@1.3 SKU2@1.4 SKU3@2.1 SKU4@2.2 SKU5@2.3 SKU6@2.4 SKU7@3.1");
        row("4-Up cell 3, page 2 only", 0, rangeOf(3, 2, 2), "SKU3@1.1 SKU4@1.2 SKU5@1.3 SKU6@1.4");
        row("2-Up cell 2, pages 2 to 3", 1, rangeOf(2, 2, 3),
            "SKU2@1.1 SKU3@1.2 SKU4@2.1 SKU5@2.2");
        row("1-Up selected, cell ignored", 2, rangeOf(3, 1, 0, { 7, 2, 5 }),
            "SKU2@1.1 SKU5@2.1 SKU7@3.1");
        row("4-Up selected, cell 4, page 1", 0, rangeOf(4, 1, 1, { 6, 1 }), "SKU1@1.4");
        row("range past the end runs to the last page", 0, rangeOf(1, 2, 9),
            "SKU5@1.1 SKU6@1.2 SKU7@1.3");
        row("no such page", 0, rangeOf(1, 3, 4),
            "There is no page 3 to print: the signs fill 2 pages.");
        row("selected rows all blank", 0, rangeOf(1, 1, 0, { 9 }), "No data to print.");
    }
    void pagesAndCells()
    {
        QFETCH(int, format);
        QFETCH(PrintRange, range);
        QFETCH(QString, printed);
        fill(m_model,
            { typicalSign(1), typicalSign(2), typicalSign(3), typicalSign(4), typicalSign(5),
                typicalSign(6), typicalSign(7), SignRow(), SignRow() });
        const QString pdf = file("signs.pdf");
        PdfWindow w(pdf);
        w.format = format;
        jobFor(m_model, m_settings, w).PrintSigns(true, range);
        const bool signs = printed.startsWith("SKU");
        QCOMPARE(messageTexts(), signs ? QStringList() : QStringList { printed });
        QCOMPARE(QFile::exists(pdf), signs);
        if (signs)
            QCOMPARE(placesOf(pdf, format), printed.split(' '));
    }

    // The question before printing: what it offers, the rows it prints, the
    // choices it remembers, and a cancel that prints nothing.
    void windowAsksAndRemembers()
    {
        frmSigns w(dialogs());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        fill(*w.model(),
            { typicalSign(1), typicalSign(2), typicalSign(3), typicalSign(4), typicalSign(5),
                typicalSign(6) });
        w.printer()->setOutputFormat(QPrinter::PdfFormat);
        w.printer()->setPageSize(QPageSize(QPageSize::Letter));
        dialogs().reset();

        // A click loads the row; a control-click adds a row to the selection
        // and loads that one.
        auto* grid = child<QTableView>(w, "msfGrid");
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
            grid->visualRect(w.model()->index(1, 1)).center());
        QCOMPARE(child<EntryBox>(w, "txtSku")->text(), QStringLiteral("SKU2"));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier,
            grid->visualRect(w.model()->index(4, 1)).center());
        QCOMPARE(child<EntryBox>(w, "txtSku")->text(), QStringLiteral("SKU5"));
        QCOMPARE(w.selectedRows(), QVector<int>({ 2, 5 }));

        const QString first = file("first.pdf");
        w.printer()->setOutputFileName(first);
        dialogs().queuePrintRange(rangeOf(2, 1, 0, { 1 }));
        trigger(w, "mnuFilePrintGrid");
        QCOMPARE(dialogs().printRangeRequests().size(), 1);
        const DialogService::PrintRangeRequest asked = dialogs().printRangeRequests()[0];
        QCOMPARE(asked.title, QStringLiteral("Print Signs"));
        QCOMPARE(QList<int>({ asked.signsPerPage, asked.signs, asked.selectedSigns }),
            QList<int>({ 4, 6, 2 }));
        QCOMPARE(asked.initial.firstCell, 1);
        QCOMPARE(asked.initial.toPage, 0);
        QVERIFY(!asked.initial.selectedOnly);
        // The window's selection is what prints, not the scripted rows.
        QCOMPARE(placesOf(first, 0), QStringList({ "SKU2@1.2", "SKU5@1.3" }));

        // The next question starts from that choice; cancelling prints nothing.
        const QString second = file("second.pdf");
        w.printer()->setOutputFileName(second);
        dialogs().queuePrintRange(std::nullopt);
        trigger(w, "mnuFilePrintPreview");
        QCOMPARE(dialogs().printRangeRequests().size(), 2);
        const DialogService::PrintRangeRequest again = dialogs().printRangeRequests()[1];
        QCOMPARE(again.title, QStringLiteral("Print Preview"));
        QCOMPARE(again.initial.firstCell, 2);
        QVERIFY(again.initial.selectedOnly);
        QVERIFY(dialogs().messages().isEmpty());
        QVERIFY(!QFile::exists(second));
    }
};

QTEST_MAIN(TestPrintingPdf)
#include "tst_printing_pdf.moc"
