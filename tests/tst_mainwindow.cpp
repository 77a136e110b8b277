// The main window: its defaults and stored options, the entry panel's keys,
// the grid, the item graphic, colours, and where the window opens.
#include "base/SettingsKeys.h"
#include "document/SignListModel.h"
#include "support/TestSupport.h"
#include "ui/DialogService.h"
#include "ui/EntryBox.h"
#include "ui/ImageBox.h"
#include "ui/frmSigns.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QtTest>

namespace {

const auto box = [](const frmSigns& w, const char* name) { return child<EntryBox>(w, name); };
const auto check = [](const frmSigns& w, const char* name) { return child<QCheckBox>(w, name); };
const auto radio = [](const frmSigns& w, const char* name) { return child<QRadioButton>(w, name); };
const auto grid = [](const frmSigns& w) { return child<QTableView>(w, "msfGrid"); };
const auto picture = [](const frmSigns& w) { return child<ImageBox>(w, "Image1"); };

void store(const QString& key, const QString& value)
{
    appSettings().save(key, value);
}

void click(const frmSigns& w, const char* button)
{
    QTest::mouseClick(child<QPushButton>(w, button), Qt::LeftButton);
}

// Types a SKU, a promotional price and a first bullet line, then Enter
// through the remaining bullet lines, which saves the row.
void typeSign(frmSigns& w, const QString& sku, const QString& promo, const QString& bullet)
{
    const char* boxes[] = { "txtSku", "txtPromo", "txtBp1", "txtBp2", "txtBp3" };
    const QString texts[] = { sku, promo, bullet, "", "" };
    for (int i = 0; i < 5; ++i) {
        QTest::keyClicks(box(w, boxes[i]), texts[i]);
        QTest::keyClick(box(w, boxes[i]), Qt::Key_Return);
    }
}

void arrow(const frmSigns& w, Qt::Key key)
{
    QTest::keyPress(box(w, "txtSku"), key);
    QTest::keyRelease(box(w, "txtSku"), key);
}

void goToRow(frmSigns& w, int row)
{
    w.setCurrentRow(row);
    w.LoadSelectedRow();
}

const QStringList PlacementKeys
    = { "frmSignsFTOP", "frmSignsFLEFT", "frmSignsFHEIGHT", "frmSignsFWIDTH" };

// Starts the window, lets its frame arrive, and returns where the frame
// stands; the window is closed (and its placement saved) afterwards.
QRect startAndClose()
{
    frmSigns w;
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return QRect();
    QTest::qWait(200);
    const QRect frame = w.frameGeometry();
    w.close();
    return frame;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
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
        TestSettingsScope scope;
        for (int i = 0; i < settings.size(); i += 2)
            store(settings[i], settings[i + 1]);
        frmSigns w;
        QCOMPARE(w.windowTitle(), QString("Kestrane"));
        QCOMPARE(w.checkedFormat(), 0);
        QCOMPARE(child<QPushButton>(w, "cmdPrintGrid")->text(), QString("Print: 4-Up"));
        for (const char* name : { "ckbTitle", "ckbBorder", "ckbLogo", "ckbRetail", "ckbGraphic" })
            QCOMPARE(check(w, name)->checkState(), Qt::Unchecked);
        QVERIFY(!radio(w, "ckbBullet")->isChecked() && !radio(w, "ckbLongDesc")->isChecked());
        QVERIFY(picture(w)->isHidden() && child<QWidget>(w, "cmdClearGraphic")->isHidden());
        QCOMPARE(box(w, "txtSelRow")->text(), QString("1"));
        QVERIFY(!box(w, "txtSelRow")->isEnabled() && !box(w, "txtCost")->isEnabled());
        QCOMPARE(w.model()->Rows(), 2);
        for (int c = 5; c <= 9; ++c)
            QVERIFY(grid(w)->isColumnHidden(c));
        QVERIFY(grid(w)->columnWidth(4) > grid(w)->columnWidth(1));
        QVERIFY(w.width() > 100);
    }

