#pragma once

#include <QAccessibleWidget>
#include <QHash>
#include <QObject>

#include <memory>

class QTableView;

// What the sign grid tells assistive technology: a table of the columns the
// grid shows (hidden columns such as cost and bullets stay out), a header
// row, then one row of cells per sign. Cell interfaces are made on demand
// and kept until the list changes.
class SignGridAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit SignGridAccessible(QTableView* view);
    ~SignGridAccessible() override;

    // Makes every grid of this kind answer with this interface.
    static void install();
    // The child number of the model cell, -1 for a hidden column.
    static int childIndex(const QTableView* view, const QModelIndex& index);

    QTableView* view() const;
    // The logical column of a shown column's place, in the order shown.
    QList<int> shownColumns() const;

    // --- QAccessibleInterface ---
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // --- QAccessibleTableInterface (rows and columns as shown) ---
    QAccessibleInterface* caption() const override;
    QAccessibleInterface* summary() const override;
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override;
    int selectedRowCount() const override;
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int column) const override;
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int column) override;
    bool unselectRow(int row) override;
    bool unselectColumn(int column) override;
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

    // Forgets every cell interface made so far.
    void forgetCells();

private:
    // A cell (row >= 0) or column header (row -1) of a logical column.
    QAccessibleInterface* cell(int row, int logicalColumn) const;

    mutable QHash<qint64, QAccessible::Id> m_cells;
    std::unique_ptr<QObject> m_watch;
};
