#include "PdfTestSupport.h"
#include "base/OdbcPool.h"
#include "base/SettingsKeys.h"
#include "document/SignListModel.h"
#include "support/TestDatabase.h"
#include "support/TestSupport.h"
#include "ui/frmSigns.h"

#include <QAction>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QtTest>

#include <algorithm>

namespace {

const QString Inv = QStringLiteral("1,10,48,54,56,177,178,179"
                                   "|A1,Hammer,9.99,5.10,7.99,Steel,Oak,Heavy"
                                   "|B2,Saw,19.50,11,15,Sharp,,Fine");
const QString Cis
    = QStringLiteral("1,10,48,54,56|A1,Special hammer,8.88,4.44,6.66|C3,Drill,49,30,45");

// The inventory (and CIS) tables in the database, which the settings then name; false on failure.
bool useStore(TestDatabase& db, const QString& inv, bool cis = false)
{
    appSettings().save(SettingsKeys::ODBCINV, db.connectString());
    if (cis)
        appSettings().save(SettingsKeys::ODBCCIS, db.connectString());
    return db.fill("inv", inv) && (!cis || db.fill("special", Cis));
}

// The list as "sku|promo|retail|description|b1|b2|b3|cost|graphic", without empty cells at the end.
QStringList rows(const frmSigns& w)
{
    static const QRegularExpression trailing("\\|+$");
    QStringList out;
    for (const SignRow& row : w.model()->signRows())
        out << QStringList(row.fields.begin(), row.fields.end()).join('|').remove(trailing);
    return out;
}

// In place of the new window's empty list, with the empty row the window keeps last.
void setList(frmSigns& w, const QStringList& list)
{
    std::vector<SignRow> signs(size_t(list.size()) + 1);
    for (int r = 0; r < list.size(); ++r) {
        const QStringList cells = list.at(r).split('|');
        std::copy(cells.begin(), cells.end(), signs[size_t(r)].fields.begin());
    }
    w.model()->replaceRows(1, w.model()->Rows() - 1, std::move(signs));
}

const QStringList Before = { "A1|5.00", "||||Note", "C3", "Z9", "B2|||My saw" };

} // namespace

// Edit > Look Up All Rows in the window and kestrane-batch --lookup, against throwaway SQLite and
// PostgreSQL databases.
class TestLookupAll : public QObject
{
    Q_OBJECT

private slots:
    void init() { OdbcPool::closeAll(); }

    // Look Up All Rows fills only empty cells, inventory before CIS, leaves rows without a SKU
    // alone, and one Undo takes it all back. Check Prices compares prices as amounts against the
    // inventory alone; the rows that differ, or whose SKU the inventory lacks, are selected and
    // listed.
    void lookUpAndCheckPrices_data() { addBackendRows(); }
    void lookUpAndCheckPrices()
    {
        QFETCH(TestDatabase::Backend, backend);
        TestSettingsScope scope;
        TestDatabase db(backend);
        KESTRANE_USE(db);
        QVERIFY2(useStore(db, Inv, true), qPrintable(db.error()));
        frmSigns w(dialogs());
        setList(w, Before);
        trigger(w, "mnuEditLookupAll");
        QCOMPARE(rows(w) << w.statusBar()->currentMessage(),
            QStringList({ "A1|5.00|9.99|Hammer|Steel|Oak|Heavy|5.10", "||||Note",
                "C3|45|49|Drill||||30", "Z9", "B2|15|19.50|My saw|Sharp||Fine|11", "",
                "Looked up 4 rows: 3 found, 1 not found (rows 4)" }));
        trigger(w, "mnuEditUndo");
        QCOMPARE(rows(w), Before + QStringList { "" });
        const QStringList prices { "A1|$7.99|9.990", "B2|15.00|$19.95", "Z9|1", "A1|6.99", "||3.00",
            "B2" };
        setList(w, prices);
        trigger(w, "mnuEditCheckPrices");
        QCOMPARE(messageTexts(),
            QStringList({ "Row 2, SKU B2: the sign says $19.95, the inventory says $19.50\n"
                          "Row 3, SKU Z9: not in the inventory\n"
                          "Row 4, SKU A1: the sign says $6.99, the inventory says $7.99" }));
        QItemSelectionModel* selection = child<QTableView>(w, "msfGrid")->selectionModel();
        QVERIFY(selection->selectedRows().size() == 3 && selection->isRowSelected(1)
            && selection->isRowSelected(2) && selection->isRowSelected(3));
        QCOMPARE(rows(w), prices + QStringList { "" });
    }

    // Many rows go in several batches; each row gets its own SKU's values.
    void manyRows()
    {
        TestSettingsScope scope;
        TestDatabase db(TestDatabase::SQLite);
        KESTRANE_USE(db);
        QString table = "1,10";
        for (int i = 1; i <= 600; ++i)
            table += QString("|K%1,Item %1").arg(i);
        QVERIFY2(useStore(db, table), qPrintable(db.error()));
        frmSigns w(dialogs());
        QStringList list;
        for (int i = 610; i >= 1; --i)
            list << QString("K%1").arg(i);
        setList(w, list);
        trigger(w, "mnuEditLookupAll");
        QCOMPARE(w.statusBar()->currentMessage(),
            QString("Looked up 610 rows: 600 found, 10 not found "
                    "(rows 1, 2, 3, 4, 5, 6, 7, 8, 9, 10)"));
        const QStringList got = rows(w);
        QCOMPARE(QStringList({ got[9], got[10], got[359], got[360], got[609] }).join(" / "),
            "K601 / K600|||Item 600 / K251|||Item 251 / K250|||Item 250 / K1|||Item 1");
    }

