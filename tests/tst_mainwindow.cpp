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
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QtTest>

#include <optional>

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
    // Types each box's text and Enter, from the SKU through the bullet lines, which saves the row.
    void typeSign(const QStringList& texts)
    {
        int i = 0;
        for (const char* name : { "txtSku", "txtPromo", "txtBp1", "txtBp2", "txtBp3" }) {
            QTest::keyClicks(box(name), texts.value(i++));
            QTest::keyClick(box(name), Qt::Key_Return);
        }
    }
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
        QVERIFY(!box("txtSelRow")->isEnabled() && !box("txtCost")->isEnabled());
        QCOMPARE(w.model()->Rows(), 2);
        for (int c = 5; c <= 9; ++c)
            QVERIFY(grid()->isColumnHidden(c));
        QVERIFY(grid()->columnWidth(4) > grid()->columnWidth(1) && w.width() > 100);
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
        QCOMPARE(child<QPushButton>(*w, "cmdPrintGrid")->text(), QString("Print: 1-Up"));
        w = &open();
        const QStringList keys = { SettingsKeys::PRINTFORMAT, SettingsKeys::PRINTLONGDESC,
            SettingsKeys::PRINTBULLET, SettingsKeys::PRINTBORDER, SettingsKeys::PRINTGRAPHIC,
            SettingsKeys::PRINTTITLE, SettingsKeys::PRINTBARCODE };
        QCOMPARE(storedValues(keys).join(' '), QString("2 True False 1 2 0 1"));
        QVERIFY(radio("ckbLongDesc")->isChecked() && w->checkedFormat() == 2);
        QCOMPARE(check("ckbBorder")->checkState(), Qt::Checked);
        QCOMPARE(check("chkBarcode")->checkState(), Qt::Checked);
        // A click turns the grey box into an ordinary one.
        check("ckbGraphic")->click();
        QCOMPARE(check("ckbGraphic")->checkState(), Qt::Checked);
        check("ckbGraphic")->click();
        QCOMPARE(check("ckbGraphic")->checkState(), Qt::Unchecked);
        QVERIFY(picture()->isHidden());
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
        // Enter moves on without typing a character; retail and description
        // are skipped; Enter in the last bullet line saves the row.
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
        QVERIFY(w.model()->Rows() == 3 && w.currentRow() == 2);
        QCOMPARE(box("txtSelRow")->text(), QString("2"));
        QVERIFY(box("txtSku")->text().isEmpty() && box("txtBp3")->text().isEmpty());
    }

    void arrowKeysAndPickingARow()
    {
        frmSigns& w = open();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        typeSign({ "A", "1", "a" });
        typeSign({ "B", "2", "b" });
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
        w.setCurrentRow(3);
        arrow(Qt::Key_Down);
        QVERIFY(w.currentRow() == 3 && box("txtSelRow")->text() == "3");

        // Picking a grid row drops unsaved edits, loads the row and highlights it alone.
        sku->setText("unsaved");
        const QRect row1 = grid()->visualRect(w.model()->index(0, SignListModel::ColDescription));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, Qt::NoModifier, row1.center());
        QVERIFY(w.currentRow() == 1 && box("txtSelRow")->text() == "1");
        QCOMPARE(box("txtBp1")->text(), QString("a"));
        QCOMPARE(QApplication::focusWidget(), sku);
        QCOMPARE(sku->selectedText(), QString("A"));
        QCOMPARE(grid()->selectionModel()->selectedRows().size(), 1);
    }

    void scrollingShowsTwoRowsAbove()
    {
        frmSigns& w = open();
        w.show();
        for (int i = 0; i < 60; ++i)
            click("cmdSave");
        QCOMPARE(w.currentRow(), 61);
        // The last row cannot be scrolled past the bottom of the view.
        QScrollBar* bar = grid()->verticalScrollBar();
        QCOMPARE(bar->value(), qMin(61 - 3, bar->maximum()));
        // Row n shows with rows n-2 and n-1 above it; a row in view does not scroll.
        for (const auto& [row, first] : QList<QPair<int, int>> { { 1, 0 }, { 40, 37 }, { 3, 0 } }) {
            go(row);
            QCOMPARE(bar->value(), first);
        }
        arrow(Qt::Key_Down);
        QCOMPARE(bar->value(), 0);
    }

    void graphicCommands()
    {
        const QString item = m_scope->path() + "/item.jpg";
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(item));
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
        const auto& request = dialogs().fileRequests().last();
        QCOMPARE(request.title, QString("Select Graphic for Item"));
        QVERIFY(request.filterIndex == 1 && request.mustExist);
        QCOMPARE(state(), QString("~/item.jpg+"));
        // A file that is not a picture changes the path, not the picture; Cancel changes nothing.
        dialogs().queueFile(notPicture);
        trigger(w, "mnuFileGraphic");
        QCOMPARE(dialogs().fileRequests().last().fileName, item);
        dialogs().queueFile(std::nullopt);
        trigger(w, "mnuFileGraphic");
        QCOMPARE(state(), QString("~/notes.jpg+"));
        // Ticking the box shows the picture of GraphicFile, or none.
        check("ckbGraphic")->click();
        QVERIFY(!picture()->isHidden() && !child<QWidget>(w, "cmdClearGraphic")->isHidden());
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
        // Enter in the SKU box clears the picture and the path.
        w.LoadSelectedRow();
        QTest::keyClick(box("txtSku"), Qt::Key_Return);
        QCOMPARE(state(), QString());

        // Clear Grid keeps the item graphic; a following save stores it.
        w.GraphicFile = "/pictures/x.jpg";
        click("cmdClearGrid");
        click("cmdSave");
        QCOMPARE(w.model()->cell(1, SignListModel::ColGraphic), QString("/pictures/x.jpg"));
        // Delete with a single data row empties it, keeps it, and empties the panel.
        w.setCurrentRow(2);
        click("cmdRowDelete");
        go(1);
        box("txtSku")->setText("typed, not saved");
        click("cmdRowDelete");
        QCOMPARE(w.model()->Rows(), 2);
        QCOMPARE(w.model()->signRow(1), SignRow());
        QCOMPARE(w.model()->cell(1, 0) + box("txtSku")->text(), QString("1"));
        QVERIFY(dialogs().messages().isEmpty());
    }

    void colours()
    {
        frmSigns& w = open();
        // Cancel stores nothing, a choice stores the colour as a number.
        for (const auto& [entry, colour] :
            QList<QPair<const char*, std::optional<int>>> { { "mnuColorsBorder", std::nullopt },
                { "mnuColorsPrice", 255 + 256 * 128 }, { "mnuColorsPrice", std::nullopt } }) {
            dialogs().queueColor(colour);
            trigger(w, entry);
        }
        QCOMPARE(storedValues({ SettingsKeys::ColorBorder, SettingsKeys::ColorPrice }),
            QStringList({ Absent, "33023" }));
        QCOMPARE(dialogs().colorRequests(), 3);
    }

    void resizeNeverShrinksGridTo500Twips()
    {
        frmSigns& w = open();
        w.show();
        w.resize(900, 700);
        QTest::qWait(0);
        QTableView* g = grid();
        QCOMPARE(g->x() + g->width() + g->x(), w.centralWidget()->width());
        QVERIFY(qAbs(g->y() + g->height() + g->x() - w.centralWidget()->height()) <= 1);
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
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 800, 800));
        const QStringList keys
            = { "frmSignsFTOP", "frmSignsFLEFT", "frmSignsFHEIGHT", "frmSignsFWIDTH" };
        // Where a window of that size goes by itself.
        store(keys[2], values[2]);
        store(keys[3], values[3]);
        const QRect self = startAndClose();
        for (int i = 0; i < 4; ++i)
            store(keys[i], values[i]); // an empty value counts as not stored
        const QStringList w = expected.split(' ');
        const QRect want(w[0] == "-" ? self.x() : w[0].toInt(),
            w[1] == "-" ? self.y() : w[1].toInt(), w[2] == "-" ? self.width() : w[2].toInt(),
            w[3] == "-" ? self.height() : w[3].toInt());
        QCOMPARE(startAndClose(), want);
        // Stable from then on: every start reopens where the last one closed.
        const QStringList placement = storedValues(keys);
        QVERIFY(!placement.contains(Absent));
        for (int start = 0; start < 3; ++start) {
            QCOMPARE(startAndClose(), want);
            QCOMPARE(storedValues(keys), placement);
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
