// SKU barcodes: printed to a real PDF, rendered at 300 dpi and read back by
// a barcode scanner program; and kept clear of everything else on the sign.

#include "PdfTestSupport.h"
#include "PrintTestSupport.h"
#include "support/TestSupport.h"

#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "ui/DialogService.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

using namespace PrintTest;
using namespace PdfTest;

namespace {

// SKUs of every kind, each with the symbol type and text a scanner reports:
// Code 128 for free text, UPC-A and EAN-13 for article numbers with a valid
// check digit, Code 128 again for twelve digits with a wrong one.
const std::vector<std::pair<QString, QString>> Skus = {
    { "HX-2210", "CODE-128:HX-2210" },
    { "036000291452", "UPC-A:036000291452" },
    { "4006381333931", "EAN-13:4006381333931" },
    { "036000291453", "CODE-128:036000291453" },
    { "WD40 12OZ", "CODE-128:WD40 12OZ" },
};

std::vector<SignRow> barcodeSigns()
{
    std::vector<SignRow> rows;
    for (const auto& sku : Skus) {
        SignRow row = typicalSign(1);
        row.column(SignListModel::ColSku) = sku.first;
        rows.push_back(row);
    }
    return rows;
}

} // namespace

class TestBarcode : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSettingsScope> m_scope;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<SignListModel> m_model;

private slots:
    void init()
    {
        m_scope = std::make_unique<TestSettingsScope>();
        m_settings
            = std::make_unique<AppSettings>(SettingsKeys::Application, SettingsKeys::Section);
        m_model = std::make_unique<SignListModel>();
        fill(*m_model, barcodeSigns());
    }

    void formats_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("bullet");
        QTest::newRow("4-Up") << 0 << true;
        QTest::newRow("2-Up") << 1 << true;
        QTest::newRow("1-Up") << 2 << true;
    }

    // Every sign's barcode scans as its SKU, in the right symbology.
    void scansAsTheSku_data() { formats_data(); }
    void scansAsTheSku()
    {
        QFETCH(int, format);
        QFETCH(bool, bullet);
        if (QStandardPaths::findExecutable("zbarimg").isEmpty())
            QSKIP("zbarimg (zbar-tools) is not installed; the barcodes cannot be scanned");
        QTemporaryDir dir;
        const QString pdf = dir.filePath("signs.pdf");
        PdfWindow w(pdf);
        w.format = format;
        w.bullet = bullet;
        w.options = { 1, 0, 1, 0, 0, QStringLiteral("SALE"), 1 };
        PrintJob job = jobFor(*m_model, *m_settings, w);
        job.PrintSigns(true);
        QVERIFY(DialogService::instance().messages().isEmpty());

        run("pdftoppm", { "-r", "300", "-gray", "-png", pdf, dir.filePath("page") });
        const QStringList pages
            = QDir(dir.path()).entryList({ "page*.png" }, QDir::Files, QDir::Name);
        QCOMPARE(pages.size(), pageCount(pdf));
        QStringList decoded;
        for (const QString& page : pages) {
            const QString out
                = run("zbarimg", { "-q", "-Supca.enable", "-Sisbn13.disable", dir.filePath(page) });
            decoded += out.split('\n', Qt::SkipEmptyParts);
        }
        QStringList expected;
        for (const auto& sku : Skus)
            expected << sku.second;
        decoded.sort();
        expected.sort();
        QCOMPARE(decoded, expected);
    }

    // The bars stand above the SKU line, inside the border, each at least a
    // hundredth of an inch wide, and nothing else on the sign comes within
    // seven of those widths of them.
    void clearOfTheSign_data() { formats_data(); }
    void clearOfTheSign()
    {
        QFETCH(int, format);
        QFETCH(bool, bullet);
        FakePrintWindow w;
        w.format = format;
        w.bullet = bullet;
        w.options = { 1, 0, 1, 0, 0, QStringLiteral("SALE"), 1 };
        PrintJob job = jobFor(*m_model, *m_settings, w);
        job.PrintSigns(true);

        // Each sign starts with its border.
        std::vector<std::vector<CanvasOp>> signs;
        for (const CanvasOp& op : w.printer.ops) {
            if (op.kind == CanvasOp::Kind::Box)
                signs.emplace_back();
            if (!signs.empty())
                signs.back().push_back(op);
        }
        QCOMPARE(signs.size(), Skus.size());
        for (size_t i = 0; i < signs.size(); ++i) {
            const std::vector<CanvasOp>& ops = signs[i];
            const CanvasOp* sku = findText(ops, Skus[i].first);
            QVERIFY(sku);
            QRectF barcode;
            for (const CanvasOp& bar : opsOfKind(ops, CanvasOp::Kind::FillRect)) {
                QVERIFY(bar.x2 - bar.x >= 14.4 - 1e-6);
                barcode |= QRectF(QPointF(bar.x, bar.y), QPointF(bar.x2, bar.y2));
            }
            QVERIFY2(!barcode.isEmpty(), qPrintable(Skus[i].first));
            QVERIFY(barcode.bottom() < sku->y && barcode.right() < ops.front().x2);
            const QRectF clear = barcode.adjusted(-7 * 14.4, 0, 7 * 14.4, 0);
            for (const CanvasOp& op : textOps(ops)) {
                QVERIFY2(!clear.intersects(QRectF(op.x, op.y, op.width, op.height)),
                    qPrintable(op.text));
            }
        }
    }
};

QTEST_MAIN(TestBarcode)
#include "tst_barcode.moc"
