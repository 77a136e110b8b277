// The database commands of the main window: the SKU lookup behind Enter in
// the SKU box, and the File-menu entries that edit and test the two
// connection strings.
#include "ui/frmSigns.h"

#include "base/SettingsKeys.h"
#include "itemdata/DatabaseSettings.h"
#include "itemdata/SkuLookup.h"
#include "ui/DatabaseCommands.h"
#include "ui/EntryBox.h"
#include "ui/ImageBox.h"

void frmSigns::LookupSku()
{
    Image1->clearPicture();
    GraphicFile.clear();

    // Both strings are read afresh, so an edit takes effect at once.
    const SkuLookup::Result result
        = SkuLookup::run(txtSku->text(), m_settings.text(SettingsKeys::ODBCINV, QString()),
            m_settings.text(SettingsKeys::ODBCCIS, QString()));
    EntryBox* const boxes[SkuLookup::FieldCount]
        = { txtDescription, txtRetail, txtCost, txtPromo, txtBp1, txtBp2, txtBp3 };
    for (int field = 0; field < SkuLookup::FieldCount; ++field)
        boxes[field]->setText(result.values[field]);
}

void frmSigns::mnuFileOdbcInventory_Click()
{
    DatabaseCommands::EditConnectString(
        DatabaseSettings::Database::Inventory, m_dialogs, m_settings, this);
}

void frmSigns::mnuFileOdbcCis_Click()
{
    DatabaseCommands::EditConnectString(
        DatabaseSettings::Database::Cis, m_dialogs, m_settings, this);
}

void frmSigns::mnuFileTestDatabase_Click()
{
    DatabaseCommands::TestDatabaseConnections(m_dialogs, m_settings, this);
}
