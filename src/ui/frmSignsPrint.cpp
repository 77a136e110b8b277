// The main window's printing commands: Print Signs and Print Preview.

#include "ui/frmSigns.h"

#include "document/SignListModel.h"
#include "printing/PrintJob.h"
#include "ui/DialogService.h"
#include "ui/SignWindowPrintHost.h"

#include <QItemSelectionModel>
#include <QStatusBar>
#include <QTableView>

#include <algorithm>

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
