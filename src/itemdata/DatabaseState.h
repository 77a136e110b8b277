#pragma once

#include <QString>

// What the program last learned about one of its two databases: whether a
// connection string is set, and whether the last use reached the table.
struct DatabaseState
{
    enum Kind { NotSet, NotAsked, Connected, Unavailable };
    Kind kind = NotAsked;
    QString reason; // the driver's text when Unavailable
};
