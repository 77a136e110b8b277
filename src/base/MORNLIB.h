#pragma once

#include <QString>

#include <optional>

// Small helpers shared by every subsystem (the widget ones are in
// ui/WindowHelpers.h).
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

} // namespace MORNLIB
