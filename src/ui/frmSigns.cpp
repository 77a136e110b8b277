#include "ui/frmSigns.h"

#include "base/MORNLIB.h"
#include "base/NumberText.h"
#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "base/Twips.h"
#include "document/SignFormat.h"
#include "document/SignListHistory.h"
#include "document/SignListModel.h"
#include "itemdata/WorkList.h"
#include "itemdata/qorDatFile.h"
#include "itemdata/qorDct.h"
#include "printing/PrinterChoice.h"
#include "ui/CommonDialog.h"
#include "ui/DialogService.h"
#include "ui/EntryBox.h"
#include "ui/ImageBox.h"
#include "ui/SignGridView.h"
#include "ui/WindowHelpers.h"
#include "ui/frmAbout.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFont>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QStatusBar>
#include <QTableView>
#include <QUndoStack>

#include <cmath>

using SettingsKeys::Setting;

namespace {

// The window's designed size, in twips, before any stored placement applies.
constexpr int DesignWidth = 9840;
constexpr int DesignHeight = 8520;

// Grid column widths in twips, columns 0 to 9; the last five are hidden.
constexpr int ColumnWidths[SignListModel::Cols] = { 250, 1000, 900, 900, 5000, 0, 0, 0, 0, 0 };

QCheckBox* makeCheckBox(QWidget* parent, const char* name, const QString& caption, int left,
    int top, int width, int height)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    Twips::place(box, left, top, width, height);
    return box;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, int left,
    int top, int width, int height)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    Twips::place(button, left, top, width, height);
    return button;
}

EntryBox* makeBox(QWidget* parent, const char* name, int left, int top, int width, int height)
{
    auto* box = new EntryBox(parent);
    box->setObjectName(QLatin1String(name));
    Twips::place(box, left, top, width, height);
    return box;
}

QLabel* makeLabel(
    QWidget* parent, const char* name, int index, const QString& caption, int left, int top)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setProperty("index", index);
    label->adjustSize();
    label->move(Twips::toPixelsX(left), Twips::toPixelsY(top));
    return label;
}

// Values other than 0, 1 and 2 are never written by the program; a
// hand-edited one counts as unticked.
void setCheckValue(QCheckBox* box, int value)
{
    box->setTristate(value == 2);
    box->setCheckState(
        value == 2 ? Qt::PartiallyChecked : (value == 1 ? Qt::Checked : Qt::Unchecked));
}

void setOption(QRadioButton* button, bool on)
{
    // An option button can only be unselected by turning its exclusivity off
    // for a moment: with no settings stored, neither style is selected.
    button->setAutoExclusive(false);
    button->setChecked(on);
    button->setAutoExclusive(true);
}

} // namespace

int frmSigns::checkValue(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Unchecked:
        return 0;
    case Qt::PartiallyChecked:
        return 2;
    case Qt::Checked:
        break;
    }
    return 1;
}

frmSigns::frmSigns(QWidget* parent)
    : frmSigns(DialogService::instance(), parent)
{
}

frmSigns::frmSigns(DialogService& dialogs, QWidget* parent)
    : QMainWindow(parent)
    , m_dialogs(dialogs)
    , m_settings(SettingsKeys::Application, SettingsKeys::Section)
    , m_model(new SignListModel(this))
    , m_history(new SignListHistory(*m_model, this))
    , m_workList(new WorkList(*m_model, this))
    , m_commonDialog(std::make_unique<CommonDialog>(dialogs, this))
{
    setObjectName(QStringLiteral("frmSigns"));
    setWindowTitle(QStringLiteral("Kestrane"));
    buildWidgets();
    buildMenus();
    buildDatabaseIndicators();
    resize(Twips::toPixelsX(DesignWidth), Twips::toPixelsY(DesignHeight));
    FormLoad();
}

frmSigns::~frmSigns()
{
    SettingsStore::setSaveFailureHandler({});
    // The undo history and the working list watch the model: they go before
    // it, where the children would otherwise be deleted in the order they
    // were made.
    delete m_workList;
    delete m_history;
}

