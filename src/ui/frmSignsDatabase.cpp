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
#include "document/SignListHistory.h"
#include "document/SignListModel.h"
#include "itemdata/DatabaseSettings.h"
#include "itemdata/InventoryDictionary.h"
#include "itemdata/ListLookup.h"
#include "itemdata/LookupService.h"
#include "itemdata/PriceCheck.h"
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
#include <QItemSelection>
#include <QLabel>
#include <QMenu>
#include <QProgressDialog>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>

#include <atomic>
#include <memory>
#include <optional>
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

std::optional<ListLookup::Outcome> frmSigns::runListLookup(
    const QString& title, const QStringList& skus, const QString& inventory, const QString& cis)
{
    // The work owns what it shares with the window, so that a run the
    // window no longer waits for (cancelled, or the program ending) is safe.
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    auto done = std::make_shared<std::atomic<int>>(0);
    auto outcome = std::make_shared<ListLookup::Outcome>();
    bool finished = false;
    QEventLoop loop;

    // Window-modal: the list cannot change under the lookup, and the window
    // keeps painting.
    QProgressDialog progress(QStringLiteral("Looking up %1 rows\u2026").arg(skus.size()),
        QStringLiteral("Cancel"), 0, int(skus.size()), this);
    progress.setObjectName(QStringLiteral("dlgLookupAll"));
    progress.setWindowTitle(title);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);
    QTimer poll;
    connect(&poll, &QTimer::timeout, &progress,
        [&progress, done] { progress.setValue(std::min(progress.maximum(), int(*done))); });
    poll.start(100);
    connect(&progress, &QProgressDialog::canceled, &loop, [&loop, cancel] {
        *cancel = true;
        loop.quit();
    });

    m_databaseWorkRunning = true;
    const quint64 request = m_lookups->run(
        [=] { *outcome = ListLookup::run(skus, inventory, cis, cancel.get(), done.get()); },
        [&finished, &loop] {
            finished = true;
            loop.quit();
        });
    if (!finished && !*cancel)
        loop.exec();
    poll.stop();
    m_databaseWorkRunning = false;
    if (!finished || outcome->cancelled) {
        // The run stops before its next batch and its outcome is dropped.
        *cancel = true;
        m_lookups->cancel(request);
        return std::nullopt;
    }
    progress.close();
    noteDatabaseState(true, inventory, outcome->inventory);
    if (!MORNLIB::IsBlank(cis))
        noteDatabaseState(false, cis, outcome->cis);
    return *outcome;
}

// Edit menu, after Find: the commands that read the whole list against the
// databases.
void frmSigns::addListDatabaseCommands(QMenu* edit)
{
    mnuEditLookupAll
        = Menus::addAction(edit, "mnuEditLookupAll", QStringLiteral("Look Up All Rows"));
    mnuEditCheckPrices
        = Menus::addAction(edit, "mnuEditCheckPrices", QStringLiteral("Check Prices"));
    connect(mnuEditLookupAll, &QAction::triggered, this, &frmSigns::mnuEditLookupAll_Click);
    connect(mnuEditCheckPrices, &QAction::triggered, this, &frmSigns::mnuEditCheckPrices_Click);
}

void frmSigns::mnuEditLookupAll_Click()
{
    if (m_databaseWorkRunning)
        return;
    std::vector<int> rows;
    QStringList skus;
    ListLookup::rowsWithSku(*m_model, &rows, &skus);
    if (rows.empty()) {
        statusBar()->showMessage(QStringLiteral("No row has a SKU to look up."));
        return;
    }
    const QString inventory = m_settings.get(SettingsKeys::Setting::OdbcInv).text();
    const QString cis = m_settings.get(SettingsKeys::Setting::OdbcCis).text();
    const std::optional<ListLookup::Outcome> outcome
        = runListLookup(QStringLiteral("Look Up All Rows"), skus, inventory, cis);
    if (!outcome) {
        statusBar()->showMessage(
            QStringLiteral("Look Up All Rows cancelled: the list is unchanged."));
        return;
    }

    bool currentChanged = false;
    m_history->begin(QStringLiteral("Look Up All Rows"), currentRow());
    for (size_t i = 0; i < rows.size(); ++i) {
        SignRow sign = m_model->signRow(rows[i]);
        if (ListLookup::fillEmpty(sign, outcome->results[i])) {
            m_model->setSignRow(rows[i], sign);
            currentChanged = currentChanged || rows[i] == currentRow();
        }
    }
    m_history->end(currentRow());
    // The panel shows the current row: it must show what was filled in, or
    // a Save Row would write the old empty boxes back over it.
    if (currentChanged)
        LoadSelectedRow();
    statusBar()->showMessage(ListLookup::summary(rows, *outcome));
}

void frmSigns::mnuEditCheckPrices_Click()
{
    if (m_databaseWorkRunning)
        return;
    const QString title = QStringLiteral("Check Prices");
    const QString inventory = m_settings.get(SettingsKeys::Setting::OdbcInv).text();
    if (MORNLIB::IsBlank(inventory)) {
        m_dialogs.message(QStringLiteral("Check Prices compares the signs with the inventory "
                                         "database, and none is set (File > Inventory Database)."),
            DialogService::Buttons::Ok, DialogService::Icon::Exclamation, title, this);
        return;
    }
    std::vector<int> rows;
    QStringList skus;
    ListLookup::rowsWithSku(*m_model, &rows, &skus);
    if (rows.empty()) {
        statusBar()->showMessage(QStringLiteral("No row has a SKU to check."));
        return;
    }
    const std::optional<ListLookup::Outcome> outcome
        = runListLookup(title, skus, inventory, QString());
    if (!outcome) {
        statusBar()->showMessage(QStringLiteral("Check Prices cancelled."));
        return;
    }
    if (outcome->inventory.kind == DatabaseState::Unavailable) {
        m_dialogs.message(
            QStringLiteral("Inventory database unavailable: ") + outcome->inventory.reason,
            DialogService::Buttons::Ok, DialogService::Icon::Exclamation, title, this);
        return;
    }
    std::vector<SignRow> signs;
    for (int row : rows)
        signs.push_back(m_model->signRow(row));
    const std::vector<PriceCheck::Difference> differences
        = PriceCheck::compare(rows, signs, *outcome);
    if (differences.empty()) {
        statusBar()->showMessage(
            QStringLiteral("Checked %1 rows: every price agrees with the inventory.")
                .arg(rows.size()));
        return;
    }
    // The rows that differ are selected, so that they can be corrected or
    // left out of the print run.
    QItemSelection selection;
    QStringList lines;
    for (const PriceCheck::Difference& difference : differences) {
        const QModelIndex index = m_model->index(difference.row - 1, 0);
        selection.select(index, index);
        lines << difference.line;
    }
    msfGrid->selectionModel()->select(
        selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    statusBar()->showMessage(QStringLiteral("Checked %1 rows: %2 prices differ from the inventory.")
                                 .arg(rows.size())
                                 .arg(differences.size()));
    m_dialogs.message(lines.join(QLatin1Char('\n')), DialogService::Buttons::Ok,
        DialogService::Icon::Exclamation, title, this);
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
