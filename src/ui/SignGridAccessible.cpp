#include "ui/SignGridAccessible.h"

#include "ui/SignGridView.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

namespace {

// One cell of the grid, or a column header (row -1), as assistive
// technology sees it: its text, place and selection.
class GridCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    GridCellAccessible(QTableView* view, int row, int logicalColumn)
        : m_view(view)
        , m_row(row)
        , m_column(logicalColumn)
    {
    }

    bool isValid() const override
    {
        return m_view && m_view->model() && m_row < m_view->model()->rowCount()
            && m_column < m_view->model()->columnCount();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return parent() ? parent()->window() : nullptr; }
    QAccessibleInterface* parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_view);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid() || (t != QAccessible::Name && t != QAccessible::Value))
            return QString();
        if (m_row < 0)
            return m_view->model()->headerData(m_column, Qt::Horizontal).toString();
        return m_view->model()->index(m_row, m_column).data().toString();
    }
    void setText(QAccessible::Text, const QString&) override { }
    QRect rect() const override
    {
        if (!isValid())
            return QRect();
        if (m_row < 0) {
            QHeaderView* header = m_view->horizontalHeader();
            const QRect r(header->sectionViewportPosition(m_column), 0,
                header->sectionSize(m_column), header->height());
            return QRect(header->viewport()->mapToGlobal(r.topLeft()), r.size());
        }
        const QRect r = m_view->visualRect(m_view->model()->index(m_row, m_column));
        return QRect(m_view->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override
    {
        return m_row < 0 ? QAccessible::ColumnHeader : QAccessible::Cell;
    }
    QAccessible::State state() const override
    {
        QAccessible::State st;
        if (!isValid() || m_row < 0)
            return st;
        st.selectable = true;
        st.focusable = true;
        st.selected = isSelected();
        st.focused = m_view->hasFocus() && m_view->currentIndex().row() == m_row
            && m_view->currentIndex().column() == m_column;
        const QRect area = m_view->visualRect(m_view->model()->index(m_row, m_column));
        st.invisible = !area.intersects(m_view->viewport()->rect());
        return st;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        return nullptr;
    }

    bool isSelected() const override
    {
        return m_row >= 0 && m_view->selectionModel()
            && m_view->selectionModel()->isSelected(m_view->model()->index(m_row, m_column));
    }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    int columnIndex() const override
    {
        const auto* grid = dynamic_cast<SignGridAccessible*>(parent());
        return grid ? int(grid->shownColumns().indexOf(m_column)) : -1;
    }
    int rowIndex() const override { return m_row; }
    QList<QAccessibleInterface*> columnHeaderCells() const override
    {
        auto* grid = dynamic_cast<SignGridAccessible*>(parent());
        if (!grid || m_row < 0)
            return {};
        return { grid->child(columnIndex()) };
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QPointer<QTableView> m_view;
    int m_row;
    int m_column;
};

QAccessibleInterface* gridFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("SignGridView"))
        if (auto* view = qobject_cast<SignGridView*>(object))
            return new SignGridAccessible(view);
    return nullptr;
}

} // namespace

SignGridAccessible::SignGridAccessible(QTableView* view)
    : QAccessibleWidget(view, QAccessible::Table)
    , m_watch(std::make_unique<QObject>())
{
    // Cell interfaces name rows and columns by number: a change of the list
    // or of the columns shown makes them stale.
    const auto forget = [this] { forgetCells(); };
    QHeaderView* header = view->horizontalHeader();
    QObject::connect(header, &QHeaderView::sectionCountChanged, m_watch.get(), forget);
    QObject::connect(header, &QHeaderView::sectionMoved, m_watch.get(), forget);
    QObject::connect(
        header, &QHeaderView::sectionResized, m_watch.get(), [this](int, int oldSize, int newSize) {
            if (oldSize == 0 || newSize == 0)
                forgetCells();
        });
}

SignGridAccessible::~SignGridAccessible()
{
    forgetCells();
}

void SignGridAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(gridFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

QTableView* SignGridAccessible::view() const
{
    return static_cast<QTableView*>(widget());
}

QList<int> SignGridAccessible::shownColumns() const
{
    QList<int> columns;
    const QHeaderView* header = view()->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (!header->isSectionHidden(logical))
            columns << logical;
    }
    return columns;
}

int SignGridAccessible::childIndex(const QTableView* view, const QModelIndex& index)
{
    if (!index.isValid() || view->isColumnHidden(index.column()))
        return -1;
    const QHeaderView* header = view->horizontalHeader();
    int place = 0;
    int shown = 0;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (header->isSectionHidden(logical))
            continue;
        if (logical == index.column())
            place = shown;
        ++shown;
    }
    return (index.row() + 1) * shown + place;
}

