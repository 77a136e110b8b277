// The main window's printing commands: Print Signs and Print Preview.

#include "ui/frmSigns.h"

#include "printing/PrintJob.h"
#include "ui/SignWindowPrintHost.h"

void frmSigns::PrintSigns(bool print)
{
    SignWindowPrintHost host(*this);
    PrintJob job(*m_model, m_settings, host.printOptions(m_settings), host);
    job.PrintSigns(print);
}

void frmSigns::mnuFilePrintGrid_Click()
{
    PrintSigns(true);
}

void frmSigns::mnuFilePrintPreview_Click()
{
    PrintSigns(false);
}
