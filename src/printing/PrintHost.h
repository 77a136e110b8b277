#pragma once

#include "document/PrintOptions.h"
#include "printing/SignCanvas.h"

#include <QString>
#include <QtGlobal>

#include <memory>

class RunTimeError;

// Whoever starts a print run: it provides the printer surface, shows the
// progress and the outcome, and (the main window only) the preview around
// the run. The window answers with dialogs; the batch command on standard
// error. A host without a screen keeps the preview defaults: it has no
// preview surface, and the job then draws nothing.
class PrintHost
{
public:
    virtual ~PrintHost() = default;

    // The sign options for the next sign. The run's own by default; the
    // window hands out what its check boxes and title box hold now.
    virtual SignOptions signOptions(const SignOptions& runOptions) const { return runOptions; }

    // A surface on the printer for one run; nothing is sent to the printer
    // until something is drawn.
    virtual std::unique_ptr<SignCanvas> openPrinterCanvas() = 0;

    // Preview: the window state, to be restored afterwards; maximising the
    // window; a cleared surface the size of the window's client area (none
    // when the host cannot preview); showing what was drawn on it; hiding it.
    virtual int windowState() const { return 0; }
    virtual void setWindowState(int) { }
    virtual void maximize() { }
    virtual std::unique_ptr<SignCanvas> openPreviewCanvas() { return nullptr; }
    virtual void showPreview(const SignCanvas&) { }
    virtual void hidePreview() { }
    // The preview shows this page and is about to ask for the next; a
    // window that names the page or places the question overrides it.
    virtual void previewPageShown(qint32, qint32) { }
    // The "next page?" question after each preview page; true to stop.
    virtual bool previewPage(qint32, qint32) { return true; }

    // "Printing sign n of N": shown while the job runs, cleared at its end.
    virtual void showProgress(bool printing, qint32 sign, qint32 signs) = 0;
    virtual void endProgress() = 0;

    // The list holds no sign.
    virtual void reportNoData() = 0;
    // Something the user asked for cannot be done (a page range past the
    // end); nothing was printed.
    virtual void reportNotice(const QString& text) = 0;
    // A run-time error stopped the run; true asks for printer setup.
    virtual bool reportError(const RunTimeError& error) = 0;
    // The printer setup command.
    virtual void doPrinterSetup() { }
};
