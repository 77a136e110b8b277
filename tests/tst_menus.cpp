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

#include <optional>

class TestMenus : public QObject
{
    Q_OBJECT
    std::optional<TestSettingsScope> m_scope;

private slots:
    void init() { m_scope.emplace(); }
    void cleanup() { m_scope.reset(); }

    void entriesInMenuOrder_data()
    {
        // Each row: a menu and its entries in order as "objectName|caption|shortcut";
        // separators as their objectName alone. Entries added later may stand between these.
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("File") << "mnuFile"
                              << QStringList { "mnuFileImport|Read Data File|Ctrl+O",
                                     "mnuFileExport|Save To Data File|Ctrl+S", "mnuFileSep6",
                                     "mnuFileLogo|Logo|", "mnuFileGraphic|Graphic|", "mnuFileSep5",
                                     "mnuFilePrinterSetup|Printer Setup|",
                                     "mnuFilePrintTest|Calibrate Printer|", "mnuFileSep4",
                                     "mnuFilePrintPreview|Print Preview|Ctrl+Shift+P",
                                     "mnuFilePrintGrid|Print Signs|Ctrl+P", "mnuFileSep2",
                                     "mnuFileDict|Dictionary File|",
                                     "mnuFileOdbcInventory|Inventory Database|",
                                     "mnuFileOdbcCis|CIS Database (optional)|",
                                     "mnuFileTestDatabase|Test Database Connections|",
                                     "mnuFileSep1", "mnuFileRecent", "mnuFileSepRecent",
                                     "mnuFileExit|E&xit|" };
        QTest::newRow("Edit") << "mnuEdit"
                              << QStringList { "mnuEditSaveRow|Save Row|",
                                     "mnuEditInsertRow|Insert Row|", "mnuEditCopyRow|Copy Row|",
                                     "mnuEditDeleteRow|Delete Row|Ctrl+Del",
                                     "mnuEditClearGrid|Clear Grid|", "mnuEditClearSku|Clear Sku|",
                                     "mnuEditClearGraphic|Clear Item Graphic|", "mnuEditSep1",
                                     "mnuEditUndo|Undo|Ctrl+Z", "mnuEditRedo|Redo|Ctrl+Shift+Z",
                                     "mnuEditSep2", "mnuEditFind|Find|Ctrl+F",
                                     "mnuEditFindNext|Find Next|F3" };
        QTest::newRow("Format") << "mnuFormat"
                                << QStringList { "mnuFormatSel|4-Up|", "mnuFormatSel|2-Up|",
                                       "mnuFormatSel|1-Up|" };
        QTest::newRow("Colors") << "mnuColors"
                                << QStringList { "mnuColorsBorder|Border|",
                                       "mnuColorsPrice|Promo Price|", "mnuColorsTitle|Title|" };
        QTest::newRow("Help") << "mnuHelp"
                              << QStringList { "mnuHelpGuide|User &Guide|F1",
                                     "mnuHelpAbout|&About|" };
    }

    void entriesInMenuOrder()
    {
        QFETCH(QString, menu);
        QFETCH(QStringList, entries);
        frmSigns w;
        const QMenu* found = w.menuBar()->findChild<QMenu*>(menu);
        QVERIFY(found);
        // What the menu holds, in the same form; the recent-file entries by name only.
        QStringList shown;
        for (const QAction* a : found->actions()) {
            const QString name = a->objectName();
            shown << (a->isSeparator() || name == QLatin1String("mnuFileRecent") ? name
                                                                                 : name + '|'
                        + a->text() + '|' + a->shortcut().toString(QKeySequence::PortableText));
        }
        qsizetype at = 0;
        for (const QString& entry : entries) {
            const qsizetype next = shown.indexOf(entry, at);
            QVERIFY2(
                next >= 0, qPrintable(entry + " missing or out of order in: " + shown.join(", ")));
            at = next + 1;
        }
    }

    void buttonRunsItsMenuEntry_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("entry");
        QTest::newRow("Save Row") << "cmdSave"
                                  << "mnuEditSaveRow";
        QTest::newRow("Insert Row") << "cmdRowInsert"
                                    << "mnuEditInsertRow";
        QTest::newRow("Copy Row") << "cmdRowCopy"
                                  << "mnuEditCopyRow";
        QTest::newRow("Delete Row") << "cmdRowDelete"
                                    << "mnuEditDeleteRow";
        QTest::newRow("Clear Grid") << "cmdClearGrid"
                                    << "mnuEditClearGrid";
        QTest::newRow("Clear graphic") << "cmdClearGraphic"
                                       << "mnuEditClearGraphic";
        QTest::newRow("Print") << "cmdPrintGrid"
                               << "mnuFilePrintGrid";
        QTest::newRow("Exit") << "cmdExit"
                              << "mnuFileExit";
    }

    void buttonRunsItsMenuEntry()
    {
        QFETCH(QString, button);
        QFETCH(QString, entry);
        frmSigns w;
        QSignalSpy ran(child<QAction>(w, qPrintable(entry)), &QAction::triggered);
        child<QPushButton>(w, qPrintable(button))->click();
        QCOMPARE(ran.count(), 1);
    }
};

QTEST_MAIN(TestMenus)
#include "tst_menus.moc"
