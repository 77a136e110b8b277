#pragma once

#include "printing/PrintRange.h"

#include <QString>
#include <QtGlobal>

#include <vector>

class SignListModel;

// Which sign goes in which cell of which page, worked out before anything is
// drawn. The signs fill the cells in list order from the range's first cell
// on; the pages outside the range are left out.
struct PlannedSign
{
    int row = 0; // grid row, from 1
    int cell = 0; // cell of its page, from 1
};

struct PlannedPage
{
    // The page's number as the whole run lays the pages out (the first one
    // starting at the first cell), before the range cuts it.
    qint32 number = 0;
    std::vector<PlannedSign> signs;
};

struct PrintPlan
{
    enum class Outcome {
        Ready,
        NoData, // no row to print
        NoSuchPage // the range starts past the last page
    };
    Outcome outcome = Outcome::NoData;
    std::vector<PlannedPage> pages;
    // How many pages the whole run fills and where the range starts.
    qint32 lastPage = 0;
    qint32 fromPage = 1;

    qint32 signs() const;
    // The notice for NoSuchPage.
    QString noSuchPageMessage() const;
};

// The rows of the list that make a sign (not blank), in order.
std::vector<int> PrintableRows(const SignListModel& model);

// The plan for those rows (grid rows from 1) on pages of signsPerPage cells.
// A selection keeps only the chosen rows that are printable; the first cell
// is kept to the page's cells; a range running past the last page ends there.
PrintPlan PlanPages(
    const std::vector<int>& printableRows, int signsPerPage, const PrintRange& range);
