#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "document/SignListModel.h"
#include "support/TestSupport.h"
#include "ui/DialogService.h"
#include "ui/EntryBox.h"
#include "ui/ImageBox.h"
#include "ui/frmAbout.h"
#include "ui/frmSigns.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QtTest>

namespace {

void store(const QString& key, const QString& value)
{
    appSettings().save(key, value);
}

EntryBox* box(const frmSigns& w, const char* name)
{
    return child<EntryBox>(w, name);
}

QCheckBox* check(const frmSigns& w, const char* name)
{
    return child<QCheckBox>(w, name);
}

void click(const frmSigns& w, const char* button)
{
    QTest::mouseClick(child<QPushButton>(w, button), Qt::LeftButton);
}

ImageBox* picture(const frmSigns& w)
{
    return child<ImageBox>(w, "Image1");
}

QTableView* grid(const frmSigns& w)
{
    return child<QTableView>(w, "msfGrid");
}

// Types a SKU, a promotional price and a first bullet line, then Enter
// through the remaining bullet lines, which saves the row.
void typeSign(frmSigns& w, const QString& sku, const QString& promo, const QString& bullet)
{
    const QList<QPair<const char*, QString>> steps = { { "txtSku", sku }, { "txtPromo", promo },
        { "txtBp1", bullet }, { "txtBp2", "" }, { "txtBp3", "" } };
    for (const auto& step : steps) {
        QTest::keyClicks(box(w, step.first), step.second);
        QTest::keyClick(box(w, step.first), Qt::Key_Return);
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

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void firstRunDefaults()
    {
        TestSettingsScope scope;
        frmSigns w;
        QCOMPARE(w.windowTitle(), QString("Kestrane"));
        QCOMPARE(w.checkedFormat(), 0);
        QCOMPARE(child<QPushButton>(w, "cmdPrintGrid")->text(), QString("Print: 4-Up"));
        for (const char* name : { "ckbTitle", "ckbBorder", "ckbLogo", "ckbRetail", "ckbGraphic" })
            QCOMPARE(check(w, name)->checkState(), Qt::Unchecked);
        QVERIFY(!child<QRadioButton>(w, "ckbBullet")->isChecked());
        QVERIFY(!child<QRadioButton>(w, "ckbLongDesc")->isChecked());
        QVERIFY(picture(w)->isHidden());
        QVERIFY(child<QPushButton>(w, "cmdClearGraphic")->isHidden());
        QCOMPARE(box(w, "txtSelRow")->text(), QString("1"));
        QVERIFY(!box(w, "txtSelRow")->isEnabled());
        QVERIFY(!box(w, "txtCost")->isEnabled());
        QCOMPARE(w.model()->Rows(), 2);
        for (int c = 5; c <= 9; ++c)
            QVERIFY(grid(w)->isColumnHidden(c));
        QVERIFY(grid(w)->columnWidth(4) > grid(w)->columnWidth(1));
    }

    void optionsSurviveRestart()
    {
        TestSettingsScope scope;
        store(SettingsKeys::PRINTGRAPHIC, "2");
        {
            frmSigns w;
            QCOMPARE(check(w, "ckbGraphic")->checkState(), Qt::PartiallyChecked);
            QVERIFY(!picture(w)->isHidden());
            child<QRadioButton>(w, "ckbLongDesc")->click();
            check(w, "ckbBorder")->click();
            check(w, "chkBarcode")->click();
            w.findChildren<QAction*>("mnuFormatSel").at(2)->trigger();
            QCOMPARE(child<QPushButton>(w, "cmdPrintGrid")->text(), QString("Print: 1-Up"));
            w.close();
        }
        const QList<QPair<QString, QString>> saved = { { SettingsKeys::PRINTFORMAT, "2" },
            { SettingsKeys::PRINTLONGDESC, "True" }, { SettingsKeys::PRINTBULLET, "False" },
            { SettingsKeys::PRINTBORDER, "1" }, { SettingsKeys::PRINTGRAPHIC, "2" },
            { SettingsKeys::PRINTTITLE, "0" }, { SettingsKeys::PRINTBARCODE, "1" } };
        for (const auto& key : saved)
            QCOMPARE(stored(key.first), key.second);

        frmSigns again;
        QVERIFY(child<QRadioButton>(again, "ckbLongDesc")->isChecked());
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

    void corruptSettingsStartWithDefaults()
    {
        TestSettingsScope scope;
        for (const auto& [key, value] : QList<QPair<QString, QString>> {
                 { SettingsKeys::PRINTFORMAT, "7" }, { SettingsKeys::PRINTTITLE, "abc" },
                 { SettingsKeys::PRINTLOGO, "5" }, { SettingsKeys::PRINTBULLET, "maybe" },
                 { "frmSignsFTOP", "99999" }, { "frmSignsFWIDTH", "-3" } })
            store(key, value);
        frmSigns w;
        QCOMPARE(w.checkedFormat(), 0);
        QCOMPARE(check(w, "ckbTitle")->checkState(), Qt::Unchecked);
        QCOMPARE(check(w, "ckbLogo")->checkState(), Qt::Unchecked);
        QVERIFY(!child<QRadioButton>(w, "ckbBullet")->isChecked());
        QVERIFY(w.width() > 100);
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
        QCOMPARE(w.model()->signRow(1).column(SignListModel::ColSku), QString("1234"));
        QCOMPARE(w.model()->cell(1, SignListModel::ColPromo), QString("9.99"));
        QCOMPARE(w.model()->cell(1, SignListModel::ColBullet1), QString("first"));
        QCOMPARE(w.model()->cell(1, SignListModel::ColBullet3), QString("third"));
        QCOMPARE(w.model()->Rows(), 3);
        QCOMPARE(w.model()->cell(2, 0), QString("2"));
        QCOMPARE(box(w, "txtSelRow")->text(), QString("2"));
        QCOMPARE(w.currentRow(), 2);
        QVERIFY(box(w, "txtSku")->text().isEmpty());
        QVERIFY(box(w, "txtBp3")->text().isEmpty());

        // Enter in the description box goes to the first bullet line too.
        box(w, "txtDescription")->setFocus();
        QTest::keyClick(box(w, "txtDescription"), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), box(w, "txtBp1"));
    }

    void rowCommandsThroughButtons()
    {
        TestSettingsScope scope;
        frmSigns w;
        w.show();
        typeSign(w, "A", "1", "a");
        typeSign(w, "B", "2", "b");
        typeSign(w, "C", "3", "c");
        QCOMPARE(skus(w), QStringList({ "A", "B", "C", "" }));

        // Back to row 1, then insert: an empty row 1 and the old rows moved down.
        for (int i = 0; i < 3; ++i)
            arrow(w, Qt::Key_Up);
        QCOMPARE(w.currentRow(), 1);
        click(w, "cmdRowInsert");
        QCOMPARE(skus(w), QStringList({ "", "A", "B", "C", "" }));
        QCOMPARE(w.currentRow(), 1);
        QCOMPARE(box(w, "txtSku")->text(), QString()); // the panel stands for the new row
        for (int r = 1; r < w.model()->Rows(); ++r)
            QCOMPARE(w.model()->cell(r, 0), QString::number(r));

        // Save Row now writes the panel into the new row and loads the next.
        QTest::keyClicks(box(w, "txtSku"), "A");
        click(w, "cmdSave");
        QCOMPARE(skus(w), QStringList({ "A", "A", "B", "C", "" }));
        QCOMPARE(w.currentRow(), 2);

        // Copy Row keeps the source row current.
        click(w, "cmdRowCopy");
        QCOMPARE(skus(w), QStringList({ "A", "A", "A", "B", "C", "" }));
        QCOMPARE(w.currentRow(), 2);
        QCOMPARE(w.model()->cell(3, SignListModel::ColBullet1), QString("a"));

        // Delete the last row while the panel names it.
        goToRow(w, 6);
        click(w, "cmdRowDelete");
        QCOMPARE(w.model()->Rows(), 6);
        QCOMPARE(box(w, "txtSelRow")->text(), QString("5"));
        QCOMPARE(w.currentRow(), 5);

        // Clear Grid keeps the item graphic; a following save stores it.
        w.GraphicFile = "/pictures/x.jpg";
        click(w, "cmdClearGrid");
        QCOMPARE(w.model()->Rows(), 2);
        QCOMPARE(box(w, "txtSelRow")->text(), QString("1"));
        click(w, "cmdSave");
        QCOMPARE(w.model()->cell(1, SignListModel::ColGraphic), QString("/pictures/x.jpg"));

        // Delete with a single data row empties it and keeps it.
        w.setCurrentRow(2);
        click(w, "cmdRowDelete");
        w.setCurrentRow(1);
        click(w, "cmdRowDelete");
        QCOMPARE(w.model()->Rows(), 2);
        QCOMPARE(w.model()->signRow(1), SignRow());
        QCOMPARE(w.model()->cell(1, 0), QString("1"));
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
    }

    void pickingAGridRowLoadsIt()
    {
        TestSettingsScope scope;
        frmSigns w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        typeSign(w, "A", "1", "a");
        typeSign(w, "B", "2", "b");
        box(w, "txtSku")->setText("unsaved");

        const QRect row1 = grid(w)->visualRect(w.model()->index(0, SignListModel::ColDescription));
        QTest::mouseClick(grid(w)->viewport(), Qt::LeftButton, Qt::NoModifier, row1.center());
        QCOMPARE(w.currentRow(), 1);
        QCOMPARE(box(w, "txtSelRow")->text(), QString("1"));
        QCOMPARE(box(w, "txtBp1")->text(), QString("a"));
        QCOMPARE(QApplication::focusWidget(), box(w, "txtSku"));
        QCOMPARE(box(w, "txtSku")->selectedText(), QString("A"));
        // The highlight covers the current row only.
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
        QCOMPARE(dialogs().fileRequests().last().title, QString("Select Graphic for Item"));
        QCOMPARE(dialogs().fileRequests().last().filterIndex, 1);
        QVERIFY(dialogs().fileRequests().last().mustExist);
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
        QVERIFY(!shown->isHidden());
        QVERIFY(!child<QPushButton>(w, "cmdClearGraphic")->isHidden());
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
        QVERIFY(w.GraphicFile.isEmpty());
        QVERIFY(!shown->hasPicture());

        // Enter in the SKU box clears the picture and the path.
        w.LoadSelectedRow();
        QTest::keyClick(box(w, "txtSku"), Qt::Key_Return);
        QVERIFY(w.GraphicFile.isEmpty());
        QVERIFY(!shown->hasPicture());
        QVERIFY(dialogs().messages().isEmpty());
    }

    void colourAndPrinterDialogs()
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

        dialogs().queuePrinter(false);
        trigger(w, "mnuFilePrinterSetup");
        QCOMPARE(dialogs().printerRequests(), 1);
        QVERIFY(dialogs().messages().isEmpty());
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

    void placementSavedAndRestored()
    {
        TestSettingsScope scope;
        {
            frmSigns w;
            w.move(150, 90);
            w.resize(800, 600);
            w.close();
        }
        QVERIFY(stored("frmSignsFTOP") != Absent);
        QVERIFY(stored("frmSignsFLEFT") != Absent);
        QVERIFY(stored("frmSignsFHEIGHT").toInt() > 0);
        QVERIFY(stored("frmSignsFWIDTH").toInt() > 0);

        // Top 0 applies, a negative left does not, height 0 does not.
        store("frmSignsFTOP", "0");
        store("frmSignsFLEFT", "-15");
        store("frmSignsFHEIGHT", "0");
        store("frmSignsFWIDTH", "12000");
        {
            frmSigns w;
            QCOMPARE(w.y(), 0);
            QVERIFY(w.x() >= 0);
            QCOMPARE(w.width(), 800); // 12000 twips at 96 dpi
            // Closing while maximized leaves the keys alone.
            w.showMaximized();
            w.setWindowState(Qt::WindowMaximized);
            w.close();
        }
        QCOMPARE(stored("frmSignsFTOP"), QString("0"));
        QCOMPARE(stored("frmSignsFWIDTH"), QString("12000"));
    }

    void aboutBox()
    {
        TestSettingsScope scope;
        frmSigns w;
        trigger(w, "mnuHelpAbout");
        frmAbout* about = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == "frmAbout")
                about = qobject_cast<frmAbout*>(top);
        }
        QVERIFY(about);
        QVERIFY(!about->isModal());
        QCOMPARE(about->parentWidget(), nullptr);
        QCOMPARE(about->windowTitle(), QString("About Kestrane"));
        QCOMPARE(about->lblVersion->text(), QString("Version 1.0.8"));

        frmAbout::setSysInfoToolsForTesting({ "no-such-system-information-tool" });
        QTest::mouseClick(about->cmdSysInfo, Qt::LeftButton);
        QCOMPARE(dialogs().messages().size(), 1);
        const auto& message = dialogs().messages().first();
        QCOMPARE(message.text, QString("System Information Is Unavailable At This Time"));
        QCOMPARE(message.title, QString("Kestrane"));
        QCOMPARE(message.icon, DialogService::Icon::None);
        QVERIFY(about->isVisible());

        QPointer<frmAbout> guard(about);
        QTest::mouseClick(about->cmdOK, Qt::LeftButton);
        QTRY_VERIFY(guard.isNull());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
