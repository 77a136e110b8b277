#include "ui/frmSignLogo.h"

#include "base/MORNLIB.h"
#include "base/NumberText.h"
#include "base/PictureReader.h"
#include "base/SafeFile.h"
#include "base/SettingsKeys.h"
#include "base/Twips.h"
#include "ui/CommonDialog.h"
#include "ui/DialogService.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

const QString frmSignLogo::LogoFilter
    = QStringLiteral("All Files (*.*)|*.*|Jpeg Files (*.jpg)|*.jpg|Bitmap Files (*.bmp)|*.bmp");

namespace {

// The preview sits at a fixed height near the top of the dialog; its top
// offset is also its distance from the side when it is justified left or
// right. The area above the controls holds the largest logo accepted
// (just under 2 by 4 inches).
constexpr int PreviewTopTwips = 120;
constexpr int PreviewAreaTwips = 2 * Twips::PerInch + 2 * PreviewTopTwips;
constexpr int MaxPreviewPixels = 2048;
constexpr int DialogWidthTwips = 4 * Twips::PerInch + 2 * PreviewTopTwips + 1200;

} // namespace

frmSignLogo::frmSignLogo(
    const AppSettings& settings, DialogService& dialogs, CommonDialog& commonDialog, QWidget* owner)
    : QDialog(owner)
    , m_settings(settings)
    , m_dialogs(dialogs)
    , m_commonDialog(commonDialog)
{
    setObjectName(QStringLiteral("frmSignLogo"));
    setWindowTitle(QStringLiteral("Kestrane - Logo"));
    setModal(true);
    buildWidgets();
    FormLoad();
}

frmSignLogo::~frmSignLogo() = default;

// The logo's height and width, in inches.
QGroupBox* frmSignLogo::sizeGroup()
{
    auto* sizeFrame = new QGroupBox(QStringLiteral("Logo Size (on 4-Up Sign)"), this);
    sizeFrame->setObjectName(QStringLiteral("fraLogoSize"));
    auto* sizeGrid = new QGridLayout(sizeFrame);
    sizeGrid->addWidget(new QLabel(QStringLiteral("Height (eg 0.5):"), sizeFrame), 0, 0);
    sizeGrid->addWidget(txtLogoHeight, 0, 1);
    sizeGrid->addWidget(new QLabel(QStringLiteral("Width (eg 2.25):"), sizeFrame), 1, 0);
    sizeGrid->addWidget(txtLogoWidth, 1, 1);
    sizeGrid->addWidget(
        new QLabel(QStringLiteral("(Note: Measurements in Inches)"), sizeFrame), 2, 0, 1, 2);

    return sizeFrame;
}

QGroupBox* frmSignLogo::positionGroup()
{
    auto* positionFrame = new QGroupBox(QStringLiteral("Position Logo at Top of Sign"), this);
    positionFrame->setObjectName(QStringLiteral("fraLogoPosition"));
    optLeft = new QRadioButton(QStringLiteral("Left Justify"), positionFrame);
    optLeft->setObjectName(QStringLiteral("optLeft"));
    optCenter = new QRadioButton(QStringLiteral("Center"), positionFrame);
    optCenter->setObjectName(QStringLiteral("optCenter"));
    optRight = new QRadioButton(QStringLiteral("Right Justify"), positionFrame);
    optRight->setObjectName(QStringLiteral("optRight"));
    auto* positions = new QVBoxLayout(positionFrame);
    positions->addWidget(optLeft);
    positions->addWidget(optCenter);
    positions->addWidget(optRight);

    return positionFrame;
}

// The logo at its printed size; a click opens a logo file.
void frmSignLogo::createPreview()
{
    imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setToolTip(QStringLiteral("Click here to open a logo file."));
    imgLogo->setFrameShape(QFrame::Box);
    imgLogo->setScaledContents(true);
    imgLogo->setCursor(Qt::PointingHandCursor);
    imgLogo->installEventFilter(this);
}

