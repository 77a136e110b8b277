// Printing part of a list: a first sheet with cells already used, a range of
// pages, only the selected rows; read back from the printed PDF. And the
// main window's question before printing.

#include "PdfTestSupport.h"
#include "support/TestSupport.h"

#include "ui/DialogService.h"
#include "ui/EntryBox.h"
#include "ui/frmSigns.h"

#include <QPrinter>
#include <QTableView>
#include <QTemporaryDir>
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

} // namespace

class TestPrintRange : public QObject
{
    Q_OBJECT

private slots:
    // Seven signs, SKU1 to SKU7, then two blank rows.
    void pagesAndCells_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<PrintRange>("range");
        QTest::addColumn<QString>("places"); // "" when nothing is printed
        QTest::addColumn<QString>("message");
        QTest::newRow("4-Up all")
            << 0 << PrintRange() << "SKU1@1.1 SKU2@1.2 SKU3@1.3 SKU4@1.4 SKU5@2.1 SKU6@2.2 SKU7@2.3"
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
        const AppSettings settings = appSettings();
        SignListModel model;
        fill(model,
            { typicalSign(1), typicalSign(2), typicalSign(3), typicalSign(4), typicalSign(5),
                typicalSign(6), typicalSign(7), SignRow(), SignRow() });
        const QString pdf = scope.path() + "/signs.pdf";
        PdfWindow w(pdf);
        w.format = format;
        jobFor(model, settings, w).PrintSigns(true, range);
        QCOMPARE(messageTexts(), message.isEmpty() ? QStringList() : QStringList { message });
        QCOMPARE(QFile::exists(pdf), !places.isEmpty());
        if (!places.isEmpty())
            QCOMPARE(placesOf(pdf, format), places.split(' '));
    }

    // The question before printing: what it offers, the rows it prints, the
    // choices it remembers, and a cancel that prints nothing.
    void windowAsksAndRemembers()
    {
        TestSettingsScope scope;
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

        const QString first = scope.path() + "/first.pdf";
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
        const QString second = scope.path() + "/second.pdf";
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

QTEST_MAIN(TestPrintRange)
#include "tst_printrange.moc"