QPrinter* frmSigns::printer() const
{
    // Created on first use: asking the printing system for its default
    // printer is not free, and many sessions never print.
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        const QString gone
            = PrinterChoice::restore(*m_printer, m_settings.get(Setting::Printer).text());
        // The system's default printer prints on its own default paper too.
        PrinterChoice::useDefaultPaper(*m_printer);
        if (!gone.isEmpty())
            m_dialogs.message(gone, DialogService::Buttons::Ok, DialogService::Icon::Exclamation,
                QStringLiteral("Alert:"));
    }
    return m_printer.get();
}

void frmSigns::buildWidgets()
{
    auto* form = new QWidget(this);
    form->setObjectName(QStringLiteral("frmSignsClient"));
    setCentralWidget(form);
    form->installEventFilter(this);
    // The control positions were laid out for a small 8-point face.
    QFont formFont(QStringLiteral("Liberation Sans"));
    formFont.setPointSizeF(8.25);
    form->setFont(formFont);

    Line1 = new QFrame(form);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    Line1->setGeometry(0, 0, form->width(), 2);

    buildCommandButtons(form);
    buildEntryPanel(form);
    buildGrid(form);

    picBox = new QLabel(form);
    picBox->setObjectName(QStringLiteral("picBox"));
    picBox->setAutoFillBackground(true);
    picBox->hide();
    picBoxIv = new QLabel(form);
    picBoxIv->setObjectName(QStringLiteral("picBoxIv"));
    picBoxIv->hide();

    // A caption is never cut: a box grows to the width its text needs in
    // the font the desktop gives it.
    for (QCheckBox* box : form->findChildren<QCheckBox*>())
        box->resize(qMax(box->width(), box->sizeHint().width()), box->height());
    addToolTips();
    setAccessibleNames();

    // Tab order of the entry panel, then the rest of the window.
    QWidget* order[] = { txtSku, txtPromo, txtRetail, txtCost, txtDescription, txtBp1, txtBp2,
        txtBp3, ckbTitle, txtTitle, ckbBorder, ckbLogo, ckbRetail, ckbGraphic, chkBarcode,
        ckbBullet, ckbLongDesc, msfGrid, txtSelRow };
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    connectEntryPanel();
    connectGrid();
}

// The row of buttons along the top; each runs the menu command of the same
// name (connectCommandButtons).
void frmSigns::buildCommandButtons(QWidget* form)
{
    cmdExit = makeButton(form, "cmdExit", QStringLiteral("E&xit"), 120, 120, 615, 255);
    cmdClearGrid
        = makeButton(form, "cmdClearGrid", QStringLiteral("Clear Grid"), 840, 120, 975, 255);
    cmdPrintGrid = makeButton(form, "cmdPrintGrid", QString(), 1920, 120, 1215, 255);
    cmdRowInsert
        = makeButton(form, "cmdRowInsert", QStringLiteral("Insert Row"), 3360, 120, 1095, 255);
    cmdRowCopy = makeButton(form, "cmdRowCopy", QStringLiteral("Copy Row"), 4560, 120, 1095, 255);
    cmdRowDelete
        = makeButton(form, "cmdRowDelete", QStringLiteral("Delete Row"), 5760, 120, 1095, 255);
    cmdSave = makeButton(form, "cmdSave", QStringLiteral("Save Row"), 7080, 120, 1095, 255);
}