void frmSignLogo::buildWidgets()
{
    createPreview();

    txtLogoFileName = new QLineEdit(this);
    txtLogoFileName->setObjectName(QStringLiteral("txtLogoFileName"));
    // The path changes only through the file dialog.
    txtLogoFileName->setReadOnly(true);
    txtLogoFileName->installEventFilter(this);

    txtLogoHeight = new QLineEdit(this);
    txtLogoHeight->setObjectName(QStringLiteral("txtLogoHeight"));
    txtLogoWidth = new QLineEdit(this);
    txtLogoWidth->setObjectName(QStringLiteral("txtLogoWidth"));

    QGroupBox* const sizeFrame = sizeGroup();
    QGroupBox* const positionFrame = positionGroup();
    (QStringLiteral("Logo Size (on 4-Up Sign)"), this);
    cmdSave = new QPushButton(QStringLiteral("&Save"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdSave->setAutoDefault(false);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setToolTip(QStringLiteral("Close without saving changes to logo information."));
    cmdCancel->setAutoDefault(false);

    auto* frames = new QHBoxLayout;
    frames->addWidget(sizeFrame);
    frames->addWidget(positionFrame);
    auto* file = new QHBoxLayout;
    file->addWidget(new QLabel(QStringLiteral("Logo File Name:"), this));
    file->addWidget(txtLogoFileName, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);

    // The controls sit below the preview area; the preview itself is placed
    // by hand at its printed size.
    auto* top = new QVBoxLayout(this);
    QMargins margins = top->contentsMargins();
    margins.setTop(Twips::toPixelsY(PreviewAreaTwips));
    top->setContentsMargins(margins);
    top->addLayout(frames);
    top->addLayout(file);
    top->addLayout(buttons);
    const int width = Twips::toPixelsX(DialogWidthTwips);
    setFixedSize(width,
        top->totalHeightForWidth(width) > 0 ? top->totalHeightForWidth(width)
                                            : sizeHint().height());
    // Unsized until a size is accepted.
    imgLogo->setGeometry(0, Twips::toPixelsY(PreviewTopTwips), 0, 0);

    connectControls();
}

void frmSignLogo::connectControls()
{
    connect(txtLogoHeight, &QLineEdit::textChanged, this, &frmSignLogo::ShowLogoPreview);
    connect(txtLogoWidth, &QLineEdit::textChanged, this, &frmSignLogo::ShowLogoPreview);
    for (QRadioButton* option : { optLeft, optCenter, optRight }) {
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                ShowLogoPreview();
        });
    }
    connect(cmdSave, &QPushButton::clicked, this, &frmSignLogo::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSignLogo::cmdCancel_Click);
}

void frmSignLogo::FormLoad()
{
    using namespace SettingsKeys;
    m_formLoaded = false;
    m_logoFile = m_settings.get(Setting::FileLogo).text();
    txtLogoHeight->setText(m_settings.get(Setting::LogoHeightOffered).text());
    txtLogoWidth->setText(m_settings.get(Setting::LogoWidth).text());
    // The comparison is exact: anything but "LEFT" or "RIGHT" is the centre.
    const QString position = m_settings.get(Setting::LogoLcrOffered).text();
    if (position == QLatin1String("LEFT"))
        optLeft->setChecked(true);
    else if (position == QLatin1String("RIGHT"))
        optRight->setChecked(true);
    if (!optLeft->isChecked() && !optRight->isChecked())
        optCenter->setChecked(true);
    txtLogoFileName->setText(m_logoFile);
    if (MORNLIB::FileExists(m_logoFile))
        loadPicture(m_logoFile);
    // The preview is sized before validation may speak: a stored size out of
    // range leaves it unsized without a message until the user edits a size
    // or presses Save (the dialog is not even on screen yet).
    ShowLogoPreview();
    m_formLoaded = true;
}

void frmSignLogo::loadPicture(const QString& path)
{
    // A file that is not a readable picture leaves the preview empty; the
    // path is kept all the same.
    // The preview is at most 4 by 2 inches on screen; a huge picture is
    // decoded no larger than that needs.
    const QImage image
        = PictureReader::read(path, QSize(MaxPreviewPixels, MaxPreviewPixels), Qt::KeepAspectRatio);
    m_picture = image.isNull() ? QPixmap() : QPixmap::fromImage(image);
    imgLogo->setPixmap(m_picture);
    if (m_picture.isNull())
        imgLogo->clear();
}

