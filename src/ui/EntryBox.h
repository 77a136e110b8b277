#pragma once

#include <QLineEdit>

// A single-line box of the entry panel. Enter is swallowed (no character,
// no beep) and reported as enterPressed(); key releases are reported so the
// arrow keys can act when the key comes up, once per press however long the
// key is held. The undo and redo keys and Ctrl+Delete are left to the
// window, whose undo and Delete Row act on the sign list.
class EntryBox : public QLineEdit
{
    Q_OBJECT

public:
    explicit EntryBox(QWidget* parent = nullptr);

signals:
    void enterPressed();
    void keyReleased(int key);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // The key of the last press that was not the key's auto-repeat; its
    // release is reported once. Whether a release belongs to auto-repeat is
    // guessed by the window system from the events that follow it, and that
    // guess fails now and then; the press says it reliably.
    int m_pressedKey = 0;
};
