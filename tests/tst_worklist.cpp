#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "document/SignListModel.h"
#include "itemdata/SignListImportExport.h"
#include "itemdata/WorkList.h"
#include "support/TestSupport.h"
#include "ui/DialogService.h"
#include "ui/EntryBox.h"
#include "ui/frmSigns.h"

#include <QAction>
#include <QDir>
#include <QRandomGenerator>
#include <QStatusBar>
#include <QtTest>

namespace {

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

QString workFile(const TestSettingsScope& scope)
{
    return scope.path() + "/data/kestrane/worklist.txt";
}

} // namespace

class TestWorkList : public QObject
{
    Q_OBJECT

private slots:
    void listSurvivesSessions();
    void fileFollowsEveryEdit();
    void damagedFileIsSetAside_data();
    void damagedFileIsSetAside();
    void exportAsksBeforeReplacing_data();
    void exportAsksBeforeReplacing();
};

void TestWorkList::listSurvivesSessions()
{
    TestSettingsScope scope;
    const QString path = workFile(scope);
    {
        frmSigns w;
        QCOMPARE(w.statusBar()->currentMessage(), QString());
        typeList(w, { "AAA", "BBB", "CCC" });
        w.setCurrentRow(2);
        trigger(w, "mnuEditDeleteRow");
        // Saved shortly after the change, without waiting for the exit.
        QTRY_VERIFY(contents(path).contains("CCC\t"));
        QVERIFY(!contents(path).contains("BBB"));
        // A row with every field and a character beyond ASCII comes back whole.
        w.setCurrentRow(3);
        w.LoadSelectedRow();
        w.findChild<EntryBox*>("txtSku")->setText("DDD");
        w.findChild<EntryBox*>("txtPromo")->setText("2.99");
        w.findChild<EntryBox*>("txtRetail")->setText("3.49");
        w.findChild<EntryBox*>("txtDescription")->setText("Crème hinge \"brass\"");
        w.findChild<EntryBox*>("txtBp1")->setText("b1");
        w.findChild<EntryBox*>("txtBp2")->setText("b2");
        w.findChild<EntryBox*>("txtBp3")->setText("b3");
        w.findChild<EntryBox*>("txtCost")->setText("1.10");
        w.GraphicFile = "/pictures/hinge.jpg";
        trigger(w, "mnuEditSaveRow");
        w.close();
    }
    QVERIFY(contents(path).startsWith("1\t10\t48\t54\t56\t177\t178\t179\t182\r\n"));

    SignRow full;
    {
        frmSigns w;
        QCOMPARE(skus(w), QStringList({ "AAA", "CCC", "DDD", "" }));
        QCOMPARE(
            w.statusBar()->currentMessage(), QString("Restored 3 signs from the last session"));
        QCOMPARE(w.currentRow(), 4);
        QCOMPARE(w.findChild<EntryBox*>("txtSelRow")->text(), QString("4"));
        full = w.model()->signRow(3);
        QVERIFY(DialogService::instance().messages().isEmpty());
        // The restored list is not a step to undo; an empty list is kept too.
        QVERIFY(!w.findChild<QAction*>("mnuEditUndo")->isEnabled());
        trigger(w, "mnuEditClearGrid");
        w.close();
    }
    QCOMPARE(full.fields,
        (std::array<QString, 9> { "DDD", "2.99", "3.49", "Crème hinge \"brass\"", "b1", "b2", "b3",
            "1.10", "/pictures/hinge.jpg" }));
    frmSigns w;
    QCOMPARE(skus(w), QStringList({ "" }));
    QCOMPARE(w.statusBar()->currentMessage(), QString());
}

// The lines kept ready for the file must stay the list's through edits
// anywhere in a long list (where they are held in several blocks).
void TestWorkList::fileFollowsEveryEdit()
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
        switch (step % 4) {
        case 0:
            model.insertEmptyRow(row);
            model.setCell(row, SignListModel::ColSku, QString("new %1").arg(step));
            break;
        case 1:
            model.duplicateRow(row);
            break;
        case 2:
            model.deleteRow(row);
            break;
        default:
            model.replaceRows(row, qMin(3, model.Rows() - row), { SignRow(), SignRow() });
            model.setCell(row, SignListModel::ColDescription, "x");
            break;
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

void TestWorkList::damagedFileIsSetAside_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");

    QTest::newRow("empty") << QByteArray() << "its first line is not the list's header";
    QTest::newRow("another file") << QByteArray("1,10\r\n\"A\",\"B\"\r\n")
                                  << "its first line is not the list's header";
    QTest::newRow("a field missing")
        << QByteArray("1\t10\t48\t54\t56\t177\t178\t179\t182\r\nA\t\t\t\t\t\t\t\t\r\nB\t\r\n")
        << "line 3 does not hold 9 fields";
    QTest::newRow("a NUL byte") << QByteArray("1\t10\t48\t54\t56\t177\t178\t179\t182\r\nA\t\t\t")
            + '\0' + QByteArray("\t\t\t\t\t\r\n")
                                << "it holds a NUL byte on line 2";
}

void TestWorkList::damagedFileIsSetAside()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);

    TestSettingsScope scope;
    const QString path = workFile(scope);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    writeTestFile(QFileInfo(path).path(), "worklist.txt", bytes);
    writeTestFile(QFileInfo(path).path(), "worklist.txt.bad", "an older one");

    frmSigns w;
    QCOMPARE(skus(w), QStringList({ "" }));
    const auto& messages = DialogService::instance().messages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.first().text,
        QString("The sign list of the last session could not be read (%1).\nThe file was set "
                "aside as %2.bad and the list starts empty.")
            .arg(reason, path));
    QCOMPARE(contents(path + ".bad"), bytes);
    QVERIFY(!QFile::exists(path));
    // The next save makes a sound file again.
    typeList(w, { "AAA" });
    w.close();
    QVERIFY(contents(path).contains("AAA\t"));
}

void TestWorkList::exportAsksBeforeReplacing_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("written");

    QTest::newRow("new file: no question") << false << int(DialogService::Answer::No) << true;
    QTest::newRow("replace: yes") << true << int(DialogService::Answer::Yes) << true;
    QTest::newRow("replace: no") << true << int(DialogService::Answer::No) << false;
}

void TestWorkList::exportAsksBeforeReplacing()
{
    QFETCH(bool, exists);
    QFETCH(int, answer);
    QFETCH(bool, written);

    TestSettingsScope scope;
    const QString target = scope.path() + "/items.txt";
    if (exists)
        writeTestFile(scope.path(), "items.txt", "24 items");
    frmSigns w;
    typeList(w, { "AAA" });
    DialogService& dialogs = DialogService::instance();
    dialogs.queueFile(target);
    dialogs.queueAnswer(DialogService::Answer(answer));
    trigger(w, "mnuFileExport");

    QCOMPARE(dialogs.messages().size(), exists ? 1 : 0);
    if (exists) {
        const DialogService::Message& asked = dialogs.messages().first();
        QCOMPARE(asked.text,
            "The file " + target
                + " already exists.\nDo you want to replace it with the sign list?");
        QCOMPARE(asked.buttons, DialogService::Buttons::YesNo);
        QCOMPARE(asked.title, QString("Export File"));
    }
    QCOMPARE(contents(target).contains("AAA"), written);
    if (exists && !written)
        QCOMPARE(contents(target), QByteArray("24 items"));
}

QTEST_MAIN(TestWorkList)
#include "tst_worklist.moc"
