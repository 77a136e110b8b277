// Printing part of a list: a first sheet with cells already used, a range of
// pages, only the selected rows; read back from the printed PDF. And the
// main window's question before printing.

#include "PdfTestSupport.h"
#include "PrintTestSupport.h"
#include "support/TestSupport.h"

#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "ui/DialogService.h"
#include "ui/EntryBox.h"
#include "ui/frmSigns.h"

#include <QAction>
#include <QHeaderView>
#include <QPrinter>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace PrintTest;
using namespace PdfTest;

Q_DECLARE_METATYPE(PrintRange)

namespace {

// Where each SKU landed: "SKU<n>@<page>.<cell>", cells counted left to
// right, top to bottom, sorted.
QStringList placesOf(const QString& pdf, int columns, int rows)
{
    const QString html = run("pdftotext", { "-bbox", pdf, "-" });
    static const QRegularExpression pageRe("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\"");
    QStringList places;
    double width = 1, height = 1;
    for (const QString& line : html.split('\n')) {
        const auto m = pageRe.match(line);
        if (m.hasMatch()) {
            width = m.captured(1).toDouble();
            height = m.captured(2).toDouble();
        }
    }
    for (const Word& w : readWords(pdf)) {
        if (!w.text.startsWith("SKU"))
            continue;
        const int column = w.xMin > width / 2 && columns == 2 ? 1 : 0;
        const int row = w.yMin > height / 2 && rows == 2 ? 1 : 0;
        places << QString("%1@%2.%3").arg(w.text).arg(w.page).arg(row * columns + column + 1);
    }
    places.sort();
    return places;
}

PrintRange rangeOf(int firstCell, int from, int to, QVector<int> rows = {})
{
    PrintRange range;
    range.firstCell = firstCell;
    range.fromPage = from;
    range.toPage = to;
    range.selectedOnly = !rows.isEmpty();
    range.rows = rows;
    return range;
}

} // namespace

