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
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QtTest>

namespace {

QString stored(const QString& key)
{
    return SettingsStore::GetSetting(
        SettingsKeys::Application, SettingsKeys::Section, key, QStringLiteral("<none>"));
}

void store(const QString& key, const QString& value)
{
    SettingsStore::SaveSetting(SettingsKeys::Application, SettingsKeys::Section, key, value);
}

void trigger(frmSigns& w, const char* name)
{
    QAction* action = w.findChild<QAction*>(QLatin1String(name));
    QVERIFY2(action, name);
    QVERIFY2(action->isEnabled(), name);
    action->trigger();
}

void typeSign(frmSigns& w, const QString& sku, const QString& promo, const QString& bullet)
{
    QTest::keyClicks(w.txtSku, sku);
    QTest::keyClick(w.txtSku, Qt::Key_Return);
    QTest::keyClicks(w.txtPromo, promo);
    QTest::keyClick(w.txtPromo, Qt::Key_Return);
    QTest::keyClicks(w.txtBp1, bullet);
    QTest::keyClick(w.txtBp1, Qt::Key_Return);
    QTest::keyClick(w.txtBp2, Qt::Key_Return);
    QTest::keyClick(w.txtBp3, Qt::Key_Return);
}

QStringList skus(const frmSigns& w)
{
    QStringList result;
    for (int r = 1; r < w.model()->Rows(); ++r)
        result << w.model()->cell(r, SignListModel::ColSku);
    return result;
}

void arrow(EntryBox* box, Qt::Key key)
{
    QTest::keyPress(box, key);
    QTest::keyRelease(box, key);
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void firstRunDefaults();
    void menuTreeHasCaptionsAndNames();
    void optionsSurviveRestart();
    void corruptSettingsStartWithDefaults();
    void enterChainSavesAndAdvances();
    void rowCommandsThroughButtons();
    void arrowKeysActOnRelease();
    void pickingAGridRowLoadsIt();
    void scrollingShowsTwoRowsAbove();
    void graphicCommands();
    void colourAndPrinterDialogs();
    void resizeNeverShrinksGridTo500Twips();
    void placementSavedAndRestored();
    void aboutBox();
};

void TestMainWindow::firstRunDefaults()
{
    TestSettingsScope scope;
    frmSigns w;
    QCOMPARE(w.windowTitle(), QString("Kestrane"));
    QCOMPARE(w.checkedFormat(), 0);
    QCOMPARE(w.cmdPrintGrid->text(), QString("Print: 4-Up"));
    for (QCheckBox* box : { w.ckbTitle, w.ckbBorder, w.ckbLogo, w.ckbRetail, w.ckbGraphic })
        QCOMPARE(box->checkState(), Qt::Unchecked);
    QVERIFY(!w.ckbBullet->isChecked());
    QVERIFY(!w.ckbLongDesc->isChecked());
    QVERIFY(w.Image1->isHidden());
    QVERIFY(w.cmdClearGraphic->isHidden());
    QCOMPARE(w.txtSelRow->text(), QString("1"));
    QVERIFY(!w.txtSelRow->isEnabled());
    QVERIFY(!w.txtCost->isEnabled());
    QCOMPARE(w.model()->Rows(), 2);
    for (int c = 5; c <= 9; ++c)
        QVERIFY(w.msfGrid->isColumnHidden(c));
    QVERIFY(w.msfGrid->columnWidth(4) > w.msfGrid->columnWidth(1));
    QCOMPARE(w.findChild<QTableView*>("msfGrid"), w.msfGrid);
    QCOMPARE(w.findChild<QLineEdit*>("txtSku"), w.txtSku);
}

void TestMainWindow::menuTreeHasCaptionsAndNames()
{
    TestSettingsScope scope;
    frmSigns w;
    const QList<QPair<const char*, QString>> entries = { { "mnuFileImport", "Read Data File" },
        { "mnuFileExport", "Save To Data File" }, { "mnuFileLogo", "Logo" },
        { "mnuFileGraphic", "Graphic" }, { "mnuFilePrinterSetup", "Printer Setup" },
        { "mnuFilePrintTest", "Calibrate Printer" }, { "mnuFilePrintPreview", "Print Preview" },
        { "mnuFilePrintGrid", "Print Signs" }, { "mnuFileDict", "Dictionary File" },
        { "mnuFileOdbcInventory", "Inventory Database" },
        { "mnuFileOdbcCis", "CIS Database (optional)" },
        { "mnuFileTestDatabase", "Test Database Connections" }, { "mnuFileExit", "E&xit" },
        { "mnuEditSaveRow", "Save Row" }, { "mnuEditClearSku", "Clear Sku" },
        { "mnuEditClearGraphic", "Clear Item Graphic" }, { "mnuColorsPrice", "Promo Price" },
        { "mnuHelpAbout", "&About" } };
    for (const auto& entry : entries) {
        QAction* action = w.findChild<QAction*>(QLatin1String(entry.first));
        QVERIFY2(action, entry.first);
        QCOMPARE(action->text(), entry.second);
    }
    const QList<QAction*> formats = w.findChildren<QAction*>("mnuFormatSel");
    QCOMPARE(formats.size(), 3);
    QCOMPARE(formats.at(2)->text(), QString("1-Up"));
    QStringList menus;
    for (QAction* menu : w.menuBar()->actions())
        menus << menu->text();
    QCOMPARE(menus, QStringList({ "&File", "&Edit", "F&ormat", "&Colors", "&Help" }));
}

void TestMainWindow::optionsSurviveRestart()
{
    TestSettingsScope scope;
    store(SettingsKeys::PRINTGRAPHIC, "2");
    {
        frmSigns w;
        QCOMPARE(w.ckbGraphic->checkState(), Qt::PartiallyChecked);
        QVERIFY(!w.Image1->isHidden());
        w.ckbLongDesc->click();
        w.ckbBorder->click();
        QCOMPARE(w.chkBarcode->checkState(), Qt::Unchecked);
        w.chkBarcode->click();
        trigger(w, "mnuFormatSel");
        w.mnuFormatSel[2]->trigger();
        QCOMPARE(w.cmdPrintGrid->text(), QString("Print: 1-Up"));
        w.close();
    }
    QCOMPARE(stored(SettingsKeys::PRINTFORMAT), QString("2"));
    QCOMPARE(stored(SettingsKeys::PRINTLONGDESC), QString("True"));
    QCOMPARE(stored(SettingsKeys::PRINTBULLET), QString("False"));
    QCOMPARE(stored(SettingsKeys::PRINTBORDER), QString("1"));
    QCOMPARE(stored(SettingsKeys::PRINTGRAPHIC), QString("2"));
    QCOMPARE(stored(SettingsKeys::PRINTTITLE), QString("0"));
    QCOMPARE(stored(SettingsKeys::PRINTBARCODE), QString("1"));

    frmSigns again;
    QVERIFY(again.ckbLongDesc->isChecked());
    QVERIFY(!again.ckbBullet->isChecked());
    QCOMPARE(again.ckbBorder->checkState(), Qt::Checked);
    QCOMPARE(again.chkBarcode->checkState(), Qt::Checked);
    QCOMPARE(again.checkedFormat(), 2);
    // A click turns the grey box into an ordinary one.
    again.ckbGraphic->click();
    QCOMPARE(again.ckbGraphic->checkState(), Qt::Checked);
    again.ckbGraphic->click();
    QCOMPARE(again.ckbGraphic->checkState(), Qt::Unchecked);
    QVERIFY(again.Image1->isHidden());
}

void TestMainWindow::corruptSettingsStartWithDefaults()
{
    TestSettingsScope scope;
    store(SettingsKeys::PRINTFORMAT, "7");
    store(SettingsKeys::PRINTTITLE, "abc");
    store(SettingsKeys::PRINTLOGO, "5");
    store(SettingsKeys::PRINTBULLET, "maybe");
    store("frmSignsFTOP", "99999");
    store("frmSignsFWIDTH", "-3");
    frmSigns w;
    QCOMPARE(w.checkedFormat(), 0);
    QCOMPARE(w.cmdPrintGrid->text(), QString("Print: 4-Up"));
    QCOMPARE(w.ckbTitle->checkState(), Qt::Unchecked);
    QCOMPARE(w.ckbLogo->checkState(), Qt::Unchecked);
    QVERIFY(!w.ckbBullet->isChecked());
    QVERIFY(w.width() > 100);
}

void TestMainWindow::enterChainSavesAndAdvances()
{
    TestSettingsScope scope;
    frmSigns w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.txtSku->setFocus();

    QTest::keyClicks(w.txtSku, "1234");
    QTest::keyClick(w.txtSku, Qt::Key_Return);
    QCOMPARE(w.txtSku->text(), QString("1234")); // no character from Enter
    QCOMPARE(QApplication::focusWidget(), w.txtPromo);
    QTest::keyClicks(w.txtPromo, "9.99");
    w.txtPromo->setSelection(0, 0);
    QTest::keyClick(w.txtPromo, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), w.txtBp1); // retail and description skipped
    QTest::keyClicks(w.txtBp1, "first");
    QTest::keyClick(w.txtBp1, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), w.txtBp2);
    QTest::keyClick(w.txtBp2, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), w.txtBp3);
    QTest::keyClicks(w.txtBp3, "third");
    QTest::keyClick(w.txtBp3, Qt::Key_Return);

    QCOMPARE(w.model()->Rows(), 3);
    QCOMPARE(w.model()->cell(1, SignListModel::ColSku), QString("1234"));
    QCOMPARE(w.model()->cell(1, SignListModel::ColPromo), QString("9.99"));
    QCOMPARE(w.model()->cell(1, SignListModel::ColBullet1), QString("first"));
    QCOMPARE(w.model()->cell(1, SignListModel::ColBullet3), QString("third"));
    QCOMPARE(w.model()->cell(2, 0), QString("2"));
    QCOMPARE(w.txtSelRow->text(), QString("2"));
    QCOMPARE(w.currentRow(), 2);
    QVERIFY(w.txtSku->text().isEmpty());
    QVERIFY(w.txtBp3->text().isEmpty());
    QCOMPARE(QApplication::focusWidget(), w.txtSku);

    // Enter in the description box goes to the first bullet line too.
    w.txtDescription->setFocus();
    QTest::keyClick(w.txtDescription, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), w.txtBp1);
}

