// The logo and calibration dialogs as the user reaches them: from the main
// window's File menu, modal over the window, and what they store taking
// effect at the next print.
#include "PrintTestSupport.h"
#include "base/SettingsKeys.h"
#include "printing/PrintJob.h"
#include "support/TestSupport.h"
#include "ui/DialogService.h"
#include "ui/frmCalibrate.h"
#include "ui/frmSignLogo.h"
#include "ui/frmSigns.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

// Triggers the menu entry and, once its modal dialog of class D runs over
// the window, hands it to drive(). A dialog left open is closed so the test
// never hangs. Returns whether such a dialog ran.
template <class D>
bool runFromMenu(frmSigns& window, const char* entry, std::function<void(D*)> drive)
{
    bool ran = false;
    QTimer::singleShot(0, &window, [&] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!dialog || dialog->parentWidget() != &window || !dialog->isModal())
            return;
        ran = true;
        drive(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    trigger(window, entry);
    return ran;
}

} // namespace

class TestSetupMenu : public QObject
{
    Q_OBJECT

private slots:
    void logoFromMenu()
    {
        TestSettingsScope scope;
        const QString picture = PrintTest::writePicture(scope.path(), "logo.png", 60, 20);
        frmSigns window(dialogs());
        window.show();
        dialogs().queueFile(picture);
        QVERIFY(runFromMenu<frmSignLogo>(window, "mnuFileLogo", [](frmSignLogo* logo) {
            QTest::mouseClick(logo->imgLogo, Qt::LeftButton);
            logo->txtLogoHeight->setText("0.75");
            logo->optLeft->click();
            logo->cmdSave->click();
        }));
        // The file was chosen through the window's common dialog.
        QCOMPARE(dialogs().fileRequests().constLast().title, QString("Open Logo File"));
        QCOMPARE(stored(SettingsKeys::FILELOGO), picture);
        QCOMPARE(stored(SettingsKeys::LOGOHEIGHT), QString("0.75"));
        QCOMPARE(stored(SettingsKeys::LOGOWIDTH), QString("1.5"));
        QCOMPARE(stored(SettingsKeys::LOGOLCR), QString("LEFT"));
    }

    void calibrationFromMenu()
    {
        TestSettingsScope scope;
        frmSigns window(dialogs());
        window.show();
        const AppSettings& settings = window.settings();
        // Margins as the dialog will store them again, so that only the shifts
        // change between the two prints.
        settings.save(SettingsKeys::MARGINTOP, "180");
        settings.save(SettingsKeys::MARGINLEFT, "270");
        PrintTest::fill(*window.model(), { PrintTest::typicalSign(1) });
        PrintTest::FakePrintWindow printWindow; // 4-Up
        PrintTest::jobFor(*window.model(), settings, printWindow).PrintSigns(true);
        const std::vector<CanvasOp> before = PrintTest::textOps(printWindow.printer.ops);
        QVERIFY(!before.empty());

        QVERIFY(runFromMenu<frmCalibrate>(window, "mnuFilePrintTest", [](frmCalibrate* dlg) {
            dlg->txtAdj4UD->setText("360");
            dlg->txtAdj4LR->setText("-180.5");
            dlg->ckbPrintSku->setChecked(false);
            dlg->cmdOk->click();
        }));
        QCOMPARE(stored(SettingsKeys::ADJ4UD), QString("360"));
        QCOMPARE(stored(SettingsKeys::ADJ4LR), QString("-180.5"));
        QCOMPARE(stored(SettingsKeys::MARGINTOP), QString("180"));
        QCOMPARE(stored(SettingsKeys::PRINTSKU), QString("0"));

        // The next print moves every text of the sign by exactly the shifts
        // (-180.5 rounds to -180, halves to even); the SKU, which keeps to the
        // cell's corner, is no longer printed.
        PrintTest::jobFor(*window.model(), settings, printWindow).PrintSigns(true);
        const std::vector<CanvasOp> after = PrintTest::textOps(printWindow.printer.ops);
        QCOMPARE(before.back().text, QString("SKU1"));
        QCOMPARE(after.size(), before.size() - 1);
        for (size_t i = 0; i < after.size(); ++i) {
            QCOMPARE(after[i].text, before[i].text);
            QCOMPARE(after[i].x, before[i].x - 180);
            QCOMPARE(after[i].y, before[i].y + 360);
        }
        QVERIFY(dialogs().messages().isEmpty());
    }
};

QTEST_MAIN(TestSetupMenu)
#include "tst_setupmenu.moc"
