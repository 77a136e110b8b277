#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <array>
#include <functional>
#include <vector>

// One sign: the text of grid columns 1 to 9 (SKU, promotional price, regular
// retail, description, bullet lines 1 to 3, cost, item graphic file), stored
// exactly as typed, looked up or imported.
struct SignRow
{
    static constexpr int FieldCount = 9;
    std::array<QString, FieldCount> fields;

    // Column c (1..9) of the grid.
    QString& column(int c) { return fields[size_t(c - 1)]; }
    const QString& column(int c) const { return fields[size_t(c - 1)]; }
    bool operator==(const SignRow& other) const { return fields == other.fields; }
};

// One change of the sign list: from data row first on (grid numbering), the
// rows in removed gave way to the rows in inserted. Every edit of the list
// can be told as one or more of these, which is what undo keeps.
struct SignListChange
{
    int first = 1;
    std::vector<SignRow> removed;
    std::vector<SignRow> inserted;
};

// The sign list: the program's one document. The grid operations address
// rows as the grid shows them: row 0 is the header row, rows 1 to Rows() - 1
// the signs; column 0 holds the row number. There is always at least one
// data row. To Qt views the model offers the data rows only (Qt row i is
// grid row i + 1), the header texts as the horizontal header and the row
// numbers as the vertical header.
class SignListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int Cols = 10;
    enum Column {
        ColNumber = 0,
        ColSku = 1,
        ColPromo = 2,
        ColRetail = 3,
        ColDescription = 4,
        ColBullet1 = 5,
        ColBullet2 = 6,
        ColBullet3 = 7,
        ColCost = 8,
        ColGraphic = 9
    };

    explicit SignListModel(QObject* parent = nullptr);

    // --- grid operations ---
    int Rows() const { return int(m_rows.size()) + 1; }
    QString cell(int row, int col) const;
    // Column 0 and row 0 are not writable: numbers and headers are fixed.
    void setCell(int row, int col, const QString& text);
    const SignRow& signRow(int row) const { return m_rows[size_t(row - 1)]; }
    void setSignRow(int row, const SignRow& sign);
    // Grows by appending empty rows or shrinks from the end; never below 2.
    void setRows(int rows);
    // Empties every sign and leaves one empty row.
    void reset();
    // Inserts an empty row at row r; the rows from r down move by one.
    void insertEmptyRow(int r);
    // Removes row r (the rows below move up); with one data row, empties it.
    void deleteRow(int r);
    // Appends signs at the end in one step (used by import).
    void appendSigns(std::vector<SignRow>&& signs);
    // Replaces count rows from row first on by rows; the list must keep at
    // least one data row. Undo and redo put changes back through this.
    void replaceRows(int first, int count, std::vector<SignRow> rows);

    // Every sign, in list order (Qt row i is element i).
    const std::vector<SignRow>& signRows() const { return m_rows; }

    // Told of every change made through the operations above; one observer.
    using ChangeObserver = std::function<void(SignListChange&&)>;
    void setChangeObserver(ChangeObserver observer) { m_observer = std::move(observer); }

    static QString headerText(int col);

    // --- QAbstractTableModel ---
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    bool isDataRow(int row) const { return row >= 1 && row < Rows(); }
    void tell(int first, std::vector<SignRow> removed, std::vector<SignRow> inserted);

    std::vector<SignRow> m_rows;
    ChangeObserver m_observer;
};
