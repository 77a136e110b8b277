#pragma once

#include "ui/DialogPrintHost.h"

#include <QElapsedTimer>
#include <QRect>
#include <QString>

class AppSettings;
class frmSigns;

// The main window's side of a print run: the format and style choices and
// the print options from its widgets (the sign options read again for every
// sign), messages through the window's dialog service, the program's printer, the preview
// shown in picBox over the whole client area, the window state around the
// preview, and the progress shown in the title bar while signs are drawn.
// The page is drawn left of a strip that holds the paging question, so the
// question never covers a sign.
class SignWindowPrintHost : public DialogPrintHost
{
public:
    explicit SignWindowPrintHost(frmSigns& window);
    ~SignWindowPrintHost() override;

    // The options of a run: format, style and sign options as the window
    // shows them, the calibration from the settings.
    PrintOptions printOptions(const AppSettings& settings) const;
    SignOptions signOptions(const SignOptions& runOptions) const override;
    std::unique_ptr<SignCanvas> openPrinterCanvas() override;
    int windowState() const override;
    void setWindowState(int state) override;
    void maximize() override;
    std::unique_ptr<SignCanvas> openPreviewCanvas() override;
    void showPreview(const SignCanvas& canvas) override;
    void hidePreview() override;
    void previewPageShown(qint32 page, qint32 pages) override;
    void showProgress(bool printing, qint32 sign, qint32 signs) override;
    void endProgress() override;
    void doPrinterSetup() override;

private:
    frmSigns& m_window;
    QString m_title;
    QElapsedTimer m_sinceRepaint;
    bool m_busy = false;
    // The strip at the right of the preview where the paging question
    // stands, clear of the page (pixels, client coordinates).
    QRect m_questionArea;
};
