#pragma once

#include "printing/PrintHost.h"

class DialogService;

// Shows the run-time error report: for a printer failure (482) it asks
// whether to check the printer and returns true on Yes; any other error is
// shown with its description (returns false).
bool ReportRunTimeError(DialogService& dialogs, const RunTimeError& error);

// A print host that tells the outcome of a run in message boxes: "No data to
// print.", the preview pager's "next page?" box and the run-time error
// report. The main window's host builds on it.
class DialogPrintHost : public PrintHost
{
public:
    explicit DialogPrintHost(DialogService& dialogs);

    bool previewPage(qint32 page, qint32 pages) override;
    void reportNoData() override;
    void reportNotice(const QString& text) override;
    bool reportError(const RunTimeError& error) override;

protected:
    DialogService& m_dialogs;
};
