#include "document/SignListModel.h"

#include <algorithm>
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
    if (m_observer) {
        SignRow after = m_rows[size_t(row - 1)];
        after.column(col) = text;
        tell(row, { m_rows[size_t(row - 1)] }, { after });
    }
    target = text;
    const QModelIndex changed = index(row - 1, col);
    emit dataChanged(changed, changed, { Qt::DisplayRole });
}

void SignListModel::setSignRow(int row, const SignRow& sign)
{
    if (!isDataRow(row) || m_rows[size_t(row - 1)] == sign)
        return;
    if (m_observer)
        tell(row, { m_rows[size_t(row - 1)] }, { sign });
    m_rows[size_t(row - 1)] = sign;
    emit dataChanged(index(row - 1, 1), index(row - 1, Cols - 1), { Qt::DisplayRole });
}

void SignListModel::setRows(int rows)
{
    rows = qMax(rows, 2);
    const int dataRows = rows - 1;
    const int current = int(m_rows.size());
    if (dataRows > current) {
        if (m_observer)
            tell(current + 1, {}, std::vector<SignRow>(size_t(dataRows - current)));
        beginInsertRows(QModelIndex(), current, dataRows - 1);
        m_rows.resize(size_t(dataRows));
        endInsertRows();
    } else if (dataRows < current) {
        if (m_observer)
            tell(dataRows + 1, std::vector<SignRow>(m_rows.begin() + dataRows, m_rows.end()), {});
        beginRemoveRows(QModelIndex(), dataRows, current - 1);
        m_rows.resize(size_t(dataRows));
        endRemoveRows();
    }
}

void SignListModel::reset()
{
    const bool wasEmpty = m_rows.size() == 1 && m_rows.front() == SignRow();
    beginResetModel();
    std::vector<SignRow> old;
    old.swap(m_rows);
    m_rows.resize(1);
    endResetModel();
    // Told after the fact: the old rows move to the observer rather than
    // being copied.
    if (m_observer && !wasEmpty)
        tell(1, std::move(old), { SignRow() });
}

void SignListModel::insertEmptyRow(int r)
{
    if (r < 1 || r > Rows())
        return;
    if (m_observer)
        tell(r, {}, { SignRow() });
    beginInsertRows(QModelIndex(), r - 1, r - 1);
    m_rows.insert(m_rows.begin() + (r - 1), SignRow());
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
    if (m_observer)
        tell(r, { m_rows[size_t(r - 1)] }, {});
    beginRemoveRows(QModelIndex(), r - 1, r - 1);
    m_rows.erase(m_rows.begin() + (r - 1));
    endRemoveRows();
}

void SignListModel::appendSigns(std::vector<SignRow>&& signs)
{
    if (signs.empty())
        return;
    const int first = int(m_rows.size());
    if (m_observer)
        tell(first + 1, {}, signs);
    beginInsertRows(QModelIndex(), first, first + int(signs.size()) - 1);
    m_rows.insert(
        m_rows.end(), std::make_move_iterator(signs.begin()), std::make_move_iterator(signs.end()));
    endInsertRows();
}

void SignListModel::replaceRows(int first, int count, std::vector<SignRow> rows)
{
    const int dataRows = int(m_rows.size());
    if (first < 1 || count < 0 || first - 1 + count > dataRows
        || dataRows - count + int(rows.size()) < 1)
        return;
    if (m_observer)
        tell(first,
            std::vector<SignRow>(
                m_rows.begin() + (first - 1), m_rows.begin() + (first - 1 + count)),
            rows);
    // Rows present before and after are overwritten in place; only the
    // difference is inserted or removed, so views keep their position.
    const int overlap = qMin(count, int(rows.size()));
    const auto at = m_rows.begin() + (first - 1);
    std::move(rows.begin(), rows.begin() + overlap, at);
    if (overlap > 0)
        emit dataChanged(
            index(first - 1, 1), index(first - 2 + overlap, Cols - 1), { Qt::DisplayRole });
    const int from = first - 1 + overlap;
    if (int(rows.size()) > overlap) {
        beginInsertRows(QModelIndex(), from, from + int(rows.size()) - overlap - 1);
        m_rows.insert(m_rows.begin() + from, std::make_move_iterator(rows.begin() + overlap),
            std::make_move_iterator(rows.end()));
        endInsertRows();
    } else if (count > overlap) {
        beginRemoveRows(QModelIndex(), from, from + count - overlap - 1);
        m_rows.erase(m_rows.begin() + from, m_rows.begin() + first - 1 + count);
        endRemoveRows();
    }
}

void SignListModel::tell(int first, std::vector<SignRow> removed, std::vector<SignRow> inserted)
{
    if (m_observer)
        m_observer(SignListChange { first, std::move(removed), std::move(inserted) });
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
