// The database commands of the main window: the SKU lookup behind Enter in
// the SKU box, the File-menu entries that edit and test the two connection
// strings, and the status-bar indicators of both databases.
#include "ui/frmSigns.h"

#include "base/MORNLIB.h"
#include "base/SettingsKeys.h"
#include "itemdata/DatabaseSettings.h"
#include "itemdata/SkuLookup.h"
#include "ui/DatabaseCommands.h"
#include "ui/EntryBox.h"
#include "ui/ImageBox.h"

#include <QLabel>
#include <QStatusBar>

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
    // The indicators take the width their text needs and no more: the rest
    // is the message's, which is all in the status bar's tooltip as well,
    // should a long one still not fit.
    for (QLabel* label : { lblInvState, lblCisState }) {
        label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
        statusBar()->addPermanentWidget(label);
    }
    connect(statusBar(), &QStatusBar::messageChanged, statusBar(), &QWidget::setToolTip);
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
