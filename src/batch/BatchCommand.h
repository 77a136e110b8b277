#pragma once

#include "document/PrintOptions.h"
#include "printing/PrintRange.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>

class AppSettings;
class SignListModel;

// The kestrane-batch command: reads its command line, then prints a POS data
// file or a saved list to a PDF file or a CUPS printer with the window's
// stored options and the command line's changes to them. It needs a
// QGuiApplication and writes nothing to the settings store. Messages go to
// the error sink (standard error in the program), the help to the output
// sink.
class BatchCommand
{
public:
    using Sink = std::function<void(const QString&)>;

    // What the command line asks for, as given: the options that depend on
    // the stored settings (the cells of the format) are checked as they are
    // applied.
    struct Request
    {
        QString dataFile;
        std::optional<QString> dictionary; // none: the one the window uses
        std::optional<QString> pdf; // one of pdf and printer is given
        QString printer;
        std::optional<QString> format;
        std::optional<QString> style;
        std::optional<QString> title;
        std::optional<QString> firstCell;
        std::optional<QString> pages;
        std::optional<QString> copies;
        QStringList overrides; // KEY=VALUE
        bool lookup = false; // fill the empty cells from the databases first
        bool checkPrices = false; // compare the prices with the inventory first
        bool help = false;
    };

    BatchCommand(Sink errors, Sink output);

    // The exit status: 0 printed, 1 failed, 2 bad arguments, 3 prices differ
    // from the inventory (--check-prices). arguments[0] is
    // the program's name.
    int execute(const QStringList& arguments);

    // The request, or the bad-arguments message.
    static std::pair<std::optional<Request>, QString> parse(const QStringList& arguments);

    static const char* const Usage;
    static const char* const Help;

private:
    int badArguments(const QString& text);
    int run(const Request& request);
    // The options and the paging the request gives on top of the settings;
    // the bad-arguments message when it cannot be applied.
    static QString applyRequest(
        const Request& request, AppSettings& settings, PrintOptions& options, PrintRange& paging);
    static QString applyPaging(const Request& request, SignFormat format, PrintRange& paging);
    // The list the data file holds; false after a reported failure.
    bool readList(const Request& request, const AppSettings& settings, SignListModel& model);
    void dropBadPictures(SignListModel& model);
    // Fills the list's empty cells from the databases; false after a
    // reported failure (a set database that could not be read).
    bool lookUpRows(const AppSettings& settings, SignListModel& model);
    // Lists the rows whose prices differ from the inventory on the output:
    // 0 when none differs, 3 when some do, 1 when the inventory could not
    // be read.
    int checkPrices(const AppSettings& settings, const SignListModel& model);
    void say(const QString& text);

    Sink m_errors;
    Sink m_output;
};
