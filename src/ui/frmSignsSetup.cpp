// The setup commands of the main window: the logo and calibration dialogs,
// each shown modally over the window and discarded when closed.
#include "ui/frmSigns.h"

#include "base/SettingsStore.h"
#include "ui/DialogService.h"
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

void frmSigns::reportSettingsProblem()
{
    const QString problem = SettingsStore::storeProblem(m_settings.application());
    if (!problem.isEmpty())
        m_dialogs.message(problem, DialogService::Buttons::Ok, DialogService::Icon::Exclamation,
            QStringLiteral("Alert:"));
}