    void optionsSurviveRestart()
    {
        TestSettingsScope scope;
        store(SettingsKeys::PRINTGRAPHIC, "2");
        {
            frmSigns w;
            QCOMPARE(check(w, "ckbGraphic")->checkState(), Qt::PartiallyChecked);
            QVERIFY(!picture(w)->isHidden());
            radio(w, "ckbLongDesc")->click();
            check(w, "ckbBorder")->click();
            check(w, "chkBarcode")->click();
            w.findChildren<QAction*>("mnuFormatSel").at(2)->trigger();
            QCOMPARE(child<QPushButton>(w, "cmdPrintGrid")->text(), QString("Print: 1-Up"));
            w.close();
        }
        QStringList saved;
        for (const QString& key : { SettingsKeys::PRINTFORMAT, SettingsKeys::PRINTLONGDESC,
                 SettingsKeys::PRINTBULLET, SettingsKeys::PRINTBORDER, SettingsKeys::PRINTGRAPHIC,
                 SettingsKeys::PRINTTITLE, SettingsKeys::PRINTBARCODE })
            saved << stored(key);
        QCOMPARE(saved.join(' '), QString("2 True False 1 2 0 1"));

        frmSigns again;
        QVERIFY(radio(again, "ckbLongDesc")->isChecked());
        QCOMPARE(check(again, "ckbBorder")->checkState(), Qt::Checked);
        QCOMPARE(check(again, "chkBarcode")->checkState(), Qt::Checked);
        QCOMPARE(again.checkedFormat(), 2);
        // A click turns the grey box into an ordinary one.
        check(again, "ckbGraphic")->click();
        QCOMPARE(check(again, "ckbGraphic")->checkState(), Qt::Checked);
        check(again, "ckbGraphic")->click();
        QCOMPARE(check(again, "ckbGraphic")->checkState(), Qt::Unchecked);
        QVERIFY(picture(again)->isHidden());
    }

    // Both text styles stored select the bullets; a maximized window keeps the
    // placement it had before.
    void conflictingStylesAndMaximizedClose()
    {
        TestSettingsScope scope;
        store(SettingsKeys::PRINTBULLET, "True");
        store(SettingsKeys::PRINTLONGDESC, "True");
        store("frmSignsFTOP", "0");
        store("frmSignsFWIDTH", "12000");
        {
            frmSigns w;
            QVERIFY(radio(w, "ckbBullet")->isChecked() && !radio(w, "ckbLongDesc")->isChecked());
            w.showMaximized();
            w.setWindowState(Qt::WindowMaximized);
            w.close();
        }
        QCOMPARE(stored(SettingsKeys::PRINTLONGDESC), QString("False"));
        QCOMPARE(stored("frmSignsFTOP"), QString("0"));
        QCOMPARE(stored("frmSignsFWIDTH"), QString("12000"));
    }

    void enterChainSavesAndAdvances()
    {
        TestSettingsScope scope;
        frmSigns w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        box(w, "txtSku")->setFocus();
        // Enter moves on without typing a character; retail and description
        // are skipped; Enter in the last bullet line saves the row.
        const QList<std::tuple<const char*, QString, const char*>> steps
            = { { "txtSku", "1234", "txtPromo" }, { "txtPromo", "9.99", "txtBp1" },
                  { "txtBp1", "first", "txtBp2" }, { "txtBp2", "", "txtBp3" },
                  { "txtBp3", "third", "txtSku" } };
        for (const auto& [from, text, to] : steps) {
            QTest::keyClicks(box(w, from), text);
            QTest::keyClick(box(w, from), Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), box(w, to));
        }
        QStringList row1;
        for (int c = 0; c < SignListModel::Cols; ++c)
            row1 << w.model()->cell(1, c);
        QCOMPARE(row1.join('|'), QString("1|1234|9.99|||first||third||"));
        QCOMPARE(w.model()->Rows(), 3);
        QCOMPARE(w.model()->cell(2, 0), QString("2"));
        QCOMPARE(box(w, "txtSelRow")->text(), QString("2"));
        QCOMPARE(w.currentRow(), 2);
        QVERIFY(box(w, "txtSku")->text().isEmpty() && box(w, "txtBp3")->text().isEmpty());

