#pragma once

#include <QObject>

// While an object of this class lives, the application swallows the user's
// input (keys, mouse buttons, wheel, shortcuts, context menus, touch) and
// refuses to close windows, while every other event (painting, resizing,
// posted work) is still delivered. A long command that lets the event loop
// run between its steps uses it so that the window repaints without the
// user starting a second command in the middle of the first.
class UserInputBlocker : public QObject
{
    Q_OBJECT

public:
    UserInputBlocker();
    ~UserInputBlocker() override;

    // Processes pending events under the block.
    static void processPendingEvents();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
