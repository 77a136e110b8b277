#include "ui/SignGridView.h"

#include "ui/SignGridAccessible.h"

#include <QAccessible>

SignGridView::SignGridView(QWidget* parent)
    : QTableView(parent)
{
    SignGridAccessible::install();
}

void SignGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    // The table view's own notice numbers cells over every column, hidden
    // ones included; this one numbers them as the grid's interface does.
    if (QAccessible::isActive() && hasFocus()) {
        const int child = SignGridAccessible::childIndex(this, current);
        if (child >= 0) {
            QAccessibleEvent event(this, QAccessible::Focus);
            event.setChild(child);
            QAccessible::updateAccessibility(&event);
        }
    }
    QAbstractItemView::currentChanged(current, previous);
}

void SignGridView::selectionChanged(
    const QItemSelection& selected, const QItemSelection& deselected)
{
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::SelectionWithin);
        QAccessible::updateAccessibility(&event);
    }
    QAbstractItemView::selectionChanged(selected, deselected);
}
