// Reaching the window by keyboard and by assistive technology: Find and Find
// Next over the list, F6 between the entry panel and the grid, and the
// accessible names of the panel's controls.
#include "ui/frmSigns.h"

#include "document/SignListModel.h"
#include "ui/DialogService.h"
#include "ui/EntryBox.h"
#include "ui/ImageBox.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>

void frmSigns::buildFindCommands(QMenu* edit)
{
    // After undo and redo, so every entry above keeps its place.
    QAction* separator = edit->addSeparator();
    separator->setObjectName(QStringLiteral("mnuEditSep2"));
    mnuEditFind = edit->addAction(QStringLiteral("Find"));
    mnuEditFind->setObjectName(QStringLiteral("mnuEditFind"));
    mnuEditFind->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    mnuEditFindNext = edit->addAction(QStringLiteral("Find Next"));
    mnuEditFindNext->setObjectName(QStringLiteral("mnuEditFindNext"));
    mnuEditFindNext->setShortcut(QKeySequence(Qt::Key_F3));
    mnuEditLookupAll = edit->addAction(QStringLiteral("Look Up All Rows"));
    mnuEditLookupAll->setObjectName(QStringLiteral("mnuEditLookupAll"));
    connect(mnuEditLookupAll, &QAction::triggered, this, &frmSigns::mnuEditLookupAll_Click);
    mnuEditCheckPrices = edit->addAction(QStringLiteral("Check Prices"));
    mnuEditCheckPrices->setObjectName(QStringLiteral("mnuEditCheckPrices"));
    connect(mnuEditCheckPrices, &QAction::triggered, this, &frmSigns::mnuEditCheckPrices_Click);
    connect(mnuEditFind, &QAction::triggered, this, &frmSigns::mnuEditFind_Click);
    connect(mnuEditFindNext, &QAction::triggered, this, &frmSigns::mnuEditFindNext_Click);

    // F6 is not a menu command: a window-wide key, as desktop programs have it.
    auto* switchPane = new QAction(this);
    switchPane->setObjectName(QStringLiteral("actSwitchPane"));
    switchPane->setShortcut(QKeySequence(Qt::Key_F6));
    switchPane->setShortcutContext(Qt::WindowShortcut);
    addAction(switchPane);
    connect(switchPane, &QAction::triggered, this, &frmSigns::switchPane);
}

void frmSigns::mnuEditFind_Click()
{
    const QString text
        = m_dialogs.inputBox(QStringLiteral("Find the row whose SKU or description contains:"),
            QStringLiteral("Find"), m_findText, this);
    if (text.isEmpty())
        return;
    m_findText = text;
    findNextRow();
}

void frmSigns::mnuEditFindNext_Click()
{
    if (m_findText.isEmpty())
        mnuEditFind_Click();
    else
        findNextRow();
}

int frmSigns::findRowAfter(int row, const QString& text) const
{
    // From the row after the given one to the end, then from the top round
    // to the row itself, so that the only match is found again.
    const int signs = m_model->Rows() - 1;
    for (int step = 1; step <= signs; ++step) {
        const int r = (row - 1 + step) % signs + 1;
        const SignRow& sign = m_model->signRow(r);
        if (sign.column(SignListModel::ColSku).contains(text, Qt::CaseInsensitive)
            || sign.column(SignListModel::ColDescription).contains(text, Qt::CaseInsensitive))
            return r;
    }
    return 0;
}

void frmSigns::findNextRow()
{
    const int found = findRowAfter(currentRow(), m_findText);
    if (found == 0) {
        statusBar()->showMessage(
            QStringLiteral("\"%1\" was not found in the list.").arg(m_findText));
        return;
    }
    statusBar()->clearMessage();
    // As picking the row in the grid: it becomes current and fills the panel.
    setCurrentRow(found);
    gridRowChosen();
}

void frmSigns::switchPane()
{
    QWidget* focus = focusWidget();
    if (focus == msfGrid || (focus && msfGrid->isAncestorOf(focus))) {
        // Back to where the user left the panel, or to the SKU box.
        QWidget* back = m_panelFocus && m_panelFocus->isEnabled() && m_panelFocus->isVisible()
            ? m_panelFocus.data()
            : txtSku;
        back->setFocus(Qt::ShortcutFocusReason);
        return;
    }
    m_panelFocus = focus;
    msfGrid->setFocus(Qt::ShortcutFocusReason);
    const QModelIndex current = msfGrid->currentIndex();
    if (current.isValid())
        msfGrid->scrollTo(current);
}

void frmSigns::setAccessibleNames()
{
    // Each control is named by the caption beside it (without its colon);
    // the title and retail boxes share theirs with the check box before them.
    const std::pair<QWidget*, const char*> names[] = {
        { txtSelRow, "Row" },
        { txtSku, "Sku" },
        { txtPromo, "Promo Price" },
        { txtRetail, "Reg Retail" },
        { txtCost, "Cost" },
        { txtDescription, "Description" },
        { txtBp1, "Bullet line 1" },
        { txtBp2, "Bullet line 2" },
        { txtBp3, "Bullet line 3" },
        { txtTitle, "Title" },
        { ckbTitle, "Title" },
        { ckbRetail, "Reg Retail" },
        { ckbBorder, "Border" },
        { ckbLogo, "Logo" },
        { ckbGraphic, "Item Graphic" },
        { chkBarcode, "Barcode" },
        { Image1, "Item picture" },
        { cmdClearGraphic, "Clear item picture" },
        { msfGrid, "Signs" },
    };
    for (const auto& [widget, name] : names)
        widget->setAccessibleName(QString::fromUtf8(name));
}
