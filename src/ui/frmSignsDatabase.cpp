// The File menu's database commands, in menu order: Dictionary File (and
// the dictionary's loading at start-up), Inventory Database, CIS Database
// and Test Database Connections; the SKU lookup behind Enter in the SKU box
// and the status-bar indicators of both databases.
#include "ui/frmSigns.h"

#include "base/MORNLIB.h"
#include "base/SettingsKeys.h"
#include "itemdata/DatabaseSettings.h"
#include "itemdata/InventoryDictionary.h"
#include "itemdata/SkuLookup.h"
#include "itemdata/qorDatFile.h"
#include "itemdata/qorDct.h"
#include "ui/CommonDialog.h"
#include "ui/DatabaseCommands.h"
#include "ui/DialogService.h"
#include "ui/DictionaryCommands.h"
#include "ui/EntryBox.h"
#include "ui/ImageBox.h"
#include "ui/WindowHelpers.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

namespace {
const QString& DictionaryType = InventoryDictionary::Type;
constexpr qint16 DictionaryLevel = InventoryDictionary::Level;
} // namespace

void frmSigns::addDatabaseCommands(QMenu* file)
{
    mnuFileDict = Menus::addAction(file, "mnuFileDict", QStringLiteral("Dictionary File"));
    mnuFileOdbcInventory
        = Menus::addAction(file, "mnuFileOdbcInventory", QStringLiteral("Inventory Database"));
    mnuFileOdbcCis
        = Menus::addAction(file, "mnuFileOdbcCis", QStringLiteral("CIS Database (optional)"));
    mnuFileTestDatabase = Menus::addAction(
        file, "mnuFileTestDatabase", QStringLiteral("Test Database Connections"));

    connect(mnuFileDict, &QAction::triggered, this, &frmSigns::mnuFileDict_Click);
    connect(mnuFileOdbcInventory, &QAction::triggered, this, &frmSigns::mnuFileOdbcInventory_Click);
    connect(mnuFileOdbcCis, &QAction::triggered, this, &frmSigns::mnuFileOdbcCis_Click);
    connect(mnuFileTestDatabase, &QAction::triggered, this, &frmSigns::mnuFileTestDatabase_Click);
}

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

void frmSigns::LookupSku()
{
    Image1->clearPicture();
    GraphicFile.clear();

    // Both strings are read afresh, so an edit takes effect at once.
    const QString inventory = m_settings.get(SettingsKeys::Setting::OdbcInv).text();
    const QString cis = m_settings.get(SettingsKeys::Setting::OdbcCis).text();
    const SkuLookup::Result result = SkuLookup::run(txtSku->text(), inventory, cis);
    EntryBox* const boxes[SkuLookup::FieldCount]
        = { txtDescription, txtRetail, txtCost, txtPromo, txtBp1, txtBp2, txtBp3 };
    for (int field = 0; field < SkuLookup::FieldCount; ++field)
        boxes[field]->setText(result.values[field]);
    noteDatabaseState(true, inventory, result.inventory);
    noteDatabaseState(false, cis, result.cis);
    statusBar()->showMessage(result.status);
}

void frmSigns::mnuFileOdbcInventory_Click()
{
    DatabaseState state;
    DatabaseCommands::EditConnectString(
        DatabaseSettings::Database::Inventory, m_dialogs, m_settings, this, &state);
    noteDatabaseState(true, m_settings.get(SettingsKeys::Setting::OdbcInv).text(), state);
}

void frmSigns::mnuFileOdbcCis_Click()
{
    DatabaseState state;
    DatabaseCommands::EditConnectString(
        DatabaseSettings::Database::Cis, m_dialogs, m_settings, this, &state);
    noteDatabaseState(false, m_settings.get(SettingsKeys::Setting::OdbcCis).text(), state);
}

void frmSigns::mnuFileTestDatabase_Click()
{
    DatabaseState inventory;
    DatabaseState cis;
    DatabaseCommands::TestDatabaseConnections(m_dialogs, m_settings, this, &inventory, &cis);
    noteDatabaseState(true, m_settings.get(SettingsKeys::Setting::OdbcInv).text(), inventory);
    noteDatabaseState(false, m_settings.get(SettingsKeys::Setting::OdbcCis).text(), cis);
}

void frmSigns::buildDatabaseIndicators()
{
    lblInvState = new QLabel(this);
    lblInvState->setObjectName(QStringLiteral("lblInvState"));
    lblCisState = new QLabel(this);
    lblCisState->setObjectName(QStringLiteral("lblCisState"));
    statusBar()->addPermanentWidget(lblInvState);
    statusBar()->addPermanentWidget(lblCisState);
    refreshDatabaseIndicators();
}

// Keeps what a use of a database showed. A state that says nothing new
// (the database was not needed, or the trial of an answer that was not
// stored) leaves the last known one.
void frmSigns::noteDatabaseState(bool inventory, const QString& connect, const DatabaseState& state)
{
    KnownDatabaseState& known = inventory ? m_invState : m_cisState;
    if (state.kind != DatabaseState::NotAsked) {
        known.connect = connect;
        known.state = state;
    }
    refreshDatabaseIndicators();
}

void frmSigns::refreshDatabaseIndicators()
{
    const auto show = [](QLabel* label, const QString& name, const QString& connect,
                          const KnownDatabaseState& known) {
        QString text = QStringLiteral("not checked");
        QString tip;
        if (MORNLIB::IsBlank(connect)) {
            text = QStringLiteral("not set");
        } else if (known.connect == connect) {
            switch (known.state.kind) {
            case DatabaseState::Connected:
                text = QStringLiteral("connected");
                break;
            case DatabaseState::Unavailable:
                text = QStringLiteral("unavailable");
                tip = known.state.reason;
                break;
            case DatabaseState::NotSet:
            case DatabaseState::NotAsked:
                break;
            }
        }
        label->setText(name + QStringLiteral(": ") + text);
        label->setToolTip(tip);
    };
    show(lblInvState, QStringLiteral("Inventory"),
        m_settings.get(SettingsKeys::Setting::OdbcInv).text(), m_invState);
    show(lblCisState, QStringLiteral("CIS"), m_settings.get(SettingsKeys::Setting::OdbcCis).text(),
        m_cisState);
}
