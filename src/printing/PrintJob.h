#pragma once

#include "printing/PrintRange.h"
#include "printing/SignLayout.h"

#include <QString>
#include <QtGlobal>

#include <memory>
#include <vector>

class AppSettings;
class DialogService;
class RunTimeError;
class SignCanvas;
class SignListModel;

// What the print job needs from the main window: the format and style
// choices, the print options for each sign, the printer and preview
// surfaces, the window state around the preview, progress, and printer
// setup. The main window implements it over its widgets; tests implement it
// with recording canvases.
class PrintWindow
{
public:
    virtual ~PrintWindow() = default;

    // Index of the checked format entry (0 4-Up, 1 2-Up, 2 1-Up).
    virtual int checkedFormat() const = 0;
    // True when the "Bullet" option is selected, false for "Desc".
    virtual bool bulletStyle() const = 0;
    virtual SignOptions signOptions() const = 0;

    // A surface on the program's printer for one run; nothing is sent to
    // the printer until something is drawn.
    virtual std::unique_ptr<SignCanvas> openPrinterCanvas() = 0;

    // Preview: the window state, to be restored afterwards; maximising the
    // window; a cleared surface the size of the window's client area shown
    // in the preview box; showing what was drawn on it; hiding the box.
    virtual int windowState() const = 0;
    virtual void setWindowState(int state) = 0;
    virtual void maximize() = 0;
    virtual std::unique_ptr<SignCanvas> openPreviewCanvas() = 0;
    virtual void showPreview(const SignCanvas& canvas) = 0;
    virtual void hidePreview() = 0;
    // The preview shows this page and is about to ask for the next; a
    // window that names the page or places the question overrides it.
    virtual void previewPageShown(qint32 page, qint32 pages)
    {
        Q_UNUSED(page);
        Q_UNUSED(pages);
    }

    // "Printing sign n of N": shown while the job runs, cleared at its end.
    virtual void showProgress(bool printing, qint32 sign, qint32 signs) = 0;
    virtual void endProgress() = 0;

    // The printer setup command.
    virtual void doPrinterSetup() = 0;
};

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
    // Grid rows of the signs that had a line cut or left off.
    std::vector<int> rowsCut;
    // The printer's name or the PDF file ("" for the preview).
    QString destination;
};

// The status-bar line for a finished run, e.g. "30 signs printed on 8 pages
// to Office; 2 shrunk to fit, 1 cut (row 7)".
QString PrintResultMessage(const PrintResult& result);

// The message texts of the preview pager and the run-time error report.
inline const QString PreviewPageTitle = QStringLiteral("Print Preview");
QString PreviewPageMessage(qint32 page, qint32 pages);
QString RunTimeErrorMessage(const RunTimeError& error);

// Shows the run-time error report: for a printer failure (482) it asks
// whether to check the printer and returns true on Yes; any other error is
// shown with its description (returns false).
bool ReportRunTimeError(DialogService& dialogs, const RunTimeError& error);

// Pages the sign list into cells and draws each sign, on the printer or in
// the preview.
class PrintJob
{
public:
    PrintJob(const SignListModel& model, const AppSettings& settings, DialogService& dialogs,
        PrintWindow& window);

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
    const SignListModel& m_model;
    const AppSettings& m_settings;
    DialogService& m_dialogs;
    PrintWindow& m_window;
    bool m_printAborted = false;
};
