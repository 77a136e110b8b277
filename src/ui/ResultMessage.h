#pragma once

#include "base/CommandResult.h"

class DialogService;
class QWidget;

// Shows a command's notice (information icon) or failure (exclamation icon)
// in a message box with OK; a command that is done shows nothing.
void ShowResult(DialogService& dialogs, const CommandResult& result, QWidget* parent = nullptr);