bool frmSignLogo::ValidateLogoSize(bool checkPositive)
{
    const QString start = QStringLiteral("Error: \n");
    QString message = start;

    const double height = NumberText::leadingNumber(txtLogoHeight->text());
    if (checkPositive && height <= 0)
        message += QStringLiteral("Height must be greater than 0.\n");
    if (height >= 2)
        message += QStringLiteral("Height must be less than 2 inches.\n");
    if (message.size() != start.size() && m_formLoaded) {
        txtLogoHeight->setFocus(Qt::OtherFocusReason);
        txtLogoHeight->setSelection(0, 100);
    }

    const int afterHeight = int(message.size());
    const double width = NumberText::leadingNumber(txtLogoWidth->text());
    if (checkPositive && width <= 0)
        message += QStringLiteral("Width must be greater than 0.\n");
    if (width >= 4)
        message += QStringLiteral("Width must be less than 4 inches.\n");
    if (message.size() != afterHeight && m_formLoaded) {
        txtLogoWidth->setFocus(Qt::OtherFocusReason);
        txtLogoWidth->setSelection(0, 100);
    }

    const bool failed = message.size() != start.size();
    if (failed && m_formLoaded)
        m_dialogs.message(message, DialogService::Buttons::Ok, DialogService::Icon::Information,
            QStringLiteral("Alert:"), this);
    return failed;
}

void frmSignLogo::ShowLogoPreview()
{
    if (ValidateLogoSize(false))
        return;
    const double heightTwips = NumberText::leadingNumber(txtLogoHeight->text()) * Twips::PerInch;
    const double widthTwips = NumberText::leadingNumber(txtLogoWidth->text()) * Twips::PerInch;
    // While typing, an empty or zero size is accepted; the preview then
    // simply has no area.
    const int heightPx = std::max(0, Twips::toPixelsY(heightTwips));
    const int widthPx = std::max(0, Twips::toPixelsX(widthTwips));
    const int topPx = imgLogo->y();
    const int inner = width();
    int left = (inner - widthPx) / 2;
    if (optLeft->isChecked())
        left = topPx;
    else if (optRight->isChecked())
        left = inner - widthPx - topPx;
    imgLogo->setGeometry(left, topPx, widthPx, heightPx);
}

void frmSignLogo::chooseLogoFile()
{
    m_commonDialog.setFileName(m_logoFile);
    m_commonDialog.setDialogTitle(QStringLiteral("Open Logo File"));
    m_commonDialog.setFlags(LogoFileFlags);
    m_commonDialog.setFilter(LogoFilter);
    m_commonDialog.setFilterIndex(2);
    m_commonDialog.setCancelError(true);
    if (!m_commonDialog.ShowOpen())
        return;
    // A pipe or a device is never opened (it could block the dialog); the
    // logo stays as it was.
    const QString notRegular = SafeFile::notRegularReason(m_commonDialog.fileName());
    if (!notRegular.isEmpty()) {
        m_dialogs.message(SafeFile::PictureFileRefused.arg(m_commonDialog.fileName(), notRegular),
            DialogService::Buttons::Ok, DialogService::Icon::Exclamation, QStringLiteral("Alert:"),
            this);
        return;
    }
    m_logoFile = m_commonDialog.fileName();
    // The path box shows the file that Save will store.
    txtLogoFileName->setText(m_logoFile);
    loadPicture(m_logoFile);
    // Said now, while another file can still be chosen: a logo that is not
    // a picture would leave the signs without one.
    if (m_picture.isNull())
        m_dialogs.message(QStringLiteral("%1 is not a picture that can be read.\nChoose a JPEG or "
                                         "bitmap file, or the signs will print without a logo.")
                              .arg(m_logoFile),
            DialogService::Buttons::Ok, DialogService::Icon::Exclamation, QStringLiteral("Alert:"),
            this);
}

void frmSignLogo::cmdSave_Click()
{
    if (ValidateLogoSize(true))
        return;
    using namespace SettingsKeys;
    m_settings.save(FILELOGO, m_logoFile);
    m_settings.save(LOGOHEIGHT, txtLogoHeight->text());
    m_settings.save(LOGOWIDTH, txtLogoWidth->text());
    QString position = QStringLiteral("CENTER");
    if (optLeft->isChecked())
        position = QStringLiteral("LEFT");
    else if (optRight->isChecked())
        position = QStringLiteral("RIGHT");
    m_settings.save(LOGOLCR, position);
    accept();
}

void frmSignLogo::cmdCancel_Click()
{
    reject();
}

bool frmSignLogo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtLogoFileName && event->type() == QEvent::MouseButtonDblClick) {
        chooseLogoFile();
        return true;
    }
    if (watched == imgLogo && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        chooseLogoFile();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