class TestPrintRange : public QObject
{
    Q_OBJECT

private:
    DialogService& dialogs() { return DialogService::instance(); }

private slots:
    void pagesAndCells_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<PrintRange>("range");
        QTest::addColumn<QString>("places"); // "" when nothing is printed
        QTest::addColumn<QString>("message");
        // Seven signs, SKU1 to SKU7.
        QTest::newRow("4-Up all")
            << 0 << PrintRange() // unchanged from before
            << "SKU1@1.1 SKU2@1.2 SKU3@1.3 SKU4@1.4 SKU5@2.1 SKU6@2.2 SKU7@2.3"
            << "";
        QTest::newRow("4-Up from cell 3")
            << 0 << rangeOf(3, 1, 0)
            << "SKU1@1.3 SKU2@1.4 SKU3@2.1 SKU4@2.2 SKU5@2.3 SKU6@2.4 SKU7@3.1"
            << "";
        QTest::newRow("4-Up cell 3, page 2 only")
            << 0 << rangeOf(3, 2, 2) << "SKU3@1.1 SKU4@1.2 SKU5@1.3 SKU6@1.4"
            << "";
        QTest::newRow("2-Up cell 2, pages 2 to 3")
            << 1 << rangeOf(2, 2, 3) << "SKU2@1.1 SKU3@1.2 SKU4@2.1 SKU5@2.2"
            << "";
        QTest::newRow("1-Up selected, cell ignored")
            << 2 << rangeOf(3, 1, 0, { 7, 2, 5 }) << "SKU2@1.1 SKU5@2.1 SKU7@3.1"
            << "";
        QTest::newRow("4-Up selected, cell 4, page 1")
            << 0 << rangeOf(4, 1, 1, { 6, 1 }) << "SKU1@1.4"
            << "";
        QTest::newRow("range past the end runs to the last page")
            << 0 << rangeOf(1, 2, 9) << "SKU5@1.1 SKU6@1.2 SKU7@1.3"
            << "";
        QTest::newRow("no such page") << 0 << rangeOf(1, 3, 4) << ""
                                      << "There is no page 3 to print: the signs fill 2 pages.";
        QTest::newRow("selected rows all blank") << 0 << rangeOf(1, 1, 0, { 9 }) << ""
                                                 << "No data to print.";
    }

    void pagesAndCells()
    {
        QFETCH(int, format);
        QFETCH(PrintRange, range);
        QFETCH(QString, places);
        QFETCH(QString, message);
        TestSettingsScope scope;
        AppSettings settings(SettingsKeys::Application, SettingsKeys::Section);
        SignListModel model;
        std::vector<SignRow> rows;
        for (int i = 1; i <= 7; ++i)
            rows.push_back(typicalSign(i));
        rows.push_back(SignRow());
        rows.push_back(SignRow());
        fill(model, rows);
        QTemporaryDir dir;
        const QString pdf = dir.filePath("signs.pdf");
        PdfWindow w(pdf);
        w.format = format;
        PrintJob job(model, settings, dialogs(), w);
        job.PrintSigns(true, range);

        if (message.isEmpty()) {
            QVERIFY(dialogs().messages().isEmpty());
        } else {
            QCOMPARE(dialogs().messages().size(), 1);
            QCOMPARE(dialogs().messages()[0].text, message);
        }
        QCOMPARE(QFile::exists(pdf), !places.isEmpty());
        if (!places.isEmpty()) {
            QCOMPARE(placesOf(pdf, format == 0 ? 2 : 1, format == 2 ? 1 : 2), places.split(' '));
        }
    }

    // The question before printing: what it offers, the rows it prints, the
    // choices it remembers, and a cancel that prints nothing.
    void windowAsksAndRemembers()
    {
        TestSettingsScope scope;
        QTemporaryDir dir;
        frmSigns w(dialogs());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        std::vector<SignRow> rows;
        for (int i = 1; i <= 6; ++i)
            rows.push_back(typicalSign(i));
        fill(*w.model(), rows);
        w.printer()->setOutputFormat(QPrinter::PdfFormat);
        w.printer()->setPageSize(QPageSize(QPageSize::Letter));
        dialogs().reset();

        // A click loads the row; a control-click adds a row to the selection
        // and loads that one.
        const auto click = [&](int row, Qt::KeyboardModifiers keys) {
            const QRect cell
                = w.findChild<QTableView*>("msfGrid")->visualRect(w.model()->index(row - 1, 1));
            QTest::mouseClick(w.findChild<QTableView*>("msfGrid")->viewport(), Qt::LeftButton, keys,
                cell.center());
        };
        click(2, Qt::NoModifier);
        QCOMPARE(w.findChild<EntryBox*>("txtSku")->text(), QStringLiteral("SKU2"));
        click(5, Qt::ControlModifier);
        QCOMPARE(w.findChild<EntryBox*>("txtSku")->text(), QStringLiteral("SKU5"));
        QCOMPARE(w.selectedRows(), QVector<int>({ 2, 5 }));

        const QString first = dir.filePath("first.pdf");
        w.printer()->setOutputFileName(first);
        dialogs().queuePrintRange(rangeOf(2, 1, 0, { 1 }));
        w.findChild<QAction*>("mnuFilePrintGrid")->trigger();
        QCOMPARE(dialogs().printRangeRequests().size(), 1);
        const DialogService::PrintRangeRequest asked = dialogs().printRangeRequests()[0];
        QCOMPARE(asked.title, QStringLiteral("Print Signs"));
        QCOMPARE(asked.signsPerPage, 4);
        QCOMPARE(asked.signs, 6);
        QCOMPARE(asked.selectedSigns, 2);
        QCOMPARE(asked.initial.firstCell, 1);
        QCOMPARE(asked.initial.toPage, 0);
        QVERIFY(!asked.initial.selectedOnly);
        // The window's selection is what prints, not the scripted rows.
        QCOMPARE(placesOf(first, 2, 2), QStringList({ "SKU2@1.2", "SKU5@1.3" }));

        // The next question starts from that choice; cancelling prints nothing.
        const QString second = dir.filePath("second.pdf");
        w.printer()->setOutputFileName(second);
        dialogs().queuePrintRange(std::nullopt);
        w.findChild<QAction*>("mnuFilePrintPreview")->trigger();
        QCOMPARE(dialogs().printRangeRequests().size(), 2);
        const DialogService::PrintRangeRequest again = dialogs().printRangeRequests()[1];
        QCOMPARE(again.title, QStringLiteral("Print Preview"));
        QCOMPARE(again.initial.firstCell, 2);
        QVERIFY(again.initial.selectedOnly);
        QVERIFY(dialogs().messages().isEmpty());
        QVERIFY(!QFile::exists(second));
    }
};

QTEST_MAIN(TestPrintRange)
#include "tst_printrange.moc"
