// The sign list: the model under the grid, and the working list that keeps
// it from one session to the next.

#include "base/SettingsKeys.h"
#include "document/SignListModel.h"
#include "itemdata/SignListImportExport.h"
#include "itemdata/WorkList.h"
#include "support/TestSupport.h"
#include "ui/DialogService.h"
#include "ui/EntryBox.h"
#include "ui/frmSigns.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QStatusBar>
#include <QtTest>

namespace {

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

SignRow sign(const QString& sku, const QString& graphic = QString())
{
    SignRow row;
    row.column(SignListModel::ColSku) = sku;
    row.column(SignListModel::ColBullet3) = sku + QLatin1String("-b3");
    row.column(SignListModel::ColGraphic) = graphic;
    return row;
}

QStringList skus(const SignListModel& model)
{
    QStringList result;
    for (int r = 1; r < model.Rows(); ++r)
        result << model.cell(r, SignListModel::ColSku);
    return result;
}

} // namespace

class TestWorkList : public QObject
{
    Q_OBJECT

private slots:
    void freshListAndBounds()
    {
        SignListModel model;
        QCOMPARE(model.Rows(), 2);
        const QStringList headers
            = { "", "sku", "promo", "retail", "description", "", "", "", "", "" };
        for (int c = 0; c < SignListModel::Cols; ++c) {
            QCOMPARE(model.cell(0, c), headers.at(c));
            QCOMPARE(model.headerData(c, Qt::Horizontal).toString(), headers.at(c));
        }
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.columnCount(), 10);
        model.setRows(0);
        QCOMPARE(model.Rows(), 2);
        model.setRows(5);
        model.setCell(4, SignListModel::ColDescription, "last");
        model.setRows(4);
        QCOMPARE(model.Rows(), 4);
        // Writes outside the list, to column 0 or to the header row are ignored.
        model.setCell(9, 1, "x");
        model.setCell(1, 0, "99");
        model.setCell(0, 1, "header");
        QCOMPARE(model.cell(1, 0), QString("1"));
        QCOMPARE(model.cell(0, 1), QString("sku"));
        QCOMPARE(model.cell(5, 0), QString()); // beyond the list
    }

    // Every edit keeps the numbers in column 0 and the hidden columns with
    // their row, and tells views correctly (checked by the model tester).
    void editsKeepNumbersAndHiddenColumns()
    {
        SignListModel model;
        QAbstractItemModelTester tester(
            &model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        model.setRows(4);
        model.setSignRow(1, sign("A", "/a.jpg"));
        model.setSignRow(2, sign("B"));
        model.setSignRow(3, sign("C"));
        model.insertEmptyRow(1);
        QCOMPARE(model.cell(2, SignListModel::ColGraphic), QString("/a.jpg"));
        QCOMPARE(model.cell(2, SignListModel::ColBullet3), QString("A-b3"));
        model.duplicateRow(4);
        QCOMPARE(model.cell(5, SignListModel::ColBullet3), QString("C-b3"));
        model.deleteRow(2);
        model.appendSigns({ sign("X"), sign("Y") });
        QCOMPARE(skus(model), QStringList({ "", "B", "C", "C", "X", "Y" }));
        for (int r = 1; r < model.Rows(); ++r)
            QCOMPARE(model.cell(r, 0), QString::number(r));
        QCOMPARE(inserted.count(), 4);
        // Deleting the only row empties it and keeps it.
        model.reset();
        model.setSignRow(1, sign("ONLY", "/x.bmp"));
        model.deleteRow(1);
        QCOMPARE(model.Rows(), 2);
        QCOMPARE(model.signRow(1), SignRow());
        QCOMPARE(model.cell(1, 0), QString("1"));
    }

    void listSurvivesSessions()
    {
        TestSettingsScope scope;
        const QString path = scope.path() + "/data/kestrane/worklist.txt";
        // A row with every field and a character beyond ASCII comes back whole.
        const std::array<QString, 9> full { "DDD", "2.99", "3.49", "Crème hinge \"brass\"", "b1",
            "b2", "b3", "1.10", "/pictures/hinge.jpg" };
        {
            frmSigns w;
            QCOMPARE(w.statusBar()->currentMessage(), QString());
            typeList(w, { "AAA", "BBB", "CCC" });
            w.setCurrentRow(2);
            trigger(w, "mnuEditDeleteRow");
            // Saved shortly after the change, without waiting for the exit.
            QTRY_VERIFY(contents(path).contains("CCC\t"));
            QVERIFY(!contents(path).contains("BBB"));
            w.setCurrentRow(3);
            w.LoadSelectedRow();
            int i = 0;
            for (const char* box : { "txtSku", "txtPromo", "txtRetail", "txtDescription", "txtBp1",
                     "txtBp2", "txtBp3", "txtCost" })
                child<EntryBox>(w, box)->setText(full[size_t(i++)]);
            w.GraphicFile = full[8];
            trigger(w, "mnuEditSaveRow");
            w.close();
        }
        QVERIFY(contents(path).startsWith("1\t10\t48\t54\t56\t177\t178\t179\t182\r\n"));
        {
            frmSigns w;
            QCOMPARE(skus(w), QStringList({ "AAA", "CCC", "DDD", "" }));
            QCOMPARE(w.statusBar()->currentMessage(), "Restored 3 signs from the last session");
            QCOMPARE(w.currentRow(), 4);
            QCOMPARE(child<EntryBox>(w, "txtSelRow")->text(), QString("4"));
            QCOMPARE(w.model()->signRow(3).fields, full);
            QVERIFY(dialogs().messages().isEmpty());
            // The restored list is not a step to undo; an empty list is kept too.
            QVERIFY(!child<QAction>(w, "mnuEditUndo")->isEnabled());
            trigger(w, "mnuEditClearGrid");
            w.close();
        }
        frmSigns w;
        QCOMPARE(skus(w), QStringList({ "" }));
        QCOMPARE(w.statusBar()->currentMessage(), QString());
    }

    // The lines kept ready for the file must stay the list's through edits
    // anywhere in a long list (where they are held in several blocks).
    void fileFollowsEveryEdit()
    {
        TestSettingsScope scope;
        SignListModel model;
        std::vector<SignRow> signs(5000);
        for (int i = 0; i < 5000; ++i)
            signs[size_t(i)].column(SignListModel::ColSku) = QString::number(i);
        model.appendSigns(std::move(signs));
        WorkList list(model);
        list.watch();
        QRandomGenerator random(7);
        for (int step = 0; step < 400; ++step) {
            const int row = 1 + int(random.bounded(model.Rows() - 1));
            if (step % 4 == 0) {
                model.insertEmptyRow(row);
                model.setCell(row, SignListModel::ColSku, QString("new %1").arg(step));
            } else if (step % 4 == 1) {
                model.duplicateRow(row);
            } else if (step % 4 == 2) {
                model.deleteRow(row);
            } else {
                model.replaceRows(row, qMin(3, model.Rows() - row), { SignRow(), SignRow() });
                model.setCell(row, SignListModel::ColDescription, "x");
            }
        }
        model.appendSigns(std::vector<SignRow>(3000, model.signRow(1)));
        QVERIFY(list.saveNow(nullptr));
        QByteArray expected;
        QVERIFY(SignListImportExport::encodeRows(model.signRows(), list.path(), expected, nullptr));
        QCOMPARE(contents(list.path()), expected);

        // A character the file cannot hold fails the save and keeps the last file.
        model.setCell(2, SignListModel::ColBullet1, "Ω");
        QString error;
        QVERIFY(!list.saveNow(&error));
        QVERIFY2(error.startsWith("Row 2, bullet line 1"), qPrintable(error));
        QCOMPARE(contents(list.path()), expected);
    }

    void damagedFileIsSetAside_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QByteArray header = "1\t10\t48\t54\t56\t177\t178\t179\t182\r\n";
        const QString notHeader = "its first line is not the list's header";
        QTest::newRow("empty") << QByteArray() << notHeader;
        QTest::newRow("another file") << QByteArray("1,10\r\n\"A\",\"B\"\r\n") << notHeader;
        QTest::newRow("a field missing") << header + "A\t\t\t\t\t\t\t\t\r\nB\t\r\n"
                                         << "line 3 does not hold 9 fields";
        QTest::newRow("a NUL byte") << header + "A\t\t\t" + '\0' + "\t\t\t\t\t\r\n"
                                    << "it holds a NUL byte on line 2";
    }

    void damagedFileIsSetAside()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        TestSettingsScope scope;
        const QString folder = scope.path() + "/data/kestrane";
        QVERIFY(QDir().mkpath(folder));
        const QString path = writeTestFile(folder, "worklist.txt", bytes);
        writeTestFile(folder, "worklist.txt.bad", "an older one");
        frmSigns w;
        QCOMPARE(skus(w), QStringList({ "" }));
        QCOMPARE(messageTexts(),
            QStringList { QString("The sign list of the last session could not be read (%1).\nThe "
                                  "file was set aside as %2.bad and the list starts empty.")
                              .arg(reason, path) });
        QCOMPARE(contents(path + ".bad"), bytes);
        QVERIFY(!QFile::exists(path));
        // The next save makes a sound file again.
        typeList(w, { "AAA" });
        w.close();
        QVERIFY(contents(path).contains("AAA\t"));
    }
};

QTEST_MAIN(TestWorkList)
#include "tst_worklist.moc"
