// The Edit menu, in menu order: Save Row, Insert Row, Copy Row, Delete Row,
// Clear Grid, Clear Sku, Clear Item Graphic, Undo and Redo, then Find and
// Find Next (frmSignsFind.cpp); and loading a row of the grid into the entry
// panel and back.
#include "ui/frmSigns.h"

#include "base/MORNLIB.h"
#include "base/NumberText.h"
#include "document/SignListHistory.h"
#include "document/SignListModel.h"
#include "ui/EntryBox.h"
#include "ui/ImageBox.h"
#include "ui/WindowHelpers.h"

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTableView>
#include <QUndoStack>

void frmSigns::buildEditMenu(QMenuBar* bar)
{
    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    mnuEditSaveRow = Menus::addAction(edit, "mnuEditSaveRow", QStringLiteral("Save Row"));
    mnuEditInsertRow = Menus::addAction(edit, "mnuEditInsertRow", QStringLiteral("Insert Row"));
    mnuEditCopyRow = Menus::addAction(edit, "mnuEditCopyRow", QStringLiteral("Copy Row"));
    mnuEditDeleteRow = Menus::addAction(edit, "mnuEditDeleteRow", QStringLiteral("Delete Row"));
    mnuEditClearGrid = Menus::addAction(edit, "mnuEditClearGrid", QStringLiteral("Clear Grid"));
    mnuEditClearSku = Menus::addAction(edit, "mnuEditClearSku", QStringLiteral("Clear Sku"));
    mnuEditClearGraphic
        = Menus::addAction(edit, "mnuEditClearGraphic", QStringLiteral("Clear Item Graphic"));
    // Undo and redo come last, so the entries above keep their places.
    Menus::addSeparator(edit, "mnuEditSep1");
    mnuEditUndo = m_history->stack()->createUndoAction(this, QStringLiteral("Undo"));
    mnuEditUndo->setObjectName(QStringLiteral("mnuEditUndo"));
    mnuEditUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    edit->addAction(mnuEditUndo);
    mnuEditRedo = m_history->stack()->createRedoAction(this, QStringLiteral("Redo"));
    mnuEditRedo->setObjectName(QStringLiteral("mnuEditRedo"));
    mnuEditRedo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    edit->addAction(mnuEditRedo);
    buildFindCommands(edit);
    addListDatabaseCommands(edit);
    connect(m_history, &SignListHistory::rowToShow, this, &frmSigns::showRow);

    connect(mnuEditSaveRow, &QAction::triggered, this, &frmSigns::mnuEditSaveRow_Click);
    connect(mnuEditInsertRow, &QAction::triggered, this, &frmSigns::mnuEditInsertRow_Click);
    connect(mnuEditCopyRow, &QAction::triggered, this, &frmSigns::mnuEditCopyRow_Click);
    connect(mnuEditDeleteRow, &QAction::triggered, this, &frmSigns::mnuEditDeleteRow_Click);
    connect(mnuEditClearGrid, &QAction::triggered, this, &frmSigns::mnuEditClearGrid_Click);
    connect(mnuEditClearSku, &QAction::triggered, this, &frmSigns::mnuEditClearSku_Click);
    connect(mnuEditClearGraphic, &QAction::triggered, this, &frmSigns::mnuEditClearGraphic_Click);
}

void frmSigns::connectGrid()
{
    // Grid notifications: a row the user picks is loaded into the panel.
    connect(msfGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex& current, const QModelIndex&) {
            if (m_programmaticMove == 0 && current.isValid())
                gridRowChosen();
        });
}

int frmSigns::currentRow() const
{
    const QModelIndex current = msfGrid->currentIndex();
    return current.isValid() ? current.row() + 1 : 1;
}

