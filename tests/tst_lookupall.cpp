#include "PdfTestSupport.h"
#include "base/OdbcPool.h"
#include "base/SettingsKeys.h"
#include "document/SignListModel.h"
#include "support/TestDatabase.h"
#include "support/TestSupport.h"
#include "ui/frmSigns.h"

#include <QAction>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QtTest>

#include <algorithm>

namespace {

const QString Inv = QStringLiteral("1,10,48,54,56,177,178,179"
                                   "|A1,Hammer,9.99,5.10,7.99,Steel,Oak,Heavy"
                                   "|B2,Saw,19.50,11,15,Sharp,,Fine");
const QString Cis
    = QStringLiteral("1,10,48,54,56|A1,Special hammer,8.88,4.44,6.66|C3,Drill,49,30,45");

// A sign from "sku|promo|retail|description|b1|b2|b3|cost|graphic", empty cells
// at the end left out.
SignRow sign(const QString& cells)
{
    SignRow row;
    const QStringList parts = cells.split('|');
    for (int c = 0; c < parts.size() && c < SignRow::FieldCount; ++c)
        row.fields[size_t(c)] = parts[c];
    return row;
}

QStringList rows(const frmSigns& w)
{
    static const QRegularExpression trailing("\\|+$");
    QStringList out;
    for (const SignRow& row : w.model()->signRows())
        // Without the empty cells at the end, so rows read as they are written.
        out << QStringList(row.fields.begin(), row.fields.end()).join('|').remove(trailing);
    return out;
}

const QStringList Before = {
    "A1|5.00",
    "||||Note",
    "C3",
    "Z9",
    "B2|||My saw",
};

void setList(frmSigns& w, const QStringList& list)
{
    // In place of the new window's empty list, with the empty row the
    // window keeps last.
    std::vector<SignRow> signs;
    for (const QString& cells : list)
        signs.push_back(sign(cells));
    signs.push_back(SignRow());
    w.model()->replaceRows(1, w.model()->Rows() - 1, std::move(signs));
}

} // namespace

// Edit > Look Up All Rows in the window and kestrane-batch --lookup, against
// throwaway SQLite and PostgreSQL databases.
class TestLookupAll : public QObject
{
    Q_OBJECT

private slots:
    void init() { OdbcPool::closeAll(); }

    void fillsEmptyCells_data()
    {
        QTest::addColumn<TestDatabase::Backend>("backend");
        KESTRANE_BACKEND_ROWS("inventory then CIS", );
    }

    // Only empty cells are filled, inventory before CIS, rows without a SKU
    // are left alone, and one Undo takes it all back.
    void fillsEmptyCells()
    {
        QFETCH(TestDatabase::Backend, backend);
        TestSettingsScope scope;
        TestDatabase db(backend);
        KESTRANE_USE(db);
        QVERIFY2(db.fill("inv", Inv) && db.fill("special", Cis), qPrintable(db.error()));
        appSettings().save(SettingsKeys::ODBCINV, db.connectString());
        appSettings().save(SettingsKeys::ODBCCIS, db.connectString());
        frmSigns w(dialogs());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        setList(w, Before);
        const QStringList before = rows(w);

        trigger(w, "mnuEditLookupAll");
        QCOMPARE(w.statusBar()->currentMessage(),
            QString("Looked up 4 rows: 3 found, 1 not found (rows 4)"));
        QStringList after = before;
        after[0] = "A1|5.00|9.99|Hammer|Steel|Oak|Heavy|5.10";
        after[2] = "C3|45|49|Drill||||30";
        after[4] = "B2|15|19.50|My saw|Sharp||Fine|11";
        QCOMPARE(rows(w), after);

        trigger(w, "mnuEditUndo");
        QCOMPARE(rows(w), before);
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
        QVERIFY2(db.fill("inv", table), qPrintable(db.error()));
        appSettings().save(SettingsKeys::ODBCINV, db.connectString());
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
        QCOMPARE(got[9], QString("K601"));
        QCOMPARE(got[10], QString("K600|||Item 600"));
        QCOMPARE(got[359], QString("K251|||Item 251"));
        QCOMPARE(got[360], QString("K250|||Item 250"));
        QCOMPARE(got[609], QString("K1|||Item 1"));
    }

    // A run the clerk cancels while the database makes it wait leaves the
    // list as it was, at once, with nothing to undo.
    void cancelledRun()
    {
        TestSettingsScope scope;
        TestDatabase db(TestDatabase::SQLite);
        KESTRANE_USE(db);
        QVERIFY2(db.fill("inv", Inv), qPrintable(db.error()));
        appSettings().save(SettingsKeys::ODBCINV, db.connectString());
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
        QVERIFY(sawProgress);
        QVERIFY2(took < 3000, qPrintable(QString::number(took)));
        QCOMPARE(rows(w), before);
        QCOMPARE(w.statusBar()->currentMessage(),
            QString("Look Up All Rows cancelled: the list is unchanged."));
        QCOMPARE(child<QAction>(w, "mnuEditUndo")->text(), undoBefore);
        // The abandoned run's late outcome changes nothing either.
        QTest::qWait(6000);
        QCOMPARE(rows(w), before);
    }

    void checkPrices_data()
    {
        QTest::addColumn<TestDatabase::Backend>("backend");
        KESTRANE_BACKEND_ROWS("prices as money", );
    }