QAccessibleInterface* SignGridAccessible::cell(int row, int logicalColumn) const
{
    const qint64 key = qint64(row + 1) * (view()->model()->columnCount() + 1) + logicalColumn;
    const auto known = m_cells.constFind(key);
    if (known != m_cells.constEnd()) {
        if (QAccessibleInterface* iface = QAccessible::accessibleInterface(known.value()))
            return iface;
    }
    auto* iface = new GridCellAccessible(view(), row, logicalColumn);
    m_cells.insert(key, QAccessible::registerAccessibleInterface(iface));
    return iface;
}

void SignGridAccessible::forgetCells()
{
    for (QAccessible::Id id : std::as_const(m_cells))
        QAccessible::deleteAccessibleInterface(id);
    m_cells.clear();
}

QAccessibleInterface* SignGridAccessible::child(int index) const
{
    const QList<int> columns = shownColumns();
    if (index < 0 || columns.isEmpty() || index >= childCount())
        return nullptr;
    return cell(index / int(columns.size()) - 1, columns[index % columns.size()]);
}

int SignGridAccessible::childCount() const
{
    if (!view()->model())
        return 0;
    return (view()->model()->rowCount() + 1) * int(shownColumns().size());
}

int SignGridAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    if (!child || child->parent() != this)
        return -1;
    QAccessibleInterface* mutableChild = const_cast<QAccessibleInterface*>(child);
    auto* cellFace = mutableChild->tableCellInterface();
    if (!cellFace)
        return -1;
    const int shown = int(shownColumns().size());
    return (cellFace->rowIndex() + 1) * shown + cellFace->columnIndex();
}

QAccessibleInterface* SignGridAccessible::childAt(int x, int y) const
{
    const QPoint local = view()->viewport()->mapFromGlobal(QPoint(x, y));
    const QModelIndex index = view()->indexAt(local);
    if (!index.isValid() || view()->isColumnHidden(index.column()))
        return nullptr;
    return cell(index.row(), index.column());
}

QAccessibleInterface* SignGridAccessible::focusChild() const
{
    const QModelIndex current = view()->currentIndex();
    if (!current.isValid() || view()->isColumnHidden(current.column()))
        return nullptr;
    return cell(current.row(), current.column());
}

void* SignGridAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessibleInterface* SignGridAccessible::caption() const
{
    return nullptr;
}

QAccessibleInterface* SignGridAccessible::summary() const
{
    return nullptr;
}

QAccessibleInterface* SignGridAccessible::cellAt(int row, int column) const
{
    const QList<int> columns = shownColumns();
    if (row < 0 || row >= rowCount() || column < 0 || column >= columns.size())
        return nullptr;
    return cell(row, columns[column]);
}

int SignGridAccessible::selectedCellCount() const
{
    return selectedRowCount() * columnCount();
}

QList<QAccessibleInterface*> SignGridAccessible::selectedCells() const
{
    QList<QAccessibleInterface*> cells;
    for (int row : selectedRows()) {
        for (int column : shownColumns())
            cells << cell(row, column);
    }
    return cells;
}

QString SignGridAccessible::columnDescription(int column) const
{
    const QList<int> columns = shownColumns();
    if (column < 0 || column >= columns.size())
        return QString();
    return view()->model()->headerData(columns[column], Qt::Horizontal).toString();
}

QString SignGridAccessible::rowDescription(int row) const
{
    return view()->model()->headerData(row, Qt::Vertical).toString();
}

int SignGridAccessible::selectedColumnCount() const
{
    return 0;
}

int SignGridAccessible::selectedRowCount() const
{
    return int(selectedRows().size());
}

int SignGridAccessible::columnCount() const
{
    return int(shownColumns().size());
}

int SignGridAccessible::rowCount() const
{
    return view()->model() ? view()->model()->rowCount() : 0;
}

QList<int> SignGridAccessible::selectedColumns() const
{
    return {};
}

QList<int> SignGridAccessible::selectedRows() const
{
    QList<int> rows;
    if (!view()->selectionModel())
        return rows;
    for (const QModelIndex& index : view()->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool SignGridAccessible::isColumnSelected(int) const
{
    return false;
}

bool SignGridAccessible::isRowSelected(int row) const
{
    return view()->selectionModel() && view()->selectionModel()->isRowSelected(row, QModelIndex());
}

bool SignGridAccessible::selectRow(int row)
{
    if (row < 0 || row >= rowCount())
        return false;
    view()->selectRow(row);
    return true;
}

bool SignGridAccessible::selectColumn(int)
{
    // The grid selects whole rows only.
    return false;
}

bool SignGridAccessible::unselectRow(int row)
{
    if (row < 0 || row >= rowCount() || !view()->selectionModel())
        return false;
    view()->selectionModel()->select(
        view()->model()->index(row, 0), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    return true;
}

bool SignGridAccessible::unselectColumn(int)
{
    return false;
}

void SignGridAccessible::modelChange(QAccessibleTableModelChangeEvent*)
{
    forgetCells();
}
