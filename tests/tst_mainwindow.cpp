// The main window: its defaults and stored options, the entry panel's keys, the grid, the item
// graphic, colours, where it opens, the row commands undone and redone, the remembered printer,
// the Delete key, recent and dropped files, the About box, the preview's title and questions, the
// logo and calibration dialogs from the menu, Find, F6 and the accessible tree.
#include "PrintTestSupport.h"
#include "document/SignListHistory.h"
#include "document/SignListModel.h"
#include "printing/PrinterChoice.h"
#include "support/TestSupport.h"
#include "ui/EntryBox.h"
#include "ui/ImageBox.h"
#include "ui/SignGridAccessible.h"
#include "ui/frmAbout.h"
#include "ui/frmCalibrate.h"
#include "ui/frmSignLogo.h"
#include "ui/frmSigns.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QMimeData>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QUndoStack>
#include <QtTest>

#include <functional>
#include <optional>

namespace {

QStringList recentEntries(const frmSigns& w)
{
    QStringList shown;
    for (QAction* action : w.findChildren<QAction*>("mnuFileRecent"))
        if (action->isVisible())
            shown << action->data().toString();
    return shown;
}

QList<frmAbout*> openAboutBoxes()
{
    QList<frmAbout*> open;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* about = qobject_cast<frmAbout*>(top); about && about->isVisible())
            open << about;
    return open;
}