    // Prices compare as amounts; the rows that differ, or whose SKU the
    // inventory lacks, are selected and listed.
    void checkPrices()
    {
        QFETCH(TestDatabase::Backend, backend);
        TestSettingsScope scope;
        TestDatabase db(backend);
        KESTRANE_USE(db);
        QVERIFY2(db.fill("inv", Inv), qPrintable(db.error()));
        appSettings().save(SettingsKeys::ODBCINV, db.connectString());
        frmSigns w(dialogs());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        setList(w, { "A1|$7.99|9.990", "B2|15.00|$19.95", "Z9|1", "A1|6.99", "||3.00", "B2" });
        const QStringList before = rows(w);
        trigger(w, "mnuEditCheckPrices");
        QCOMPARE(messageTexts(),
            QStringList({ "Row 2, SKU B2: the sign says $19.95, the inventory says $19.50\n"
                          "Row 3, SKU Z9: not in the inventory\n"
                          "Row 4, SKU A1: the sign says $6.99, the inventory says $7.99" }));
        QList<int> selected;
        for (const QModelIndex& index :
            child<QTableView>(w, "msfGrid")->selectionModel()->selectedRows())
            selected << index.row() + 1;
        std::sort(selected.begin(), selected.end());
        QCOMPARE(selected, QList<int>({ 2, 3, 4 }));
        QCOMPARE(rows(w), before);
    }

    void batchCheckPrices_data()
    {
        QTest::addColumn<QString>("list"); // SKU, retail, promo per line
        QTest::addColumn<bool>("pdf"); // --pdf given
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::addRow("agree, check only") << "A1\t9.99\t7.99" << false << 0 << "";
        QTest::addRow("agree, printed") << "A1\t9.99\t7.99" << true << 0 << "";
        QTest::addRow("differ, not printed")
            << "A1\t9.99\t7.99\nB2\t19.95\t15\nQ7\t1\t" << true << 3
            << "Row 2, SKU B2: the sign says $19.95, the inventory says $19.50\n"
               "Row 3, SKU Q7: not in the inventory\n";
    }

    // --check-prices lists the differences on standard output, exits 3 when
    // there are any, and prints only when there are none.
    void batchCheckPrices()
    {
        QFETCH(QString, list);
        QFETCH(bool, pdf);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        TestSettingsScope scope;
        TestDatabase db(TestDatabase::SQLite);
        KESTRANE_USE(db);
        QVERIFY2(db.fill("inv", Inv), qPrintable(db.error()));
        appSettings().save(SettingsKeys::ODBCINV, db.connectString());
        const QString data = writeTestFile(scope.path(), "list.txt",
            QString("1\t48\t56\n" + list + "\n").replace("\n", "\r\n").toUtf8());
        const QString file = scope.path() + "/out.pdf";
        QStringList args { "--check-prices" };
        if (pdf)
            args << "--pdf" << file;
        QProcess p;
        p.start(qEnvironmentVariable("KESTRANE_BATCH"), args << data);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), output);
        QCOMPARE(p.exitCode(), exitCode);
        QCOMPARE(QFile::exists(file), pdf && exitCode == 0);
    }

    void batch_data()
    {
        QTest::addColumn<QString>("inventory"); // "<db>": the test database
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("errors"); // a line of standard error
        QTest::addColumn<QString>("printed"); // a word of the PDF, "" for no PDF
        QTest::addColumn<TestDatabase::Backend>("backend");
        KESTRANE_BACKEND_ROWS("found and not found",
            << "<db>" << 0 << "kestrane-batch: Looked up 2 rows: 1 found, 1 not found (rows 2)"
            << "Hammer");
        QTest::addRow("unreachable database")
            << "Driver=SQLite3;Database=/nonexistent/inv.db" << 1
            << "kestrane-batch: Inventory database unavailable: database file not found: "
               "/nonexistent/inv.db"
            << "" << TestDatabase::SQLite;
    }

    // --lookup fills the list before printing, lists the rows not found on
    // standard error, and prints nothing when a set database cannot be read.
    void batch()
    {
        QFETCH(QString, inventory);
        QFETCH(int, exitCode);
        QFETCH(QString, errors);
        QFETCH(QString, printed);
        QFETCH(TestDatabase::Backend, backend);
        TestSettingsScope scope;
        TestDatabase db(backend);
        KESTRANE_USE(db);
        QVERIFY2(db.fill("inv", Inv), qPrintable(db.error()));
        inventory.replace("<db>", db.connectString());
        const QString data
            = writeTestFile(scope.path(), "list.txt", "1\t10\t48\r\nA1\t\t\r\nZ9\tPlain\t1.00\r\n");
        const QString pdf = scope.path() + "/out.pdf";
        QProcess p;
        p.start(qEnvironmentVariable("KESTRANE_BATCH"),
            { "--lookup", "--set", "ODBCINV=" + inventory, "--pdf", pdf, data });
        QVERIFY(p.waitForFinished(60000));
        const QString stderrText = QString::fromUtf8(p.readAllStandardError());
        QCOMPARE(p.exitCode(), exitCode);
        QVERIFY2(stderrText.split('\n').contains(errors), qPrintable(stderrText));
        if (printed.isEmpty()) {
            QVERIFY(!QFile::exists(pdf));
        } else {
            QVERIFY(PdfTest::findWord(PdfTest::readWords(pdf), printed));
        }
    }
};

QTEST_MAIN(TestLookupAll)
#include "tst_lookupall.moc"
