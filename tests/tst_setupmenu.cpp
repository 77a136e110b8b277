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

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

DialogService& dialogs()
{
    return DialogService::instance();
}

// Triggers the menu entry and, once its modal dialog runs, hands the dialog
// to drive(), which must close it. Returns the dialog's class name and its
// owner as seen while it ran; a dialog left open is closed so the test never
// hangs.
struct ModalRun
{
    QString className;
    QWidget* owner = nullptr;
    bool modal = false;
};

ModalRun runFromMenu(
    frmSigns& window, const char* entry, const std::function<void(QDialog*)>& drive)
{
    ModalRun run;
    QAction* action = window.findChild<QAction*>(QLatin1String(entry));
    if (!action || !action->isEnabled())
        return run;
    QTimer::singleShot(0, &window, [&run, &drive] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        run.className = QLatin1String(dialog->metaObject()->className());
        run.owner = dialog->parentWidget();
        run.modal = dialog->isModal();
        drive(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    action->trigger();
    return run;
}

// The text the painter drew for each element, with where it landed.
std::vector<CanvasOp> textOps(const PrintTest::CanvasLog& log)
{
    std::vector<CanvasOp> texts;
    for (const CanvasOp& op : log.ops)
        if (op.kind == CanvasOp::Kind::Text)
            texts.push_back(op);
    return texts;
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
        // Start-up may have asked for files of its own.
        const int requestsBefore = int(dialogs().fileRequests().size());
        dialogs().queueFile(picture);
        const ModalRun run = runFromMenu(window, "mnuFileLogo", [](QDialog* dialog) {
            auto* logo = qobject_cast<frmSignLogo*>(dialog);
            if (!logo)
                return;
            QTest::mouseClick(logo->imgLogo, Qt::LeftButton);
            logo->txtLogoHeight->setText("0.75");
            logo->optLeft->click();
            logo->cmdSave->click();
        });
        QCOMPARE(run.className, QString("frmSignLogo"));
        QCOMPARE(run.owner, &window);
        QVERIFY(run.modal);
        // The file was chosen through the window's common dialog.
        QCOMPARE(int(dialogs().fileRequests().size()), requestsBefore + 1);
        QCOMPARE(dialogs().fileRequests().constLast().title, QString("Open Logo File"));
        const AppSettings& settings = window.settings();
        QCOMPARE(settings.text(SettingsKeys::FILELOGO, "absent"), picture);
        QCOMPARE(settings.text(SettingsKeys::LOGOHEIGHT, "absent"), QString("0.75"));
        QCOMPARE(settings.text(SettingsKeys::LOGOWIDTH, "absent"), QString("1.5"));
        QCOMPARE(settings.text(SettingsKeys::LOGOLCR, "absent"), QString("LEFT"));
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
        PrintTest::FakePrintWindow printWindow;
        printWindow.format = 0; // 4-Up
        PrintTest::jobFor(*window.model(), settings, printWindow).PrintSigns(true);
        const std::vector<CanvasOp> before = textOps(printWindow.printer);
        QVERIFY(!before.empty());

        const ModalRun run = runFromMenu(window, "mnuFilePrintTest", [](QDialog* dialog) {
            auto* calibrate = qobject_cast<frmCalibrate*>(dialog);
            if (!calibrate)
                return;
            calibrate->txtAdj4UD->setText("360");
            calibrate->txtAdj4LR->setText("-180.5");
            calibrate->ckbPrintSku->setChecked(false);
            calibrate->cmdOk->click();
        });
        QCOMPARE(run.className, QString("frmCalibrate"));
        QCOMPARE(run.owner, &window);
        QVERIFY(run.modal);
        QCOMPARE(settings.text(SettingsKeys::ADJ4UD, "absent"), QString("360"));
        QCOMPARE(settings.text(SettingsKeys::ADJ4LR, "absent"), QString("-180.5"));
        QCOMPARE(settings.text(SettingsKeys::MARGINTOP, "absent"), QString("180"));
        QCOMPARE(settings.text(SettingsKeys::PRINTSKU, "absent"), QString("0"));

        // The next print moves every text of the sign by exactly the shifts
        // (-180.5 rounds to -180, halves to even); the SKU, which keeps to the
        // cell's corner, is no longer printed.
        PrintTest::jobFor(*window.model(), settings, printWindow).PrintSigns(true);
        const std::vector<CanvasOp> after = textOps(printWindow.printer);
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