void TestMainWindow::rowCommandsThroughButtons()
{
    TestSettingsScope scope;
    frmSigns w;
    w.show();
    typeSign(w, "A", "1", "a");
    typeSign(w, "B", "2", "b");
    typeSign(w, "C", "3", "c");
    QCOMPARE(skus(w), QStringList({ "A", "B", "C", "" }));

    // Back to row 1, then insert: an empty row 1 and the old rows moved down.
    arrow(w.txtSku, Qt::Key_Up);
    arrow(w.txtSku, Qt::Key_Up);
    arrow(w.txtSku, Qt::Key_Up);
    QCOMPARE(w.currentRow(), 1);
    QCOMPARE(w.txtSku->text(), QString("A"));
    QTest::mouseClick(w.cmdRowInsert, Qt::LeftButton);
    QCOMPARE(skus(w), QStringList({ "", "A", "B", "C", "" }));
    QCOMPARE(w.currentRow(), 1);
    QCOMPARE(w.txtSku->text(), QString("A")); // the panel is not changed
    for (int r = 1; r < w.model()->Rows(); ++r)
        QCOMPARE(w.model()->cell(r, 0), QString::number(r));

    // Save Row now writes the panel into the new row and loads the next.
    QTest::mouseClick(w.cmdSave, Qt::LeftButton);
    QCOMPARE(skus(w), QStringList({ "A", "A", "B", "C", "" }));
    QCOMPARE(w.currentRow(), 2);

    // Copy Row keeps the source row current.
    QTest::mouseClick(w.cmdRowCopy, Qt::LeftButton);
    QCOMPARE(skus(w), QStringList({ "A", "A", "A", "B", "C", "" }));
    QCOMPARE(w.currentRow(), 2);
    QCOMPARE(w.model()->cell(3, SignListModel::ColBullet1), QString("a"));

    // Delete the last row while the panel names it.
    w.setCurrentRow(6);
    w.LoadSelectedRow();
    QCOMPARE(w.txtSelRow->text(), QString("6"));
    QTest::mouseClick(w.cmdRowDelete, Qt::LeftButton);
    QCOMPARE(w.model()->Rows(), 6);
    QCOMPARE(w.txtSelRow->text(), QString("5"));
    QCOMPARE(w.currentRow(), 5);

    // Clear Grid keeps the item graphic; a following save stores it.
    w.GraphicFile = "/pictures/x.jpg";
    QTest::mouseClick(w.cmdClearGrid, Qt::LeftButton);
    QCOMPARE(w.model()->Rows(), 2);
    QCOMPARE(w.txtSelRow->text(), QString("1"));
    QTest::mouseClick(w.cmdSave, Qt::LeftButton);
    QCOMPARE(w.model()->cell(1, SignListModel::ColGraphic), QString("/pictures/x.jpg"));

    // Delete with a single data row empties it and keeps it.
    w.setCurrentRow(2);
    QTest::mouseClick(w.cmdRowDelete, Qt::LeftButton);
    w.setCurrentRow(1);
    QTest::mouseClick(w.cmdRowDelete, Qt::LeftButton);
    QCOMPARE(w.model()->Rows(), 2);
    QCOMPARE(w.model()->signRow(1), SignRow());
    QCOMPARE(w.model()->cell(1, 0), QString("1"));
}

