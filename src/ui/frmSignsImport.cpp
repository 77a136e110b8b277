// The item-data commands of the main window: loading the POS data
// dictionary at start-up and through the Dictionary File command, and
// reading and saving data files.
#include "ui/frmSigns.h"

#include "base/SettingsKeys.h"
#include "document/SignListHistory.h"
#include "document/SignListModel.h"
#include "itemdata/InventoryDictionary.h"
#include "itemdata/qorDatFile.h"
#include "itemdata/qorDct.h"
#include "ui/CommonDialog.h"
#include "ui/DialogService.h"
#include "ui/DictionaryCommands.h"
#include "ui/ImportExportCommands.h"

#include <QStatusBar>

namespace {
const QString& DictionaryType = InventoryDictionary::Type;
constexpr qint16 DictionaryLevel = InventoryDictionary::Level;
} // namespace

void frmSigns::loadDictionaryAtStartup()
{
    dctInv = std::make_unique<qorDct>();
    QString path = m_settings.get(SettingsKeys::Setting::Dictionary).text();
    if (dctInv->setup(path, DictionaryType, DictionaryLevel) != qorDct::StatusOk) {
        mnuFileDict_Click();
        path = m_settings.get(SettingsKeys::Setting::Dictionary).text();
    }
    if (dctInv->setupms(path, true) != qorDct::StatusOk)
        m_dialogs.message(qorDct::MasterStoreWarning, DialogService::Buttons::Ok,
            DialogService::Icon::Information, QStringLiteral("Alert:"));
    InventoryDictionary::widenGraphicField(*dctInv);

    m_datFile = std::make_unique<qorDatFile>(DataFileDialogNotifier(m_dialogs));
}

void frmSigns::mnuFileDict_Click()
{
    rsetup(*dctInv, true, *m_commonDialog, m_dialogs, m_settings, SettingsKeys::Setting::Dictionary,
        DictionaryType, DictionaryLevel);
    InventoryDictionary::widenGraphicField(*dctInv);
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
