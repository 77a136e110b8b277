// The row commands through their menu entries and buttons, each undone and
// redone, and the panel never left showing a sign that is no longer there.
#include "document/SignListModel.h"
#include "support/TestSupport.h"
#include "ui/DialogService.h"
#include "ui/EntryBox.h"
#include "ui/frmSigns.h"

#include <QAction>
#include <QPushButton>
#include <QtTest>

namespace {

// The row the panel names and the SKU it shows.
QString panel(const frmSigns& w)
{
    return child<EntryBox>(w, "txtSelRow")->text() + ":" + child<EntryBox>(w, "txtSku")->text();
}

QString list(const frmSigns& w)
{
    return skus(w).join(',');
}

} // namespace

class TestUndo : public QObject
{
    Q_OBJECT

private slots:
    void eachCommand_data()
    {
        QTest::addColumn<QString>("command"); // a menu entry, or a button (cmd...)
        QTest::addColumn<int>("row");
        // The list after it, the panel ("row:SKU"), and the list after a save ("-": not saved).
        QTest::addColumn<QString>("expected");

        QTest::newRow("save") << "mnuEditSaveRow" << 2 << "AAA,XYZ,CCC, 3:CCC -";
        QTest::newRow("save on the last row") << "cmdSave" << 4 << "AAA,BBB,CCC,XYZ, 5: -";
        QTest::newRow("insert") << "mnuEditInsertRow" << 2 << "AAA,,BBB,CCC, 2: AAA,,BBB,CCC,";
        QTest::newRow("insert at the top") << "cmdRowInsert" << 1 << ",AAA,BBB,CCC, 1: -";
        QTest::newRow("copy") << "mnuEditCopyRow" << 3 << "AAA,BBB,CCC,CCC, 3:XYZ -";
        QTest::newRow("copy by button") << "cmdRowCopy" << 1 << "AAA,AAA,BBB,CCC, 1:XYZ -";
        QTest::newRow("delete") << "mnuEditDeleteRow" << 1 << "BBB,CCC, 1:BBB -";
        QTest::newRow("delete a middle row") << "cmdRowDelete" << 2 << "AAA,CCC, 2:CCC AAA,CCC,";
        QTest::newRow("delete the last sign") << "mnuEditDeleteRow" << 3 << "AAA,BBB, 3: AAA,BBB,,";
        QTest::newRow("delete the empty last row") << "cmdRowDelete" << 4 << "AAA,BBB,CCC 3:CCC -";
        QTest::newRow("clear grid") << "mnuEditClearGrid" << 2 << " 1: -";
        QTest::newRow("clear grid by button") << "cmdClearGrid" << 3 << " 1: -";
        QTest::newRow("read data file") << "mnuFileImport" << 4 << "AAA,BBB,CCC,,D1,D2, 4: -";
    }

    void eachCommand()
    {
        QFETCH(QString, command);
        QFETCH(int, row);
        QFETCH(QString, expected);
        const QStringList want = expected.split(' ');

        TestSettingsScope scope;
        dialogs().queueFile(
            writeTestFile(scope.path(), "items.txt", "1\t10\r\nD1\tone\r\nD2\ttwo\r\n"));
        frmSigns w;
        // Each sign has a first bullet line, so that a copy shows whole.
        for (const QString sku : { "AAA", "BBB", "CCC" }) {
            QTest::keyClicks(child<EntryBox>(w, "txtBp1"), sku.toLower());
            typeList(w, { sku });
        }
        const QString before = list(w);
        w.setCurrentRow(row);
        w.LoadSelectedRow();
        child<EntryBox>(w, "txtSku")->setText("XYZ");
        w.GraphicFile = "/pictures/xyz.jpg";

        if (command.startsWith("cmd"))
            QTest::mouseClick(child<QPushButton>(w, qPrintable(command)), Qt::LeftButton);
        else
            trigger(w, qPrintable(command));
        QCOMPARE(list(w), want[0]);
        QCOMPARE(panel(w), want[1]);
        QCOMPARE(w.currentRow(), child<EntryBox>(w, "txtSelRow")->text().toInt());
        for (int r = 1; r < w.model()->Rows(); ++r)
            QCOMPARE(w.model()->cell(r, SignListModel::ColNumber), QString::number(r));
        if (command.contains("Copy"))
            QCOMPARE(w.model()->signRow(row + 1), w.model()->signRow(row));
        QAction* undo = child<QAction>(w, "mnuEditUndo");
        QVERIFY(undo->text().startsWith("Undo "));

        trigger(w, "mnuEditUndo");
        QCOMPARE(list(w), before);
        QCOMPARE(w.currentRow(), row);
        // The panel shows the row as it is now, never what was typed before.
        QCOMPARE(panel(w), QString::number(row) + ":" + skus(w).at(row - 1));
        QCOMPARE(w.GraphicFile, QString());

        trigger(w, "mnuEditRedo");
        QCOMPARE(list(w), want[0]);
        QCOMPARE(child<EntryBox>(w, "txtSelRow")->text().toInt(), w.currentRow());
        QCOMPARE(child<EntryBox>(w, "txtSku")->text(), skus(w).at(w.currentRow() - 1));
        if (want[2] != "-") {
            // Saving the panel now writes no stale sign.
            w.LoadSelectedRow();
            trigger(w, "mnuEditSaveRow");
            QCOMPARE(list(w), want[2]);
        }
        // Every step back to the empty list of the start, and no further.
        while (undo->isEnabled())
            undo->trigger();
        QCOMPARE(list(w), QString());
    }

    void keysAndStepLimit()
    {
        TestSettingsScope scope;
        frmSigns w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QAction* undo = child<QAction>(w, "mnuEditUndo");
        QVERIFY(!undo->isEnabled());
        QStringList typed;
        for (int i = 1; i <= 105; ++i)
            typed << QString::number(i);
        typeList(w, typed);
        QCOMPARE(w.model()->Rows(), 107);

        // The keys reach the list from the entry panel, where the focus is.
        EntryBox* sku = child<EntryBox>(w, "txtSku");
        QTest::keyClick(sku, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.model()->Rows(), 106);
        QTest::keyClick(sku, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w.model()->Rows(), 107);

        int steps = 0;
        for (; undo->isEnabled(); ++steps)
            undo->trigger();
        QCOMPARE(steps, 100);
        QCOMPARE(w.model()->cell(5, SignListModel::ColSku), QString("5"));
        QCOMPARE(w.model()->Rows(), 7);
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
