#pragma once

#include <QDialog>
#include <QStringList>

class DialogService;
class QLabel;
class QPushButton;

// The About box: title, version, a short description and a button that
// starts the desktop's system-information tool. Shown modeless and without
// an owner; it deletes itself when closed.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(DialogService& dialogs, QWidget* parent = nullptr);

    // Starts the first system-information tool found on PATH; otherwise
    // tells the user none is available.
    void StartSysInfo();

    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* picIcon = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

private:
    void createLabels();
    DialogService& m_dialogs;
};
