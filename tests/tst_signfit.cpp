// Every sign fits its cell whatever it holds: formats, styles, print
// options, logo sizes and places, text lengths and prices, drawn on the
// recording surface and checked element by element.

#include "PrintTestSupport.h"
#include "support/TestSupport.h"

#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "printing/SignPrice.h"
#include "ui/DialogService.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace PrintTest;
using Kind = CanvasOp::Kind;

namespace {

const QString Cent = QString(QChar(0xA2));

// "D"escription or "B"ullet text of about n characters in words, or one word.
QString textOf(QChar tag, int n, bool oneWord = false)
{
    QString text = tag;
    const QString words = QStringLiteral(" heavy duty steel frame with rubber grip");
    while (text.size() < n)
        text += oneWord ? QStringLiteral("X") : words.at((text.size() - 1) % words.size());
    return text.left(n).trimmed();
}

struct Box
{
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool inside(const Box& o) const
    {
        const double e = 0.01;
        return x1 >= o.x1 - e && x2 <= o.x2 + e && y1 >= o.y1 - e && y2 <= o.y2 + e;
    }
    bool overlaps(const Box& o) const
    {
        const double e = 0.5;
        return x1 < o.x2 - e && o.x1 < x2 - e && y1 < o.y2 - e && o.y1 < y2 - e;
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

private:
    std::unique_ptr<TestSettingsScope> m_scope;
    std::unique_ptr<AppSettings> m_settings;
    QTemporaryDir m_dir;
    QString m_logo, m_item;

private slots:
    void initTestCase()
    {
        m_scope = std::make_unique<TestSettingsScope>();
        m_settings
            = std::make_unique<AppSettings>(SettingsKeys::Application, SettingsKeys::Section);
        DialogService::instance().setScripted(true);
        m_logo = writePicture(m_dir.path(), "logo.png", 60, 20);
        m_item = writePicture(m_dir.path(), "item.png", 20, 20);
        m_settings->save(SettingsKeys::FILELOGO, m_logo);
        m_settings->save(SettingsKeys::MARGINLEFT, "270");
        m_settings->save(SettingsKeys::MARGINTOP, "180");
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

    void everySignFitsItsCell_data()
    {
        // Logo height and width in inches and its place; "" no logo.
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("place");
        QTest::newRow("no logo") << ""
                                 << ""
                                 << "";
        const QList<QPair<QString, QString>> sizes
            = { { "0.5", "1.5" }, { "1", "2.5" }, { "1.99", "3.99" } };
        for (const auto& [height, width] : sizes) {
            for (const char* place : { "LEFT", "CENTER", "RIGHT" }) {
                QTest::addRow("logo %s x %s %s", qPrintable(height), qPrintable(width), place)
                    << height << width << place;
            }
        }
    }

    // Every format and style with each check box on and off (the logo's
    // by the row). Every job prints one sign of each text length twice, the
    // prices turning through the table across jobs.
    void everySignFitsItsCell()
    {
        QFETCH(QString, height);
        QFETCH(QString, width);
        QFETCH(QString, place);
        const bool logo = !place.isEmpty();
        if (logo) {
            m_settings->save(SettingsKeys::LOGOHEIGHT, height);
            m_settings->save(SettingsKeys::LOGOWIDTH, width);
            m_settings->save(SettingsKeys::LOGOLCR, place);
        }
        const QStringList prices = { "12.99", "$12.99", "$1,299.00", "1299.00", ".5", "0.69", ".05",
            "2 FOR $5", "SALE", "-1", "abc", ".", "", " 3 " };
        const int lengths[] = { 0, 14, 40, 80, 200, -60 }; // -60: one 60-character word
        const double pen = 24 * 1440.0 / 600; // the border's line on the 600 dpi recorder
        int job = 0;
        for (int format : { 0, 1, 2 }) {
            for (int mask = 0; mask < 32; ++mask, ++job) {
                const bool bullet = mask & 2; // the logo's bit picks the style
                std::vector<SignRow> rows;
                QStringList titles;
                for (int i = 0; i < 12; ++i) {
                    const int n = lengths[i % 6];
                    const QString d = textOf('D', std::abs(n), n < 0);
                    const QString b = n == 0 ? QString() : textOf('B', std::abs(n), n < 0);
                    rows.push_back(
                        sign(QStringLiteral("SKU%1").arg(i), prices[(i + job) % prices.size()],
                            prices[(i + job + 3) % prices.size()], d, b, b, b, m_item));
                    titles << (n == 0 ? QString() : textOf('T', std::abs(n), n < 0));
                }
                SignListModel model;
                fill(model, rows);
                FakePrintWindow w;
                w.format = format;
                w.bullet = bullet;
                w.options = { mask & 1, logo ? 1 : 0, (mask & 4) ? 1 : 0, (mask & 8) ? 1 : 0,
                    (mask & 16) ? 1 : 0, QString() };
                w.beforeSign = [&](int k) { w.options.titleText = titles[k - 1]; };
                PrintJob printJob = jobFor(model, *m_settings, w);
                const PrintResult result = printJob.PrintSigns(true);
                QVERIFY(DialogService::instance().messages().isEmpty());
                QCOMPARE(result.signs, 12);

                const bool landscape = w.printer.orientation == SignCanvas::Landscape;
                const Box printable { 0, 0, (landscape ? 15840.0 : 12240.0) - 720,
                    (landscape ? 12240.0 : 15840.0) - 720 };
                const double k = format == 0 ? 1.0 : format == 1 ? 15840.0 / 12240 : 2.0;
                const auto signs = bySign(w.printer.ops);
                QCOMPARE(signs.size(), size_t(12));
                for (size_t i = 0; i < signs.size(); ++i) {
                    const SignRow& row = rows[i];
                    const QString where = QStringLiteral("format %1 options %2 sign %3")
                                              .arg(format)
                                              .arg(mask)
                                              .arg(i + 1);
                    const std::vector<CanvasOp>& ops = signs[i];
                    const CanvasOp& first = ops.front();
                    Box limit { first.clip.left(), first.clip.top(), first.clip.right(),
                        first.clip.bottom() };
                    if (first.kind == Kind::Box) {
                        limit = boxOf(first);
                        const double half = first.drawWidth * 1440.0 / 600 / 2;
                        limit = { limit.x1 + half, limit.y1 + half, limit.x2 - half,
                            limit.y2 - half };
                        QVERIFY(pen / 2 <= half);
                    }
                    QVERIFY2(limit.inside(printable), qPrintable(where));
                    std::vector<Box> texts, pictures;
                    QStringList printed;
                    for (const CanvasOp& op : ops) {
                        const Box box = boxOf(op);
                        if (op.kind == Kind::Box)
                            continue;
                        QVERIFY2(
                            box.inside(limit), qPrintable(where + " draws outside: " + op.text));
                        if (op.kind == Kind::Text && !op.text.isEmpty()) {
                            printed << op.text;
                            // Half the designed size at the least.
                            const double design = op.text == row.column(SignListModel::ColSku) ? 10
                                : op.bold                 ? (op.text == "$" || op.text == Cent ? 40
                                                          : op.text.startsWith('T')            ? 25
                                                                                               : 60)
                                : op.italic               ? 15
                                : op.text.startsWith('D') ? 20
                                                          : 15;
                            QVERIFY2(op.fontSize >= design * k / 2 - 1e-9, qPrintable(where));
                            for (const Box& other : texts)
                                QVERIFY2(!box.overlaps(other),
                                    qPrintable(where + " text on text: " + op.text));
                            texts.push_back(box);
                        } else if (op.kind == Kind::Picture) {
                            pictures.push_back(box);
                        }
                    }
                    for (const Box& p : pictures) {
                        for (const Box& t : texts)
                            QVERIFY2(!p.overlaps(t), qPrintable(where + " picture on text"));
                    }
                    // A sign not reported cut shows everything in full.
                    const bool cut
                        = std::find(result.rowsCut.begin(), result.rowsCut.end(), int(i) + 1)
                        != result.rowsCut.end();
                    if (cut)
                        continue;
                    const QString all = printed.join('|');
                    const SignPrice price
                        = PriceForSign(row.column(SignListModel::ColPromo).trimmed().isEmpty()
                                ? row.column(SignListModel::ColRetail)
                                : row.column(SignListModel::ColPromo));
                    QStringList expected = { price.amount, row.column(SignListModel::ColSku) };
                    if (!row.column(SignListModel::ColBullet1).isEmpty())
                        expected << row.column(SignListModel::ColBullet1);
                    if (w.options.title && !titles[i].isEmpty())
                        expected << titles[i];
                    for (const QString& e : expected)
                        QVERIFY2(e.isEmpty() || printed.contains(e),
                            qPrintable(where + " lost " + e + " in " + all));
                    QString description = row.column(SignListModel::ColDescription);
                    QVERIFY2(printed.join(QString()).remove(' ').contains(description.remove(' ')),
                        qPrintable(where + " lost the description: " + all));
                    QVERIFY2(!all.contains(QChar(0x2026)), qPrintable(where + " cut unreported"));
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
        QTest::newRow("printed") << false << 0 << QList<int> {}
                                 << "30 signs printed on 8 pages to Office";
        QTest::newRow("fitted") << false << 2 << QList<int> { 7 }
                                << "30 signs printed on 8 pages to Office; 2 shrunk to fit, 1 cut "
                                   "(row 7)";
        QTest::newRow("preview") << true << 0 << QList<int> { 3, 9 }
                                 << "30 signs previewed on 8 pages; 2 cut (rows 3, 9)";
        QTest::newRow("many cut") << true << 1 << QList<int> { 1, 2, 3, 4, 5, 6 }
                                  << "30 signs previewed on 8 pages; 1 shrunk to fit, 6 cut (rows "
                                     "1, 2, 3, 4, 5, ...)";
    }

    void statusMessage()
    {
        QFETCH(bool, preview);
        QFETCH(int, shrunk);
        QFETCH(QList<int>, cut);
        QFETCH(QString, message);
        PrintResult r;
        r.completed = true;
        r.preview = preview;
        r.signs = 30;
        r.pages = 8;
        r.signsShrunk = shrunk;
        r.rowsCut.assign(cut.begin(), cut.end());
        r.destination = "Office";
        QCOMPARE(PrintResultMessage(r), message);
    }
};

QTEST_MAIN(TestSignFit)
#include "tst_signfit.moc"