void TestMainWindow::arrowKeysActOnRelease()
{
    TestSettingsScope scope;
    frmSigns w;
    w.show();
    typeSign(w, "A", "1", "a");
    typeSign(w, "B", "2", "b");
    QCOMPARE(w.currentRow(), 3);

    // A press alone does nothing; the release moves one row.
    QTest::keyPress(w.txtSku, Qt::Key_Up);
    QCOMPARE(w.currentRow(), 3);
    QTest::keyRelease(w.txtSku, Qt::Key_Up);
    QCOMPARE(w.currentRow(), 2);
    QCOMPARE(w.txtSku->text(), QString("B"));
    QCOMPARE(w.txtSku->selectedText(), QString("B"));

    // Held-down repeats do not move; modifiers make no difference.
    QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(w.txtSku, &repeat);
    QCOMPARE(w.currentRow(), 2);
    QTest::keyPress(w.txtSku, Qt::Key_Up, Qt::ShiftModifier);
    QTest::keyRelease(w.txtSku, Qt::Key_Up, Qt::ShiftModifier);
    QCOMPARE(w.currentRow(), 1);

    // Up on row 1 stays but reloads, discarding unsaved edits.
    w.txtSku->setText("edited");
    arrow(w.txtSku, Qt::Key_Up);
    QCOMPARE(w.currentRow(), 1);
    QCOMPARE(w.txtSku->text(), QString("A"));

    w.setCurrentRow(3);
    arrow(w.txtSku, Qt::Key_Down);
    QCOMPARE(w.currentRow(), 3);
    QCOMPARE(w.txtSelRow->text(), QString("3"));
}

