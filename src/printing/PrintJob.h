#pragma once

#include "document/PrintOptions.h"
#include "printing/PrintHost.h"
#include "printing/SignLayout.h"

#include <QString>
#include <QtGlobal>

#include <memory>

class AppSettings;
class RunTimeError;
class SignListModel;

// The message texts of the preview pager and the run-time error report.
QString PreviewPageMessage(qint32 page, qint32 pages);
QString RunTimeErrorMessage(const RunTimeError& error);

// Pages the sign list into cells and draws each sign, on the printer or in
// the preview, with the options it is given; its host shows the progress
// and the outcome.
class PrintJob
{
public:
    PrintJob(const SignListModel& model, const AppSettings& settings, const PrintOptions& options,
        PrintHost& host);

    // print true: to the printer; false: the on-screen preview.
    void PrintSigns(bool print);

    // The preview's "next page?" box; true when the user cancels.
    bool ShowPreviewPage(qint32 page, qint32 pages);
    // The painters' error handler: stops the run, reports the error and, for
    // a printer failure the user wants to check, opens printer setup.
    void ReportPrintError(const RunTimeError& error);

    bool PrintAborted() const { return m_printAborted; }

private:
    const SignListModel& m_model;
    const AppSettings& m_settings;
    PrintOptions m_options;
    PrintHost& m_window;
    bool m_printAborted = false;
};
