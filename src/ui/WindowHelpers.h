#pragma once

#include <QString>

class QAction;
class QMenu;
class QWidget;

// The shared helpers that need the widget toolkit.
namespace MORNLIB {

// Shows the hourglass pointer (once, however often it is asked for), or
// restores the pointer it replaced.
void SetBusyCursor(bool on);

// Keep a window's top, left, height and width in twips under keys formed
// from its objectName, in the given settings application and section.
void SaveWindowPlacement(const QString& application, const QString& section, QWidget* window);
void RestoreWindowPlacement(const QString& application, const QString& section, QWidget* window);

} // namespace MORNLIB

namespace Twips {

// Places a child widget at a rectangle given in twips.
void place(QWidget* widget, int left, int top, int width, int height);

} // namespace Twips

namespace Menus {

// Adds a menu entry with its objectName, which outside scripts and the
// tests find it by.
QAction* addAction(QMenu* menu, const char* name, const QString& caption);
void addSeparator(QMenu* menu, const char* name);

} // namespace Menus