void frmSigns::buildEntryPanel(QWidget* form)
{
    txtSelRow = makeBox(form, "txtSelRow", 120, 517, 615, 360);
    txtSelRow->setEnabled(false);
    QFont bold = txtSelRow->font();
    bold.setBold(true);
    txtSelRow->setFont(bold);

    makeLabel(form, "Label1", 0, QStringLiteral("Sku:"), 960, 600);
    makeLabel(form, "Label1", 1, QStringLiteral("Promo Price:"), 480, 960);
    makeLabel(form, "Label1", 2, QStringLiteral("Description:"), 240, 1365);

    txtSku = makeBox(form, "txtSku", 1440, 600, 1335, 285);
    ckbTitle = makeCheckBox(form, "ckbTitle", QStringLiteral("Title:"), 3000, 600, 735, 255);
    txtTitle = makeBox(form, "txtTitle", 3720, 600, 2295, 285);
    ckbBorder = makeCheckBox(form, "ckbBorder", QStringLiteral("Border"), 6120, 600, 855, 255);
    ckbLogo = makeCheckBox(form, "ckbLogo", QStringLiteral("Logo"), 7080, 600, 1215, 255);
    chkBarcode = makeCheckBox(form, "chkBarcode", QStringLiteral("Barcode"), 8400, 600, 1095, 255);
    chkBarcode->setToolTip(QStringLiteral("Check this box to print the Sku as a barcode."));

    txtPromo = makeBox(form, "txtPromo", 1440, 960, 1335, 285);
    ckbRetail
        = makeCheckBox(form, "ckbRetail", QStringLiteral("Reg Retail:"), 3000, 960, 1215, 255);
    ckbRetail->setToolTip(
        QStringLiteral("Check this box to show Regular Retail Price on bottom of sign."));
    txtRetail = makeBox(form, "txtRetail", 4320, 960, 1335, 285);
    txtCost = makeBox(form, "txtCost", 5880, 960, 975, 285);
    txtCost->setEnabled(false);
    ckbGraphic
        = makeCheckBox(form, "ckbGraphic", QStringLiteral("Item Graphic"), 7080, 960, 1215, 255);
    // The cost box is narrower than the price boxes to make room for its label.
    txtCost->resize(Twips::toPixelsX(825), txtCost->height());
    txtCost->move(Twips::toPixelsX(6150), txtCost->y());
    lblCost = makeLabel(form, "lblCost", 0, QStringLiteral("Cost:"), 5760, 960);
    lblCost->setBuddy(txtCost);

    txtDescription = makeBox(form, "txtDescription", 1320, 1320, 4455, 285);
    txtBp1 = makeBox(form, "txtBp1", 1320, 1800, 4455, 285);
    txtBp2 = makeBox(form, "txtBp2", 1320, 2160, 4455, 285);
    txtBp3 = makeBox(form, "txtBp3", 1320, 2520, 4455, 285);

    Image1 = new ImageBox(form);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setToolTip(QStringLiteral("Click here to open a graphic file."));
    Twips::place(Image1, 6000, 1440, 1335, 1335);
    cmdClearGraphic
        = makeButton(form, "cmdClearGraphic", QStringLiteral("Clear"), 7680, 1920, 615, 255);
    cmdClearGraphic->setToolTip(QStringLiteral("Clear the Graphic"));

    buildStyleFrame(form);
}

// The choice of sign style: bullet lines or a long description.
void frmSigns::buildStyleFrame(QWidget* form)
{
    Frame1 = new QGroupBox(QStringLiteral("Bullet/Desc"), form);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Twips::place(Frame1, 120, 1800, 1095, 975);
    ckbBullet = new QRadioButton(QStringLiteral("Bullet"), Frame1);
    ckbBullet->setObjectName(QStringLiteral("ckbBullet"));
    Twips::place(ckbBullet, 120, 360, 855, 195);
    ckbLongDesc = new QRadioButton(QStringLiteral("Desc"), Frame1);
    ckbLongDesc->setObjectName(QStringLiteral("ckbLongDesc"));
    Twips::place(ckbLongDesc, 120, 600, 855, 255);
    // "Desc" is the design-time choice; the stored options override it.
    ckbLongDesc->setChecked(true);
}

void frmSigns::buildGrid(QWidget* form)
{
    msfGrid = new SignGridView(form);
    msfGrid->setObjectName(QStringLiteral("msfGrid"));
    msfGrid->setModel(m_model);
    msfGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Several rows can be selected to print only those.
    msfGrid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    msfGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    msfGrid->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    msfGrid->setAutoScroll(false);
    msfGrid->setWordWrap(false);
    // Column 0, the row numbers, shows as the vertical header.
    // It grows with the numbers, so that row 1000 shows all four digits.
    msfGrid->verticalHeader()->setMinimumWidth(Twips::toPixelsX(ColumnWidths[0]));
    msfGrid->verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    msfGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    msfGrid->verticalHeader()->setDefaultSectionSize(msfGrid->fontMetrics().height() + 4);
    msfGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    msfGrid->horizontalHeader()->setStretchLastSection(false);
    msfGrid->horizontalHeader()->setHighlightSections(false);
    Twips::place(msfGrid, 120, 3000, DesignWidth - 240, DesignHeight - 3000 - 120 - 600);
}

