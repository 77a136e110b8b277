// The setup commands of the main window: the logo and calibration dialogs,
// each shown modally over the window and discarded when closed.
#include "ui/frmSigns.h"

#include "ui/frmCalibrate.h"
#include "ui/frmSignLogo.h"

void frmSigns::mnuFileLogo_Click()
{
    frmSignLogo dialog(settings(), dialogs(), CommonDialog1(), this);
    dialog.exec();
}

void frmSigns::mnuFilePrintTest_Click()
{
    frmCalibrate dialog(
        settings(), dialogs(), printer(), [this] { doPrinterSetup(); }, this);
    dialog.exec();
}