void frmSigns::setCurrentRow(int row)
{
    row = qBound(1, row, m_model->Rows() - 1);
    ++m_programmaticMove;
    msfGrid->selectionModel()->setCurrentIndex(m_model->index(row - 1, SignListModel::ColSku),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    --m_programmaticMove;
}

void frmSigns::ResetGrid()
{
    ++m_programmaticMove;
    m_model->reset();
    --m_programmaticMove;
    txtSelRow->setText(QStringLiteral("1"));
    setCurrentRow(1);
    ClearSku();
}

void frmSigns::LoadSelectedRow()
{
    const int r = currentRow();
    const SignRow& row = m_model->signRow(r);
    txtSelRow->setText(QString::number(r));
    txtSku->setText(row.column(SignListModel::ColSku));
    txtPromo->setText(row.column(SignListModel::ColPromo));
    txtRetail->setText(row.column(SignListModel::ColRetail));
    txtCost->setText(row.column(SignListModel::ColCost));
    txtDescription->setText(row.column(SignListModel::ColDescription));
    txtBp1->setText(row.column(SignListModel::ColBullet1));
    txtBp2->setText(row.column(SignListModel::ColBullet2));
    txtBp3->setText(row.column(SignListModel::ColBullet3));
    GraphicFile = row.column(SignListModel::ColGraphic);

    if (ckbGraphic->checkState() != Qt::Unchecked)
        showItemPicture(GraphicFile);

    if (!isVisible())
        show();
    moveToBox(txtSku);

    // Scroll so that a row out of view shows with two rows above it.
    const QRect rect = msfGrid->visualRect(m_model->index(r - 1, SignListModel::ColSku));
    const bool visible
        = rect.isValid() && rect.top() >= 0 && rect.bottom() < msfGrid->viewport()->height();
    if (!visible)
        msfGrid->verticalScrollBar()->setValue(r > 2 ? r - 3 : 0);
}

void frmSigns::StoreEntryPanel()
{
    // A row number that is not a row of the list is never produced by the
    // commands; should one appear, nothing is written.
    const std::optional<qint32> t = NumberText::toWhole32(txtSelRow->text());
    if (!t || *t < 1 || *t >= m_model->Rows())
        return;
    SignRow row;
    row.column(SignListModel::ColSku) = txtSku->text();
    row.column(SignListModel::ColPromo) = txtPromo->text();
    row.column(SignListModel::ColRetail) = txtRetail->text();
    row.column(SignListModel::ColCost) = txtCost->text();
    row.column(SignListModel::ColDescription) = txtDescription->text();
    row.column(SignListModel::ColBullet1) = txtBp1->text();
    row.column(SignListModel::ColBullet2) = txtBp2->text();
    row.column(SignListModel::ColBullet3) = txtBp3->text();
    row.column(SignListModel::ColGraphic) = GraphicFile;
    m_model->setSignRow(*t, row);
}

void frmSigns::mnuEditSaveRow_Click()
{
    const int r = currentRow();
    m_history->begin(tr("Save Row"), r);
    StoreEntryPanel();
    if (r > m_model->Rows() - 2)
        m_model->setRows(m_model->Rows() + 1);
    m_history->end(r + 1);
    setCurrentRow(r + 1);
    LoadSelectedRow();
}

void frmSigns::mnuEditInsertRow_Click()
{
    const int r = currentRow();
    m_history->begin(tr("Insert Row"), r);
    ++m_programmaticMove;
    m_model->insertEmptyRow(r);
    --m_programmaticMove;
    m_history->end(r);
    setCurrentRow(r);
    // The panel now stands for the new, empty row: what it showed belongs
    // to the row below, and saving it here would make a second copy.
    LoadSelectedRow();
}

namespace {

// Runs of consecutive rows (first, count), from sorted row numbers.
std::vector<std::pair<int, int>> rowRuns(const QVector<int>& rows)
{
    std::vector<std::pair<int, int>> runs;
    for (int row : rows) {
        if (!runs.empty() && runs.back().first + runs.back().second == row)
            ++runs.back().second;
        else
            runs.emplace_back(row, 1);
    }
    return runs;
}

} // namespace

QVector<int> frmSigns::rowsToActOn() const
{
    QVector<int> rows;
    for (int row : selectedRows()) {
        if (row >= 1 && row < m_model->Rows())
            rows.append(row);
    }
    if (rows.isEmpty())
        rows.append(currentRow());
    return rows;
}

void frmSigns::mnuEditCopyRow_Click()
{
    // Every selected row gets its copy; a run of selected rows is copied as
    // a block below itself. The current row becomes the first source row.
    const QVector<int> rows = rowsToActOn();
    const auto runs = rowRuns(rows);
    m_history->begin(tr("Copy Row"), currentRow());
    ++m_programmaticMove;
    for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
        const auto& all = m_model->signRows();
        std::vector<SignRow> copies(
            all.begin() + (run->first - 1), all.begin() + (run->first - 1 + run->second));
        m_model->replaceRows(run->first + run->second, 0, std::move(copies));
    }
    --m_programmaticMove;
    m_history->end(rows.first());
    setCurrentRow(rows.first());
}

void frmSigns::mnuEditDeleteRow_Click()
{
    // Every selected row goes, as one step; the list keeps one row, empty
    // when every row was deleted.
    const QVector<int> rows = rowsToActOn();
    const auto runs = rowRuns(rows);
    m_history->begin(tr("Delete Row"), currentRow());
    ++m_programmaticMove;
    for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
        std::vector<SignRow> left;
        if (run->second == m_model->Rows() - 1)
            left.emplace_back();
        m_model->replaceRows(run->first, run->second, std::move(left));
    }
    --m_programmaticMove;
    const int now = qMin(rows.first(), m_model->Rows() - 1);
    m_history->end(now);
    setCurrentRow(now);
    // The panel still held a deleted sign; a Save Row would have written
    // it over the row that moved up into its place. It shows that row now
    // (empty when the list had only the deleted ones).
    LoadSelectedRow();
}

void frmSigns::mnuEditClearGrid_Click()
{
    m_history->begin(tr("Clear Grid"), currentRow());
    ResetGrid();
    m_history->end(1);
}

void frmSigns::mnuEditClearSku_Click()
{
    ClearSku();
}

void frmSigns::mnuEditClearGraphic_Click()
{
    Image1->clearPicture();
    GraphicFile.clear();
}

void frmSigns::showRow(int row)
{
    setCurrentRow(row);
    LoadSelectedRow();
}

void frmSigns::gridRowChosen()
{
    LoadSelectedRow();
}
