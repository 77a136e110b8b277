// The File menu's printer commands, in menu order: Printer Setup, Calibrate
// Printer, Print Preview and Print Signs.
#include "ui/frmSigns.h"

#include "base/SettingsKeys.h"
#include "document/SignListModel.h"
#include "printing/PrintJob.h"
#include "printing/PrinterChoice.h"
#include "ui/CommonDialog.h"
#include "ui/DialogService.h"
#include "ui/SignWindowPrintHost.h"
#include "ui/WindowHelpers.h"
#include "ui/frmCalibrate.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPageSize>
#include <QPrinter>
#include <QStatusBar>
#include <QTableView>

#include <algorithm>

void frmSigns::addPrinterCommands(QMenu* file)
{
    mnuFilePrinterSetup
        = Menus::addAction(file, "mnuFilePrinterSetup", QStringLiteral("Printer Setup"));
    mnuFilePrintTest
        = Menus::addAction(file, "mnuFilePrintTest", QStringLiteral("Calibrate Printer"));
    Menus::addSeparator(file, "mnuFileSep4");
    mnuFilePrintPreview
        = Menus::addAction(file, "mnuFilePrintPreview", QStringLiteral("Print Preview"));
    mnuFilePrintGrid = Menus::addAction(file, "mnuFilePrintGrid", QStringLiteral("Print Signs"));

    connect(mnuFilePrinterSetup, &QAction::triggered, this, &frmSigns::mnuFilePrinterSetup_Click);
    connect(mnuFilePrintTest, &QAction::triggered, this, &frmSigns::mnuFilePrintTest_Click);
    connect(mnuFilePrintPreview, &QAction::triggered, this, &frmSigns::mnuFilePrintPreview_Click);
    connect(mnuFilePrintGrid, &QAction::triggered, this, &frmSigns::mnuFilePrintGrid_Click);
}

void frmSigns::doPrinterSetup()
{
    CommonDialog& dialog = CommonDialog1();
    dialog.setFlags(CommonDialog::FlagPrinterSetup);
    dialog.setCancelError(true);
    QPrinter* chosen = printer();
    const QString before = chosen->printerName();
    const QPageSize paperBefore = chosen->pageLayout().pageSize();
    if (!dialog.ShowPrinter(chosen))
        return;
    // The dialog carries the old printer's paper over to a newly chosen
    // printer that also takes it; unless the user chose paper there, the
    // new printer prints on its own default paper.
    if (chosen->printerName() != before
        && chosen->pageLayout().pageSize().isEquivalentTo(paperBefore))
        PrinterChoice::useDefaultPaper(*chosen);
    m_settings.save(SettingsKeys::PRINTER, PrinterChoice::toText(*chosen));
}

void frmSigns::mnuFilePrinterSetup_Click()
{
    doPrinterSetup();
}

// The calibration dialog, shown modally over the window and discarded when
// closed.
void frmSigns::mnuFilePrintTest_Click()
{
    frmCalibrate dialog(
        settings(), dialogs(), printer(), [this] { doPrinterSetup(); }, this);
    dialog.exec();
}

QVector<int> frmSigns::selectedRows() const
{
    QVector<int> rows;
    for (const QModelIndex& index : msfGrid->selectionModel()->selectedRows())
        rows.append(index.row() + 1);
    std::sort(rows.begin(), rows.end());
    return rows;
}

void frmSigns::PrintSigns(bool print)
{
    const QVector<int> rows = selectedRows();
    DialogService::PrintRangeRequest request;
    request.title = print ? QStringLiteral("Print Signs") : QStringLiteral("Print Preview");
    request.signsPerPage = SignsPerPage(SignFormat(checkedFormat()));
    for (int row = 1; row < m_model->Rows(); ++row) {
        if (!IsBlankRow(*m_model, row))
            ++request.signs;
    }
    for (int row : rows) {
        if (row < m_model->Rows() && !IsBlankRow(*m_model, row))
            ++request.selectedSigns;
    }
    request.initial = m_lastPrintRange;
    // An empty list has nothing to choose from: the job says so.
    std::optional<PrintRange> range = PrintRange();
    if (request.signs > 0)
        range = m_dialogs.printRangeDialog(request, this);
    if (!range)
        return;
    if (request.signs > 0) {
        m_lastPrintRange = *range;
        m_lastPrintRange.rows.clear();
    }
    if (range->selectedOnly)
        range->rows = rows;

    SignWindowPrintHost host(*this);
    PrintJob job(*m_model, m_settings, host.printOptions(m_settings), host);
    const PrintResult result = job.PrintSigns(print, *range);
    if (result.completed)
        statusBar()->showMessage(PrintResultMessage(result));
}

void frmSigns::mnuFilePrintGrid_Click()
{
    PrintSigns(true);
}

void frmSigns::mnuFilePrintPreview_Click()
{
    PrintSigns(false);
}
