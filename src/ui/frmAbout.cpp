#include "ui/frmAbout.h"

#include "ui/DialogService.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const QString ProgramTitle = QStringLiteral("Kestrane");

// System-information tools of the common Linux desktops, most thorough first,
// looked for on PATH.
const QStringList SysInfoTools = { QStringLiteral("kinfocenter"), QStringLiteral("hardinfo"),
    QStringLiteral("gnome-system-monitor"), QStringLiteral("xfce4-taskmanager"),
    QStringLiteral("lxtask") };

} // namespace

// The program's icon, name, version and what it does.
void frmAbout::createLabels()
{
    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(48, 48));

    lblTitle = new QLabel(ProgramTitle, this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);

    lblVersion = new QLabel(QStringLiteral("Version %1.%2.%3")
                                .arg(KESTRANE_VERSION_MAJOR)
                                .arg(KESTRANE_VERSION_MINOR)
                                .arg(KESTRANE_VERSION_PATCH),
        this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));

    lblDescription = new QLabel(
        QStringLiteral("Prints shelf and price signs for the store: type or look up items, "
                       "import them from POS data files, and print them 4-Up, 2-Up or 1-Up."),
        this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setWordWrap(true);
}

frmAbout::frmAbout(DialogService& dialogs, QWidget* parent)
    : QDialog(parent)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QStringLiteral("About ") + ProgramTitle);
    createLabels();

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));

    auto* text = new QVBoxLayout;
    text->addWidget(lblTitle);
    text->addWidget(lblVersion);
    text->addWidget(lblDescription);
    auto* top = new QHBoxLayout;
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addLayout(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(line);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    connect(cmdOK, &QPushButton::clicked, this, &QDialog::close);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);
}

void frmAbout::StartSysInfo()
{
    for (const QString& tool : SysInfoTools) {
        const QString path = QStandardPaths::findExecutable(tool);
        if (path.isEmpty())
            continue;
        if (QProcess::startDetached(path, {}))
            return;
        break;
    }
    m_dialogs.message(QStringLiteral("System Information Is Unavailable At This Time"),
        DialogService::Buttons::Ok, DialogService::Icon::None, ProgramTitle, this);
}
