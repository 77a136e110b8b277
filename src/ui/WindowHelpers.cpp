// The busy pointer and child placement in twips; window placement is in
// WindowPlacement.cpp.
#include "ui/WindowHelpers.h"

#include "base/Twips.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QWidget>

namespace MORNLIB {

void SetBusyCursor(bool on)
{
    // The override-cursor stack of Qt remembers the pointer it replaces; we
    // keep at most one hourglass on it so that one "off" always restores.
    static bool busy = false;
    if (on && !busy) {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        busy = true;
    } else if (!on && busy) {
        QApplication::restoreOverrideCursor();
        busy = false;
    }
}

} // namespace MORNLIB

namespace Twips {

void place(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(toPixelsX(left), toPixelsY(top), toPixelsX(width), toPixelsY(height));
}

} // namespace Twips

namespace Menus {

QAction* addAction(QMenu* menu, const char* name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

void addSeparator(QMenu* menu, const char* name)
{
    QAction* separator = menu->addSeparator();
    separator->setObjectName(QLatin1String(name));
}

} // namespace Menus
