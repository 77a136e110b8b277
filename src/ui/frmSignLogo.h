#pragma once

#include "base/SettingsStore.h"

#include <QDialog>
#include <QPixmap>
#include <QString>

class CommonDialog;
class DialogService;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Kestrane - Logo": the store logo's picture file, its size in inches as it
// prints on a 4-Up sign, and its place at the top of the sign, with a live
// preview at that size and place. Sizes are stored exactly as typed.
class frmSignLogo : public QDialog
{
    Q_OBJECT

public:
    // commonDialog is the main window's common dialog, used to choose the file.
    frmSignLogo(const AppSettings& settings, DialogService& dialogs, CommonDialog& commonDialog,
        QWidget* owner);
    ~frmSignLogo() override;

    // True when the sizes are not acceptable. checkPositive also rejects
    // sizes of 0 or less (on Save); while typing only the upper limits apply.
    // Once the dialog has loaded, the message is shown and the focus moved to
    // the last box that failed.
    bool ValidateLogoSize(bool checkPositive);
    // Sizes and places the preview; an unacceptable size leaves it as it was.
    void ShowLogoPreview();
    // Lets the user choose the logo file (double-click on the path box or a
    // click on the preview).
    void chooseLogoFile();

    const QString& LogoFile() const { return m_logoFile; }
    bool FormLoaded() const { return m_formLoaded; }
    // The picture shown in the preview; null when there is none.
    const QPixmap& logoPicture() const { return m_picture; }

    QLineEdit* txtLogoFileName = nullptr;
    QLineEdit* txtLogoHeight = nullptr;
    QLineEdit* txtLogoWidth = nullptr;
    QRadioButton* optLeft = nullptr;
    QRadioButton* optCenter = nullptr;
    QRadioButton* optRight = nullptr;
    QLabel* imgLogo = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;

    static const QString LogoFilter;
    static constexpr int LogoFileFlags = 20484;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void cmdSave_Click();
    void cmdCancel_Click();
    void buildWidgets();
    void createPreview();
    QGroupBox* sizeGroup();
    QGroupBox* positionGroup();
    void connectControls();
    void FormLoad();
    void loadPicture(const QString& path);

    AppSettings m_settings;
    DialogService& m_dialogs;
    CommonDialog& m_commonDialog;
    QString m_logoFile;
    QPixmap m_picture;
    bool m_formLoaded = false;
};
