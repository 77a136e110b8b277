// Every sign fits its cell whatever it holds: formats, styles, print
// options, logo sizes and places, text lengths and prices, drawn on the
// recording surface and checked element by element.

#include "PrintTestSupport.h"
#include "support/TestSupport.h"

#include "base/SettingsKeys.h"
#include "printing/SignPrice.h"

#include <QtTest>

using namespace PrintTest;
using Kind = CanvasOp::Kind;

namespace {

const QString Cent = QString(QChar(0xA2));

// "D"escription, "B"ullet or "T"itle text of about n characters in words;
// n < 0: one word of -n characters.
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
    if (op.kind == Kind::Box)
        return { op.x, op.y, op.x2, op.y2 };
    return { op.x, op.y, op.x + op.width, op.y + op.height };
}

// The size a text is designed at (before the format's scale).
double designSize(const CanvasOp& op, const SignRow& row)
{
    if (op.text == row.column(SignListModel::ColSku))
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

} // namespace

class TestSignFit : public QObject
{
    Q_OBJECT

    TestSettingsScope m_scope;
    AppSettings m_settings = appSettings();

private slots:
    void initTestCase()
    {
        m_settings.save(SettingsKeys::FILELOGO, writePicture(m_scope.path(), "logo.png", 60, 20));
        m_settings.save(SettingsKeys::MARGINLEFT, "270");
        m_settings.save(SettingsKeys::MARGINTOP, "180");
    }

