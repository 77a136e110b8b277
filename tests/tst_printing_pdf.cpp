// Every sign fits its cell whatever it holds, checked element by element on the recording
// surface; signs printed to a real PDF, read back with poppler and scanned with zbar;
// printing part of a list, and the main window's question before; kestrane-batch, in this
// process and as the real program.

#include "PdfTestSupport.h"
#include "support/TestSupport.h"

#include "base/SettingsKeys.h"
#include "batch/BatchCommand.h"
#include "printing/SignPrice.h"
#include "ui/DialogService.h"
#include "ui/frmCalibrate.h"
#include "ui/frmSigns.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace PrintTest;
using namespace PdfTest;
using Kind = CanvasOp::Kind;

Q_DECLARE_METATYPE(PrintRange)
Q_DECLARE_METATYPE(PrintResult)

namespace {
PrintRange rangeOf(int firstCell, int from, int to, QVector<int> rows = {}, int copies = 1)
{
    return { firstCell, from, to, !rows.isEmpty(), rows, copies };
}

// Every word of the PDF as "page x,y text" (points, moved by dx, dy), sorted; the SKUs left
// out unless asked for.
QStringList wordsOf(const QString& pdf, double dx = 0, double dy = 0, bool skus = true)
{
    QStringList words;
    for (const Word& w : readWords(pdf))
        if (skus || !w.text.startsWith("SKU"))
            words << QString::asprintf("%d %.2f,%.2f ", w.page, w.xMin + dx, w.yMin + dy) + w.text;
    words.sort();
    return words;
}

// kestrane-batch's exit status and errors, run in this process or as the real program (-1 when
// it crashed or hung).
std::pair<int, QString> batchInProcess(const QStringList& args)
{
    QString errors;
    BatchCommand command([&errors](const QString& text) { errors += text; }, [](const QString&) {});
    return { command.execute(QStringList { "kestrane-batch" } + args), errors };
}
std::pair<int, QString> runBatch(const QStringList& args)
{
    QProcess p;
    p.start(QString::fromLocal8Bit(qgetenv("KESTRANE_BATCH")), args);
    const bool ended = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit;
    return { ended ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAllStandardError()) };
}

// Where each SKU landed: "SKU<n>@<page>.<cell>", cells counted left to right, top to bottom,
// sorted; cells told apart by the middle of the PDF's sheet.
QStringList placesOf(const QString& pdf, int format)
{
    const auto size = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)"))
                          .match(run(QStringLiteral("pdfinfo"), { pdf }));
    if (!size.hasMatch())
        return { "no PDF" };
    const double midX = size.captured(1).toDouble() / 2, midY = size.captured(2).toDouble() / 2;
    QStringList places;
    for (const Word& w : readWords(pdf))
        if (w.text.startsWith("SKU"))
            places << QString("%1@%2.%3")
                          .arg(w.text)
                          .arg(w.page)
                          .arg((w.yMin > midY) * (2 - format) + (format == 0 && w.xMin > midX) + 1);
    places.sort();
    return places;
}

const QString Cent = QString(QChar(0xA2));

// "D"escription, "B"ullet or "T"itle text of about n characters; n < 0: one long word.
QString textOf(QChar tag, int n)
{
    QString text = tag;
    const QString words = QStringLiteral(" heavy duty steel frame with rubber grip");
    while (text.size() < std::abs(n))
        text += n < 0 ? QChar('X') : words.at((text.size() - 1) % words.size());
    return n == 0 ? QString() : text.trimmed();
}

struct Box
{
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool inside(const Box& o) const
    {
        return x1 >= o.x1 - 0.01 && x2 <= o.x2 + 0.01 && y1 >= o.y1 - 0.01 && y2 <= o.y2 + 0.01;
    }
    bool overlaps(const Box& o) const
    {
        return x1 < o.x2 - 0.5 && o.x1 < x2 - 0.5 && y1 < o.y2 - 0.5 && o.y1 < y2 - 0.5;
    }
};

Box boxOf(const CanvasOp& op)
{
    if (op.kind == Kind::Circle)
        return { op.x - op.radius, op.y - op.radius, op.x + op.radius, op.y + op.radius };
    return { op.x, op.y, op.x + op.width, op.y + op.height };
}

// The size a text is designed at (before the format's scale).
double designSize(const CanvasOp& op, const QString& sku)
{
    if (op.text == sku)
        return 10;
    if (op.bold)
        return op.text == "$" || op.text == Cent ? 40 : op.text.startsWith('T') ? 25 : 60;
    return op.italic || !op.text.startsWith('D') ? 15 : 20;
}

// The ops of each sign in order: a sign's ops share its clip (its cell).
std::vector<std::vector<CanvasOp>> bySign(const std::vector<CanvasOp>& ops)
{
    std::vector<std::vector<CanvasOp>> signs;
    for (const CanvasOp& op : ops) {
        if (op.kind == Kind::NewPage || op.kind == Kind::EndDoc || op.kind == Kind::Cls)
            continue;
        if (signs.empty() || signs.back().back().clip != op.clip
            || signs.back().back().page != op.page)
            signs.emplace_back();
        signs.back().push_back(op);
    }
    return signs;
}

// What each typed price of the fit test prints as its amount.
const QHash<QString, QString> PrintedAmount = { { "12.99", "12.99" }, { "$12.99", "12.99" },
    { "$1,299.00", "1,299.00" }, { "1299.00", "1299.00" }, { ".5", "50" }, { "0.69", "69" },
    { ".05", "5" }, { "2 FOR $5", "2 FOR $5" }, { "SALE", "SALE" }, { "-1", "-1" },
    { "abc", "abc" }, { ".", "." }, { "", "" }, { " 3 ", "3.00" } };

// The price amount's full size in points: bullet style, description style; by format.
constexpr double FullPrice[2][3] = { { 60, 77.647, 120 }, { 80, 103.529, 160 } };