void TestMainWindow::pickingAGridRowLoadsIt()
{
    TestSettingsScope scope;
    frmSigns w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    typeSign(w, "A", "1", "a");
    typeSign(w, "B", "2", "b");
    w.txtSku->setText("unsaved");

    const QRect row1 = w.msfGrid->visualRect(w.model()->index(0, SignListModel::ColDescription));
    QTest::mouseClick(w.msfGrid->viewport(), Qt::LeftButton, Qt::NoModifier, row1.center());
    QCOMPARE(w.currentRow(), 1);
    QCOMPARE(w.txtSelRow->text(), QString("1"));
    QCOMPARE(w.txtSku->text(), QString("A"));
    QCOMPARE(w.txtBp1->text(), QString("a"));
    QCOMPARE(QApplication::focusWidget(), w.txtSku);
    QCOMPARE(w.txtSku->selectedText(), QString("A"));
    // The highlight covers the current row only.
    QCOMPARE(w.msfGrid->selectionModel()->selectedRows().size(), 1);
}

void TestMainWindow::scrollingShowsTwoRowsAbove()
{
    TestSettingsScope scope;
    frmSigns w;
    w.show();
    for (int i = 0; i < 60; ++i)
        QTest::mouseClick(w.cmdSave, Qt::LeftButton);
    QCOMPARE(w.currentRow(), 61);
    // The last row cannot be scrolled past the bottom of the view.
    QScrollBar* bar = w.msfGrid->verticalScrollBar();
    QCOMPARE(bar->value(), qMin(61 - 3, bar->maximum()));

    w.setCurrentRow(1);
    w.LoadSelectedRow();
    QCOMPARE(bar->value(), 0);
    w.setCurrentRow(40);
    w.LoadSelectedRow();
    QCOMPARE(bar->value(), 40 - 3); // row 38 is the first one shown

    w.setCurrentRow(3);
    w.LoadSelectedRow();
    QCOMPARE(w.msfGrid->verticalScrollBar()->value(), 0);
    // A row already in view does not scroll.
    arrow(w.txtSku, Qt::Key_Down);
    QCOMPARE(w.msfGrid->verticalScrollBar()->value(), 0);
}

