// The File menu's database commands, in menu order: Dictionary File (and
// the dictionary's loading at start-up), Inventory Database, CIS Database
// and Test Database Connections; the SKU lookup behind Enter in the SKU box
// and the status-bar indicators of both databases. No database call runs on
// the window's thread: lookups report when they are done, and the commands
// wait for their work with the window painting meanwhile.
#include "ui/frmSigns.h"

#include "base/MORNLIB.h"
#include "base/OdbcConnectString.h"
#include "base/SettingsKeys.h"
#include "itemdata/DatabaseSettings.h"
#include "itemdata/InventoryDictionary.h"
#include "itemdata/LookupService.h"
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
#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>

#include <memory>
#include <utility>

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
    const QString sku = txtSku->text();
    // Only the latest Enter's outcome fills the boxes.
    if (m_lookup.request)
        m_lookups->cancel(m_lookup.request);
    m_lookup = { m_lookups->lookUp(sku, inventory, cis), inventory, cis, {} };
    statusBar()->showMessage(QStringLiteral("Looking up SKU %1\u2026").arg(sku));
}

void frmSigns::lookupFinished(quint64 request, const QString& sku, const SkuLookup::Result& result)
{
    if (request != m_lookup.request)
        return;
    const PendingLookup lookup = std::exchange(m_lookup, PendingLookup());
    noteDatabaseState(true, lookup.inventory, result.inventory);
    noteDatabaseState(false, lookup.cis, result.cis);
    // The clerk has moved on to another SKU: this outcome is no longer wanted.
    if (txtSku->text() != sku) {
        if (statusBar()->currentMessage().startsWith(QStringLiteral("Looking up SKU ")))
            statusBar()->clearMessage();
        return;
    }
    EntryBox* const boxes[SkuLookup::FieldCount]
        = { txtDescription, txtRetail, txtCost, txtPromo, txtBp1, txtBp2, txtBp3 };
    for (int field = 0; field < SkuLookup::FieldCount; ++field) {
        EntryBox* box = boxes[field];
        if (lookup.typed.contains(box))
            continue;
        box->setText(result.values[field]);
        // The box the Enter chain moved to stays ready to be typed over.
        if (box->hasFocus())
            box->setSelection(0, int(box->text().size()));
    }
    statusBar()->showMessage(result.status);
}

OdbcError frmSigns::runDatabaseWork(const DatabaseSettings::Work& work)
{
    // The work owns what it uses; the outcome comes back through a shared
    // slot, so that leaving early (the program quitting) is safe.
    auto outcome
        = std::make_shared<OdbcError>(OdbcError::layer(QStringLiteral("the program is ending")));
    bool done = false;
    QEventLoop loop;
    const QList<QAction*> commands { mnuFileOdbcInventory, mnuFileOdbcCis, mnuFileTestDatabase };
    for (QAction* command : commands)
        command->setEnabled(false);
    m_databaseWorkRunning = true;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const quint64 request = m_lookups->run([outcome, work] { *outcome = work(); },
        [&done, &loop] {
            done = true;
            loop.quit();
        });
    if (!done)
        loop.exec();
    if (!done)
        m_lookups->cancel(request);
    QApplication::restoreOverrideCursor();
    m_databaseWorkRunning = false;
    for (QAction* command : commands)
        command->setEnabled(true);
    return *outcome;
}

void frmSigns::mnuFileOdbcInventory_Click()
{
    if (m_databaseWorkRunning)
        return;
    DatabaseState state;
    DatabaseCommands::EditConnectString(DatabaseSettings::Database::Inventory, m_dialogs,
        m_settings, this, &state, [this](const auto& work) { return runDatabaseWork(work); });
    noteDatabaseState(true, m_settings.get(SettingsKeys::Setting::OdbcInv).text(), state);
}

void frmSigns::mnuFileOdbcCis_Click()
{
    if (m_databaseWorkRunning)
        return;
    DatabaseState state;
    DatabaseCommands::EditConnectString(DatabaseSettings::Database::Cis, m_dialogs, m_settings,
        this, &state, [this](const auto& work) { return runDatabaseWork(work); });
    noteDatabaseState(false, m_settings.get(SettingsKeys::Setting::OdbcCis).text(), state);
}

void frmSigns::mnuFileTestDatabase_Click()
{
    if (m_databaseWorkRunning)
        return;
    DatabaseState inventory;
    DatabaseState cis;
    DatabaseCommands::TestDatabaseConnections(m_dialogs, m_settings, this, &inventory, &cis,
        [this](const auto& work) { return runDatabaseWork(work); });
    noteDatabaseState(true, m_settings.get(SettingsKeys::Setting::OdbcInv).text(), inventory);
    noteDatabaseState(false, m_settings.get(SettingsKeys::Setting::OdbcCis).text(), cis);
}

void frmSigns::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_warmedUp) {
        m_warmedUp = true;
        // After the window has painted: the first lookup then finds its
        // connections open.
        QTimer::singleShot(0, this, &frmSigns::warmUpDatabases);
    }
}

void frmSigns::warmUpDatabases()
{
    // A database that is down shows in its indicator only.
    m_lookups->warmUp(m_settings.get(SettingsKeys::Setting::OdbcInv).text(),
        m_settings.get(SettingsKeys::Setting::OdbcCis).text());
}

void frmSigns::buildDatabaseIndicators()
{
    lblInvState = new QLabel(this);
    lblInvState->setObjectName(QStringLiteral("lblInvState"));
    lblCisState = new QLabel(this);
    lblCisState->setObjectName(QStringLiteral("lblCisState"));
    // The indicators take the width their text needs and no more: the rest
    // is the message's, which is all in the status bar's tooltip as well,
    // should a long one still not fit.
    for (QLabel* label : { lblInvState, lblCisState }) {
        label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
        statusBar()->addPermanentWidget(label);
    }
    connect(statusBar(), &QStatusBar::messageChanged, statusBar(), &QWidget::setToolTip);
    refreshDatabaseIndicators();

    m_lookups = new LookupService(this);
    connect(m_lookups, &LookupService::finished, this, &frmSigns::lookupFinished);
    connect(m_lookups, &LookupService::warmedUp, this,
        [this](quint64, const QString& inventory, const DatabaseState& inventoryState,
            const QString& cis, const DatabaseState& cisState) {
            noteDatabaseState(true, inventory, inventoryState);
            noteDatabaseState(false, cis, cisState);
        });
    // What the clerk types while a lookup runs is kept when it reports.
    for (EntryBox* box : { txtDescription, txtRetail, txtCost, txtPromo, txtBp1, txtBp2, txtBp3 }) {
        connect(box, &QLineEdit::textEdited, this, [this, box] {
            if (m_lookup.request && !m_lookup.typed.contains(box))
                m_lookup.typed.append(box);
        });
    }
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
                tip = OdbcConnectString::masked(known.state.reason);
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
