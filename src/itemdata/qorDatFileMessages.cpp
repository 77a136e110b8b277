// The message-box side of the data-file reader, kept apart so that the
// reader itself needs nothing beyond Qt Core.
#include "itemdata/qorDatFile.h"

#include "ui/DialogService.h"

qorDatFile::Notifier qorDatFile::dialogNotifier(DialogService& dialogs)
{
    return [&dialogs](const QString& text) {
        dialogs.message(text, DialogService::Buttons::Ok, DialogService::Icon::Exclamation,
            QStringLiteral("Fopen:"));
    };
}
