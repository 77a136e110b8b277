// The File menu, in menu order: Read Data File and Save To Data File, Logo
// and Graphic (its handler is the picture box's click too, in
// frmSignsPanel.cpp), then the printer commands (frmSignsPrint.cpp), the
// database commands (frmSignsDatabase.cpp), the recent data files
// (frmSignsDesktop.cpp) and Exit.
#include "ui/frmSigns.h"

#include "document/SignListHistory.h"
#include "ui/CommonDialog.h"
#include "ui/DialogService.h"
#include "ui/ImportExportCommands.h"
#include "ui/WindowHelpers.h"
#include "ui/frmSignLogo.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

void frmSigns::buildFileMenu(QMenuBar* bar)
{
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    mnuFileImport = Menus::addAction(file, "mnuFileImport", QStringLiteral("Read Data File"));
    mnuFileExport = Menus::addAction(file, "mnuFileExport", QStringLiteral("Save To Data File"));
    Menus::addSeparator(file, "mnuFileSep6");
    mnuFileLogo = Menus::addAction(file, "mnuFileLogo", QStringLiteral("Logo"));
    mnuFileGraphic = Menus::addAction(file, "mnuFileGraphic", QStringLiteral("Graphic"));
    Menus::addSeparator(file, "mnuFileSep5");
    addPrinterCommands(file);
    Menus::addSeparator(file, "mnuFileSep2");
    addDatabaseCommands(file);
    Menus::addSeparator(file, "mnuFileSep1");
    buildRecentFilesMenu(file);
    mnuFileExit = Menus::addAction(file, "mnuFileExit", QStringLiteral("E&xit"));

    connect(mnuFileImport, &QAction::triggered, this, &frmSigns::mnuFileImport_Click);
    connect(mnuFileExport, &QAction::triggered, this, &frmSigns::mnuFileExport_Click);
    connect(mnuFileLogo, &QAction::triggered, this, &frmSigns::mnuFileLogo_Click);
    connect(mnuFileGraphic, &QAction::triggered, this, &frmSigns::mnuFileGraphic_Click);
    connect(mnuFileExit, &QAction::triggered, this, &frmSigns::mnuFileExit_Click);
}

void frmSigns::mnuFileImport_Click()
{
    importData(QString());
}

void frmSigns::importData(const QString& path)
{
    // No path: the Read Data File command asks for the file.
    ImportExportCommands io(*m_model, m_dialogs, *m_commonDialog, m_settings);
    ImportExportCommands::ImportHooks hooks;
    hooks.loadSelectedRow = [this]() { LoadSelectedRow(); };
    bool shown = false;
    hooks.progress = [this, &shown](qint64 records) {
        shown = true;
        statusBar()->showMessage(tr("Reading data file: %1 records read").arg(records));
    };
    m_history->begin(tr("Read Data File"), currentRow());
    const qint64 added = path.isEmpty() ? io.importFile(*m_datFile, *dctInv, hooks)
                                        : io.importPath(path, *m_datFile, *dctInv, hooks);
    m_history->end(currentRow());
    if (!io.lastFile().isEmpty())
        rememberDataFile(io.lastFile());
    if (shown)
        statusBar()->showMessage(tr("Signs read from the data file: %1").arg(added), 5000);
}

void frmSigns::mnuFileExport_Click()
{
    ImportExportCommands io(*m_model, m_dialogs, *m_commonDialog, m_settings);
    if (io.exportFile(*dctInv))
        rememberDataFile(io.lastFile());
}

// The logo dialog, shown modally over the window and discarded when closed.
void frmSigns::mnuFileLogo_Click()
{
    frmSignLogo dialog(settings(), dialogs(), CommonDialog1(), this);
    dialog.exec();
}

void frmSigns::mnuFileExit_Click()
{
    close();
}
