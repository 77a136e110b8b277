#pragma once

#include "document/PrintOptions.h"
#include "printing/PrintHost.h"
#include "printing/PrintRange.h"
#include "printing/SignLayout.h"

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <vector>

class AppSettings;
class RunTimeError;
class SignListModel;

// What a print run did: signs and pages drawn, where to, and how many signs
// were changed to fit their cells.
struct PrintResult
{
    // True when the run ended normally (or the preview was closed early);
    // false after an error or when there was nothing to print.
    bool completed = false;
    bool preview = false;
    qint32 signs = 0;
    qint32 pages = 0;
    // Signs made smaller to fit but with nothing left off.
    qint32 signsShrunk = 0;
    // Grid rows of the signs that had a line cut or left off, each once
    // however many copies it printed.
    std::vector<int> rowsCut;
    // The printer's name or the PDF file ("" for the preview).
    QString destination;
    // Grid rows of the signs printed without the barcode asked for.
    std::vector<int> rowsBarcodeLeftOff;
};

// The status-bar line for a finished run, what needs the user's attention
// first, e.g. "1 cut (row 7); 2 shrunk to fit; barcode left off (rows 3, 9);
// 30 signs printed on 8 pages to Office".
QString PrintResultMessage(const PrintResult& result);

// The message texts of the preview pager and the run-time error report.
inline const QString PreviewPageTitle = QStringLiteral("Print Preview");
QString PreviewPageMessage(qint32 page, qint32 pages);
QString RunTimeErrorMessage(const RunTimeError& error);

// Prints the sign list: plans which sign goes in which cell of which page,
// then has the page painter draw the plan page by page on the printer or in
// the preview; its host shows the progress and the outcome.
class PrintJob
{
public:
    PrintJob(const SignListModel& model, const AppSettings& settings, const PrintOptions& options,
        PrintHost& host);

    // print true: to the printer; false: the on-screen preview. The range
    // says which signs and pages, and the first sheet's first cell.
    PrintResult PrintSigns(bool print, const PrintRange& range = PrintRange());

    // The preview's "next page?" box; true when the user cancels.
    bool ShowPreviewPage(qint32 page, qint32 pages);
    // The painters' error handler: stops the run, reports the error and, for
    // a printer failure the user wants to check, opens printer setup.
    void ReportPrintError(const RunTimeError& error);

    bool PrintAborted() const { return m_printAborted; }

private:
    struct Run;
    bool openRun(Run& run, bool print, PrintResult& result);
    bool roomForSigns(const SheetMetrics& sheet);
    bool nextPage(Run& run, qint32 shown, qint32 pages, PrintResult& result);
    void finishRun(Run& run, PrintResult& result);
    void finishPreview(Run& run);
    void abandon(Run& run);
    bool printerStep(Run& run, const std::function<void()>& step);

    const SignListModel& m_model;
    const AppSettings& m_settings;
    PrintOptions m_options;
    PrintHost& m_window;
    bool m_printAborted = false;
};
