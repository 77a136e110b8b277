#pragma once

#include "base/SettingsStore.h"

#include <QDialog>

#include <functional>

class DialogService;
class QCheckBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class RunTimeError;
class SignCanvas;

// "Calibrate Printer": the printer's top and left margins, the per-format
// sign shifts (kept for the printer the dialog calibrates) and the print-SKU
// option. The boxes hold free text that is
// stored exactly as typed once it passes the numeric check. Print Test Page
// prints the values as they stand, saved or not, so the user can print,
// adjust and print again before saving.
class frmCalibrate : public QDialog
{
    Q_OBJECT

public:
    // printerSetup runs the main window's printer setup; it is offered when
    // the test page meets a printer error.
    frmCalibrate(const AppSettings& settings, DialogService& dialogs, QPrinter* printer,
        std::function<void()> printerSetup, QWidget* owner);
    ~frmCalibrate() override;

    // True when a box is not numeric; the message has then been shown and the
    // focus moved to that box.
    bool ValidateCalibration();

    // Validates, then draws the test page on the given surface; a run-time
    // error is reported and ends the command. Returns true when the page was
    // drawn to its end.
    bool PrintTestPage(SignCanvas& canvas);

    QLineEdit* txtMarginTop = nullptr;
    QLineEdit* txtMarginLeft = nullptr;
    QLineEdit* txtAdj4UD = nullptr;
    QLineEdit* txtAdj4LR = nullptr;
    QLineEdit* txtAdj2UD = nullptr;
    QLineEdit* txtAdj2LR = nullptr;
    QLineEdit* txtAdj1UD = nullptr;
    QLineEdit* txtAdj1LR = nullptr;
    QCheckBox* ckbPrintSku = nullptr;
    QLineEdit* txtPgHt = nullptr;
    QLineEdit* txtPgWd = nullptr;
    // Names the printer the values belong to.
    QLabel* lblPrinter = nullptr;
    QLabel* lblMarginHelp = nullptr;
    QLabel* lblShiftHelp = nullptr;
    QPushButton* cmdPrintTest = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

    // The two instruction texts, line by line.
    static const QString MarginHelpText;
    static const QString ShiftHelpText;

private:
    void cmdOk_Click();
    void cmdCancel_Click();
    // Validates, then prints the test page on the program's printer.
    void cmdPrintTest_Click();
    void buildWidgets();
    void createControls();
    QHBoxLayout* marginRow();
    QHBoxLayout* shiftRow();
    void FormLoad();
    void showPageSize();
    QString printerText() const;
    bool drawTestPage(SignCanvas& canvas);
    void reportTestPageError(const RunTimeError& error);

    AppSettings m_settings;
    DialogService& m_dialogs;
    QPrinter* m_printer;
    // The calibrated printer as the printer choice names it.
    QString m_printerName;
    std::function<void()> m_printerSetup;
};
