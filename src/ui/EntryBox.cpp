#include "ui/EntryBox.h"

#include <QKeyEvent>

EntryBox::EntryBox(QWidget* parent)
    : QLineEdit(parent)
{
}

namespace {

// Ctrl+Delete is the window's Delete Row, not the box's delete-word.
bool isDeleteRowKey(const QKeyEvent& key)
{
    return key.key() == Qt::Key_Delete
        && (key.modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
}

} // namespace

bool EntryBox::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)
            || isDeleteRowKey(*key)) {
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
    if (!event->isAutoRepeat())
        m_pressedKey = event->key();
    QLineEdit::keyPressEvent(event);
}

void EntryBox::keyReleaseEvent(QKeyEvent* event)
{
    QLineEdit::keyReleaseEvent(event);
    // One report per press: the auto-repeat presses of a held key arm
    // nothing, so a release the window system took for the end of the press
    // is reported at most once.
    if (!event->isAutoRepeat() && event->key() == m_pressedKey) {
        m_pressedKey = 0;
        emit keyReleased(event->key());
    }
}

void EntryBox::focusOutEvent(QFocusEvent* event)
{
    // A key pressed here and let go elsewhere is not this box's.
    m_pressedKey = 0;
    QLineEdit::focusOutEvent(event);
}
