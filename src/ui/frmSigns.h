#pragma once

#include "base/SettingsStore.h"
#include "itemdata/DatabaseSettings.h"
#include "itemdata/DatabaseState.h"
#include "itemdata/ListLookup.h"
#include "itemdata/SkuLookup.h"
#include "printing/PrintRange.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <memory>
#include <optional>

class CommonDialog;
class DialogService;
class EntryBox;
class frmAbout;
class LookupService;
class QAction;
class QUrl;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QMenuBar;
class QPrinter;
class QPushButton;
class QRadioButton;
class QTableView;
class SignListHistory;
class SignListModel;
class WorkList;
class ImageBox;
class qorDatFile;
class qorDct;

// The main window: holds the sign list and the entry panel, carries the
// print options the sign painters read, offers every command through its
// menus and buttons, and saves its options when it closes.
//
// The class is split by menu and area, each menu built and connected in the
// file that holds its commands: frmSigns.cpp (layout, buttons, start-up,
// shutdown), frmSignsFile.cpp (File: data files, logo, graphic, exit),
// frmSignsPrint.cpp (File: printer setup, calibration, preview, print),
// frmSignsDatabase.cpp (File: dictionary and databases; SKU lookup),
// frmSignsEdit.cpp (Edit: row commands, undo), frmSignsFind.cpp (Edit: Find),
// frmSignsFormat.cpp (Format and Colors), frmSignsDesktop.cpp (Help; recent
// and dropped files, tooltips, shortcuts), frmSignsPanel.cpp (entry panel).
class frmSigns : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmSigns(DialogService& dialogs, QWidget* parent = nullptr);
    explicit frmSigns(QWidget* parent = nullptr);
    ~frmSigns() override;

    // --- shared state other parts of the program use ---
    SignListModel* model() const { return m_model; }
    DialogService& dialogs() const { return m_dialogs; }
    CommonDialog& CommonDialog1() const { return *m_commonDialog; }
    // The printer for the whole program; the printer dialog's choice becomes
    // it and is remembered for the next run. The first use of a run restores
    // the remembered choice, or says once that it is gone.
    QPrinter* printer() const;
    // The settings address: application QORPOS, section KESTRANE.
    const AppSettings& settings() const { return m_settings; }
    // Index of the checked format entry: 0 4-Up, 1 2-Up, 2 1-Up.
    int checkedFormat() const;

    // A check box's value as the settings and the painters hold it: 0, 1 or
    // 2 (grey).
    static int checkValue(const QCheckBox* box);

    // The grid's current row (grid numbering: 1 is the first sign).
    int currentRow() const;
    void setCurrentRow(int row);

    // --- procedures of the sign list and entry panel ---
    void ResetGrid();
    void LoadSelectedRow();
    void StoreEntryPanel();
    void ClearSku();
    void LookupSku();
    void doPrinterSetup();
    // Prints the sign list (print true) or shows it in the preview, after
    // asking for the first cell, the pages and the rows.
    void PrintSigns(bool print);
    // The grid rows selected (grid numbering), in list order.
    QVector<int> selectedRows() const;
    // The rows Copy Row and Delete Row act on: the selected ones, or the
    // current row when none is selected; in list order.
    QVector<int> rowsToActOn() const;

    // Reads the data file as Read Data File does once its dialog has chosen it.
    void readDataFile(const QString& path);
    // Reads the data files in turn, once no dialog of the window is open
    // (files named on the command line or handed over by a later start).
    void openDataFiles(const QStringList& paths);
    // Reads each dropped data file in turn; anything else gets a message.
    void dropDataFiles(const QList<QUrl>& urls);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The print host reads the option boxes when a print starts.
    friend class SignWindowPrintHost;

    // --- commands (menu handlers; buttons only call these; everything else
    // reaches them through the menu actions) ---
    void mnuEditSaveRow_Click();
    void mnuEditInsertRow_Click();
    void mnuEditCopyRow_Click();
    void mnuEditDeleteRow_Click();
    void mnuEditClearGrid_Click();
    void mnuEditClearSku_Click();
    void mnuEditClearGraphic_Click();
    // Find in the list (frmSignsFind.cpp): asks for text and makes the next
    // row whose SKU or description holds it the current row; Find Next looks
    // again for the same text.
    void mnuEditFind_Click();
    void mnuEditFindNext_Click();
    // Looks up every row that has a SKU and fills its empty cells, as one
    // undo step (frmSignsDatabase.cpp).
    void mnuEditLookupAll_Click();
    // Compares the rows' prices with the inventory, selects the rows that
    // differ and lists them.
    void mnuEditCheckPrices_Click();
    // Looks the SKUs up off the window's thread behind a progress dialog
    // with Cancel; nothing when cancelled.
    std::optional<ListLookup::Outcome> runListLookup(const QString& title, const QStringList& skus,
        const QString& inventory, const QString& cis);
    void mnuFileGraphic_Click();
    void mnuFilePrinterSetup_Click();
    void mnuFileOdbcInventory_Click();
    void mnuFileOdbcCis_Click();
    void mnuFileTestDatabase_Click();
    void mnuFileLogo_Click();
    void mnuFilePrintTest_Click();
    void mnuFilePrintGrid_Click();
    void mnuFilePrintPreview_Click();
    void mnuFileExit_Click();
    void mnuFormatSel_Click(int index);
    void mnuColorsBorder_Click();
    void mnuColorsPrice_Click();
    void mnuColorsTitle_Click();
    void mnuHelpAbout_Click();
    // Item data (frmSignsFile.cpp; the dictionary in frmSignsDatabase.cpp).
    void mnuFileImport_Click();
    void mnuFileExport_Click();
    void mnuFileDict_Click();
    // Desktop habits (frmSignsDesktop.cpp): the user guide, the recent data
    // files, reading dropped data files.
    void mnuHelpGuide_Click();
    void mnuFileRecent_Click(int index);

    // --- widgets, named as the rest of the program knows them ---
    QTableView* msfGrid = nullptr;
    EntryBox* txtSku = nullptr;
    EntryBox* txtPromo = nullptr;
    EntryBox* txtRetail = nullptr;
    EntryBox* txtCost = nullptr;
    EntryBox* txtDescription = nullptr;
    EntryBox* txtBp1 = nullptr;
    EntryBox* txtBp2 = nullptr;
    EntryBox* txtBp3 = nullptr;
    EntryBox* txtSelRow = nullptr;
    EntryBox* txtTitle = nullptr;
    QCheckBox* ckbTitle = nullptr;
    QCheckBox* ckbBorder = nullptr;
    QCheckBox* ckbLogo = nullptr;
    QCheckBox* ckbRetail = nullptr;
    QCheckBox* ckbGraphic = nullptr;
    QCheckBox* chkBarcode = nullptr;
    QGroupBox* Frame1 = nullptr;
    QRadioButton* ckbBullet = nullptr;
    QRadioButton* ckbLongDesc = nullptr;
    ImageBox* Image1 = nullptr;
    QPushButton* cmdClearGraphic = nullptr;
    QPushButton* cmdExit = nullptr;
    QPushButton* cmdClearGrid = nullptr;
    QPushButton* cmdPrintGrid = nullptr;
    QPushButton* cmdRowInsert = nullptr;
    QPushButton* cmdRowCopy = nullptr;
    QPushButton* cmdRowDelete = nullptr;
    QPushButton* cmdSave = nullptr;
    QFrame* Line1 = nullptr;
    QLabel* picBox = nullptr;
    QLabel* picBoxIv = nullptr;
    // The status-bar indicators of the two databases' last known state.
    QLabel* lblInvState = nullptr;
    QLabel* lblCisState = nullptr;

    // Menu entries.
    QAction* mnuFileImport = nullptr;
    QAction* mnuFileExport = nullptr;
    QAction* mnuFileLogo = nullptr;
    QAction* mnuFileGraphic = nullptr;
    QAction* mnuFilePrinterSetup = nullptr;
    QAction* mnuFilePrintTest = nullptr;
    QAction* mnuFilePrintPreview = nullptr;
    QAction* mnuFilePrintGrid = nullptr;
    QAction* mnuFileDict = nullptr;
    QAction* mnuFileOdbcInventory = nullptr;
    QAction* mnuFileOdbcCis = nullptr;
    QAction* mnuFileTestDatabase = nullptr;
    QAction* mnuFileExit = nullptr;
    QAction* mnuEditSaveRow = nullptr;
    QAction* mnuEditInsertRow = nullptr;
    QAction* mnuEditCopyRow = nullptr;
    QAction* mnuEditDeleteRow = nullptr;
    QAction* mnuEditClearGrid = nullptr;
    QAction* mnuEditClearSku = nullptr;
    QAction* mnuEditClearGraphic = nullptr;
    QAction* mnuEditUndo = nullptr;
    QAction* mnuEditRedo = nullptr;
    QAction* mnuEditFind = nullptr;
    QAction* mnuEditFindNext = nullptr;
    QAction* mnuEditLookupAll = nullptr;
    QAction* mnuEditCheckPrices = nullptr;
    QAction* mnuFormatSel[3] = { nullptr, nullptr, nullptr };
    QAction* mnuColorsBorder = nullptr;
    QAction* mnuColorsPrice = nullptr;
    QAction* mnuColorsTitle = nullptr;
    QAction* mnuHelpGuide = nullptr;
    QAction* mnuHelpAbout = nullptr;
    QAction* mnuFileRecent[5] = { nullptr, nullptr, nullptr, nullptr, nullptr };
    QLabel* lblCost = nullptr;

    void buildWidgets();
    void buildCommandButtons(QWidget* form);
    void buildEntryPanel(QWidget* form);
    void buildStyleFrame(QWidget* form);
    void buildGrid(QWidget* form);
    void connectEntryPanel();
    void connectGrid();
    // The menus in menu order, each built, with its connects, in the file
    // that holds its commands.
    void buildMenus();
    void buildFileMenu(QMenuBar* bar);
    void addPrinterCommands(QMenu* file);
    void addDatabaseCommands(QMenu* file);
    void buildEditMenu(QMenuBar* bar);
    void buildFormatMenu(QMenuBar* bar);
    void buildColorsMenu(QMenuBar* bar);
    void buildHelpMenu(QMenuBar* bar);
    void connectCommandButtons();
    // Start-up: loads the POS data dictionary and creates the data-file reader.
    void loadDictionaryAtStartup();
    // Says once, at start-up, when the settings file cannot be kept.
    void reportSettingsProblem();
    void FormLoad();
    void FormUnload();
    void FormResize();
    void UncheckFormats();
    void chooseColor(SettingsKeys::Setting key);
    void moveToBox(EntryBox* box);
    void showItemPicture(const QString& path);
    void gridRowChosen();
    // Makes the row current and loads it (after an undo or redo).
    void showRow(int row);
    // Start-up: reads back the sign list of the last session.
    void restoreWorkList();
    void txtSku_KeyPress();
    void txtSku_KeyUp(int key);
    void txtBp3_KeyPress();
    void ckbGraphic_Click();
    // Database state indicators (frmSignsDatabase.cpp).
    void buildDatabaseIndicators();
    void noteDatabaseState(bool inventory, const QString& connect, const DatabaseState& state);
    void refreshDatabaseIndicators();
    // The lookup behind Enter in the SKU box runs off the window's thread;
    // its outcome fills the boxes not typed in since (frmSignsDatabase.cpp).
    void lookupFinished(quint64 request, const QString& sku, const SkuLookup::Result& result);
    // Opens the set databases in the background once the window shows.
    void warmUpDatabases();
    // Runs a database command's work off the window's thread and waits for
    // it, the window painting meanwhile.
    OdbcError runDatabaseWork(const DatabaseSettings::Work& work);
    // frmSignsFind.cpp.
    void buildFindCommands(QMenu* edit);
    // frmSignsDatabase.cpp: Look Up All Rows and Check Prices.
    void addListDatabaseCommands(QMenu* edit);
    // The next row after row (wrapping round to it) whose SKU or description
    // holds the text, ignoring case; 0 when none does.
    int findRowAfter(int row, const QString& text) const;
    void findNextRow();
    // F6: from the entry panel to the grid and back.
    void switchPane();
    void setAccessibleNames();
    // frmSignsDesktop.cpp.
    void addToolTips();
    // Shortcuts, and files dropped on the window.
    void addShortcutsAndDrops();
    void buildRecentFilesMenu(QMenu* file);
    void showRecentFiles();
    void rememberDataFile(const QString& path);
    void importData(const QString& path);

    DialogService& m_dialogs;
    AppSettings m_settings;
    SignListModel* m_model = nullptr;
    SignListHistory* m_history = nullptr;
    WorkList* m_workList = nullptr;
    std::unique_ptr<CommonDialog> m_commonDialog;
    mutable std::unique_ptr<QPrinter> m_printer;
    bool m_unloaded = false;
    // The item-graphic path of the row being edited (grid column 9).
    QString GraphicFile;
    // The last print range chosen in this session (rows excepted).
    PrintRange m_lastPrintRange;
    // Non-zero while a command moves the grid's current row itself, so the
    // row-chosen notification does not reload the panel behind its back.
    int m_programmaticMove = 0;
    // The POS data dictionary and the one data-file reader (frmSignsDatabase.cpp).
    std::unique_ptr<qorDct> dctInv;
    std::unique_ptr<qorDatFile> m_datFile;
    // What the last use of each database showed, and for which string.
    struct KnownDatabaseState
    {
        QString connect;
        DatabaseState state;
    };
    KnownDatabaseState m_invState;
    KnownDatabaseState m_cisState;
    LookupService* m_lookups = nullptr;
    // The lookup running for the SKU box: its number, SKU and strings, and
    // the boxes typed in since its Enter.
    struct PendingLookup
    {
        quint64 request = 0;
        QString inventory;
        QString cis;
        QList<EntryBox*> typed;
    };
    PendingLookup m_lookup;
    bool m_warmedUp = false;
    bool m_databaseWorkRunning = false;
    QPointer<frmAbout> m_about;
    QAction* m_recentSeparator = nullptr;
    // The text Find looked for last, and the panel control F6 left.
    QString m_findText;
    QPointer<QWidget> m_panelFocus;
};
