#include "ui/EntryBox.h"

#include <QKeyEvent>

EntryBox::EntryBox(QWidget* parent)
    : QLineEdit(parent)
{
}

bool EntryBox::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) {
            event->ignore();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void EntryBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit enterPressed();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void EntryBox::keyReleaseEvent(QKeyEvent* event)
{
    QLineEdit::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        emit keyReleased(event->key());
}
