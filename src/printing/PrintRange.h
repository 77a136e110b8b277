#pragma once

#include <QVector>

// Which part of the sign list a print run prints, how many of each sign,
// and where on the first sheet it starts: a sheet with some cells already
// used starts at a later cell, and a run can be cut to a range of its pages
// or to chosen rows. Pages are numbered as the whole run lays them out, the
// first one starting at firstCell.
struct PrintRange
{
    // The first page's cell the first sign goes in, from 1 (up to 4 in
    // 4-Up, 2 in 2-Up; 1-Up has only 1).
    int firstCell = 1;
    // The pages printed, from 1; toPage 0 runs to the last page.
    int fromPage = 1;
    int toPage = 0;
    // Only these grid rows (from 1) instead of the whole list.
    bool selectedOnly = false;
    QVector<int> rows;
    // How many of each sign, side by side in consecutive cells (1 to
    // MaxCopies).
    int copies = 1;

    static constexpr int MaxCopies = 99;
};
