#pragma once

#include "itemdata/qorDatFile.h"

#include <QString>
#include <QtGlobal>

class CommonDialog;
class DialogService;
class qorDct;

// Lets the user choose a dictionary file (remembered in the settings store
// under regApp/regSec/regKey) and loads it; asks again after a failed load
// until the user cancels. True when a dictionary was loaded.
bool rsetup(qorDct& dictionary, bool AskFirst, CommonDialog& dlgCommon, DialogService& dialogs,
    const QString& regApp, const QString& regSec, const QString& regKey, const QString& Typ,
    qint16 lev);

// The data-file reader's notifier that shows its messages in a message box
// (title "Fopen:", exclamation icon, OK).
qorDatFile::Notifier DataFileDialogNotifier(DialogService& dialogs);
