// What a desktop program is expected to offer besides its commands: tooltips,
// shortcuts, the list of recent data files and data files dropped on the
// window; and the Help menu: the user guide (F1) and About.
#include "ui/frmSigns.h"

#include "base/RecentFiles.h"
#include "ui/DialogService.h"
#include "ui/EntryBox.h"
#include "ui/ImageBox.h"
#include "ui/WindowHelpers.h"
#include "ui/frmAbout.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <QUrl>

namespace {

const QString AlertTitle = QStringLiteral("Alert:");

// A path longer than this shows in the File menu with its middle left out.
constexpr int RecentCaptionLength = 60;

QString recentCaption(int index, const QString& path)
{
    QString shown = QDir::toNativeSeparators(path);
    if (shown.size() > RecentCaptionLength) {
        const int keep = (RecentCaptionLength - 3) / 2;
        shown = shown.left(keep) + QStringLiteral("...") + shown.right(keep);
    }
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

// Where the package installs the user guide, seen from the program's folder.
const QString InstalledGuide = QStringLiteral("/../share/doc/kestrane/guide.md");
// Where a build folder keeps it (a link to the source tree's docs made by the
// build), seen from the program's folder.
const QString BuildTreeGuide = QStringLiteral("/docs/guide.md");

// Where the user guide is: installed beside the program, or in the build
// folder of a program that has not been installed. Both are found from the
// program's own place, so no folder of the machine that built it matters.
QString guidePath()
{
    const QString dir = QCoreApplication::applicationDirPath();
    for (const QString& candidate : { dir + InstalledGuide, dir + BuildTreeGuide }) {
        if (QFileInfo(candidate).isFile())
            return QFileInfo(candidate).canonicalFilePath();
    }
    return QString();
}

} // namespace

void frmSigns::addToolTips()
{
    const std::pair<QWidget*, const char*> tips[] = {
        { cmdExit, "Save the options and close Kestrane." },
        { cmdClearGrid, "Remove every row and start a new list." },
        { cmdPrintGrid, "Print the list in the chosen format (Ctrl+P)." },
        { cmdRowInsert, "Insert an empty row above the current row." },
        { cmdRowCopy, "Insert a copy of the current row below it." },
        { cmdRowDelete, "Delete the current row (Delete in the list)." },
        { cmdSave, "Store the panel into the current row and go on to the next." },
        { txtSelRow, "The number of the row the panel shows." },
        { txtSku, "Type a SKU and press Enter to look the item up." },
        { txtPromo, "The promotional price, printed large." },
        { txtRetail, "The regular retail price." },
        { txtCost, "The item's cost, as the lookup found it (not printed)." },
        { txtDescription, "The item's description." },
        { txtBp1, "First bullet line." },
        { txtBp2, "Second bullet line." },
        { txtBp3, "Third bullet line; Enter saves the row." },
        { ckbTitle, "Print the title beside it at the top of each sign." },
        { txtTitle, "The title printed at the top of each sign." },
        { ckbBorder, "Print a border around each sign." },
        { ckbLogo, "Print the store logo (File, Logo) on each sign." },
        { ckbGraphic, "Print each row's item picture, and show it here." },
        { Frame1, "What each sign shows under the price." },
        { ckbBullet, "Print the three bullet lines." },
        { ckbLongDesc, "Print the description instead of bullet lines." },
        { msfGrid, "The signs to print, one row each. Click a row to edit it." },
    };
    for (const auto& [widget, tip] : tips) {
        if (widget->toolTip().isEmpty())
            widget->setToolTip(QString::fromUtf8(tip));
    }
}

void frmSigns::addShortcutsAndDrops()
{
    mnuFilePrintGrid->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuFilePrintPreview->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    mnuFileImport->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuFileExport->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuHelpGuide->setShortcut(QKeySequence(Qt::Key_F1));
    // Ctrl+Delete deletes the rows wherever the focus is (the entry boxes
    // leave it to the window rather than deleting a word). Delete removes
    // them only from the list itself: in an entry box it deletes text.
    mnuEditDeleteRow->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    auto* gridDelete = new QAction(msfGrid);
    gridDelete->setObjectName(QStringLiteral("msfGridDelete"));
    gridDelete->setShortcut(QKeySequence(Qt::Key_Delete));
    gridDelete->setShortcutContext(Qt::WidgetShortcut);
    msfGrid->addAction(gridDelete);
    connect(gridDelete, &QAction::triggered, mnuEditDeleteRow, &QAction::trigger);

    setAcceptDrops(true);
    for (EntryBox* box : findChildren<EntryBox*>())
        box->installEventFilter(this);
}

void frmSigns::buildRecentFilesMenu(QMenu* file)
{
    for (int i = 0; i < RecentFiles::MaxFiles; ++i) {
        mnuFileRecent[i] = file->addAction(QString());
        mnuFileRecent[i]->setObjectName(QStringLiteral("mnuFileRecent"));
        mnuFileRecent[i]->setProperty("index", i);
        connect(mnuFileRecent[i], &QAction::triggered, this, [this, i] { mnuFileRecent_Click(i); });
    }
    m_recentSeparator = file->addSeparator();
    m_recentSeparator->setObjectName(QStringLiteral("mnuFileSepRecent"));
    showRecentFiles();
}

void frmSigns::showRecentFiles()
{
    // Entries without a file are hidden, and so is the separator of an
    // empty list.
    const QStringList files = RecentFiles(m_settings).files();
    for (int i = 0; i < RecentFiles::MaxFiles; ++i) {
        const bool used = i < files.size();
        mnuFileRecent[i]->setVisible(used);
        mnuFileRecent[i]->setText(used ? recentCaption(i, files.at(i)) : QString());
        mnuFileRecent[i]->setData(used ? files.at(i) : QString());
        mnuFileRecent[i]->setStatusTip(used ? files.at(i) : QString());
    }
    m_recentSeparator->setVisible(!files.isEmpty());
}

void frmSigns::rememberDataFile(const QString& path)
{
    RecentFiles(m_settings).add(path);
    showRecentFiles();
}

void frmSigns::mnuFileRecent_Click(int index)
{
    const QString path = mnuFileRecent[index]->data().toString();
    if (!path.isEmpty())
        readDataFile(path);
}

void frmSigns::readDataFile(const QString& path)
{
    importData(path);
    // A file that is gone leaves the list once the reader has said so.
    if (!QFileInfo::exists(path)) {
        RecentFiles(m_settings).remove(path);
        showRecentFiles();
    }
}

void frmSigns::openDataFiles(const QStringList& paths)
{
    if (m_unloaded || paths.isEmpty())
        return;
    // A question or a dialog of the window waits for its answer first.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(250, this, [this, paths] { openDataFiles(paths); });
        return;
    }
    for (const QString& path : paths)
        readDataFile(path);
}

