#include "printing/PrintPlan.h"

#include "document/SignListModel.h"
#include "printing/SignLayout.h"

#include <algorithm>

qint32 PrintPlan::signs() const
{
    qint32 n = 0;
    for (const PlannedPage& page : pages)
        n += qint32(page.signs.size());
    return n;
}

QString PrintPlan::noSuchPageMessage() const
{
    return QStringLiteral("There is no page %1 to print: the signs fill %2.")
        .arg(fromPage)
        .arg(lastPage == 1 ? QStringLiteral("1 page") : QStringLiteral("%1 pages").arg(lastPage));
}

std::vector<int> PrintableRows(const SignListModel& model)
{
    std::vector<int> rows;
    const int lastRow = model.Rows() - 1;
    for (int row = 1; row <= lastRow; ++row) {
        if (!IsBlankRow(model, row))
            rows.push_back(row);
    }
    return rows;
}

namespace {

std::vector<int> chosenRows(const std::vector<int>& printable, const PrintRange& range)
{
    if (!range.selectedOnly)
        return printable;
    std::vector<int> wanted(range.rows.begin(), range.rows.end());
    std::sort(wanted.begin(), wanted.end());
    std::vector<int> chosen;
    for (int row : printable) {
        if (std::binary_search(wanted.begin(), wanted.end(), row))
            chosen.push_back(row);
    }
    return chosen;
}

} // namespace

PrintPlan PlanPages(
    const std::vector<int>& printableRows, int signsPerPage, const PrintRange& range)
{
    PrintPlan plan;
    const std::vector<int> rows = chosenRows(printableRows, range);
    if (rows.empty() || signsPerPage < 1)
        return plan;

    // Slot n is cell n of the first page; the slots after the first page's
    // last cell fill the next pages. Each row takes copies slots in a row.
    const qint64 perPage = signsPerPage;
    const qint64 copies = std::clamp(range.copies, 1, PrintRange::MaxCopies);
    const int firstCell = std::clamp(range.firstCell, 1, signsPerPage);
    const qint64 lastSlot = qint64(rows.size()) * copies + firstCell - 1;
    plan.lastPage = qint32((lastSlot + perPage - 1) / perPage);
    plan.fromPage = std::max(range.fromPage, 1);
    const qint32 toPage = range.toPage <= 0 ? plan.lastPage : std::min(range.toPage, plan.lastPage);
    if (plan.fromPage > toPage) {
        plan.outcome = PrintPlan::Outcome::NoSuchPage;
        return plan;
    }
    plan.outcome = PrintPlan::Outcome::Ready;
    // Only the slots of the pages printed are walked: a page range near the
    // end of a long run with many copies costs no more than its own pages.
    const qint64 from = std::max<qint64>(firstCell, (plan.fromPage - 1) * perPage + 1);
    const qint64 to = std::min<qint64>(lastSlot, toPage * perPage);
    for (qint64 slot = from; slot <= to; ++slot) {
        const qint32 page = qint32((slot - 1) / perPage + 1);
        if (plan.pages.empty() || plan.pages.back().number != page)
            plan.pages.push_back({ page, {} });
        const int row = rows[size_t((slot - firstCell) / copies)];
        plan.pages.back().signs.push_back({ row, int((slot - 1) % perPage + 1) });
    }
    return plan;
}
