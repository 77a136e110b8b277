// The entry panel: the Enter chain, the arrow keys in the SKU box, and the
// item graphic.
#include "ui/frmSigns.h"

#include "base/MORNLIB.h"
#include "base/NumberText.h"
#include "base/SafeFile.h"
#include "document/SignListModel.h"
#include "ui/CommonDialog.h"
#include "ui/DialogService.h"
#include "ui/EntryBox.h"
#include "ui/ImageBox.h"

#include <QCheckBox>
#include <QPushButton>
#include <QStatusBar>

namespace {

const QString PictureFilter
    = QStringLiteral("All Files (*.*)|*.*|Jpeg Files (*.jpg)|*.jpg|Bitmap Files (*.bmp)|*.bmp");

} // namespace

void frmSigns::connectEntryPanel()
{
    // The Enter chain and the keys of the SKU box.
    connect(txtSku, &EntryBox::enterPressed, this, &frmSigns::txtSku_KeyPress);
    connect(txtSku, &EntryBox::keyReleased, this, &frmSigns::txtSku_KeyUp);
    connect(txtPromo, &EntryBox::enterPressed, this, [this] { moveToBox(txtBp1); });
    connect(txtDescription, &EntryBox::enterPressed, this, [this] { moveToBox(txtBp1); });
    connect(txtBp1, &EntryBox::enterPressed, this, [this] { moveToBox(txtBp2); });
    connect(txtBp2, &EntryBox::enterPressed, this, [this] { moveToBox(txtBp3); });
    connect(txtBp3, &EntryBox::enterPressed, this, &frmSigns::txtBp3_KeyPress);
    connect(ckbGraphic, &QCheckBox::clicked, this, &frmSigns::ckbGraphic_Click);
    connect(Image1, &ImageBox::clicked, this, &frmSigns::mnuFileGraphic_Click);

    // A click on a grey check box makes it an ordinary two-state box again.
    for (QCheckBox* box : { ckbTitle, ckbBorder, ckbLogo, ckbRetail, ckbGraphic, chkBarcode }) {
        connect(box, &QCheckBox::clicked, box, [box] {
            if (box->isTristate() && box->checkState() != Qt::PartiallyChecked)
                box->setTristate(false);
        });
    }
}

void frmSigns::moveToBox(EntryBox* box)
{
    box->setSelection(0, int(box->text().size()));
    box->setFocus();
}

void frmSigns::ClearSku()
{
    txtSku->clear();
    txtDescription->clear();
    txtRetail->clear();
    txtCost->clear();
    txtPromo->clear();
    txtBp1->clear();
    txtBp2->clear();
    txtBp3->clear();
    // The window may not be showing yet (at start-up); the focus then simply
    // does not move.
    txtSku->setFocus();
}

void frmSigns::txtSku_KeyPress()
{
    // A blank SKU is never looked up: the lookup would empty the panel, and
    // the Enter chain's Save Row would then write the empty panel over the
    // row. Enter goes on with the boxes as they are.
    if (MORNLIB::IsBlank(txtSku->text())) {
        statusBar()->showMessage(tr("Type a SKU to look it up"));
        moveToBox(txtPromo);
        return;
    }
    LookupSku();
    moveToBox(txtPromo);
}

void frmSigns::txtBp3_KeyPress()
{
    // Enter alone never takes a sign off the list: a blank SKU saved over a
    // row that has one would leave the row out of the working list and of
    // every export. The panel keeps what it shows and the SKU box gets the
    // cursor back; Save Row itself still saves it.
    const std::optional<qint32> row = NumberText::toWhole32(txtSelRow->text());
    if (MORNLIB::IsBlank(txtSku->text()) && row && *row >= 1 && *row < m_model->Rows()
        && !MORNLIB::IsBlank(m_model->cell(*row, SignListModel::ColSku))) {
        statusBar()->showMessage(tr("Type a SKU to look it up"));
        moveToBox(txtSku);
        return;
    }
    mnuEditSaveRow_Click();
}

void frmSigns::txtSku_KeyUp(int key)
{
    if (key == Qt::Key_Down) {
        if (currentRow() < m_model->Rows() - 1)
            setCurrentRow(currentRow() + 1);
    } else if (key == Qt::Key_Up) {
        if (currentRow() >= 2)
            setCurrentRow(currentRow() - 1);
    } else {
        return;
    }
    LoadSelectedRow();
}

void frmSigns::showItemPicture(const QString& path)
{
    // A path that names no readable picture shows an empty box.
    if (!MORNLIB::FileExists(path) || !Image1->loadPicture(path))
        Image1->clearPicture();
}

void frmSigns::ckbGraphic_Click()
{
    if (ckbGraphic->checkState() == Qt::Unchecked) {
        cmdClearGraphic->hide();
        Image1->hide();
        return;
    }
    cmdClearGraphic->show();
    Image1->show();
    showItemPicture(GraphicFile);
}

void frmSigns::mnuFileGraphic_Click()
{
    CommonDialog& dialog = CommonDialog1();
    // The dialog is shared with other commands; start from this row's
    // picture, or from nothing.
    dialog.setFileName(MORNLIB::IsBlank(GraphicFile) ? QString() : GraphicFile);
    dialog.setDialogTitle(QStringLiteral("Select Graphic for Item"));
    dialog.setFlags(CommonDialog::FlagShareAware | CommonDialog::FlagFileMustExist);
    dialog.setFilter(PictureFilter);
    dialog.setFilterIndex(2);
    dialog.setCancelError(true);
    if (!dialog.ShowOpen())
        return;
    // A pipe or a device is never opened (it could block the window); the
    // row keeps its picture.
    const QString notRegular = SafeFile::notRegularReason(dialog.fileName());
    if (!notRegular.isEmpty()) {
        m_dialogs.message(SafeFile::PictureFileRefused.arg(dialog.fileName(), notRegular),
            DialogService::Buttons::Ok, DialogService::Icon::Exclamation, QStringLiteral("Alert:"));
        return;
    }
    GraphicFile = dialog.fileName();
    // A file that is not a picture keeps the new path but leaves the
    // picture as it was.
    Image1->loadPicture(GraphicFile);
}