void frmSigns::dropDataFiles(const QList<QUrl>& urls)
{
    for (const QUrl& url : urls) {
        const QString path = url.toLocalFile();
        const QString suffix = QFileInfo(path).suffix().toLower();
        if (!path.isEmpty() && (suffix == QLatin1String("txt") || suffix == QLatin1String("dat"))) {
            readDataFile(path);
            continue;
        }
        m_dialogs.message(QStringLiteral("%1 is not a data file.\nOnly data files (.txt or .dat) "
                                         "can be dropped here to read them into the list.")
                              .arg(path.isEmpty() ? url.toDisplayString() : path),
            DialogService::Buttons::Ok, DialogService::Icon::Information, AlertTitle, this);
    }
}

void frmSigns::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void frmSigns::dropEvent(QDropEvent* event)
{
    if (!event->mimeData()->hasUrls())
        return;
    event->acceptProposedAction();
    // Read once the drop has finished, so the program the files came from
    // is not kept waiting by the import or its messages.
    const QList<QUrl> urls = event->mimeData()->urls();
    QTimer::singleShot(0, this, [this, urls] { dropDataFiles(urls); });
}

void frmSigns::buildHelpMenu(QMenuBar* bar)
{
    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpGuide = Menus::addAction(help, "mnuHelpGuide", QStringLiteral("User &Guide"));
    mnuHelpAbout = Menus::addAction(help, "mnuHelpAbout", QStringLiteral("&About"));

    connect(mnuHelpGuide, &QAction::triggered, this, &frmSigns::mnuHelpGuide_Click);
    connect(mnuHelpAbout, &QAction::triggered, this, &frmSigns::mnuHelpAbout_Click);
}

void frmSigns::mnuHelpGuide_Click()
{
    const QString path = guidePath();
    if (path.isEmpty()) {
        m_dialogs.message(
            QStringLiteral("The user guide is not installed.  It is installed with "
                           "the program as %1.")
                .arg(QDir::cleanPath(QCoreApplication::applicationDirPath() + InstalledGuide)),
            DialogService::Buttons::Ok, DialogService::Icon::Information, AlertTitle, this);
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        m_dialogs.message(QStringLiteral("No program to show the user guide was found.  The "
                                         "guide is %1; open it with a text editor or a browser.")
                              .arg(path),
            DialogService::Buttons::Ok, DialogService::Icon::Information, AlertTitle, this);
}

void frmSigns::mnuHelpAbout_Click()
{
    // Modeless and without an owner: the user goes on working, and the
    // program ends only when this box too has closed. A box already open is
    // brought to the front rather than joined by a second one.
    if (!m_about)
        m_about = new frmAbout(m_dialogs);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}
