#pragma once

#include <QString>

#include <optional>

class QWidget;

// Small helpers shared by every subsystem.
namespace MORNLIB {

// True when the text is empty or holds only spaces.
bool IsBlank(const QString& text);

// False for a blank path; otherwise true when a directory search for the
// path (wildcards * and ? allowed in the file name) finds at least one
// ordinary file. Folders and hidden files (names starting with ".") do not
// count; a search that fails counts as false.
bool FileExists(const QString& path);

// The empty text for a database Null, the value itself otherwise.
QString NullToEmpty(const std::optional<QString>& value);

// Shows the hourglass pointer (once, however often it is asked for), or
// restores the pointer it replaced.
void SetBusyCursor(bool on);

// Keep a window's top, left, height and width in twips under keys formed
// from its objectName, in the given settings application and section.
void SaveWindowPlacement(const QString& application, const QString& section, QWidget* window);
void RestoreWindowPlacement(const QString& application, const QString& section, QWidget* window);

} // namespace MORNLIB
