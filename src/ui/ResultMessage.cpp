#include "ui/ResultMessage.h"

#include "ui/DialogService.h"

void ShowResult(DialogService& dialogs, const CommandResult& result, QWidget* parent)
{
    if (result.done())
        return;
    dialogs.message(result.message, DialogService::Buttons::Ok,
        result.status == CommandResult::Status::Failure ? DialogService::Icon::Exclamation
                                                        : DialogService::Icon::Information,
        result.title, parent);
}
