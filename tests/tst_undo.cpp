#include "document/SignListModel.h"
#include "support/TestSupport.h"
#include "ui/DialogService.h"
#include "ui/EntryBox.h"
#include "ui/frmSigns.h"

#include <QAction>
#include <QTableView>
#include <QtTest>

namespace {

// The row the panel names and the SKU it shows.
QString panel(const frmSigns& w)
{
    return w.findChild<EntryBox*>("txtSelRow")->text() + ":"
        + w.findChild<EntryBox*>("txtSku")->text();
}

} // namespace

class TestUndo : public QObject
{
    Q_OBJECT

private slots:
    void rowCommandsLeaveNoStaleSign_data();
    void rowCommandsLeaveNoStaleSign();
    void undoAndRedoEachCommand_data();
    void undoAndRedoEachCommand();
    void keysAndStepLimit();
};

void TestUndo::rowCommandsLeaveNoStaleSign_data()
{
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("panelAfter");
    QTest::addColumn<QStringList>("afterSave");

    const QStringList abc = { "AAA", "BBB", "CCC" };
    QTest::newRow("delete a middle row") << abc << 2 << "mnuEditDeleteRow"
                                         << "2:CCC" << QStringList { "AAA", "CCC", "" };
    QTest::newRow("delete the last sign") << abc << 3 << "mnuEditDeleteRow"
                                          << "3:" << QStringList { "AAA", "BBB", "", "" };
    QTest::newRow("delete the only row") << QStringList() << 1 << "mnuEditDeleteRow"
                                         << "1:" << QStringList { "", "" };
    QTest::newRow("insert a row") << abc << 2 << "mnuEditInsertRow"
                                  << "2:" << QStringList { "AAA", "", "BBB", "CCC", "" };
}

void TestUndo::rowCommandsLeaveNoStaleSign()
{
    QFETCH(QStringList, list);
    QFETCH(int, row);
    QFETCH(QString, command);
    QFETCH(QString, panelAfter);
    QFETCH(QStringList, afterSave);

    TestSettingsScope scope;
    frmSigns w;
    typeList(w, list);
    w.setCurrentRow(row);
    w.LoadSelectedRow();
    if (list.isEmpty())
        w.findChild<EntryBox*>("txtSku")->setText("typed, not saved");
    trigger(w, qPrintable(command));
    QCOMPARE(panel(w), panelAfter);
    QCOMPARE(w.currentRow(), w.findChild<EntryBox*>("txtSelRow")->text().toInt());
    trigger(w, "mnuEditSaveRow");
    QCOMPARE(skus(w), afterSave);
}

void TestUndo::undoAndRedoEachCommand_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("after");

    // Each starts from AAA, BBB, CCC and an empty row, the panel on row `row`.
    QTest::newRow("save") << 2 << "mnuEditSaveRow" << QStringList { "AAA", "XYZ", "CCC", "" };
    QTest::newRow("save on the last row")
        << 4 << "mnuEditSaveRow" << QStringList { "AAA", "BBB", "CCC", "XYZ", "" };
    QTest::newRow("insert") << 2 << "mnuEditInsertRow"
                            << QStringList { "AAA", "", "BBB", "CCC", "" };
    QTest::newRow("copy") << 3 << "mnuEditCopyRow"
                          << QStringList { "AAA", "BBB", "CCC", "CCC", "" };
    QTest::newRow("delete") << 1 << "mnuEditDeleteRow" << QStringList { "BBB", "CCC", "" };
    QTest::newRow("clear grid") << 2 << "mnuEditClearGrid" << QStringList { "" };
    QTest::newRow("read data file")
        << 4 << "mnuFileImport" << QStringList { "AAA", "BBB", "CCC", "", "D1", "D2", "" };
}

void TestUndo::undoAndRedoEachCommand()
{
    QFETCH(int, row);
    QFETCH(QString, command);
    QFETCH(QStringList, after);

    TestSettingsScope scope;
    const QString data
        = writeTestFile(scope.path(), "items.txt", "1\t10\r\nD1\tone\r\nD2\ttwo\r\n");
    DialogService::instance().queueFile(data);
    frmSigns w;
    typeList(w, { "AAA", "BBB", "CCC" });
    const QStringList before = skus(w);
    w.setCurrentRow(row);
    w.LoadSelectedRow();
    w.findChild<EntryBox*>("txtSku")->setText("XYZ");
    w.GraphicFile = "/pictures/xyz.jpg";

    trigger(w, qPrintable(command));
    QCOMPARE(skus(w), after);
    QAction* undo = w.findChild<QAction*>("mnuEditUndo");
    QVERIFY(undo->text().startsWith("Undo "));

    trigger(w, "mnuEditUndo");
    QCOMPARE(skus(w), before);
    QCOMPARE(w.currentRow(), row);
    // The panel shows the row as it is now, never what was typed before.
    QCOMPARE(panel(w), QString::number(row) + ":" + before.at(row - 1));
    QCOMPARE(w.GraphicFile, QString());

    trigger(w, "mnuEditRedo");
    QCOMPARE(skus(w), after);
    QCOMPARE(w.findChild<EntryBox*>("txtSelRow")->text().toInt(), w.currentRow());
    QCOMPARE(w.findChild<EntryBox*>("txtSku")->text(), after.at(w.currentRow() - 1));
    // Every step back to the empty list of the start, and no further.
    while (undo->isEnabled())
        undo->trigger();
    QCOMPARE(skus(w), QStringList { "" });
}

void TestUndo::keysAndStepLimit()
{
    TestSettingsScope scope;
    frmSigns w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QAction* undo = w.findChild<QAction*>("mnuEditUndo");
    QAction* redo = w.findChild<QAction*>("mnuEditRedo");
    QCOMPARE(undo->shortcut(), QKeySequence("Ctrl+Z"));
    QCOMPARE(redo->shortcut(), QKeySequence("Ctrl+Shift+Z"));
    QVERIFY(!undo->isEnabled());

    QStringList typed;
    for (int i = 1; i <= 105; ++i)
        typed << QString::number(i);
    typeList(w, typed);
    QCOMPARE(w.model()->Rows(), 107);

    // The keys reach the list from the entry panel, where the focus is.
    QTest::keyClick(w.findChild<EntryBox*>("txtSku"), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w.model()->Rows(), 106);
    QTest::keyClick(
        w.findChild<EntryBox*>("txtSku"), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(w.model()->Rows(), 107);

    int steps = 0;
    while (undo->isEnabled()) {
        undo->trigger();
        ++steps;
    }
    QCOMPARE(steps, 100);
    QCOMPARE(w.model()->cell(5, SignListModel::ColSku), QString("5"));
    QCOMPARE(w.model()->Rows(), 7);
}

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