// Menus in menu order; each file holds one menu's (or one area's) entries,
// their connects and their commands.
void frmSigns::buildMenus()
{
    QMenuBar* bar = menuBar();
    buildFileMenu(bar); // frmSignsFile.cpp
    buildEditMenu(bar); // frmSignsEdit.cpp
    buildFormatMenu(bar); // frmSignsFormat.cpp
    buildColorsMenu(bar); // frmSignsFormat.cpp
    buildHelpMenu(bar); // frmSignsDesktop.cpp
    connectCommandButtons();
    addShortcutsAndDrops(); // frmSignsDesktop.cpp
}

void frmSigns::connectCommandButtons()
{
    // Buttons only run the menu command of the same name.
    connect(cmdExit, &QPushButton::clicked, mnuFileExit, &QAction::trigger);
    connect(cmdClearGrid, &QPushButton::clicked, mnuEditClearGrid, &QAction::trigger);
    connect(cmdRowInsert, &QPushButton::clicked, mnuEditInsertRow, &QAction::trigger);
    connect(cmdRowCopy, &QPushButton::clicked, mnuEditCopyRow, &QAction::trigger);
    connect(cmdRowDelete, &QPushButton::clicked, mnuEditDeleteRow, &QAction::trigger);
    connect(cmdSave, &QPushButton::clicked, mnuEditSaveRow, &QAction::trigger);
    connect(cmdClearGraphic, &QPushButton::clicked, mnuEditClearGraphic, &QAction::trigger);
    connect(cmdPrintGrid, &QPushButton::clicked, mnuFilePrintGrid, &QAction::trigger);
}

void frmSigns::reportSettingsProblem()
{
    const QString problem = SettingsStore::storeProblem(m_settings.application());
    if (!problem.isEmpty())
        m_dialogs.message(problem, DialogService::Buttons::Ok, DialogService::Icon::Exclamation,
            QStringLiteral("Alert:"));
}

void frmSigns::FormLoad()
{
    // A setting that cannot be saved is told once, with the reason, when
    // it happens (also at Exit), rather than lost in silence.
    SettingsStore::setSaveFailureHandler([this](const QString& message) {
        m_dialogs.message(message, DialogService::Buttons::Ok, DialogService::Icon::Exclamation,
            QStringLiteral("Alert:"));
    });
    reportSettingsProblem();
    // Print options, in the order the settings were written.
    setCheckValue(ckbRetail, m_settings.get(Setting::PrintRegRetail).whole());
    setCheckValue(ckbTitle, m_settings.get(Setting::PrintTitle).whole());
    setCheckValue(ckbBorder, m_settings.get(Setting::PrintBorder).whole());
    // The two styles exclude each other; should both be stored as chosen,
    // Bullet wins.
    const bool bullet = m_settings.get(Setting::PrintBullet).truth();
    setOption(ckbBullet, bullet);
    setOption(ckbLongDesc, !bullet && m_settings.get(Setting::PrintLongDesc).truth());
    setCheckValue(ckbLogo, m_settings.get(Setting::PrintLogo).whole());
    setCheckValue(ckbGraphic, m_settings.get(Setting::PrintGraphic).whole());
    setCheckValue(chkBarcode, m_settings.get(Setting::PrintBarcode).whole());

    const bool graphic = ckbGraphic->checkState() != Qt::Unchecked;
    Image1->setVisible(graphic);
    cmdClearGraphic->setVisible(graphic);

    // A stored format outside the three the menu offers counts as 4-Up.
    mnuFormatSel_Click(int(formatFromIndex(m_settings.get(Setting::PrintFormat).whole())));

    ResetGrid();
    msfGrid->setColumnHidden(SignListModel::ColNumber, true);
    for (int col = 1; col < SignListModel::Cols; ++col) {
        if (ColumnWidths[col] == 0)
            msfGrid->setColumnHidden(col, true);
        else
            msfGrid->setColumnWidth(col, Twips::toPixelsX(ColumnWidths[col]));
    }

    MORNLIB::RestoreWindowPlacement(m_settings.application(), m_settings.section(), this);

    // The POS data dictionary and the data-file reader are loaded next, by
    // the item-data commands.
    loadDictionaryAtStartup();

    restoreWorkList();
}