    // A run the clerk cancels while the database makes it wait leaves the list as it was, at once,
    // with nothing to undo.
    void cancelledRun()
    {
        TestSettingsScope scope;
        TestDatabase db(TestDatabase::SQLite);
        KESTRANE_USE(db);
        QVERIFY2(useStore(db, Inv), qPrintable(db.error()));
        frmSigns w(dialogs());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        setList(w, Before);
        const QStringList before = rows(w);
        QProcess holder;
        const QString undoBefore = child<QAction>(w, "mnuEditUndo")->text();
        QVERIFY(db.holdLock(holder));
        bool sawProgress = false;
        QTimer::singleShot(300, &w, [&] {
            auto* progress = w.findChild<QProgressDialog*>("dlgLookupAll");
            sawProgress = progress && progress->isVisible();
            if (auto* cancel = progress ? progress->findChild<QPushButton*>() : nullptr)
                QTest::mouseClick(cancel, Qt::LeftButton);
        });
        QElapsedTimer clock;
        clock.start();
        trigger(w, "mnuEditLookupAll");
        const qint64 took = clock.elapsed();
        holder.write("COMMIT;\n.quit\n");
        holder.waitForFinished();
        QVERIFY2(sawProgress && took < 3000, qPrintable(QString::number(took)));
        QCOMPARE(
            rows(w) << w.statusBar()->currentMessage() << child<QAction>(w, "mnuEditUndo")->text(),
            before
                + QStringList(
                    { "Look Up All Rows cancelled: the list is unchanged.", undoBefore }));
        // The abandoned run's late outcome changes nothing either.
        QTest::qWait(6000);
        QCOMPARE(rows(w), before);
    }

    void batch_data()
    {
        QTest::addColumn<QStringList>("args"); // "<db>" the test database, "<pdf>" the PDF
        QTest::addColumn<QString>("list"); // the data file's lines
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output"); // standard output, then standard error
        QTest::addColumn<QString>("printed"); // a word of the PDF, "" for no PDF
        QTest::addColumn<TestDatabase::Backend>("backend");
        const auto row = [](const char* name, const QStringList& args, const QString& list,
                             int exitCode, const QString& output, const QString& printed,
                             TestDatabase::Backend backend = TestDatabase::SQLite) {
            QTest::newRow(name) << args << list << exitCode << output << printed << backend;
        };
        // --check-prices lists the differences on standard output, exits 3 when there are any, and
        // prints only when there are none.
        const QStringList check { "--check-prices", "--pdf", "<pdf>" };
        const QString agree = "1\t48\t56\nA1\t9.99\t7.99";
        row("prices agree, check only", { "--check-prices" }, agree, 0, "", "");
        row("prices agree, printed", check, agree, 0, "", "7.99");
        row("prices differ, not printed", check, agree + "\nB2\t19.95\t15\nQ7\t1\t", 3,
            "Row 2, SKU B2: the sign says $19.95, the inventory says $19.50\n"
            "Row 3, SKU Q7: not in the inventory\n",
            "");
        // --lookup fills the list before printing, lists the rows not found on standard error, and
        // prints nothing when a set database cannot be read.
        const QStringList lookup { "--lookup", "--set", "ODBCINV=<db>", "--pdf", "<pdf>" };
        const QString list = "1\t10\t48\nA1\t\t\nZ9\tPlain\t1.00";
        const QString found = "kestrane-batch: Looked up 2 rows: 1 found, 1 not found (rows 2)\n";
        row("sqlite: lookup, found and not found", lookup, list, 0, found, "Hammer");
        row("postgresql: lookup, found and not found", lookup, list, 0, found, "Hammer",
            TestDatabase::PostgreSQL);
        row("lookup, unreachable database",
            { "--lookup", "--set", "ODBCINV=Driver=SQLite3;Database=/nonexistent/inv.db", "--pdf",
                "<pdf>" },
            list, 1,
            "kestrane-batch: Inventory database unavailable: database file not found: "
            "/nonexistent/inv.db\n",
            "");
    }
    void batch()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, list);
        QFETCH(QString, printed);
        QFETCH(TestDatabase::Backend, backend);
        TestSettingsScope scope;
        TestDatabase db(backend);
        KESTRANE_USE(db);
        QVERIFY2(useStore(db, Inv), qPrintable(db.error()));
        const QString pdf = scope.path() + "/out.pdf";
        const QString data = writeTestFile(
            scope.path(), "list.txt", QString(list + "\n").replace("\n", "\r\n").toUtf8());
        args.replaceInStrings("<db>", db.connectString()).replaceInStrings("<pdf>", pdf);
        QProcess p;
        p.start(qEnvironmentVariable("KESTRANE_BATCH"), args << data);
        QVERIFY(p.waitForFinished(60000));
        QTEST(p.exitCode(), "exitCode");
        QTEST(QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()), "output");
        QVERIFY(printed.isEmpty() ? !QFile::exists(pdf)
                                  : PdfTest::findWord(PdfTest::readWords(pdf), printed) != nullptr);
    }
};

QTEST_MAIN(TestLookupAll)
#include "tst_lookupall.moc"
