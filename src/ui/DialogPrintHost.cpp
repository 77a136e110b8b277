#include "ui/DialogPrintHost.h"

#include "printing/PrintJob.h"
#include "printing/RunTimeError.h"
#include "ui/DialogService.h"

namespace {
const QString AlertTitle = QStringLiteral("Alert:");
} // namespace

bool ReportRunTimeError(DialogService& dialogs, const RunTimeError& error)
{
    if (error.number() == RunTimeError::PrinterError) {
        return dialogs.message(RunTimeErrorMessage(error), DialogService::Buttons::YesNo,
                   DialogService::Icon::Information, AlertTitle)
            == DialogService::Answer::Yes;
    }
    dialogs.message(RunTimeErrorMessage(error), DialogService::Buttons::Ok,
        DialogService::Icon::Information, AlertTitle);
    return false;
}

DialogPrintHost::DialogPrintHost(DialogService& dialogs)
    : m_dialogs(dialogs)
{
}

bool DialogPrintHost::previewPage(qint32 page, qint32 pages)
{
    return m_dialogs.message(PreviewPageMessage(page, pages), DialogService::Buttons::OkCancel,
               DialogService::Icon::None, QStringLiteral("Print Preview"))
        == DialogService::Answer::Cancel;
}

void DialogPrintHost::reportNoData()
{
    m_dialogs.message(QStringLiteral("No data to print."), DialogService::Buttons::Ok,
        DialogService::Icon::Information, AlertTitle);
}

void DialogPrintHost::reportNotice(const QString& text)
{
    m_dialogs.message(
        text, DialogService::Buttons::Ok, DialogService::Icon::Information, AlertTitle);
}

bool DialogPrintHost::reportError(const RunTimeError& error)
{
    return ReportRunTimeError(m_dialogs, error);
}
