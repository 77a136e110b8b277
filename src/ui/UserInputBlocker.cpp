#include "ui/UserInputBlocker.h"

#include <QCoreApplication>
#include <QEvent>

UserInputBlocker::UserInputBlocker()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

UserInputBlocker::~UserInputBlocker()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

void UserInputBlocker::processPendingEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool UserInputBlocker::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::Drop:
        return true;
    case QEvent::Close:
        // Closing the window would take the list from under the command.
        event->ignore();
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}