// A sign shrunk no more than needed: a price below its full size either fills its line (it
// would not fit at full size) or shrank with a stack that fills its room (5 % more would spill
// over the SKU line). Empty when so, else what is wrong.
QString shrunkNoMoreThanNeeded(
    const std::vector<CanvasOp>& ops, const QString& sku, const QString& amount, double full)
{
    const CanvasOp* price = nullptr;
    for (const CanvasOp& op : ops)
        if (op.kind == Kind::Text && op.bold && op.text == amount
            && (!price || op.fontSize > price->fontSize))
            price = &op;
    if (!price || price->fontSize >= full - 0.01)
        return QString();
    const CanvasOp& cell = ops.front();
    const bool border = cell.kind == Kind::Box;
    const double left = border ? cell.x : cell.clip.left(),
                 right = border ? cell.x2 : cell.clip.right();
    double lineLeft = price->x, lineRight = price->x + price->width;
    double top = 1e9, stackBottom = -1e9, floor = border ? cell.y2 : cell.clip.bottom(),
           lastLine = 0;
    for (const CanvasOp& op : ops) {
        if (op.kind == Kind::FillRect)
            return QString(); // the barcode's room above the SKU is not seen in the drawing
        if (op.kind == Kind::Text && op.text == sku && !op.bold)
            floor = std::min(floor, op.y);
        if (op.kind == Kind::Box || (op.kind == Kind::Text && op.text == sku && !op.bold))
            continue;
        const Box box = boxOf(op);
        top = std::min(top, box.y1);
        if (box.y2 > stackBottom)
            lastLine = box.y2 - box.y1;
        stackBottom = std::max(stackBottom, box.y2);
        // The "$", cent sign and picture beside the amount share its line.
        if (box.y1 < price->y + price->height && box.y2 > price->y
            && (op.kind == Kind::Picture || (op.kind == Kind::Text && op.bold))) {
            lineLeft = std::min(lineLeft, box.x1);
            lineRight = std::max(lineRight, box.x2);
        }
    }
    // Too wide at full size: shrunk until the line reaches the right edge; else it shrank
    // with the stack, which ends where a next line would start: below its last line, a line's
    // space.
    const double atFull = (lineRight - lineLeft) * full / price->fontSize;
    if ((lineLeft + atFull > right + 1 && lineRight > right - 0.06 * (right - left))
        || stackBottom + lastLine + (stackBottom - top) * 0.05 > floor)
        return QString();
    return QString::asprintf("price %.2f pt of %.2f with room: stack %.0f-%.0f above %.0f",
        price->fontSize, full, top, stackBottom, floor);
}

// Liberation Sans' ascent plus descent per em: the height of poppler's word boxes.
constexpr double LineHeightPerEm = (1854.0 + 434.0) / 2048.0;

} // namespace