    void pricesAsMoney_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("printed"); // "$", amount, cent sign ("c"), joined by '|'
        const char* const rows[][2] = { { "12.99", "$|12.99|" }, { "$12.99", "$|12.99|" },
            { " $1,299.00 ", "$|1,299.00|" }, { "3", "$|3|" }, { ".5", "|50|c" },
            { "0.5", "|50|c" }, { ".05", "|5|c" }, { "0.69", "|69|c" }, { "$.99", "|99|c" },
            { "0", "|0|c" }, { "2 FOR $5", "|2 FOR $5|" }, { "SALE", "|SALE|" }, { "-1", "|-1|" },
            { "abc", "|abc|" }, { ".", "|.|" }, { "0.5.5", "|0.5.5|" }, { "12,99", "|12,99|" },
            { ",123", "|,123|" }, { "", "||" } };
        for (const auto& row : rows)
            QTest::addRow("'%s'", row[0]) << row[0] << QString(row[1]).replace("|c", '|' + Cent);
    }
    void pricesAsMoney()
    {
        QFETCH(QString, typed);
        QFETCH(QString, printed);
        const SignPrice price = PriceForSign(typed);
        QCOMPARE(price.dollar + '|' + price.amount + '|' + price.cent, printed);
    }

    // The logo's height and width in inches and its place; "" no logo.
    void everySignFitsItsCell_data()
    {
        QTest::addColumn<QString>("logo");
        QTest::newRow("no logo") << QString();
        for (const char* size : { "0.5 1.5", "1 2.5", "1.99 3.99" }) {
            for (const char* place : { "LEFT", "CENTER", "RIGHT" })
                QTest::addRow("logo %s %s", size, place) << QString("%1 %2").arg(size, place);
        }
    }

    // Every format and style with each check box on and off (the logo's by
    // the row). Every job prints one sign of each text length twice, the
    // prices turning through the table across jobs. Each element lies inside
    // the border (or the cell), no text on text or picture, every text at
    // half its designed size at the least, and a sign not reported cut shows
    // everything in full.
    void everySignFitsItsCell()
    {
        QFETCH(QString, logo);
        if (const QStringList v = logo.split(' '); !logo.isEmpty()) {
            m_settings.save(SettingsKeys::LOGOHEIGHT, v[0]);
            m_settings.save(SettingsKeys::LOGOWIDTH, v[1]);
            m_settings.save(SettingsKeys::LOGOLCR, v[2]);
        }
        const QString item = writePicture(m_scope.path(), "item.png", 20, 20);
        const QStringList prices = { "12.99", "$12.99", "$1,299.00", "1299.00", ".5", "0.69", ".05",
            "2 FOR $5", "SALE", "-1", "abc", ".", "", " 3 " };
        const int lengths[] = { 0, 14, 40, 80, 200, -60 };
        int job = 0;
        for (int format : { 0, 1, 2 }) {
            for (int mask = 0; mask < 32; ++mask, ++job) {
                std::vector<SignRow> rows;
                QStringList titles;
                for (int i = 0; i < 12; ++i) {
                    const QString b = textOf('B', lengths[i % 6]);
                    rows.push_back(sign(QStringLiteral("SKU%1").arg(i),
                        prices[(i + job) % prices.size()], prices[(i + job + 3) % prices.size()],
                        textOf('D', lengths[i % 6]), b, b, b, item));
                    titles << textOf('T', lengths[i % 6]);
                }
                SignListModel model;
                fill(model, rows);
                FakePrintWindow w;
                w.format = format;
                w.bullet = mask & 2; // the logo's bit picks the style
                w.options = { mask & 1, logo.isEmpty() ? 0 : 1, (mask & 4) ? 1 : 0,
                    (mask & 8) ? 1 : 0, (mask & 16) ? 1 : 0, QString() };
                w.beforeSign = [&](int k) { w.options.titleText = titles[k - 1]; };
                const PrintResult result = jobFor(model, m_settings, w).PrintSigns(true);
                QCOMPARE(messageTexts(), QStringList());
                QCOMPARE(result.signs, 12);

                const bool landscape = w.printer.orientation == SignCanvas::Landscape;
                const Box printable { 0, 0, landscape ? 15120.0 : 11520,
                    landscape ? 11520.0 : 15120 };
                const double k = format == 0 ? 1.0 : format == 1 ? 15840.0 / 12240 : 2.0;
                const auto signs = bySign(w.printer.ops);
                QCOMPARE(signs.size(), size_t(12));
                for (size_t i = 0; i < signs.size(); ++i) {
                    const SignRow& row = rows[i];
                    const QString where
                        = QString::asprintf("format %d options %d sign %zu: ", format, mask, i + 1);
                    const CanvasOp& first = signs[i].front();
                    const QRectF& clip = first.clip;
                    Box limit { clip.left(), clip.top(), clip.right(), clip.bottom() };
                    if (first.kind == Kind::Box) {
                        // Inside the border line, 24 dots wide at the least.
                        const double half = first.drawWidth * 1440.0 / 600 / 2;
                        limit
                            = { first.x + half, first.y + half, first.x2 - half, first.y2 - half };
                        QVERIFY(first.drawWidth >= 24);
                    }
                    QVERIFY2(limit.inside(printable), qPrintable(where));
                    std::vector<Box> texts, pictures;
                    QStringList printed;
                    for (const CanvasOp& op : signs[i]) {
                        const Box box = boxOf(op);
                        if (op.kind == Kind::Box)
                            continue;
                        QVERIFY2(box.inside(limit), qPrintable(where + "outside: " + op.text));
                        if (op.kind == Kind::Picture)
                            pictures.push_back(box);
                        if (op.kind != Kind::Text || op.text.isEmpty())
                            continue;
                        printed << op.text;
                        QVERIFY2(
                            op.fontSize >= designSize(op, row) * k / 2 - 1e-9, qPrintable(where));
                        for (const Box& other : texts)
                            QVERIFY2(
                                !box.overlaps(other), qPrintable(where + "on text: " + op.text));
                        texts.push_back(box);
                    }
                    for (const Box& p : pictures) {
                        for (const Box& t : texts)
                            QVERIFY2(!p.overlaps(t), qPrintable(where + "picture on text"));
                    }
                    if (std::count(result.rowsCut.begin(), result.rowsCut.end(), int(i) + 1))
                        continue;
                    QString all = printed.join('|');
                    const QString promo = row.column(SignListModel::ColPromo);
                    const QStringList expected = { row.column(SignListModel::ColSku),
                        PriceForSign(promo.trimmed().isEmpty()
                                ? row.column(SignListModel::ColRetail)
                                : promo)
                            .amount,
                        row.column(SignListModel::ColBullet1), w.options.title ? titles[i] : "" };
                    for (const QString& e : expected)
                        QVERIFY2(
                            e.isEmpty() || printed.contains(e), qPrintable(where + "lost " + e));
                    QVERIFY2(all.remove('|').remove(' ').contains(
                                 QString(row.column(SignListModel::ColDescription)).remove(' ')),
                        qPrintable(where + "lost the description: " + all));
                    QVERIFY2(!all.contains(QChar(0x2026)), qPrintable(where + "cut unreported"));
                }
            }
        }
    }

    void statusMessage_data()
    {
        QTest::addColumn<bool>("preview");
        QTest::addColumn<int>("shrunk");
        QTest::addColumn<QList<int>>("cut");
        QTest::addColumn<QString>("message");
        QTest::newRow("printed") << false << 0 << QList<int>()
                                 << "30 signs printed on 8 pages to Office";
        QTest::newRow("fitted")
            << false << 2 << QList<int> { 7 }
            << "30 signs printed on 8 pages to Office; 2 shrunk to fit, 1 cut (row 7)";
        QTest::newRow("preview") << true << 0 << QList<int> { 3, 9 }
                                 << "30 signs previewed on 8 pages; 2 cut (rows 3, 9)";
        QTest::newRow("many cut")
            << true << 1 << QList<int> { 1, 2, 3, 4, 5, 6 }
            << "30 signs previewed on 8 pages; 1 shrunk to fit, 6 cut (rows 1, 2, 3, 4, 5, ...)";
    }
    void statusMessage()
    {
        QFETCH(QList<int>, cut);
        PrintResult r { true, false, 30, 8, 0, { cut.begin(), cut.end() }, "Office" };
        QFETCH(bool, preview);
        QFETCH(int, shrunk);
        r.preview = preview;
        r.signsShrunk = shrunk;
        QTEST(PrintResultMessage(r), "message");
    }
};

QTEST_MAIN(TestSignFit)
#include "tst_signfit.moc"
