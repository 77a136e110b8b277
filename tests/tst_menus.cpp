// The main window's menus and buttons as outside scripts and the user see them: every entry in
// its menu, in menu order, with its objectName, caption and shortcut; and each button running
// the menu entry of the same name.
#include "support/TestSupport.h"
#include "ui/frmSigns.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

class TestMenus : public QObject
{
    Q_OBJECT

private slots:
    // Each row: a menu and its entries in order as "objectName|caption|shortcut"; separators as
    // their objectName alone. Entries added later may stand between these.
    void entriesInMenuOrder_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QStringList>("entries");
        const auto row = [](const char* menu, const QStringList& entries) {
            QTest::newRow(menu) << QString(menu) << entries;
        };
        row("mnuFile",
            { "mnuFileImport|Read Data File|Ctrl+O", "mnuFileExport|Save To Data File|Ctrl+S",
                "mnuFileSep6", "mnuFileLogo|Logo|", "mnuFileGraphic|Graphic|", "mnuFileSep5",
                "mnuFilePrinterSetup|Printer Setup|", "mnuFilePrintTest|Calibrate Printer|",
                "mnuFileSep4", "mnuFilePrintPreview|Print Preview|Ctrl+Shift+P",
                "mnuFilePrintGrid|Print Signs|Ctrl+P", "mnuFileSep2",
                "mnuFileDict|Dictionary File|", "mnuFileOdbcInventory|Inventory Database|",
                "mnuFileOdbcCis|CIS Database (optional)|",
                "mnuFileTestDatabase|Test Database Connections|", "mnuFileSep1", "mnuFileRecent",
                "mnuFileSepRecent", "mnuFileExit|E&xit|" });
        row("mnuEdit",
            { "mnuEditSaveRow|Save Row|", "mnuEditInsertRow|Insert Row|",
                "mnuEditCopyRow|Copy Row|", "mnuEditDeleteRow|Delete Row|Ctrl+Del",
                "mnuEditClearGrid|Clear Grid|", "mnuEditClearSku|Clear Sku|",
                "mnuEditClearGraphic|Clear Item Graphic|", "mnuEditSep1", "mnuEditUndo|Undo|Ctrl+Z",
                "mnuEditRedo|Redo|Ctrl+Shift+Z", "mnuEditSep2", "mnuEditFind|Find|Ctrl+F",
                "mnuEditFindNext|Find Next|F3" });
        row("mnuFormat", { "mnuFormatSel|4-Up|", "mnuFormatSel|2-Up|", "mnuFormatSel|1-Up|" });
        row("mnuColors",
            { "mnuColorsBorder|Border|", "mnuColorsPrice|Promo Price|", "mnuColorsTitle|Title|" });
        row("mnuHelp", { "mnuHelpGuide|User &Guide|F1", "mnuHelpAbout|&About|" });
    }

    void entriesInMenuOrder()
    {
        QFETCH(QString, menu);
        QFETCH(QStringList, entries);
        TestSettingsScope scope;
        frmSigns w;
        const QMenu* found = child<QMenu>(*w.menuBar(), qPrintable(menu));
        // What the menu holds of these, in the same form; the recent-file entries by name only.
        QStringList shown;
        for (const QAction* a : found->actions()) {
            QString entry = a->objectName();
            if (!a->isSeparator() && entry != QLatin1String("mnuFileRecent"))
                entry += '|' + a->text() + '|' + a->shortcut().toString(QKeySequence::PortableText);
            if (entries.contains(entry) && !shown.contains(entry)) // recent files share a name
                shown << entry;
        }
        QCOMPARE(shown, entries);
    }

    void buttonRunsItsMenuEntry_data()
    {
        QTest::addColumn<QString>("pair"); // button=menu entry
        for (const char* button : { "cmdSave=mnuEditSaveRow", "cmdRowInsert=mnuEditInsertRow",
                 "cmdRowCopy=mnuEditCopyRow", "cmdRowDelete=mnuEditDeleteRow",
                 "cmdClearGrid=mnuEditClearGrid", "cmdClearGraphic=mnuEditClearGraphic",
                 "cmdPrintGrid=mnuFilePrintGrid", "cmdExit=mnuFileExit" })
            QTest::newRow(button) << QString(button);
    }

    void buttonRunsItsMenuEntry()
    {
        QFETCH(QString, pair);
        TestSettingsScope scope;
        frmSigns w;
        QSignalSpy ran(child<QAction>(w, qPrintable(pair.section('=', 1))), &QAction::triggered);
        child<QPushButton>(w, qPrintable(pair.section('=', 0, 0)))->click();
        QCOMPARE(ran.count(), 1);
    }
};

QTEST_MAIN(TestMenus)
#include "tst_menus.moc"
