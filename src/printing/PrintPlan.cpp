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
    // last cell fill the next pages.
    const qint64 perPage = signsPerPage;
    const int firstCell = std::clamp(range.firstCell, 1, signsPerPage);
    plan.lastPage = qint32((qint64(rows.size()) + firstCell - 1 + perPage - 1) / perPage);
    plan.fromPage = std::max(range.fromPage, 1);
    const qint32 toPage = range.toPage <= 0 ? plan.lastPage : std::min(range.toPage, plan.lastPage);
    if (plan.fromPage > toPage) {
        plan.outcome = PrintPlan::Outcome::NoSuchPage;
        return plan;
    }
    plan.outcome = PrintPlan::Outcome::Ready;
    for (size_t i = 0; i < rows.size(); ++i) {
        const qint64 slot = qint64(i) + firstCell;
        const qint32 page = qint32((slot - 1) / perPage + 1);
        if (page < plan.fromPage || page > toPage)
            continue;
        if (plan.pages.empty() || plan.pages.back().number != page)
            plan.pages.push_back({ page, {} });
        plan.pages.back().signs.push_back({ rows[i], int((slot - 1) % perPage + 1) });
    }
    return plan;
}
