// The interactive part of the dictionary: choosing the file with the common
// dialog and reporting a failed load. Kept apart from the reader so that the
// reader needs nothing beyond Qt Core.
#include "itemdata/qorDct.h"

#include "base/MORNLIB.h"
#include "base/SettingsStore.h"
#include "ui/CommonDialog.h"
#include "ui/DialogService.h"

bool qorDct::rsetup(bool AskFirst, CommonDialog& dlgCommon, DialogService& dialogs,
    const QString& regApp, const QString& regSec, const QString& regKey, const QString& Typ,
    qint16 lev)
{
    QString name = SettingsStore::GetSetting(regApp, regSec, regKey, QString());
    bool ask = AskFirst || !MORNLIB::FileExists(name);
    for (;;) {
        if (ask) {
            dlgCommon.setFileName(name);
            dlgCommon.setDialogTitle(QStringLiteral("Open the Dictionary File"));
            dlgCommon.setFlags(CommonDialog::FlagFileMustExist | CommonDialog::FlagReadOnlyHidden);
            dlgCommon.setFilter(
                QStringLiteral("All Files (*.*)|*.*|Dictionary Files (*.dct)|*.dct"));
            dlgCommon.setFilterIndex(2);
            if (!dlgCommon.ShowOpen())
                return false;
            name = dlgCommon.fileName();
            SettingsStore::SaveSetting(regApp, regSec, regKey, name);
        }
        if (setup(name, Typ, lev) == StatusOk) {
            if (setupms(name, true) != StatusOk)
                dialogs.message(MasterStoreWarning, DialogService::Buttons::Ok,
                    DialogService::Icon::Information, QStringLiteral("Alert:"));
            return true;
        }
        const DialogService::Answer answer
            = dialogs.message(CannotReadMessage, DialogService::Buttons::OkCancel,
                DialogService::Icon::Information, QStringLiteral("Alert:"));
        if (answer != DialogService::Answer::Ok)
            return false;
        ask = true;
    }
}