class TestPrintingPdf : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestSettingsScope> m_scope;
    QTemporaryDir m_dir; // outlives the scopes: the batch tables' files
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
    // The list printed to file("signs.pdf").
    PrintResult printPdf(int format, bool bullet, const SignOptions& options)
    {
        PdfWindow w(file("signs.pdf"));
        return print(w, format, bullet, options);
    }
    QString file(const QString& name) const { return m_scope->path() + '/' + name; }
    QString picture(const QString& name, int w, int h)
    {
        return writePicture(m_scope->path(), name, w, h);
    }

    // The list read into the window with Read Data File, printing to PDF files.
    void importList(frmSigns& window, const QString& data)
    {
        dialogs().queueFile(data);
        trigger(window, "mnuFileImport");
        window.printer()->setOutputFormat(QPrinter::PdfFormat);
    }
    QStringList printTo(frmSigns& window, const QString& name)
    {
        window.printer()->setOutputFileName(file(name));
        window.PrintSigns(true);
        [&] { QCOMPARE(messageTexts(), QStringList()); }();
        return wordsOf(file(name));
    }

    QString list()
    {
        QByteArray text = "1\t10\t48\t54\t56\t177\t178\t179\t182\r\n";
        for (int i = 1; i <= 5; ++i)
            text += QByteArray("SKU#\tClaw hammer #\t19.9#\t9.00\t12.9#\tForged steel head\t"
                               "Fiberglass handle\tLifetime warranty\t\r\n")
                        .replace('#', QByteArray::number(i));
        return writeTestFile(m_dir.path(), "list.txt", text);
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QFAIL("poppler-utils (pdftotext) is needed for the PDF tests");
        QVERIFY(QFileInfo(QString::fromLocal8Bit(qgetenv("KESTRANE_BATCH"))).isExecutable());
    }
    void init() { m_scope = std::make_unique<TestSettingsScope>(); }

    void pricesAsMoney_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("printed"); // "$", amount, cent sign ("c"), joined by '|'
        const char* const rows[][2] = { { "12.99", "$|12.99|" }, { "$12.99", "$|12.99|" },
            { " $1,299.00 ", "$|1,299.00|" }, { "3", "$|3.00|" }, { "1.5", "$|1.50|" },
            { "1.", "$|1.00|" }, { "0012.99", "$|12.99|" }, { "1", "$|1.00|" },
            { "0.995", "|0.995|" }, { "0.001", "|0.001|" }, { "$12.999", "|$12.999|" },
            { "100000000000000000000", "|100000000000000000000|" },
            { "$9999999999999999.99", "$|9999999999999999.99|" },
            { "99999999999999999", "|99999999999999999|" }, { ".5", "|50|c" }, { "0.5", "|50|c" },
            { ".05", "|5|c" }, { "0.69", "|69|c" }, { "$.99", "|99|c" }, { "0", "|0|c" },
            { "000.10", "|10|c" }, { "2 FOR $5", "|2 FOR $5|" }, { "SALE", "|SALE|" },
            { "-1", "|-1|" }, { "abc", "|abc|" }, { ".", "|.|" }, { "0.5.5", "|0.5.5|" },
            { "12,99", "|12,99|" }, { ",123", "|,123|" }, { "", "||" } };
        for (const auto& row : rows)
            QTest::addRow("'%s'", row[0]) << row[0] << QString(row[1]).replace("|c", '|' + Cent);
    }
    void pricesAsMoney()
    {
        QFETCH(QString, typed);
        const SignPrice price = PriceForSign(typed);
        QTEST(price.dollar + '|' + price.amount + '|' + price.cent, "printed");
    }

    // The logo's height and width in inches and its place; "" no logo.
    void everySignFitsItsCell_data()
    {
        QTest::addColumn<QString>("logo");
        QTest::newRow("no logo") << QString();
        for (const char* size : { "0.5 1.5", "1 2.5", "1.99 3.99" })
            for (const char* place : { "LEFT", "CENTER", "RIGHT" })
                QTest::addRow("logo %s %s", size, place) << QString("%1 %2").arg(size, place);
    }

    // Every format, style and check box (the logo's by the row); each job prints every text
    // length twice, prices turning across jobs. Each element inside the border (or cell), no
    // text on text or picture, no text below half its size, an uncut sign shown in full.
    void everySignFitsItsCell()
    {
        using M = SignListModel;
        QFETCH(QString, logo);
        m_settings.save(SettingsKeys::FILELOGO, picture("logo.png", 60, 20));
        m_settings.save(SettingsKeys::MARGINLEFT, "270");
        m_settings.save(SettingsKeys::MARGINTOP, "180");
        if (const QStringList v = logo.split(' '); !logo.isEmpty()) {
            m_settings.save(SettingsKeys::LOGOHEIGHT, v[0]);
            m_settings.save(SettingsKeys::LOGOWIDTH, v[1]);
            m_settings.save(SettingsKeys::LOGOLCR, v[2]);
        }
        const QString item = picture("item.png", 20, 20);
        const QStringList prices = { "12.99", "$12.99", "$1,299.00", "1299.00", ".5", "0.69", ".05",
            "2 FOR $5", "SALE", "-1", "abc", ".", "", " 3 " };
        const int lengths[] = { 0, 14, 40, 80, 200, -60 };
        for (int job = 0; job < 96; ++job) {
            const int format = job / 32, mask = job % 32; // the logo's bit: style
            std::vector<SignRow> rows;
            for (int i = 0; i < 12; ++i) {
                const QString b = textOf('B', lengths[i % 6]);
                rows.push_back(sign(QStringLiteral("SKU%1").arg(i),
                    prices[(i + job) % prices.size()], prices[(i + job + 3) % prices.size()],
                    textOf('D', lengths[i % 6]), b, b, b, item));
            }
            fill(m_model, rows);
            FakePrintWindow w;
            w.beforeSign = [&](int k) { w.options.titleText = textOf('T', lengths[(k - 1) % 6]); };
            const PrintResult result = print(w, format, mask & 2,
                { mask & 1, !logo.isEmpty(), mask >> 2 & 1, mask >> 3 & 1, mask >> 4, QString() });
            QCOMPARE(result.signs, 12);

            const bool wide = w.printer.orientation == SignCanvas::Landscape;
            const Box printable { 0, 0, wide ? 15120.0 : 11520.0, wide ? 11520.0 : 15120.0 };
            const double k = format == 0 ? 1.0 : format == 1 ? 15840.0 / 12240 : 2.0;
            const auto signs = bySign(w.printer.ops);
            QCOMPARE(signs.size(), size_t(12));
            for (size_t i = 0; i < signs.size(); ++i) {
                const SignRow& row = rows[i];
                const QString where
                    = QString::asprintf("format %d options %d sign %zu: ", format, mask, i + 1);
                const CanvasOp& first = signs[i].front();
                const QRectF& c = first.clip;
                Box limit { c.left(), c.top(), c.right(), c.bottom() };
                if (first.kind == Kind::Box) {
                    // Inside the border line, 24 dots wide at the least.
                    const double half = first.drawWidth * 1440.0 / 600 / 2;
                    limit = { first.x + half, first.y + half, first.x2 - half, first.y2 - half };
                    QVERIFY(first.drawWidth >= 24);
                }
                QVERIFY2(limit.inside(printable), qPrintable(where));
                std::vector<Box> texts, pictures;
                QStringList printed;
                for (const CanvasOp& op : signs[i]) {
                    const Box box = boxOf(op);
                    QVERIFY2(op.kind == Kind::Box || box.inside(limit),
                        qPrintable(where + "outside: " + op.text));
                    if (op.kind == Kind::Picture)
                        pictures.push_back(box);
                    if (op.kind != Kind::Text || op.text.isEmpty())
                        continue;
                    printed << op.text;
                    QVERIFY2(op.fontSize >= designSize(op, row.column(M::ColSku)) * k / 2 - 1e-9,
                        qPrintable(where));
                    for (const Box& other : texts)
                        QVERIFY2(!box.overlaps(other), qPrintable(where + "on text: " + op.text));
                    texts.push_back(box);
                }
                for (const Box& p : pictures)
                    for (const Box& t : texts)
                        QVERIFY2(!p.overlaps(t), qPrintable(where + "picture on text"));
                if (std::count(result.rowsCut.begin(), result.rowsCut.end(), int(i) + 1))
                    continue;
                const QString promo = row.column(M::ColPromo);
                const QString amount = PrintedAmount.value(
                    promo.trimmed().isEmpty() ? row.column(M::ColRetail) : promo, "<not in table>");
                const QString wrong = shrunkNoMoreThanNeeded(
                    signs[i], row.column(M::ColSku), amount, FullPrice[(mask & 2) ? 0 : 1][format]);
                QVERIFY2(wrong.isEmpty(), qPrintable(where + wrong));
                for (const QString& e : { row.column(M::ColSku), amount, row.column(M::ColBullet1),
                         w.options.title ? textOf('T', lengths[i % 6]) : "" })
                    QVERIFY2(e.isEmpty() || printed.contains(e), qPrintable(where + "lost " + e));
                const QString all = printed.join("").remove(' ');
                QVERIFY2(all.contains(QString(row.column(M::ColDescription)).remove(' ')),
                    qPrintable(where + "lost the description: " + all));
                QVERIFY2(!all.contains(QChar(0x2026)), qPrintable(where + "cut unreported"));
            }
        }
    }

    void statusMessage_data()
    {
        QTest::addColumn<PrintResult>("result");
        QTest::addColumn<QString>("message");
        const auto row = [](bool preview, int shrunk, std::vector<int> cut, std::vector<int> bar,
                             const char* message) {
            QTest::newRow(message) << PrintResult { true, preview, 30, 8, shrunk, cut, "Office",
                bar } << QString(message);
        };
        row(false, 0, {}, {}, "30 signs printed on 8 pages to Office");
        row(false, 2, { 7 }, {},
            "1 cut (row 7); 2 shrunk to fit; 30 signs printed on 8 pages to Office");
        row(true, 0, { 3, 9 }, { 4 },
            "2 cut (rows 3, 9); barcode left off (row 4); 30 signs previewed on 8 pages");
        row(true, 1, { 1, 2, 3, 4, 5, 6 }, { 3, 7 },
            "6 cut (rows 1, 2, 3, 4, 5, ...); 1 shrunk to fit; barcode left off (rows 3, 7); 30 "
            "signs previewed on 8 pages");
    }
    void statusMessage()
    {
        QFETCH(PrintResult, result);
        QTEST(PrintResultMessage(result), "message");
    }

    // The demo store's signs in each format and style: pages, texts, the first price's size
    // and "$"'s place on paper (points); every word inside its cell's border line (twips).
    void demoSigns_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("bullet");
        QTest::addColumn<int>("pages");
        QTest::addColumn<double>("dollarX");
        QTest::addColumn<double>("pricePoints");
        QTest::addColumn<QList<QRectF>>("cells"); // one page's border lines
        const double w = 6847.2, h = 5047.2;
        const QList<QRectF> fourUp = { { 602.4, 602.4, w, h }, { 8522.4, 602.4, w, h },
            { 602.4, 6722.4, w, h }, { 8522.4, 6722.4, w, h } };
        const QList<QRectF> twoUp
            = { { 800.6, 620.6, 10936.8, 6796.8 }, { 800.6, 8540.6, 10936.8, 6796.8 } };
        const QList<QRectF> oneUp = { { 664.8, 844.8, 14594.4, 10814.4 } };
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
        QFETCH(QList<QRectF>, cells);
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
        const PrintResult result
            = printPdf(format, bullet, { 1, 1, 1, 1, 1, QStringLiteral("WEEKLY SPECIAL") });
        QCOMPARE(result.signs, 4);
        QVERIFY(result.rowsCut.empty());

        const QString pdf = file("signs.pdf");
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
        QVERIFY2(dollarX < 0
                || (qAbs(dollar->xMin - dollarX) < 0.1 && qAbs(price->xMin - dollar->xMax) < 0.1),
            qPrintable(QString::number(dollar->xMin)));
        for (const Word& word : words) {
            const QRectF box(
                QPointF(word.xMin * 20, word.yMin * 20), QPointF(word.xMax * 20, word.yMax * 20));
            const auto holds
                = [&](const QRectF& c) { return c.adjusted(-2, -2, 2, 2).contains(box); };
            QVERIFY2(
                word.page <= 4 / cells.size() && std::any_of(cells.begin(), cells.end(), holds),
                qPrintable(word.text));
        }
    }

    // An abandoned document leaves no PDF file behind and never reaches a print queue: a real
    // printer's pages are kept until the document is whole.
    void abandonedDocumentIsGone()
    {
        PdfWindow w(file("aborted.pdf"));
        PrinterCanvas pdf(&w.printer);
        pdf.Print("first page");
        pdf.abandonDocument();
        QVERIFY(!QFile::exists(w.printer.outputFileName()));

        QPrinter printer(QPrinter::HighResolution);
        if (printer.outputFormat() != QPrinter::NativeFormat || printer.printerName().isEmpty())
            QSKIP("no printer is installed");
        PrinterCanvas c(&printer);
        c.setFontSize(20);
        c.Print("first page");
        c.NewPage();
        c.Box(0, 0, 1440, 1440, 0);
        QCOMPARE(c.heldOperations(), size_t(3));
        QCOMPARE(printer.printerState(), QPrinter::Idle);
        c.abandonDocument();
        QVERIFY(!c.documentOpen());
        QCOMPARE(c.heldOperations(), size_t(0));
        QCOMPARE(printer.printerState(), QPrinter::Idle);
    }

    void barcodes_data()
    {
        QTest::addColumn<int>("format");
        for (int format : { 0, 1, 2 })
            QTest::addRow("format %d", format) << format;
    }
    // Every kind of SKU scans; the bars above the SKU line, inside the border, at least 1/100
    // inch wide, no text within seven widths of them. The one item picture is embedded once.
    void barcodes()
    {
        QFETCH(int, format);
        QStringList scans = { "CODE-128:HX-2210", "UPC-A:036000291452", "EAN-13:4006381333931",
            "CODE-128:036000291453", "CODE-128:WD40 12OZ" };
        // Left off: a SKU scanners would misread (Code 128's shift for letters beyond
        // ASCII) and one too long for any cell; the summary names their rows.
        const QStringList leftOff
            = { QString::fromUtf8("café au lait"), QString("HX-2210-").repeated(13) };
        const QString item = picture("item.jpg", 120, 120);
        std::vector<SignRow> rows;
        for (const QString& sku :
            QStringList(scans).replaceInStrings(QRegularExpression(".*:"), "") + leftOff) {
            rows.push_back(typicalSign(1));
            rows.back().column(SignListModel::ColSku) = sku;
            rows.back().column(SignListModel::ColGraphic) = item;
        }
        fill(m_model, rows);
        const SignOptions options = { 1, 0, 1, 0, 1, QStringLiteral("SALE"), 1 };

        FakePrintWindow recorded;
        const PrintResult result = print(recorded, format, true, options);
        QVERIFY(PrintResultMessage(result).contains("barcode left off (rows 6, 7); "));
        const auto signs = bySign(recorded.printer.ops); // each starts with its border
        QCOMPARE(signs.size(), rows.size());
        for (size_t i = 0; i < signs.size(); ++i) {
            const std::vector<CanvasOp>& ops = signs[i];
            const std::vector<CanvasOp> bars = opsOfKind(ops, CanvasOp::Kind::FillRect);
            QRectF barcode;
            double narrowest = 1e9;
            for (const CanvasOp& bar : bars) {
                QVERIFY(bar.x2 - bar.x >= 14.4 - 1e-6);
                narrowest = std::min(narrowest, bar.x2 - bar.x);
                barcode |= QRectF(QPointF(bar.x, bar.y), QPointF(bar.x2, bar.y2));
            }
            QCOMPARE(bars.empty(), i >= size_t(scans.size()));
            if (bars.empty())
                continue;
            // UPC-A and EAN-13 modules (their narrowest bars) stay within 0.66 mm.
            QVERIFY2((i != 1 && i != 2) || narrowest <= 0.66 / 25.4 * 1440,
                qPrintable(QString::number(narrowest)));
            const CanvasOp* sku = findText(ops, rows[i].column(SignListModel::ColSku));
            QVERIFY(sku && barcode.bottom() < sku->y && barcode.right() < ops.front().x2);
            const QRectF clear = barcode.adjusted(-7 * 14.4, 0, 7 * 14.4, 0);
            for (const CanvasOp& op : textOps(ops))
                QVERIFY2(!clear.intersects(QRectF(op.x, op.y, op.width, op.height)),
                    qPrintable(op.text));
        }

        printPdf(format, true, options);
        const QString pdf = file("signs.pdf");
        QStringList objects; // the picture objects drawn
        for (const QString& line : run("pdfimages", { "-list", pdf }).split('\n').mid(2))
            if (const QStringList f = line.simplified().split(' '); f.size() > 11)
                objects << f[10];
        QCOMPARE(objects.size(), 7);
        QCOMPARE(objects.removeDuplicates(), 6);

        if (QStandardPaths::findExecutable("zbarimg").isEmpty())
            QSKIP("zbarimg (zbar-tools) is not installed; the barcodes cannot be scanned");
        run("pdftoppm", { "-r", "300", "-gray", "-png", pdf, file("page") });
        QStringList decoded;
        for (const QString& page : QDir(m_scope->path()).entryList({ "page*.png" }))
            decoded += run("zbarimg", { "-q", "-Supca.enable", "-Sisbn13.disable", file(page) })
                           .split('\n', Qt::SkipEmptyParts);
        decoded.sort();
        scans.sort();
        QCOMPARE(decoded, scans);
    }

    // A description too long for its two lines reads in order over both of them and ends
    // with the one ellipsis.
    void cutDescriptionFlows_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("bullet");
        QTest::newRow("4-Up bullet") << 0 << true;
        QTest::newRow("4-Up desc") << 0 << false;
        QTest::newRow("2-Up desc") << 1 << false;
    }
    void cutDescriptionFlows()
    {
        QFETCH(int, format);
        QFETCH(bool, bullet);
        QString description;
        for (int i = 1; description.size() < 400; ++i)
            description += QStringLiteral("w%1 heavy duty galvanized ").arg(i);
        fill(m_model, { sign("K1", "5", "", description.trimmed()) });
        QCOMPARE(printPdf(format, bullet, {}).rowsCut, std::vector<int>({ 1 }));
        QStringList words;
        QSet<int> lines;
        for (const Word& word : readWords(file("signs.pdf")))
            if (word.text != "$" && word.text != "5.00" && word.text != "K1") {
                words << word.text;
                lines.insert(qRound(word.yMin));
            }
        const QString read = words.join(' ');
        QCOMPARE(lines.size(), 2);
        QCOMPARE(read.count(QChar(0x2026)), 1);
        QVERIFY2(read.endsWith(QChar(0x2026)), qPrintable(read));
        QVERIFY2(read.size() > 60 && description.startsWith(read.chopped(1)), qPrintable(read));
    }

    // kestrane-batch says what the window's status bar says when a sign was changed to fit
    // or printed without its barcode, and still succeeds; a picture that cannot be read costs
    // that picture only, its row named; a list that fits prints silently. Every sign prints.
    void batchTellsTheSummary_data()
    {
        QTest::addColumn<QByteArray>("records"); // SKU, description, price, picture
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("said"); // "@" the PDF file
        const QString done = "1 sign printed on 1 page to @\n";
        const QStringList barcode = { "--set", "PRINTBARCODE=1" };
        const QString title = QString("HEAVY DUTY GALVANIZED ").repeated(8);
        QTest::newRow("fits") << QByteArray("SKU1\tHAMMER\t5\t") << barcode << "";
        QTest::newRow("title cut")
            << QByteArray("SKU1\tHAMMER\t5\t") << barcode + QStringList { "--title", title }
            << "1 cut (row 1); " + done;
        QTest::newRow("barcode left off")
            << QByteArray("SKU\xC9\tMUG\t5\t") << barcode << "barcode left off (row 1); " + done;
        const QString text = writeTestFile(m_dir.path(), "notes.png", "not a picture\n");
        const QString cut = writePicture(m_dir.path(), "cut.png", 300, 300);
        QVERIFY(QFile::resize(cut, QFileInfo(cut).size() / 2));
        const QString good = writePicture(m_dir.path(), "good.png", 40, 40);
        const QString bad = "kestrane-batch: row %1: item picture %2 is not a picture; printed "
                            "without it\n";
        QTest::newRow("pictures") << QString(
            "SKU1\tHammer\t\t%1\r\nSKU2\tHammer\t\t%2\r\nSKU3\tHammer\t\t%3\r\n"
            "SKU4\tHammer\t\t")
                                         .arg(good, text, cut)
                                         .toUtf8()
                                  << QStringList { "--set", "PRINTGRAPHIC=1" }
                                  << bad.arg(2).arg(text) + bad.arg(3).arg(cut);
    }
    void batchTellsTheSummary()
    {
        QFETCH(QByteArray, records);
        QFETCH(QStringList, args);
        QFETCH(QString, said);
        const QString pdf = file("summary.pdf");
        const QString data
            = writeTestFile(m_dir.path(), "one.txt", "1\t10\t48\t182\r\n" + records + "\r\n");
        QCOMPARE(runBatch(args + QStringList { "--format", "4up", "--pdf", pdf, data }),
            std::pair(0, said.replace("@", pdf)));
        QCOMPARE(placesOf(pdf, 0).size(), records.count('\n') + 1);
    }

    // A CUPS queue whose own default paper is Letter, on a machine whose default is A4:
    // kestrane-batch --printer and the window's remembered printer print Letter pages; paper
    // the user picks afterwards stays. (Needs root to start CUPS and add the queue.)
    void printerDefaultPaper()
    {
        const QString queue = QStringLiteral("KestraneLetter");
        const bool added = QPrinterInfo::printerInfo(queue).isNull();
        // A queue this test adds is gone again when it ends.
        const auto removeQueue = qScopeGuard([&] {
            if (added)
                QProcess::execute("lpadmin", { "-x", queue });
        });
        if (added) {
            if (geteuid() != 0 || QStandardPaths::findExecutable("lpadmin").isEmpty())
                QSKIP("CUPS queues cannot be added here (not root or no lpadmin)");
            const auto running = [] { return run("lpstat", { "-r" }).contains("is running"); };
            if (!running())
                QProcess::startDetached("/usr/sbin/cupsd", {});
            QTRY_VERIFY_WITH_TIMEOUT(running(), 15000);
            QCOMPARE(QProcess::execute("lpadmin",
                         { "-p", queue, "-E", "-v", "file:/dev/null", "-m",
                             "drv:///sample.drv/generic.ppd", "-o", "PageSize=Letter" }),
                0);
            QTRY_VERIFY_WITH_TIMEOUT(!QPrinterInfo::printerInfo(queue).isNull(), 10000);
        }
        QVERIFY(QPrinterInfo::printerInfo(queue).defaultPageSize().id() == QPageSize::Letter);
        // The page size of the newest job's document, as pdfinfo reads it from the spool.
        const auto lastJobPages = [&]() -> QString {
            int newest = 0;
            for (const QString& line : run("lpstat", { "-W", "all", "-o", queue }).split('\n'))
                newest = std::max(newest, line.section(' ', 0, 0).section('-', -1).toInt());
            const QString spool = QString::asprintf("/var/spool/cups/d%05d-001", newest);
            QString size;
            for (int i = 0; i < 100 && size.isEmpty(); ++i, QTest::qWait(100))
                size = run("pdfinfo", { spool }).section("Page size:", 1).section('\n', 0, 0);
            return size.simplified();
        };
        const QString letter = "612 x 792 pts (letter)";
        QCOMPARE(
            runBatch({ "--format", "2up", "--printer", queue, list() }), std::pair(0, QString()));
        QCOMPARE(lastJobPages(), letter);

        m_settings.save(SettingsKeys::PRINTER, queue);
        frmSigns window(dialogs());
        QCOMPARE(window.printer()->printerName(), queue);
        fill(*window.model(), { typicalSign(1) });
        window.findChildren<QAction*>("mnuFormatSel").at(1)->trigger(); // 2-Up
        window.PrintSigns(true);
        QCOMPARE(messageTexts(), QStringList());
        QCOMPARE(lastJobPages(), letter);
        window.printer()->setPageSize(QPageSize(QPageSize::A4)); // as the printer dialog sets it
        window.PrintSigns(true);
        QCOMPARE(lastJobPages(), "595 x 842 pts (A4)");
    }

    // Which signs the window's job (range) or the command (args) prints on which page and
    // cell, read back from the PDF.
    void pagesAndCells_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<PrintRange>("range");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("printed"); // where each sign lands, or the message
        const auto row = [](const char* name, int format, PrintRange range, const char* printed) {
            QTest::newRow(name) << format << range << QStringList() << QString(printed);
        };
        const auto batch = [](const char* name, const char* args, int format, const char* printed) {
            QTest::addRow("batch %s", name)
                << format << PrintRange() << QString(args).split(' ') << QString(printed);
        };
        row("4-Up all", 0, PrintRange(),
            "SKU1@1.1 SKU2@1.2 SKU3@1.3 SKU4@1.4 SKU5@2.1 SKU6@2.2 SKU7@2.3");
        row("4-Up from cell 3", 0, rangeOf(3, 1, 0),
            "SKU1@1.3 SKU2@1.4 SKU3@2.1 SKU4@2.2 SKU5@2.3 SKU6@2.4 SKU7@3.1");
        row("2-Up cell 2, pages 2 to 3", 1, rangeOf(2, 2, 3),
            "SKU2@1.1 SKU3@1.2 SKU4@2.1 SKU5@2.2");
        row("1-Up selected, cell ignored", 2, rangeOf(3, 1, 0, { 7, 2, 5 }),
            "SKU2@1.1 SKU5@2.1 SKU7@3.1");
        row("no such page", 0, rangeOf(1, 3, 4),
            "There is no page 3 to print: the signs fill 2 pages.");
        row("selected rows all blank", 0, rangeOf(1, 1, 0, { 9 }), "No data to print.");
        row("4-Up 3 copies, selected, cell 2", 0, rangeOf(2, 1, 0, { 6, 2 }, 3),
            "SKU2@1.2 SKU2@1.3 SKU2@1.4 SKU6@2.1 SKU6@2.2 SKU6@2.3");
        // The command prints the five-sign list.
        batch("pages 1-1", "--pages 1-1", 0, "SKU1@1.1 SKU2@1.2 SKU3@1.3 SKU4@1.4");
        batch("first cell 3, pages 2-3", "--first-cell 3 --pages 2-3", 0,
            "SKU3@1.1 SKU4@1.2 SKU5@1.3");
        batch("2-Up from cell 2", "--format 2up --first-cell 2", 1,
            "SKU1@1.2 SKU2@2.1 SKU3@2.2 SKU4@3.1 SKU5@3.2");
        batch("1-Up pages 2-3", "--format 1up --pages 2-3", 2, "SKU2@1.1 SKU3@2.1");
        batch("no such page", "--pages 3-4", 0,
            "There is no page 3 to print: the signs fill 2 pages.");
        batch("3 copies from cell 2, page 2", "--copies 3 --first-cell 2 --pages 2-2", 0,
            "SKU2@1.1 SKU2@1.2 SKU2@1.3 SKU3@1.4");
        batch("2 copies, 1-Up", "--copies 2 --format 1up --pages 9-10", 2, "SKU5@1.1 SKU5@2.1");
    }
    void pagesAndCells()
    {
        QFETCH(int, format);
        QFETCH(PrintRange, range);
        QFETCH(QStringList, args);
        QFETCH(QString, printed);
        const QString pdf = file("signs.pdf");
        const bool signs = printed.startsWith("SKU");
        if (!args.isEmpty()) {
            QCOMPARE(batchInProcess(args + QStringList { "--pdf", pdf, list() }),
                std::pair(signs ? 0 : 1, signs ? QString() : "kestrane-batch: " + printed + '\n'));
        } else {
            fill(m_model, // seven signs, then two blank rows
                { typicalSign(1), typicalSign(2), typicalSign(3), typicalSign(4), typicalSign(5),
                    typicalSign(6), typicalSign(7), SignRow(), SignRow() });
            PdfWindow w(pdf);
            w.format = format;
            jobFor(m_model, m_settings, w).PrintSigns(true, range);
            QCOMPARE(messageTexts(), signs ? QStringList() : QStringList { printed });
        }
        QCOMPARE(QFile::exists(pdf), signs);
        if (signs)
            QCOMPARE(placesOf(pdf, format), printed.split(' '));
    }

    // The question before printing: what it offers, the rows it prints, the choices it
    // remembers, and a cancel that prints nothing. With copies the summary counts every sign
    // printed, and a cut sign's row is named once.
    void windowAsksAndRemembers()
    {
        frmSigns w(dialogs());
        fill(*w.model(),
            { typicalSign(1), typicalSign(2), typicalSign(3), typicalSign(4),
                sign("SKU5", "9.99", "", textOf('D', -200)), typicalSign(6) });
        w.printer()->setOutputFormat(QPrinter::PdfFormat);
        w.printer()->setPageSize(QPageSize(QPageSize::Letter));
        dialogs().reset();
        for (int row : { 1, 4 })
            child<QTableView>(w, "msfGrid")
                ->selectionModel()
                ->select(w.model()->index(row, 1),
                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
        const auto asked = [](int n) {
            const DialogService::PrintRangeRequest& r = dialogs().printRangeRequests().value(n);
            return QString::asprintf("%s: %d %d %d, cell %d to %d, %d copies%s",
                qPrintable(r.title), r.signsPerPage, r.signs, r.selectedSigns, r.initial.firstCell,
                r.initial.toPage, r.initial.copies, r.initial.selectedOnly ? " selected" : "");
        };

        const QString first = file("first.pdf");
        w.printer()->setOutputFileName(first);
        dialogs().queuePrintRange(rangeOf(2, 1, 0, { 1 }, 2));
        trigger(w, "mnuFilePrintGrid");
        QCOMPARE(asked(0), QStringLiteral("Print Signs: 4 6 2, cell 1 to 0, 1 copies"));
        // The window's selection is what prints, not the scripted rows.
        QCOMPARE(
            placesOf(first, 0), QStringList({ "SKU2@1.2", "SKU2@1.3", "SKU5@1.4", "SKU5@2.1" }));
        QCOMPARE(w.statusBar()->currentMessage(),
            "1 cut (row 5); 4 signs printed on 2 pages to " + first);

        // The next question starts from that choice; cancelling prints nothing.
        w.printer()->setOutputFileName(file("second.pdf"));
        dialogs().queuePrintRange(std::nullopt);
        trigger(w, "mnuFilePrintPreview");
        QCOMPARE(asked(1), QStringLiteral("Print Preview: 4 6 2, cell 2 to 0, 2 copies selected"));
        QVERIFY(dialogs().messages().isEmpty());
        QVERIFY(!QFile::exists(file("second.pdf")));
    }

    // The window and the command print the same signs from the same list: with the options
    // as flags (the border only for this run) and stored for the window; and with nothing
    // stored but the dictionary, both reading their options from the one key table.
    void printsWhereTheWindowPrints_data()
    {
        QTest::addColumn<int>("index"); // the format; -1: nothing stored, no flags
        QTest::addColumn<bool>("bullet");
        QTest::newRow("nothing stored") << -1 << false;
        QTest::newRow("4up bullet") << 0 << true;
        QTest::newRow("2up desc") << 1 << false;
        QTest::newRow("1up bullet") << 2 << true;
    }
    void printsWhereTheWindowPrints()
    {
        using namespace SettingsKeys;
        QFETCH(int, index);
        QFETCH(bool, bullet);
        const QString data = list();
        QStringList args = { "--pdf", file("batch.pdf"), data };
        if (index >= 0) {
            m_settings.save(MARGINLEFT, "360");
            m_settings.save(ADJ2UD, "120");
            args = QStringList { "--format", QStringList { "4up", "2up", "1up" }.at(index),
                "--style", bullet ? "bullet" : "desc", "--title", "SALE", "--set", "PRINTBORDER=1" }
                + args;
        }
        QCOMPARE(runBatch(args), std::pair(0, QString()));
        QCOMPARE(stored(PRINTBORDER), Absent);

        if (index >= 0) {
            m_settings.save(PRINTFORMAT, QString::number(index));
            m_settings.save(PRINTBULLET, bullet ? "True" : "False");
            m_settings.save(PRINTLONGDESC, bullet ? "False" : "True");
            m_settings.save(PRINTTITLE, "1");
            m_settings.save(PRINTBORDER, "1");
        }
        frmSigns window(dialogs());
        if (index >= 0)
            child<QLineEdit>(window, "txtTitle")->setText("SALE");
        importList(window, data);
        const QStringList expected = printTo(window, "window.pdf");
        QVERIFY(expected.size() > 5 * (index >= 0 ? 10 : 5));
        QCOMPARE(wordsOf(file("batch.pdf")), expected);
    }

    // Each printer prints with the calibration made for it. The first printer calibrated takes
    // the plain keys, which every printer never calibrated goes on using, as a store with one
    // printer always has; a second printer gets values of its own. Window and command alike.
    void calibrationPerPrinter()
    {
        using namespace SettingsKeys;
        // A store calibrated before printers had values of their own.
        m_settings.save(MARGINLEFT, "270");
        m_settings.save(MARGINTOP, "180");
        const QString data = list();
        frmSigns window(dialogs());
        importList(window, data);
        const auto calibrate = [&](const QString& name, const char* left, const char* down) {
            window.printer()->setOutputFileName(file(name));
            frmCalibrate dlg(m_settings, dialogs(), window.printer(), {}, nullptr);
            const QString shown = dlg.txtMarginLeft->text() + ',' + dlg.txtAdj4UD->text() + ' '
                + dlg.lblPrinter->text();
            dlg.txtMarginLeft->setText(left);
            dlg.txtAdj4UD->setText(down);
            dlg.cmdOk->click();
            return shown;
        };
        const QString a = "\"PDF file " + file("a.pdf") + '"',
                      b = "\"PDF file " + file("b.pdf") + '"';
        const QStringList before = printTo(window, "before.pdf");
        QVERIFY(before.size() > 5 * 8);

        // The first printer calibrated: 72 twips less margin, 3.6 points to the right.
        QCOMPARE(
            calibrate("a.pdf", "198", "0"), "270,0 These values are for the printer " + a + '.');
        QCOMPARE(stored(CALIBRATEDPRINTER), "pdf:" + file("a.pdf"));
        // The second is shown what it prints with until then, and whose values they are; its
        // signs go 72 twips (3.6 points) down.
        QCOMPARE(calibrate("b.pdf", "270", "72"),
            "198,0 These values are for the printer " + b
                + ". Until you save them it prints with those of " + a + '.');
        QCOMPARE(storedValues({ MARGINLEFT, ADJ4UD, "MARGINLEFT@pdf:" + file("b.pdf"),
                     "ADJ4UD@pdf:" + file("b.pdf") }),
            QStringList({ "198", "0", "270", "72" }));
        QCOMPARE(
            calibrate("b.pdf", "270", "72"), "270,72 These values are for the printer " + b + '.');

        // Printed in turn, each where its calibration puts it: the sign's text moves with the
        // margin and the shift (the SKU keeps to its cell's corner, which the margin also
        // widens, and so stands apart).
        const auto body = [&](const QString& name, double dx, double dy) {
            return wordsOf(file(name), dx, dy, false);
        };
        const QStringList atA = printTo(window, "a.pdf");
        QCOMPARE(body("a.pdf", 0, 0), body("before.pdf", 3.6, 0));
        const QStringList atB = printTo(window, "b.pdf");
        QCOMPARE(body("b.pdf", 0, 0), body("before.pdf", 0, 3.6));
        QCOMPARE(printTo(window, "a.pdf"), atA);
        QCOMPARE(printTo(window, "never.pdf"), atA);
        for (const auto& [name, words] : { std::pair("a.pdf", atA), std::pair("b.pdf", atB) }) {
            QCOMPARE(runBatch({ "--pdf", file(name), data }), std::pair(0, QString()));
            QCOMPARE(wordsOf(file(name)), words);
        }
    }

    // A PDF name where another clerk left a link to someone's file fails the run and leaves that
    // file as it was.
    void batchRefusesAnotherClerksLink()
    {
        const OtherClerk clerk = otherClerk();
        if (clerk.uid < 0)
            QSKIP("a second account needs the superuser and useradd");
        const QString victim = writeTestFile(m_scope->path(), "precious.txt", "private\n");
        const QString link = file("signs.pdf");
        QVERIFY(plantLink(victim, link, clerk.uid));
        const auto [exitCode, errors] = runBatch({ "--pdf", link, list() });
        QCOMPARE(exitCode, 1);
        QVERIFY2(errors.contains(link + " is a link made by " + clerk.name), qPrintable(errors));
        QFile kept(victim);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("private\n"));
    }

    // Exit status 2 for a wrong command line, 1 for failing input or output; named messages.
    void reportsFailures_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString data = list();
        // The arguments split at spaces: "@" the PDF file, "~" the folder, "%" the list.
        const auto row = [&](const char* name, const char* args, int code, const char* message) {
            QTest::newRow(name) << QString(args)
                                       .replace('@', "~/out.pdf")
                                       .replace('~', m_dir.path())
                                       .replace('%', data)
                                       .split(' ')
                                << code << QString(message);
        };
        row("no data file", "--pdf @", 2, "no data file");
        row("two data files", "--pdf @ % %", 2, "only one");
        row("no output", "%", 2, "either --pdf FILE or --printer");
        row("both outputs", "--pdf @ --printer p %", 2, "either --pdf FILE or --printer");
        row("unknown option", "--colour red --pdf @ %", 2, "Unknown option");
        row("bad format", "--format 3up --pdf @ %", 2, "unknown format \"3up\"");
        row("bad style", "--style plain --pdf @ %", 2, "unknown style");
        row("bad set", "--set PRINTBORDER --pdf @ %", 2, "--set needs KEY=VALUE");
        row("unknown set key", "--set NOSUCHKEY=1 --pdf @ %", 2,
            "unknown settings key \"NOSUCHKEY\"");
        row("empty pdf name", "--pdf  %", 2, "--pdf needs a file name");
        row("empty printer name", "--printer  %", 2, "--printer needs a printer name");
        row("cell past the page", "--format 2up --first-cell 3 --pdf @ %", 2,
            "--first-cell must be 1 to 2");
        row("backward pages", "--pages 3-1 --pdf @ %", 2, "--pages needs FROM-TO");
        row("copies 0", "--copies 0 --pdf @ %", 2, "--copies must be 1 to 99, not \"0\"");
        row("copies 100", "--copies 100 --pdf @ %", 2, "--copies must be 1 to 99, not \"100\"");
        row("copies x", "--copies x --pdf @ %", 2, "--copies must be 1 to 99, not \"x\"");
        row("copies twice", "--copies 2 --copies 3 --pdf @ %", 2,
            "--copies is given more than once");
        row("missing dictionary", "--dictionary @.dct --pdf @ %", 1,
            "Can not read dictionary file");
        row("missing data file", "--pdf @ ~/none.txt", 1, "File not found");
        row("unwritable output", "--pdf ~/no/such/folder/out.pdf %", 1, "cannot print to");
        row("margin leaving no room", "--set MARGINLEFT=9000 --pdf @ %", 1,
            "no room for a sign: MARGINLEFT is 9000 twips");
        row("missing printer", "--printer kestrane-no-such-printer %", 1,
            "no printer named \"kestrane-no-such-printer\"");
    }
    void reportsFailures()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const auto [exitCode, errors] = batchInProcess(args);
        QTEST(exitCode, "exitCode");
        QVERIFY2(
            errors.startsWith("kestrane-batch: ") && errors.contains(message), qPrintable(errors));
    }
};

QTEST_MAIN(TestPrintingPdf)
#include "tst_printing_pdf.moc"
