#pragma once

#include "base/SettingsKeys.h"
#include "itemdata/qorDatFile.h"

#include <QString>
#include <QtGlobal>

class AppSettings;
class CommonDialog;
class DialogService;
class qorDct;

// Lets the user choose a dictionary file (remembered in the settings under
// key) and loads it; asks again after a failed load
// until the user cancels. True when a dictionary was loaded.
bool rsetup(qorDct& dictionary, bool AskFirst, CommonDialog& dlgCommon, DialogService& dialogs,
    const AppSettings& settings, SettingsKeys::Setting key, const QString& Typ, qint16 lev);

// The data-file reader's notifier that shows its messages in a message box
// (title "Fopen:", exclamation icon, OK).
qorDatFile::Notifier DataFileDialogNotifier(DialogService& dialogs);
