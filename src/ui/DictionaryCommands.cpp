// The interactive side of the dictionary and the data-file reader: choosing
// the dictionary file with the common dialog, and the readers' messages in
// message boxes.
#include "ui/DictionaryCommands.h"

#include "base/MORNLIB.h"
#include "base/SettingsStore.h"
#include "itemdata/qorDct.h"
#include "ui/CommonDialog.h"
#include "ui/DialogService.h"

bool rsetup(qorDct& dictionary, bool AskFirst, CommonDialog& dlgCommon, DialogService& dialogs,
    const AppSettings& settings, SettingsKeys::Setting key, const QString& Typ, qint16 lev)
{
    QString name = settings.get(key).text();
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
            settings.save(key, name);
        }
        if (dictionary.setup(name, Typ, lev) == qorDct::StatusOk) {
            if (dictionary.setupms(name, true) != qorDct::StatusOk)
                dialogs.message(qorDct::MasterStoreWarning, DialogService::Buttons::Ok,
                    DialogService::Icon::Information, QStringLiteral("Alert:"));
            return true;
        }
        const DialogService::Answer answer
            = dialogs.message(qorDct::CannotReadMessage, DialogService::Buttons::OkCancel,
                DialogService::Icon::Information, QStringLiteral("Alert:"));
        if (answer != DialogService::Answer::Ok)
            return false;
        ask = true;
    }
}

qorDatFile::Notifier DataFileDialogNotifier(DialogService& dialogs)
{
    return [&dialogs](const QString& text) {
        dialogs.message(text, DialogService::Buttons::Ok, DialogService::Icon::Exclamation,
            QStringLiteral("Fopen:"));
    };
}
