#pragma once

#include <QTableView>

// The sign grid's view: a table view that tells assistive technology about
// its current cell and selection in the terms of SignGridAccessible, which
// leaves the hidden columns out.
class SignGridView : public QTableView
{
    Q_OBJECT

public:
    explicit SignGridView(QWidget* parent = nullptr);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(
        const QItemSelection& selected, const QItemSelection& deselected) override;
};