void TestMainWindow::graphicCommands()
{
    TestSettingsScope scope;
    const QString picture = scope.path() + "/item.jpg";
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(picture));
    const QString notPicture = scope.path() + "/notes.jpg";
    {
        QFile f(notPicture);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a picture");
    }

    frmSigns w;
    w.show();
    DialogService& dialogs = DialogService::instance();
    dialogs.queueFile(picture);
    trigger(w, "mnuFileGraphic");
    QCOMPARE(dialogs.fileRequests().last().title, QString("Select Graphic for Item"));
    QCOMPARE(dialogs.fileRequests().last().filterIndex, 1);
    QVERIFY(dialogs.fileRequests().last().mustExist);
    QCOMPARE(w.GraphicFile, picture);
    QVERIFY(w.Image1->hasPicture()); // loaded although the box is hidden

    // A file that is not a picture changes the path, not the picture.
    dialogs.queueFile(notPicture);
    trigger(w, "mnuFileGraphic");
    QCOMPARE(dialogs.fileRequests().last().fileName, picture);
    QCOMPARE(w.GraphicFile, notPicture);
    QVERIFY(w.Image1->hasPicture());

    // Cancel changes nothing.
    dialogs.queueFile(std::nullopt);
    trigger(w, "mnuFileGraphic");
    QCOMPARE(w.GraphicFile, notPicture);

    // Ticking the box shows the picture of GraphicFile, or none.
    w.ckbGraphic->click();
    QVERIFY(!w.Image1->isHidden());
    QVERIFY(!w.cmdClearGraphic->isHidden());
    QVERIFY(!w.Image1->hasPicture());

    // Loading a row whose picture does not exist keeps its path but shows nothing.
    w.model()->setCell(1, SignListModel::ColGraphic, scope.path() + "/missing.jpg");
    w.LoadSelectedRow();
    QCOMPARE(w.GraphicFile, scope.path() + "/missing.jpg");
    QVERIFY(!w.Image1->hasPicture());
    w.model()->setCell(1, SignListModel::ColGraphic, picture);
    w.LoadSelectedRow();
    QVERIFY(w.Image1->hasPicture());

    // Clear Sku leaves the graphic; Clear Item Graphic empties both.
    trigger(w, "mnuEditClearSku");
    QCOMPARE(w.GraphicFile, picture);
    QTest::mouseClick(w.cmdClearGraphic, Qt::LeftButton);
    QVERIFY(w.GraphicFile.isEmpty());
    QVERIFY(!w.Image1->hasPicture());

    // Enter in the SKU box clears the picture and the path.
    w.model()->setCell(1, SignListModel::ColGraphic, picture);
    w.LoadSelectedRow();
    QTest::keyClick(w.txtSku, Qt::Key_Return);
    QVERIFY(w.GraphicFile.isEmpty());
    QVERIFY(!w.Image1->hasPicture());
    QVERIFY(dialogs.messages().isEmpty());
}