// Triggers the menu entry and, once its modal dialog of class D runs over the window, hands it
// to drive(). A dialog left open is closed so the test never hangs. Returns whether it ran.
template <class D>
bool runFromMenu(frmSigns& window, const char* entry, std::function<void(D*)> drive)
{
    bool ran = false;
    QTimer::singleShot(0, &window, [&] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!dialog || dialog->parentWidget() != &window || !dialog->isModal())
            return;
        ran = true;
        drive(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    trigger(window, entry);
    return ran;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
    std::optional<TestSettingsScope> m_scope;
    std::optional<frmSigns> m_w;

    // A new window; the one before closes first and so saves what it keeps.
    frmSigns& open()
    {
        if (m_w)
            m_w->close();
        return m_w.emplace();
    }
    EntryBox* box(const char* name) { return child<EntryBox>(*m_w, name); }
    QCheckBox* check(const char* name) { return child<QCheckBox>(*m_w, name); }
    QRadioButton* radio(const char* name) { return child<QRadioButton>(*m_w, name); }
    QTableView* grid() { return child<QTableView>(*m_w, "msfGrid"); }
    ImageBox* picture() { return child<ImageBox>(*m_w, "Image1"); }
    void click(const char* name)
    {
        QTest::mouseClick(child<QAbstractButton>(*m_w, name), Qt::LeftButton);
    }
    void store(const QString& key, const QString& value) { appSettings().save(key, value); }
    void go(int row)
    {
        m_w->setCurrentRow(row);
        m_w->LoadSelectedRow();
    }
    void arrow(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyPress(box("txtSku"), key, modifiers);
        QTest::keyRelease(box("txtSku"), key, modifiers);
    }
    // Saves a sign for each SKU, its first bullet line the SKU in small letters.
    void typeSigns(const QStringList& skus)
    {
        for (const QString& sku : skus) {
            QTest::keyClicks(box("txtBp1"), sku.toLower());
            typeList(*m_w, { sku });
        }
    }
    // The row the panel names and the SKU it shows; the list's SKUs.
    QString panel() { return box("txtSelRow")->text() + ":" + box("txtSku")->text(); }
    QString list() { return skus(*m_w).join(','); }
    // Starts a window, lets its frame arrive, and returns where the frame stands; closing it
    // saves the placement.
    QRect startAndClose()
    {
        frmSigns& w = open();
        w.show();
        if (!QTest::qWaitForWindowExposed(&w))
            return QRect();
        QTest::qWait(200);
        const QRect frame = w.frameGeometry();
        w.close();
        m_w.reset();
        return frame;
    }

private slots:
    void init() { m_scope.emplace(); }
    void cleanup()
    {
        m_w.reset();
        m_scope.reset();
    }

    void defaults_data()
    {
        QTest::addColumn<QStringList>("settings"); // key, value, ...
        QTest::newRow("first run") << QStringList();
        QTest::newRow("unreadable values") << QStringList { SettingsKeys::PRINTFORMAT, "7",
            SettingsKeys::PRINTTITLE, "abc", SettingsKeys::PRINTLOGO, "5",
            SettingsKeys::PRINTBULLET, "maybe", "frmSignsFTOP", "99999", "frmSignsFWIDTH", "-3" };
    }

    void defaults()
    {
        QFETCH(QStringList, settings);
        for (int i = 0; i < settings.size(); i += 2)
            store(settings[i], settings[i + 1]);
        frmSigns& w = open();
        QCOMPARE(w.checkedFormat(), 0);
        QCOMPARE(child<QPushButton>(w, "cmdPrintGrid")->text(), QString("Print: 4-Up"));
        for (const char* name : { "ckbTitle", "ckbBorder", "ckbLogo", "ckbRetail", "ckbGraphic" })
            QCOMPARE(check(name)->checkState(), Qt::Unchecked);
        QVERIFY(!radio("ckbBullet")->isChecked() && !radio("ckbLongDesc")->isChecked());
        QVERIFY(picture()->isHidden() && child<QWidget>(w, "cmdClearGraphic")->isHidden());
        QCOMPARE(box("txtSelRow")->text(), QString("1"));
        QCOMPARE(w.model()->Rows(), 2);
    }

    void optionsSurviveRestart()
    {
        store(SettingsKeys::PRINTGRAPHIC, "2");
        frmSigns* w = &open();
        QCOMPARE(check("ckbGraphic")->checkState(), Qt::PartiallyChecked);
        QVERIFY(!picture()->isHidden());
        radio("ckbLongDesc")->click();
        check("ckbBorder")->click();
        check("chkBarcode")->click();
        w->findChildren<QAction*>("mnuFormatSel").at(2)->trigger();
        w = &open();
        const QStringList keys = { SettingsKeys::PRINTFORMAT, SettingsKeys::PRINTLONGDESC,
            SettingsKeys::PRINTBULLET, SettingsKeys::PRINTBORDER, SettingsKeys::PRINTGRAPHIC,
            SettingsKeys::PRINTTITLE, SettingsKeys::PRINTBARCODE };
        QCOMPARE(storedValues(keys).join(' '), QString("2 True False 1 2 0 1"));
        QVERIFY(radio("ckbLongDesc")->isChecked() && w->checkedFormat() == 2);
        QVERIFY(check("ckbBorder")->isChecked() && check("chkBarcode")->isChecked());
        // A click turns the grey box into an ordinary one.
        check("ckbGraphic")->click();
        QCOMPARE(check("ckbGraphic")->checkState(), Qt::Checked);
        check("ckbGraphic")->click();
        QVERIFY(check("ckbGraphic")->checkState() == Qt::Unchecked && picture()->isHidden());
    }

    // Both text styles stored select the bullets; a maximized window keeps the
    // placement it had before.
    void conflictingStylesAndMaximizedClose()
    {
        for (const QString& key : { SettingsKeys::PRINTBULLET, SettingsKeys::PRINTLONGDESC })
            store(key, "True");
        store("frmSignsFTOP", "0");
        store("frmSignsFWIDTH", "12000");
        frmSigns& w = open();
        QVERIFY(radio("ckbBullet")->isChecked() && !radio("ckbLongDesc")->isChecked());
        w.showMaximized();
        w.setWindowState(Qt::WindowMaximized);
        w.close();
        const QStringList keys = { SettingsKeys::PRINTLONGDESC, "frmSignsFTOP", "frmSignsFWIDTH" };
        QCOMPARE(storedValues(keys), QStringList({ "False", "0", "12000" }));
    }

    void enterChainSavesAndAdvances()
    {
        frmSigns& w = open();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        box("txtSku")->setFocus();
        // Enter moves on, typed or not, past retail and description; the last bullet saves.
        const QList<std::tuple<const char*, QString, const char*>> steps
            = { { "txtSku", "1234", "txtPromo" }, { "txtPromo", "9.99", "txtBp1" },
                  { "txtBp1", "first", "txtBp2" }, { "txtBp2", "", "txtBp3" },
                  { "txtBp3", "third", "txtSku" }, { "txtDescription", "", "txtBp1" } };
        for (const auto& [from, text, to] : steps) {
            QTest::keyClicks(box(from), text);
            QTest::keyClick(box(from), Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), box(to));
        }
        QStringList row1;
        for (int c = 0; c < SignListModel::Cols; ++c)
            row1 << w.model()->cell(1, c);
        QCOMPARE(row1.join('|'), QString("1|1234|9.99|||first||third||"));
        QVERIFY(w.model()->Rows() == 3 && w.currentRow() == 2 && box("txtBp3")->text().isEmpty());
        QCOMPARE(panel(), QString("2:"));
    }

    // A blank SKU is not looked up: Enter moves on with the panel as it is. Enter on the last
    // bullet line saves no blank SKU over a row that has one (the row would drop out of the
    // working list and the exports), but does save a new sign without one.
    void blankSkuIsNotLookedUp_data()
    {
        QTest::addColumn<QString>("sku");
        QTest::newRow("empty") << "";
        QTest::newRow("spaces") << "   ";
    }
    void blankSkuIsNotLookedUp()
    {
        QFETCH(QString, sku);
        frmSigns& w = open();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        typeSigns({ "AAA", "BBB" });
        auto enters = [](int count) {
            for (int i = 0; i < count; ++i)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        };
        go(1);
        box("txtRetail")->setText("4.99");
        box("txtSku")->setText(sku);
        enters(1);
        QCOMPARE(QApplication::focusWidget(), box("txtPromo"));
        QCOMPARE(w.statusBar()->currentMessage(), QString("Type a SKU to look it up"));
        QVERIFY(box("txtBp1")->text() == "aaa" && box("txtRetail")->text() == "4.99");
        w.statusBar()->clearMessage();
        enters(4);
        QCOMPARE(QApplication::focusWidget(), box("txtSku"));
        QCOMPARE(w.statusBar()->currentMessage(), QString("Type a SKU to look it up"));
        QCOMPARE(list(), QString("AAA,BBB,"));
        QCOMPARE(panel() + box("txtRetail")->text(), QString("1:" + sku + "4.99"));

        go(3);
        box("txtSku")->setText(sku);
        box("txtBp1")->setText("no sku");
        enters(5);
        QCOMPARE(list(), QString("AAA,BBB," + sku + ","));
        QCOMPARE(w.model()->cell(3, SignListModel::ColBullet1), QString("no sku"));
    }

    void arrowKeysAndPickingARow()
    {
        frmSigns& w = open();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        typeSigns({ "A", "B" });
        EntryBox* sku = box("txtSku");
        // A press alone does nothing; the release moves one row.
        QTest::keyPress(sku, Qt::Key_Up);
        QCOMPARE(w.currentRow(), 3);
        QTest::keyRelease(sku, Qt::Key_Up);
        QCOMPARE(w.currentRow(), 2);
        QCOMPARE(sku->selectedText(), QString("B"));
        // Held-down repeats do not move; modifiers make no difference.
        QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(sku, &repeat);
        QCOMPARE(w.currentRow(), 2);
        arrow(Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(w.currentRow(), 1);
        // Up on row 1 stays but reloads, discarding unsaved edits.
        sku->setText("edited");
        arrow(Qt::Key_Up);
        QVERIFY(w.currentRow() == 1 && sku->text() == "A");
        // Held down: the window system may take a repeat's release for the key coming up, but
        // the repeated presses say they are repeats, so the held key moves one row.
        for (bool repeat : { false, true, true }) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier, QString(), repeat);
            QApplication::sendEvent(sku, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier, QString());
            QApplication::sendEvent(sku, &release);
        }
        QCOMPARE(w.currentRow(), 2);
        arrow(Qt::Key_Up);
        for (int i = 0; i < 3; ++i) // the last Down, on the last row, stays
            arrow(Qt::Key_Down);
        QVERIFY(w.currentRow() == 3 && box("txtSelRow")->text() == "3");

        // Picking a grid row drops unsaved edits and loads the row.
        sku->setText("unsaved");
        const QRect row1 = grid()->visualRect(w.model()->index(0, SignListModel::ColDescription));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, Qt::NoModifier, row1.center());
        QCOMPARE(panel() + box("txtBp1")->text(), QString("1:Aa"));
        QCOMPARE(QApplication::focusWidget(), sku);
        QCOMPARE(sku->selectedText(), QString("A"));
    }

    void graphicCommands()
    {
        const QString item = PrintTest::writePicture(m_scope->path(), "item.jpg", 40, 30);
        const QString notPicture = writeTestFile(m_scope->path(), "notes.jpg", "not a picture");
        frmSigns& w = open();
        w.show();
        // GraphicFile (the folder as ~) and whether a picture is loaded, though maybe hidden.
        auto state = [&] {
            return QString(w.GraphicFile).replace(m_scope->path(), "~")
                + (picture()->hasPicture() ? "+" : "");
        };
        dialogs().queueFile(item);
        trigger(w, "mnuFileGraphic");
        QCOMPARE(state(), QString("~/item.jpg+"));
        // A file that is not a picture changes the path, not the picture; Cancel changes nothing.
        dialogs().queueFile(notPicture);
        trigger(w, "mnuFileGraphic");
        dialogs().queueFile(std::nullopt);
        trigger(w, "mnuFileGraphic");
        QCOMPARE(state(), QString("~/notes.jpg+"));
        // Ticking the box shows the picture of GraphicFile, or none.
        check("ckbGraphic")->click();
        QCOMPARE(state(), QString("~/notes.jpg"));
        // Loading a row whose picture does not exist keeps its path but shows nothing.
        w.model()->setCell(1, SignListModel::ColGraphic, m_scope->path() + "/missing.jpg");
        w.LoadSelectedRow();
        QCOMPARE(state(), QString("~/missing.jpg"));
        w.model()->setCell(1, SignListModel::ColGraphic, item);
        w.LoadSelectedRow();
        // Clear Sku leaves the graphic; Clear Item Graphic empties both.
        trigger(w, "mnuEditClearSku");
        QCOMPARE(state(), QString("~/item.jpg+"));
        click("cmdClearGraphic");
        QCOMPARE(state(), QString());
        // Enter on a blank SKU keeps the picture and the path; a lookup clears both.
        w.LoadSelectedRow();
        QTest::keyClick(box("txtSku"), Qt::Key_Return);
        QCOMPARE(state(), QString("~/item.jpg+"));
        box("txtSku")->setText("123");
        QTest::keyClick(box("txtSku"), Qt::Key_Return);
        QCOMPARE(state(), QString());

        // Clear Grid keeps the item graphic; a following save stores it.
        w.GraphicFile = "/pictures/x.jpg";
        click("cmdClearGrid");
        click("cmdSave");
        QCOMPARE(w.model()->cell(1, SignListModel::ColGraphic), QString("/pictures/x.jpg"));
        // Delete with a single data row empties it, keeps it, and empties the panel.
        go(1);
        box("txtSku")->setText("typed, not saved");
        click("cmdRowDelete");
        QVERIFY(w.model()->Rows() == 2 && w.model()->signRow(1) == SignRow());
        QCOMPARE(w.model()->cell(1, 0) + box("txtSku")->text(), QString("1"));
        QVERIFY(dialogs().messages().isEmpty());
    }

    void colours()
    {
        frmSigns& w = open();
        // Cancel stores nothing, a choice stores the colour as a number.
        dialogs().queueColor(std::nullopt);
        dialogs().queueColor(255 + 256 * 128);
        dialogs().queueColor(std::nullopt);
        for (const char* entry : { "mnuColorsBorder", "mnuColorsPrice", "mnuColorsPrice" })
            trigger(w, entry);
        QCOMPARE(storedValues({ SettingsKeys::ColorBorder, SettingsKeys::ColorPrice }),
            QStringList({ Absent, "33023" }));
        QCOMPARE(dialogs().colorRequests(), 3);
    }

    void reopensWhereItClosed_data()
    {
        // FTOP FLEFT FHEIGHT FWIDTH ("_" not stored) > x y w h of the frame ("-" the default)
        QTest::addColumn<QString>("row");
        QTest::newRow("all four") << "1500 1200 6000 9000 > 80 100 600 400";
        QTest::newRow("left alone") << "_ 1200 6000 9000 > 80 - 600 400";
        QTest::newRow("off the screen") << "30000 30000 6000 9000 > 200 400 600 400";
        QTest::newRow("larger than the screen") << "0 0 15000 15000 > 0 0 800 800";
        // Top 0 applies, a negative left and a height of 0 do not.
        QTest::newRow("zero and negative") << "0 -15 0 12000 > - 0 800 -";
    }

    void reopensWhereItClosed()
    {
        QFETCH(QString, row);
        const QStringList values = row.section(" > ", 0, 0).split(' ').replaceInStrings("_", "");
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 800, 800));
        const QStringList keys
            = { "frmSignsFTOP", "frmSignsFLEFT", "frmSignsFHEIGHT", "frmSignsFWIDTH" };
        // Where a window of that size goes by itself.
        store(keys[2], values[2]);
        store(keys[3], values[3]);
        const QRect self = startAndClose();
        for (int i = 0; i < 4; ++i)
            store(keys[i], values[i]); // an empty value counts as not stored
        const QStringList w = row.section(" > ", 1).split(' ');
        const QRect want(w[0] == "-" ? self.x() : w[0].toInt(),
            w[1] == "-" ? self.y() : w[1].toInt(), w[2] == "-" ? self.width() : w[2].toInt(),
            w[3] == "-" ? self.height() : w[3].toInt());
        QCOMPARE(startAndClose(), want);
        // Stable from then on: the next start reopens where the last one closed.
        const QStringList placement = storedValues(keys);
        QVERIFY(!placement.contains(Absent));
        QCOMPARE(startAndClose(), want);
        QCOMPARE(storedValues(keys), placement);
    }

    // Each row command by menu entry or button, undone and redone; the panel never shows a
    // sign that is no longer there.
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
        dialogs().queueFile(
            writeTestFile(m_scope->path(), "items.txt", "1\t10\r\nD1\tone\r\nD2\ttwo\r\n"));
        frmSigns& w = open();
        typeSigns({ "AAA", "BBB", "CCC" }); // with bullet lines, so that a copy shows whole
        const QString before = list();
        go(row);
        box("txtSku")->setText("XYZ");
        w.GraphicFile = "/pictures/xyz.jpg";
        command.startsWith("cmd") ? click(qPrintable(command)) : trigger(w, qPrintable(command));
        QCOMPARE(list(), want[0]);
        QCOMPARE(panel(), want[1]);
        QCOMPARE(w.currentRow(), box("txtSelRow")->text().toInt());
        for (int r = 1; r < w.model()->Rows(); ++r)
            QCOMPARE(w.model()->cell(r, SignListModel::ColNumber), QString::number(r));
        if (command.contains("Copy"))
            QCOMPARE(w.model()->signRow(row + 1), w.model()->signRow(row));
        QAction* undo = child<QAction>(w, "mnuEditUndo");
        undo->trigger();
        QCOMPARE(list(), before);
        QCOMPARE(w.currentRow(), row);
        // The panel shows the row as it is now, never what was typed before.
        QCOMPARE(panel(), QString::number(row) + ":" + skus(w).at(row - 1));
        QCOMPARE(w.GraphicFile, QString());
        trigger(w, "mnuEditRedo");
        QCOMPARE(list(), want[0]);
        QCOMPARE(panel(), QString("%1:%2").arg(w.currentRow()).arg(skus(w).at(w.currentRow() - 1)));
        if (want[2] != "-") {
            // Saving the panel now writes no stale sign.
            w.LoadSelectedRow();
            trigger(w, "mnuEditSaveRow");
            QCOMPARE(list(), want[2]);
        }
        // Every step back to the empty list of the start, and no further.
        while (undo->isEnabled())
            undo->trigger();
        QCOMPARE(list(), QString());
    }

    void keysAndStepLimit()
    {
        frmSigns& w = open();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        for (int i = 1; i <= 105; ++i)
            typeList(w, { QString::number(i) });

        // The keys reach the list from the entry panel, where the focus is.
        QTest::keyClick(box("txtSku"), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.model()->Rows(), 106);
        QTest::keyClick(box("txtSku"), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w.model()->Rows(), 107);

        QAction* undo = child<QAction>(w, "mnuEditUndo");
        int steps = 0;
        for (; undo->isEnabled(); ++steps)
            undo->trigger();
        QCOMPARE(steps, 100);
        QCOMPARE(list(), QString("1,2,3,4,5,"));
    }

    // Over its memory budget the history drops its oldest steps, however few; the steps it
    // keeps still undo and redo.
    void historyKeepsWithinItsMemoryBudget()
    {
        SignListModel model;
        SignListHistory history(model);
        history.setMemoryBudget(1024 * 1024);
        // A step of 10,000 signs holds well over a megabyte, a step of one sign far less.
        std::vector<SignRow> many(10000);
        for (size_t i = 0; i < many.size(); ++i)
            many[i].column(SignListModel::ColDescription) = QString("sign %1").arg(i);
        history.begin("Read Data File", 1);
        model.appendSigns(std::move(many));
        history.end(1);
        for (const char* sku : { "A", "B", "C" }) {
            history.begin("Save Row", 1);
            model.setCell(1, SignListModel::ColSku, sku);
            history.end(1);
        }
        QUndoStack* stack = history.stack();
        QCOMPARE(stack->count(), 3);
        while (stack->canUndo())
            stack->undo();
        QCOMPARE(model.Rows(), 10002);
        QCOMPARE(model.cell(1, SignListModel::ColSku), QString());
        stack->redo();
        stack->redo();
        QCOMPARE(model.cell(1, SignListModel::ColSku), QString("B"));
        // A step larger than the whole budget is still kept: the last command can be undone.
        history.begin("Clear Grid", 1);
        model.reset();
        history.end(1);
        QCOMPARE(stack->count(), 1);
        stack->undo();
        QCOMPARE(model.Rows(), 10002);
    }

    void printerChoiceSurvivesRestart()
    {
        const QString pdf = m_scope->path() + "/signs.pdf";
        frmSigns& w = open();
        dialogs().queuePrinter(false);
        w.printer()->setOutputFileName(m_scope->path() + "/cancelled.pdf");
        trigger(w, "mnuFilePrinterSetup");
        QCOMPARE(stored(SettingsKeys::PRINTER), Absent);
        // The real dialog's accept button only accepts the choice.
        QPrinter printer;
        const auto setup = DialogService::makePrinterDialog(&printer, nullptr);
        QCOMPARE(setup->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->text(),
            QString("OK"));
        // The scripted dialog stands for the user's choice of a PDF file.
        w.printer()->setOutputFileName(pdf);
        dialogs().queuePrinter(true);
        trigger(w, "mnuFilePrinterSetup");
        QCOMPARE(stored(SettingsKeys::PRINTER), "pdf:" + pdf);
        frmSigns& again = open();
        again.model()->setCell(1, SignListModel::ColSku, "100001");
        trigger(again, "mnuFilePrintGrid");
        QVERIFY(dialogs().messages().isEmpty());
        QVERIFY(QFileInfo(pdf).size() > 0);
    }

    void unusablePrinterFallsBackWithOneMessage()
    {
        // Stored choice, and how the message names it.
        const QList<QPair<QString, QString>> gone = { { "Kestrane Gone 9", "Kestrane Gone 9" },
            { "pdf:/no/such/folder/signs.pdf", "/no/such/folder/signs.pdf" } };
        const QPrinter systemDefault(QPrinter::HighResolution);
        for (const auto& [choice, named] : gone) {
            dialogs().reset();
            appSettings().save(SettingsKeys::PRINTER, choice);
            frmSigns& w = open();
            QVERIFY(dialogs().messages().isEmpty()); // said when the printer is first used
            w.printer();
            w.printer();
            QCOMPARE(dialogs().messages().size(), 1);
            QVERIFY(dialogs().messages().constFirst().text.contains("\"" + named + "\""));
            QCOMPARE(PrinterChoice::destinationName(*w.printer()),
                PrinterChoice::destinationName(systemDefault));
            // Kept for when it comes back; a new choice in Printer Setup replaces it.
            QCOMPARE(stored(SettingsKeys::PRINTER), choice);
        }
    }

    // Delete removes a row only in the grid; in an entry box it edits the text. Ctrl+Delete,
    // shown in the Edit menu, removes the row wherever the focus is, an entry box too.
    void deleteKeyRemovesRowsOnlyInTheGrid()
    {
        frmSigns& w = open();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(child<QAction>(w, "mnuEditDeleteRow")->shortcut(),
            QKeySequence(Qt::CTRL | Qt::Key_Delete));
        typeList(w, { "A1", "A2", "A3", "A4" });
        go(1);
        for (const char* focus : { "txtSku", "msfGrid" }) {
            child<QWidget>(w, focus)->setFocus();
            QTest::keyClick(child<QWidget>(w, focus), Qt::Key_Delete);
        }
        QCOMPARE(list(), QString("A2,A3,A4,"));
        for (const char* focus : { "txtBp1", "txtSku", "msfGrid" }) {
            go(1);
            box("txtBp1")->setText("two words");
            box("txtBp1")->setCursorPosition(0);
            child<QWidget>(w, focus)->setFocus();
            QTest::keyClick(child<QWidget>(w, focus), Qt::Key_Delete, Qt::ControlModifier);
        }
        QCOMPARE(list(), QString(""));
    }

    // Copy Row and Delete Row act on every selected row, as one step to undo.
    void selectedRowsAreOneStep_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QList<int>>("rows"); // the first is the current row
        QTest::addColumn<QString>("expected"); // the list, and the current row after
        QTest::newRow("delete two apart")
            << "mnuEditDeleteRow" << QList<int> { 3, 1 } << "BBB,DDD, 1";
        QTest::newRow("delete a run") << "cmdRowDelete" << QList<int> { 2, 3 } << "AAA,DDD, 2";
        QTest::newRow("delete every row")
            << "mnuEditDeleteRow" << QList<int> { 1, 2, 3, 4, 5 } << " 1";
        QTest::newRow("copy two apart")
            << "mnuEditCopyRow" << QList<int> { 3, 1 } << "AAA,AAA,BBB,CCC,CCC,DDD, 1";
        QTest::newRow("copy a run")
            << "cmdRowCopy" << QList<int> { 2, 3 } << "AAA,BBB,CCC,BBB,CCC,DDD, 2";
    }
    void selectedRowsAreOneStep()
    {
        QFETCH(QString, command);
        QFETCH(QList<int>, rows);
        QFETCH(QString, expected);
        frmSigns& w = open();
        typeList(w, { "AAA", "BBB", "CCC", "DDD" });
        go(rows.first());
        for (int row : rows)
            grid()->selectionModel()->select(w.model()->index(row - 1, SignListModel::ColSku),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
        command.startsWith("cmd") ? click(qPrintable(command)) : trigger(w, qPrintable(command));
        QCOMPARE(list() + " " + QString::number(w.currentRow()), expected);
        trigger(w, "mnuEditUndo");
        QCOMPARE(list(), QString("AAA,BBB,CCC,DDD,"));
        trigger(w, "mnuEditRedo");
        QCOMPARE(list() + " " + QString::number(w.currentRow()), expected);
    }

    void recentFiles()
    {
        QStringList files;
        frmSigns& w = open();
        QVERIFY(recentEntries(w).isEmpty());
        for (int i = 1; i <= 6; ++i) {
            files.prepend(
                writeTestFile(m_scope->path(), QString("f%1.txt").arg(i), "1\t10\r\nS\tone\r\n"));
            dialogs().queueFile(files.first());
            trigger(w, "mnuFileImport");
        }
        // Read again, the oldest still listed moves to the top.
        w.readDataFile(files.at(4));
        files.move(4, 0);
        files.removeLast();
        QCOMPARE(recentEntries(w), files);
        // A saved file is listed too.
        dialogs().queueFile(m_scope->path() + "/saved.txt");
        trigger(w, "mnuFileExport");
        files.prepend(m_scope->path() + "/saved.txt");
        files.removeLast();
        frmSigns& again = open(); // the window before kept the whole list
        QCOMPARE(recentEntries(again), files);
        QFile::remove(files.at(1));
        again.findChildren<QAction*>("mnuFileRecent")[1]->trigger();
        QCOMPARE(dialogs().messages().constLast().text, QString("File not found"));
        files.removeAt(1);
        QCOMPARE(recentEntries(again), files);
        const int rows = again.model()->Rows();
        again.findChildren<QAction*>("mnuFileRecent")[1]->trigger();
        QCOMPARE(again.model()->Rows(), rows + 2); // its S, then a new empty row
        // A middle entry read again moves to the top and is listed once.
        files.move(1, 0);
        QCOMPARE(recentEntries(again), files);
    }

    void droppedFiles_data()
    {
        QTest::addColumn<QStringList>("names");
        // Each file read as Read Data File reads it: its signs, then an empty row.
        QTest::addColumn<int>("rows");
        QTest::newRow("tab-delimited and quote and comma") << QStringList { "a.txt", "B.DAT" } << 7;
        QTest::newRow("data file and picture") << QStringList { "a.txt", "logo.png" } << 4;
    }

    void droppedFiles()
    {
        QFETCH(QStringList, names);
        QFETCH(int, rows);
        frmSigns& w = open();
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& name : names)
            urls << QUrl::fromLocalFile(writeTestFile(m_scope->path(), name,
                name.endsWith("DAT") ? "1,10\r\n\"D1\",\"Saw\"\r\n\"D2\",\"Axe\"\r\n"
                                     : "1\t10\r\nT1\tone\r\nT2\ttwo\r\n"));
        data.setUrls(urls);
        // Files dragged over an entry box go to the window, text into the box.
        for (QWidget* target : { static_cast<QWidget*>(&w), child<QWidget>(w, "txtSku") }) {
            QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(target, &enter);
            QVERIFY(enter.isAccepted());
        }
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &drop);
        QVERIFY(drop.isAccepted());
        QCoreApplication::processEvents();
        // A picture is named in a message and not read.
        QCOMPARE(messageTexts().filter("logo.png is not a data file").size(),
            names.filter("png").size());
        QCOMPARE(dialogs().messages().size(), names.filter("png").size());
        QCOMPARE(w.model()->Rows(), rows);
    }

    // Files named on the command line or handed over by a later start are
    // read in order, and not while a dialog of the window waits for its answer.
    void filesHandedToTheWindow()
    {
        frmSigns& w = open();
        const QStringList files
            = { writeTestFile(m_scope->path(), "h1.txt", "1\t10\r\nH1\tone\r\n"),
                  writeTestFile(m_scope->path(), "h2.txt", "1\t10\r\nH2\ttwo\r\nH3\tthree\r\n") };
        QDialog question(&w);
        question.setModal(true);
        question.show();
        w.openDataFiles(files);
        QTest::qWait(600);
        QCOMPARE(skus(w), QStringList({ "" }));
        question.close();
        QTRY_COMPARE(skus(w).filter(QRegularExpression(".")), QStringList({ "H1", "H2", "H3" }));
    }

    // This test's folder holds neither an installed guide nor a build
    // folder's: F1 says the guide is not installed, whatever folder the
    // program was built in.
    void guideNotInstalled()
    {
        frmSigns& w = open();
        trigger(w, "mnuHelpGuide");
        QCOMPARE(dialogs().messages().size(), 1);
        QVERIFY(dialogs().messages()[0].text.startsWith("The user guide is not installed."));
    }

    void aboutBox()
    {
        frmSigns& w = open();
        trigger(w, "mnuHelpAbout");
        trigger(w, "mnuHelpAbout"); // raises the open box
        QCOMPARE(openAboutBoxes().size(), 1);
        frmAbout* about = openAboutBoxes().first();
        QVERIFY(!about->isModal() && !about->parentWidget());
        // No tool on PATH.
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", m_scope->path().toLocal8Bit());
        QTest::mouseClick(about->cmdSysInfo, Qt::LeftButton);
        qputenv("PATH", path);
        QCOMPARE(messageTexts(), QStringList("System Information Is Unavailable At This Time"));
        QVERIFY(about->isVisible() && dialogs().messages()[0].title == "Kestrane"
            && dialogs().messages()[0].icon == DialogService::Icon::None);

        QPointer<frmAbout> guard(about);
        QTest::mouseClick(about->cmdOK, Qt::LeftButton);
        QTRY_VERIFY(guard.isNull());
        trigger(w, "mnuHelpAbout");
        QCOMPARE(openAboutBoxes().size(), 1);
    }

    void previewNamesPageAndAsksBesideIt()
    {
        frmSigns& w = open();
        w.printer()->setOutputFileName(m_scope->path() + "/unused.pdf");
        typeList(w, { "1", "2", "3", "4", "5" });
        w.show();
        QSignalSpy titles(&w, &QWidget::windowTitleChanged);
        trigger(w, "mnuFilePrintPreview");
        QStringList seen;
        for (const QList<QVariant>& args : titles)
            seen << args.first().toString();
        QVERIFY(seen.contains("Kestrane - Previewing page 1 of 2")
            && seen.contains("Kestrane - Previewing page 2 of 2"));
        QCOMPARE(w.windowTitle(), QString("Kestrane"));
        // Both questions stand in the strip right of the page, inside the window.
        const QRect client(w.centralWidget()->mapToGlobal(QPoint()), w.centralWidget()->size());
        QCOMPARE(dialogs().messages().size(), 2);
        for (const DialogService::Message& question : dialogs().messages())
            QVERIFY(client.contains(question.area) && question.area.left() > client.center().x());
    }

    // Ctrl+F asks for text and makes the next row whose SKU or description holds it, in any
    // case, the current row, loaded into the panel as a picked row is; F3 finds the same text
    // again. Both wrap. Text found nowhere leaves row and panel alone and says so.
    void findInTheList_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("found"); // the panel after Ctrl+F, then after F3
        QTest::addColumn<QString>("message");
        QTest::newRow("sku past a description") << 1 << "ham"
                                                << "4:HAM-9 1:100001"
                                                << "";
        QTest::newRow("description, case ignored") << 1 << "CLAW"
                                                   << "3:300003 1:100001"
                                                   << "";
        QTest::newRow("wraps to the top") << 4 << "0003"
                                          << "3:300003 3:300003"
                                          << "";
        QTest::newRow("only the row itself") << 2 << "Screws"
                                             << "2:200002 2:200002"
                                             << "";
        QTest::newRow("prices are not searched") << 1 << "12.9"
                                                 << "1:unsaved 1:unsaved"
                                                 << "\"12.9\" was not found in the list.";
    }
    void findInTheList()
    {
        QFETCH(int, from);
        QFETCH(QString, text);
        frmSigns& w = open();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const char* rows[][3]
            = { { "100001", "9.99", "Claw hammer" }, { "200002", "12.99", "Wood screws" },
                  { "300003", "4.99", "claw bar" }, { "HAM-9", "", "Saw" } };
        w.model()->setRows(5);
        for (int r = 1; r <= 4; ++r) {
            w.model()->setCell(r, SignListModel::ColSku, rows[r - 1][0]);
            w.model()->setCell(r, SignListModel::ColPromo, rows[r - 1][1]);
            w.model()->setCell(r, SignListModel::ColDescription, rows[r - 1][2]);
        }
        go(from);
        box("txtSku")->setText("unsaved");
        dialogs().queueInput(text);
        QTest::keyClick(box("txtSku"), Qt::Key_F, Qt::ControlModifier);
        QStringList found { panel() };
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3);
        found << panel();
        QTEST(found.join(' '), "found");
        QTEST(w.statusBar()->currentMessage(), "message");
        // Asked once, in the Edit menu's Find.
        QCOMPARE(dialogs().inputRequests().size(), 1);
        QCOMPARE(dialogs().inputRequests().constFirst().title, QString("Find"));
    }

    // F6 takes the focus from the panel to the grid, its current row scrolled into view, and
    // back to the box it came from.
    void f6MovesBetweenPanelAndGrid()
    {
        frmSigns& w = open();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.model()->setRows(201);
        w.setCurrentRow(150);
        grid()->scrollToTop();
        const auto rowShown = [&] {
            const QRect r = grid()->visualRect(w.model()->index(149, SignListModel::ColSku));
            return grid()->viewport()->rect().contains(r);
        };
        QVERIFY(!rowShown());
        box("txtBp2")->setFocus();
        QTest::keyClick(box("txtBp2"), Qt::Key_F6);
        QCOMPARE(QApplication::focusWidget(), grid());
        QVERIFY(rowShown());
        QTest::keyClick(grid(), Qt::Key_F6);
        QCOMPARE(QApplication::focusWidget(), box("txtBp2"));
        QCOMPARE(w.currentRow(), 150);
    }

    // Assistive technology finds each entry box by the caption beside it, every control has a
    // name, and the grid's table holds only the columns the grid shows.
    void accessibleTree()
    {
        frmSigns& w = open();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.model()->setCell(1, SignListModel::ColSku, "100001");
        w.model()->setCell(1, SignListModel::ColDescription, "Claw hammer");
        w.model()->setCell(1, SignListModel::ColBullet1, "Forged head");
        w.model()->setCell(1, SignListModel::ColCost, "4.10");

        QMap<QString, QObject*> boxes;
        QStringList unnamed;
        QAccessibleInterface* table = nullptr;
        std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
            const QAccessible::Role role = node->role();
            const QString name = node->text(QAccessible::Name);
            if (role == QAccessible::EditableText)
                boxes.insert(name, node->object());
            const bool control = role == QAccessible::EditableText || role == QAccessible::CheckBox
                || role == QAccessible::RadioButton || role == QAccessible::PushButton
                || role == QAccessible::Table;
            if (control && name.isEmpty() && node->object())
                unnamed << node->object()->objectName();
            if (role == QAccessible::Table) {
                table = node;
                return;
            }
            for (int i = 0; i < node->childCount(); ++i)
                if (QAccessibleInterface* c = node->child(i); c && !c->state().invisible)
                    walk(c);
        };
        walk(QAccessible::queryAccessibleInterface(&w));
        QCOMPARE(unnamed, QStringList());
        const std::pair<const char*, const char*> named[]
            = { { "Sku", "txtSku" }, { "Promo Price", "txtPromo" }, { "Reg Retail", "txtRetail" },
                  { "Cost", "txtCost" }, { "Description", "txtDescription" },
                  { "Bullet line 1", "txtBp1" }, { "Bullet line 2", "txtBp2" },
                  { "Bullet line 3", "txtBp3" }, { "Title", "txtTitle" }, { "Row", "txtSelRow" } };
        for (const auto& [name, object] : named)
            QVERIFY2(boxes.value(name) == box(object), name);

        QVERIFY(table && table->object() == grid());
        QAccessibleTableInterface* cells = table->tableInterface();
        QCOMPARE(cells->columnCount(), 4);
        QCOMPARE(cells->rowCount(), 1);
        QCOMPARE(table->childCount(), 8);
        QStringList shown;
        for (int i = 0; i < table->childCount(); ++i)
            shown << table->child(i)->text(QAccessible::Name);
        QCOMPARE(shown.join('|'), QString("sku|promo|retail|description|100001|||Claw hammer"));
        QCOMPARE(cells->cellAt(0, 3)->text(QAccessible::Name), QString("Claw hammer"));
        QCOMPARE(table->indexOfChild(cells->cellAt(0, 3)), 7);
        // The grid's focus notices number its cells the same way; hidden cells have none.
        const auto notice = [&](int column) {
            return SignGridAccessible::childIndex(grid(), w.model()->index(0, column));
        };
        QCOMPARE(notice(SignListModel::ColDescription), 7);
        QCOMPARE(notice(SignListModel::ColCost), -1);
        // A column the grid stops hiding joins the table.
        grid()->setColumnHidden(SignListModel::ColBullet1, false);
        QCOMPARE(cells->columnCount(), 5);
        QCOMPARE(cells->cellAt(0, 4)->text(QAccessible::Name), QString("Forged head"));
    }

    // File > Logo and File > Print Test open their dialogs over the window, and what they
    // save is stored.
    void setupDialogsFromMenu()
    {
        const QString picture = PrintTest::writePicture(m_scope->path(), "logo.png", 60, 20);
        frmSigns& window = open();
        window.show();
        QVERIFY(runFromMenu<frmSignLogo>(window, "mnuFileLogo", [&](frmSignLogo* logo) {
            dialogs().queueFile(picture);
            QTest::mouseClick(logo->imgLogo, Qt::LeftButton);
            logo->optLeft->click();
            logo->cmdSave->click();
        }));
        QVERIFY(runFromMenu<frmCalibrate>(window, "mnuFilePrintTest", [](frmCalibrate* dlg) {
            dlg->txtAdj4UD->setText("360");
            dlg->cmdOk->click();
        }));
        QCOMPARE(
            storedValues({ SettingsKeys::FILELOGO, SettingsKeys::LOGOLCR, SettingsKeys::ADJ4UD }),
            QStringList({ picture, "LEFT", "360" }));
        QVERIFY(dialogs().messages().isEmpty());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