void frmSigns::restoreWorkList()
{
    const WorkList::Restored restored = m_workList->restore();
    if (!restored.problem.isEmpty()) {
        m_dialogs.message(restored.problem, DialogService::Buttons::Ok,
            DialogService::Icon::Exclamation, QStringLiteral("Alert:"));
    } else if (restored.signs > 0) {
        statusBar()->showMessage(restored.signs == 1
                ? tr("Restored 1 sign from the last session")
                : tr("Restored %1 signs from the last session").arg(restored.signs),
            15000);
        // The empty row after the signs, so that typing goes on the list.
        setCurrentRow(m_model->Rows() - 1);
        LoadSelectedRow();
    }
    // The restored list is where this session starts, not a step to undo.
    m_history->stack()->clear();
    m_workList->watch();
    connect(m_workList, &WorkList::saveFailed, this, [this](const QString& reason) {
        statusBar()->showMessage(
            tr("The sign list could not be kept for the next session: %1").arg(reason));
    });
}

void frmSigns::FormUnload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    MORNLIB::SaveWindowPlacement(m_settings.application(), m_settings.section(), this);
    m_settings.save(SettingsKeys::PRINTFORMAT, QString::number(checkedFormat()));
    m_settings.save(SettingsKeys::PRINTREGRETAIL, QString::number(checkValue(ckbRetail)));
    m_settings.save(SettingsKeys::PRINTTITLE, QString::number(checkValue(ckbTitle)));
    m_settings.save(SettingsKeys::PRINTBORDER, QString::number(checkValue(ckbBorder)));
    m_settings.save(SettingsKeys::PRINTBULLET, NumberText::truthText(ckbBullet->isChecked()));
    m_settings.save(SettingsKeys::PRINTLONGDESC, NumberText::truthText(ckbLongDesc->isChecked()));
    m_settings.save(SettingsKeys::PRINTLOGO, QString::number(checkValue(ckbLogo)));
    m_settings.save(SettingsKeys::PRINTGRAPHIC, QString::number(checkValue(ckbGraphic)));
    m_settings.save(SettingsKeys::PRINTBARCODE, QString::number(checkValue(chkBarcode)));

    QString error;
    if (!m_workList->saveNow(&error))
        m_dialogs.message(
            QStringLiteral("The sign list could not be kept for the next session.\n") + error,
            DialogService::Buttons::Ok, DialogService::Icon::Exclamation, QStringLiteral("Alert:"));
}

void frmSigns::closeEvent(QCloseEvent* event)
{
    FormUnload();
    QMainWindow::closeEvent(event);
}

bool frmSigns::eventFilter(QObject* watched, QEvent* event)
{
    // Files dragged over an entry box are the window's to read; text still
    // drops into the box.
    const QEvent::Type type = event->type();
    if ((type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop)
        && qobject_cast<EntryBox*>(watched)
        && static_cast<QDropEvent*>(event)->mimeData()->hasUrls()) {
        if (type == QEvent::Drop)
            dropEvent(static_cast<QDropEvent*>(event));
        else
            static_cast<QDropEvent*>(event)->acceptProposedAction();
        return true;
    }
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        FormResize();
    return QMainWindow::eventFilter(watched, event);
}

void frmSigns::FormResize()
{
    if (isMinimized())
        return;
    const QWidget* form = centralWidget();
    Line1->setGeometry(0, 0, form->width(), Line1->height());

    // In twips: the grid keeps its left position as the margin on the right
    // and at the bottom, and never shrinks to 500 twips or less.
    const double gridLeft = Twips::fromPixelsX(msfGrid->x());
    const double gridTop = Twips::fromPixelsY(msfGrid->y());
    const double w = NumberText::roundHalfEven(Twips::fromPixelsX(form->width()) - 2 * gridLeft);
    if (w > 500)
        msfGrid->resize(Twips::toPixelsX(w), msfGrid->height());
    const double h
        = NumberText::roundHalfEven(Twips::fromPixelsY(form->height()) - gridTop - gridLeft);
    if (h > 500)
        msfGrid->resize(msfGrid->width(), Twips::toPixelsY(h));
}
