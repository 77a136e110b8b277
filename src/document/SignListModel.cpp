#include "document/SignListModel.h"

#include <iterator>

SignListModel::SignListModel(QObject* parent)
    : QAbstractTableModel(parent)
{
    m_rows.resize(1);
}

QString SignListModel::headerText(int col)
{
    switch (col) {
    case ColSku:
        return QStringLiteral("sku");
    case ColPromo:
        return QStringLiteral("promo");
    case ColRetail:
        return QStringLiteral("retail");
    case ColDescription:
        return QStringLiteral("description");
    default:
        return QString();
    }
}

QString SignListModel::cell(int row, int col) const
{
    if (col < 0 || col >= Cols)
        return QString();
    if (row == 0)
        return headerText(col);
    if (!isDataRow(row))
        return QString();
    if (col == ColNumber)
        return QString::number(row);
    return m_rows[size_t(row - 1)].column(col);
}

void SignListModel::setCell(int row, int col, const QString& text)
{
    if (!isDataRow(row) || col < 1 || col >= Cols)
        return;
    QString& target = m_rows[size_t(row - 1)].column(col);
    if (target == text)
        return;
    target = text;
    const QModelIndex changed = index(row - 1, col);
    emit dataChanged(changed, changed, { Qt::DisplayRole });
}

void SignListModel::setSignRow(int row, const SignRow& sign)
{
    if (!isDataRow(row))
        return;
    m_rows[size_t(row - 1)] = sign;
    emit dataChanged(index(row - 1, 1), index(row - 1, Cols - 1), { Qt::DisplayRole });
}

void SignListModel::setRows(int rows)
{
    rows = qMax(rows, 2);
    const int dataRows = rows - 1;
    const int current = int(m_rows.size());
    if (dataRows > current) {
        beginInsertRows(QModelIndex(), current, dataRows - 1);
        m_rows.resize(size_t(dataRows));
        endInsertRows();
    } else if (dataRows < current) {
        beginRemoveRows(QModelIndex(), dataRows, current - 1);
        m_rows.resize(size_t(dataRows));
        endRemoveRows();
    }
}

void SignListModel::reset()
{
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_rows.resize(1);
    endResetModel();
}

void SignListModel::insertEmptyRow(int r)
{
    if (r < 1 || r > Rows())
        return;
    beginInsertRows(QModelIndex(), r - 1, r - 1);
    m_rows.insert(m_rows.begin() + (r - 1), SignRow());
    endInsertRows();
}

void SignListModel::duplicateRow(int r)
{
    if (!isDataRow(r))
        return;
    const SignRow copy = m_rows[size_t(r - 1)];
    beginInsertRows(QModelIndex(), r, r);
    m_rows.insert(m_rows.begin() + r, copy);
    endInsertRows();
}

void SignListModel::deleteRow(int r)
{
    if (!isDataRow(r))
        return;
    if (m_rows.size() == 1) {
        setSignRow(1, SignRow());
        return;
    }
    beginRemoveRows(QModelIndex(), r - 1, r - 1);
    m_rows.erase(m_rows.begin() + (r - 1));
    endRemoveRows();
}

void SignListModel::appendSigns(std::vector<SignRow>&& signs)
{
    if (signs.empty())
        return;
    const int first = int(m_rows.size());
    beginInsertRows(QModelIndex(), first, first + int(signs.size()) - 1);
    m_rows.insert(
        m_rows.end(), std::make_move_iterator(signs.begin()), std::make_move_iterator(signs.end()));
    endInsertRows();
}

int SignListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int SignListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Cols;
}

QVariant SignListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= Cols)
        return QVariant();
    if (role == Qt::DisplayRole) {
        // Row numbers depend on the position alone; views show them as the
        // vertical header, so that a row's data stays the row's own.
        if (index.column() == ColNumber)
            return QVariant();
        return cell(index.row() + 1, index.column());
    }
    if (role == Qt::TextAlignmentRole) {
        const int col = index.column();
        if (col >= ColSku && col <= ColDescription)
            return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    }
    return QVariant();
}

QVariant SignListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole)
            return QString::number(section + 1);
        if (role == Qt::TextAlignmentRole)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant();
    }
    if (role == Qt::DisplayRole)
        return headerText(section);
    if (role == Qt::TextAlignmentRole)
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    return QVariant();
}
