// The main window's printing commands: Print Signs and Print Preview.

#include "ui/frmSigns.h"

#include "printing/PrintJob.h"
#include "ui/SignWindowPrintHost.h"

#include <QStatusBar>

void frmSigns::PrintSigns(bool print)
{
    SignWindowPrintHost host(*this);
    PrintJob job(*m_model, m_settings, m_dialogs, host);
    const PrintResult result = job.PrintSigns(print);
    if (result.completed)
        statusBar()->showMessage(PrintResultMessage(result));
}

void frmSigns::mnuFilePrintGrid_Click()
{
    PrintSigns(true);
}

void frmSigns::mnuFilePrintPreview_Click()
{
    PrintSigns(false);
}