void TestMainWindow::colourAndPrinterDialogs()
{
    TestSettingsScope scope;
    frmSigns w;
    DialogService& dialogs = DialogService::instance();

    dialogs.queueColor(std::nullopt);
    trigger(w, "mnuColorsBorder");
    QCOMPARE(stored(SettingsKeys::ColorBorder), QString("<none>"));

    dialogs.queueColor(255 + 256 * 128);
    trigger(w, "mnuColorsPrice");
    QCOMPARE(stored(SettingsKeys::ColorPrice), QString("33023"));
    dialogs.queueColor(std::nullopt);
    trigger(w, "mnuColorsPrice");
    QCOMPARE(stored(SettingsKeys::ColorPrice), QString("33023"));
    QCOMPARE(dialogs.colorRequests(), 3);

    dialogs.queuePrinter(false);
    trigger(w, "mnuFilePrinterSetup");
    QCOMPARE(dialogs.printerRequests(), 1);
    QVERIFY(dialogs.messages().isEmpty());
}

void TestMainWindow::resizeNeverShrinksGridTo500Twips()
{
    TestSettingsScope scope;
    frmSigns w;
    w.show();
    w.resize(900, 700);
    QTest::qWait(0);
    const QWidget* form = w.centralWidget();
    QCOMPARE(w.msfGrid->x() + w.msfGrid->width() + w.msfGrid->x(), form->width());
    QVERIFY(qAbs(w.msfGrid->y() + w.msfGrid->height() + w.msfGrid->x() - form->height()) <= 1);
    const QSize before = w.msfGrid->size();
    w.resize(20, 100);
    QTest::qWait(0);
    // Too small for the rule: the grid keeps its last size.
    QVERIFY(w.centralWidget()->width() < 50);
    QCOMPARE(w.msfGrid->size(), before);
}

void TestMainWindow::placementSavedAndRestored()
{
    TestSettingsScope scope;
    {
        frmSigns w;
        w.move(150, 90);
        w.resize(800, 600);
        w.close();
    }
    const QString top = stored("frmSignsFTOP");
    QVERIFY(top != "<none>");
    QVERIFY(stored("frmSignsFLEFT") != "<none>");
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

void TestMainWindow::aboutBox()
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
    QCOMPARE(about->lblTitle->text(), QString("Kestrane"));
    QCOMPARE(about->lblVersion->text(), QString("Version 1.0.8"));

    frmAbout::setSysInfoToolsForTesting({ "no-such-system-information-tool" });
    QTest::mouseClick(about->cmdSysInfo, Qt::LeftButton);
    const auto& messages = DialogService::instance().messages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.first().text, QString("System Information Is Unavailable At This Time"));
    QCOMPARE(messages.first().title, QString("Kestrane"));
    QCOMPARE(messages.first().icon, DialogService::Icon::None);
    QVERIFY(about->isVisible());

    QPointer<frmAbout> guard(about);
    QTest::mouseClick(about->cmdOK, Qt::LeftButton);
    QTRY_VERIFY(guard.isNull());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