        // Enter in the description box goes to the first bullet line too.
        box(w, "txtDescription")->setFocus();
        QTest::keyClick(box(w, "txtDescription"), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), box(w, "txtBp1"));
    }

    void arrowKeysActOnRelease()
    {
        TestSettingsScope scope;
        frmSigns w;
        w.show();
        typeSign(w, "A", "1", "a");
        typeSign(w, "B", "2", "b");
        EntryBox* sku = box(w, "txtSku");

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
        QTest::keyPress(sku, Qt::Key_Up, Qt::ShiftModifier);
        QTest::keyRelease(sku, Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(w.currentRow(), 1);

        // Up on row 1 stays but reloads, discarding unsaved edits.
        sku->setText("edited");
        arrow(w, Qt::Key_Up);
        QCOMPARE(w.currentRow(), 1);
        QCOMPARE(sku->text(), QString("A"));

        w.setCurrentRow(3);
        arrow(w, Qt::Key_Down);
        QCOMPARE(w.currentRow(), 3);
        QCOMPARE(box(w, "txtSelRow")->text(), QString("3"));

        // Picking a grid row drops unsaved edits, loads the row and highlights it alone.
        QVERIFY(QTest::qWaitForWindowActive(&w));
        sku->setText("unsaved");
        const QRect row1 = grid(w)->visualRect(w.model()->index(0, SignListModel::ColDescription));
        QTest::mouseClick(grid(w)->viewport(), Qt::LeftButton, Qt::NoModifier, row1.center());
        QCOMPARE(w.currentRow(), 1);
        QCOMPARE(box(w, "txtSelRow")->text(), QString("1"));
        QCOMPARE(box(w, "txtBp1")->text(), QString("a"));
        QCOMPARE(QApplication::focusWidget(), sku);
        QCOMPARE(sku->selectedText(), QString("A"));
        QCOMPARE(grid(w)->selectionModel()->selectedRows().size(), 1);
    }

    void scrollingShowsTwoRowsAbove()
    {
        TestSettingsScope scope;
        frmSigns w;
        w.show();
        for (int i = 0; i < 60; ++i)
            click(w, "cmdSave");
        QCOMPARE(w.currentRow(), 61);
        // The last row cannot be scrolled past the bottom of the view.
        QScrollBar* bar = grid(w)->verticalScrollBar();
        QCOMPARE(bar->value(), qMin(61 - 3, bar->maximum()));
        // Row n shows with rows n-2 and n-1 above it; a row in view does not scroll.
        for (const auto& [row, first] : QList<QPair<int, int>> { { 1, 0 }, { 40, 37 }, { 3, 0 } }) {
            goToRow(w, row);
            QCOMPARE(bar->value(), first);
        }
        arrow(w, Qt::Key_Down);
        QCOMPARE(bar->value(), 0);
    }

    void graphicCommands()
    {
        TestSettingsScope scope;
        const QString picturePath = scope.path() + "/item.jpg";
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(picturePath));
        const QString notPicture = writeTestFile(scope.path(), "notes.jpg", "not a picture");

        frmSigns w;
        w.show();
        ImageBox* shown = picture(w);
        dialogs().queueFile(picturePath);
        trigger(w, "mnuFileGraphic");
        const auto& request = dialogs().fileRequests().last();
        QCOMPARE(request.title, QString("Select Graphic for Item"));
        QVERIFY(request.filterIndex == 1 && request.mustExist);
        QCOMPARE(w.GraphicFile, picturePath);
        QVERIFY(shown->hasPicture()); // loaded although the box is hidden

        // A file that is not a picture changes the path, not the picture.
        dialogs().queueFile(notPicture);
        trigger(w, "mnuFileGraphic");
        QCOMPARE(dialogs().fileRequests().last().fileName, picturePath);
        QCOMPARE(w.GraphicFile, notPicture);
        QVERIFY(shown->hasPicture());

        // Cancel changes nothing.
        dialogs().queueFile(std::nullopt);
        trigger(w, "mnuFileGraphic");
        QCOMPARE(w.GraphicFile, notPicture);

        // Ticking the box shows the picture of GraphicFile, or none.
        check(w, "ckbGraphic")->click();
        QVERIFY(!shown->isHidden() && !child<QWidget>(w, "cmdClearGraphic")->isHidden());
        QVERIFY(!shown->hasPicture());

        // Loading a row whose picture does not exist keeps its path but shows nothing.
        w.model()->setCell(1, SignListModel::ColGraphic, scope.path() + "/missing.jpg");
        w.LoadSelectedRow();
        QCOMPARE(w.GraphicFile, scope.path() + "/missing.jpg");
        QVERIFY(!shown->hasPicture());
        w.model()->setCell(1, SignListModel::ColGraphic, picturePath);
        w.LoadSelectedRow();
        QVERIFY(shown->hasPicture());

        // Clear Sku leaves the graphic; Clear Item Graphic empties both.
        trigger(w, "mnuEditClearSku");
        QCOMPARE(w.GraphicFile, picturePath);
        click(w, "cmdClearGraphic");
        QVERIFY(w.GraphicFile.isEmpty() && !shown->hasPicture());

        // Enter in the SKU box clears the picture and the path.
        w.LoadSelectedRow();
        QTest::keyClick(box(w, "txtSku"), Qt::Key_Return);
        QVERIFY(w.GraphicFile.isEmpty() && !shown->hasPicture());

        // Clear Grid keeps the item graphic; a following save stores it.
        w.GraphicFile = "/pictures/x.jpg";
        click(w, "cmdClearGrid");
        click(w, "cmdSave");
        QCOMPARE(w.model()->cell(1, SignListModel::ColGraphic), QString("/pictures/x.jpg"));
        // Delete with a single data row empties it and keeps it.
        w.setCurrentRow(2);
        click(w, "cmdRowDelete");
        goToRow(w, 1);
        box(w, "txtSku")->setText("typed, not saved");
        click(w, "cmdRowDelete");
        QCOMPARE(box(w, "txtSku")->text(), QString());
        QCOMPARE(w.model()->Rows(), 2);
        QCOMPARE(w.model()->signRow(1), SignRow());
        QCOMPARE(w.model()->cell(1, 0), QString("1"));
        QVERIFY(dialogs().messages().isEmpty());
    }

    void colours()
    {
        TestSettingsScope scope;
        frmSigns w;
        dialogs().queueColor(std::nullopt);
        trigger(w, "mnuColorsBorder");
        QCOMPARE(stored(SettingsKeys::ColorBorder), Absent);
        dialogs().queueColor(255 + 256 * 128);
        trigger(w, "mnuColorsPrice");
        QCOMPARE(stored(SettingsKeys::ColorPrice), QString("33023"));
        dialogs().queueColor(std::nullopt);
        trigger(w, "mnuColorsPrice");
        QCOMPARE(stored(SettingsKeys::ColorPrice), QString("33023"));
        QCOMPARE(dialogs().colorRequests(), 3);
    }

    void resizeNeverShrinksGridTo500Twips()
    {
        TestSettingsScope scope;
        frmSigns w;
        w.show();
        w.resize(900, 700);
        QTest::qWait(0);
        const QWidget* form = w.centralWidget();
        QTableView* g = grid(w);
        QCOMPARE(g->x() + g->width() + g->x(), form->width());
        QVERIFY(qAbs(g->y() + g->height() + g->x() - form->height()) <= 1);
        const QSize before = g->size();
        w.resize(20, 100);
        QTest::qWait(0);
        // Too small for the rule: the grid keeps its last size.
        QVERIFY(w.centralWidget()->width() < 50);
        QCOMPARE(g->size(), before);
    }

    void reopensWhereItClosed_data()
    {
        QTest::addColumn<QStringList>("values"); // FTOP, FLEFT, FHEIGHT, FWIDTH; "" not stored
        QTest::addColumn<QString>("expected"); // x y w h of the frame; "-" where the default holds

        QTest::newRow("all four") << QStringList { "1500", "1200", "6000", "9000" }
                                  << "80 100 600 400";
        QTest::newRow("top alone") << QStringList { "1500", "", "6000", "9000" } << "- 100 600 400";
        QTest::newRow("left alone") << QStringList { "", "1200", "6000", "9000" } << "80 - 600 400";
        QTest::newRow("off the screen")
            << QStringList { "30000", "30000", "6000", "9000" } << "200 400 600 400";
        QTest::newRow("larger than the screen")
            << QStringList { "0", "0", "15000", "15000" } << "0 0 800 800";
        // Top 0 applies, a negative left and a height of 0 do not.
        QTest::newRow("zero and negative")
            << QStringList { "0", "-15", "0", "12000" } << "- 0 800 -";
    }

    void reopensWhereItClosed()
    {
        QFETCH(QStringList, values);
        QFETCH(QString, expected);
        TestSettingsScope scope;
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 800, 800));
        // Where a window of that size goes by itself.
        store("frmSignsFHEIGHT", values.at(2));
        store("frmSignsFWIDTH", values.at(3));
        const QRect byItself = startAndClose();

        // An empty value counts as not stored.
        for (int i = 0; i < 4; ++i)
            store(PlacementKeys.at(i), values.at(i));
        const QStringList want = expected.split(' ');
        const int mine[] = { byItself.x(), byItself.y(), byItself.width(), byItself.height() };
        int wanted[4];
        for (int i = 0; i < 4; ++i)
            wanted[i] = want.at(i) == "-" ? mine[i] : want.at(i).toInt();
        QCOMPARE(startAndClose(), QRect(wanted[0], wanted[1], wanted[2], wanted[3]));
        // Stable from then on: every start reopens where the last one closed.
        QStringList keys;
        for (const QString& key : PlacementKeys)
            keys << stored(key);
        QVERIFY(!keys.contains(Absent));
        for (int start = 0; start < 3; ++start) {
            QCOMPARE(startAndClose(), QRect(wanted[0], wanted[1], wanted[2], wanted[3]));
            for (int i = 0; i < 4; ++i)
                QCOMPARE(stored(PlacementKeys.at(i)), keys.at(i));
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
