#include "batch/BatchCommand.h"

#include "base/MORNLIB.h"
#include "base/PictureReader.h"
#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "document/SignListModel.h"
#include "itemdata/InventoryDictionary.h"
#include "itemdata/ListLookup.h"
#include "itemdata/PriceCheck.h"
#include "itemdata/SignListImportExport.h"
#include "itemdata/qorDatFile.h"
#include "itemdata/qorDct.h"
#include "printing/PrintHost.h"
#include "printing/PrintJob.h"
#include "printing/PrinterCanvas.h"
#include "printing/PrinterChoice.h"
#include "printing/RunTimeError.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>

#include <unistd.h>

#include <cstdio>

const char* const BatchCommand::Usage
    = "Usage: kestrane-batch [--dictionary FILE] [--format 4up|2up|1up] [--style bullet|desc]\n"
      "                      [--title TEXT] [--set KEY=VALUE]... [--first-cell N]\n"
      "                      [--pages FROM-TO] [--copies N] [--lookup]\n"
      "                      (--pdf FILE | --printer NAME) DATAFILE\n"
      "       kestrane-batch --check-prices [OPTIONS] [--pdf FILE | --printer NAME]\n"
      "                      DATAFILE\n";

const char* const BatchCommand::Help
    = "Prints the signs of a POS data file (.txt or .dat) or of a list saved by the\n"
      "window's Save To Data File, without a window.\n"
      "\n"
      "  --dictionary FILE   POS data dictionary (default: the one the window uses)\n"
      "  --format NAME       4up, 2up or 1up (default: the window's format)\n"
      "  --style NAME        bullet or desc (default: the window's style)\n"
      "  --title TEXT        title text of every sign; turns the title on\n"
      "  --set KEY=VALUE     use VALUE for settings key KEY for this run only\n"
      "                      (for example --set PRINTBORDER=1 --set LOGOWIDTH=2)\n"
      "  --first-cell N      start on cell N of the first page\n"
      "  --pages FROM-TO     print only pages FROM to TO\n"
      "  --copies N          print N copies of each sign side by side (1 to 99)\n"
      "  --lookup            fill the empty cells of every row that has a SKU from\n"
      "                      the inventory and CIS databases before printing\n"
      "                      (connection strings as stored, or --set ODBCINV=...\n"
      "                      and --set ODBCCIS=...); rows not found are listed\n"
      "  --check-prices      compare each row's promo and retail prices with the\n"
      "                      inventory and list the rows that differ on standard\n"
      "                      output (exit status 3); with --pdf or --printer the\n"
      "                      signs are printed only when no price differs\n"
      "  --pdf FILE          write the signs to a PDF file\n"
      "  --printer NAME      send the signs to the CUPS printer NAME\n"
      "  --help              show this text\n"
      "\n"
      "Errors go to standard error with exit status 1 (2 for bad arguments).\n";

namespace {

// The batch side of a print run: progress and outcome on standard error.
class BatchPrintHost : public PrintHost
{
public:
    BatchPrintHost(QPrinter& printer, QString target, std::function<void(const QString&)> say)
        : m_printer(printer)
        , m_target(std::move(target))
        , m_say(std::move(say))
        , m_terminal(isatty(STDERR_FILENO) == 1)
    {
    }

    std::unique_ptr<SignCanvas> openPrinterCanvas() override
    {
        return std::make_unique<PrinterCanvas>(&m_printer);
    }
    void showProgress(bool, qint32 sign, qint32 signs) override
    {
        if (!m_terminal)
            return;
        if (sign == 1)
            m_sinceShown.start();
        else if (sign != signs && m_sinceShown.elapsed() < 100)
            return;
        std::fprintf(stderr, "\rPrinting sign %d of %d", int(sign), int(signs));
        std::fflush(stderr);
        m_shown = true;
        m_sinceShown.restart();
    }
    void endProgress() override
    {
        if (m_shown)
            std::fputs("\n", stderr);
        m_shown = false;
    }
    void reportNoData() override
    {
        m_failed = true;
        m_say(QStringLiteral("no signs to print"));
    }
    void reportNotice(const QString& text) override
    {
        m_failed = true;
        m_say(text);
    }
    bool reportError(const RunTimeError& error) override
    {
        m_failed = true;
        endProgress();
        m_say(QStringLiteral("cannot print to %1: error %2: %3")
                  .arg(m_target)
                  .arg(error.number())
                  .arg(error.description()));
        return false;
    }
    bool failed() const { return m_failed; }

private:
    QPrinter& m_printer;
    QString m_target;
    std::function<void(const QString&)> m_say;
    bool m_terminal;
    bool m_shown = false;
    bool m_failed = false;
    QElapsedTimer m_sinceShown;
};

std::optional<int> positiveNumber(const QString& text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok && n >= 1 ? std::optional<int>(n) : std::nullopt;
}

} // namespace

BatchCommand::BatchCommand(Sink errors, Sink output)
    : m_errors(std::move(errors))
    , m_output(std::move(output))
{
}

void BatchCommand::say(const QString& text)
{
    m_errors(QStringLiteral("kestrane-batch: %1\n").arg(text));
}

int BatchCommand::badArguments(const QString& text)
{
    say(text);
    m_errors(QString::fromLatin1(Usage));
    return 2;
}

int BatchCommand::execute(const QStringList& arguments)
{
    const auto [request, problem] = parse(arguments);
    if (!request)
        return badArguments(problem);
    if (request->help) {
        m_output(QString::fromLatin1(Usage) + QString::fromLatin1(Help));
        return 0;
    }
    return run(*request);
}

namespace {

// Takes the --set KEY=VALUE pairs into overrides; returns what is wrong
// with the first bad one.
QString setOverrides(const QStringList& pairs, QStringList& overrides)
{
    for (const QString& pair : pairs) {
        const qsizetype eq = pair.indexOf(QLatin1Char('='));
        if (eq < 1)
            return QStringLiteral("--set needs KEY=VALUE, not \"%1\"").arg(pair);
        // A misspelt key would be taken in silence and change nothing.
        if (!SettingsKeys::find(pair.left(eq)))
            return QStringLiteral("--set: unknown settings key \"%1\"").arg(pair.left(eq));
        overrides << pair;
    }
    return QString();
}

// Exactly one of --pdf FILE and --printer NAME, not empty.
QString destinationProblem(const QCommandLineParser& parser, const QCommandLineOption& pdfOption,
    const QCommandLineOption& printerOption, bool checkingPricesOnly)
{
    if (parser.isSet(pdfOption) && parser.isSet(printerOption))
        return QStringLiteral("give either --pdf FILE or --printer NAME");
    // Checking the prices alone prints nothing.
    if (!checkingPricesOnly && !parser.isSet(pdfOption) && !parser.isSet(printerOption))
        return QStringLiteral("give either --pdf FILE or --printer NAME");
    // An empty file name would make Qt print on paper, on the first queue,
    // and an empty printer name would pick one: a script whose variable is
    // unset must not print anywhere.
    if (parser.isSet(pdfOption) && parser.value(pdfOption).isEmpty())
        return QStringLiteral("--pdf needs a file name");
    if (parser.isSet(printerOption) && parser.value(printerOption).isEmpty())
        return QStringLiteral("--printer needs a printer name");
    return QString();
}

} // namespace

std::pair<std::optional<BatchCommand::Request>, QString> BatchCommand::parse(
    const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringLiteral("help"));
    const QCommandLineOption dictionaryOption(QStringLiteral("dictionary"), {}, "FILE");
    const QCommandLineOption formatOption(QStringLiteral("format"), {}, "NAME");
    const QCommandLineOption styleOption(QStringLiteral("style"), {}, "NAME");
    const QCommandLineOption titleOption(QStringLiteral("title"), {}, "TEXT");
    const QCommandLineOption setOption(QStringLiteral("set"), {}, "KEY=VALUE");
    const QCommandLineOption firstCellOption(QStringLiteral("first-cell"), {}, "N");
    const QCommandLineOption pagesOption(QStringLiteral("pages"), {}, "FROM-TO");
    const QCommandLineOption copiesOption(QStringLiteral("copies"), {}, "N");
    const QCommandLineOption pdfOption(QStringLiteral("pdf"), {}, "FILE");
    const QCommandLineOption printerOption(QStringLiteral("printer"), {}, "NAME");
    const QCommandLineOption lookupOption(QStringLiteral("lookup"));
    const QCommandLineOption checkPricesOption(QStringLiteral("check-prices"));
    parser.addOptions({ help, lookupOption, checkPricesOption, dictionaryOption, formatOption,
        styleOption, titleOption, setOption, firstCellOption, pagesOption, copiesOption, pdfOption,
        printerOption });
    parser.addPositionalArgument(QStringLiteral("DATAFILE"), {});
    const auto bad = [](const QString& text) { return std::pair(std::optional<Request>(), text); };
    if (!parser.parse(arguments))
        return bad(parser.errorText());
    Request request;
    if (parser.isSet(help)) {
        request.help = true;
        return { request, QString() };
    }
    for (const QCommandLineOption* once :
        { &dictionaryOption, &formatOption, &styleOption, &titleOption, &firstCellOption,
            &pagesOption, &copiesOption, &pdfOption, &printerOption }) {
        if (parser.values(*once).size() > 1)
            return bad(QStringLiteral("--%1 is given more than once").arg(once->names()[0]));
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return bad(files.isEmpty() ? QStringLiteral("no data file is given")
                                   : QStringLiteral("only one data file can be given"));
    request.dataFile = files[0];
    const QString whereProblem
        = destinationProblem(parser, pdfOption, printerOption, parser.isSet(checkPricesOption));
    if (!whereProblem.isEmpty())
        return bad(whereProblem);
    const QString setProblem = setOverrides(parser.values(setOption), request.overrides);
    if (!setProblem.isEmpty())
        return bad(setProblem);
    const auto given = [&parser](const QCommandLineOption& option) {
        return parser.isSet(option) ? std::optional<QString>(parser.value(option)) : std::nullopt;
    };
    request.dictionary = given(dictionaryOption);
    request.pdf = given(pdfOption);
    request.printer = parser.value(printerOption);
    request.format = given(formatOption);
    request.style = given(styleOption);
    request.title = given(titleOption);
    request.firstCell = given(firstCellOption);
    request.pages = given(pagesOption);
    request.copies = given(copiesOption);
    request.lookup = parser.isSet(lookupOption);
    request.checkPrices = parser.isSet(checkPricesOption);
    return { request, QString() };
}

QString BatchCommand::applyRequest(
    const Request& request, AppSettings& settings, PrintOptions& options, PrintRange& paging)
{
    for (const QString& pair : request.overrides) {
        const qsizetype eq = pair.indexOf(QLatin1Char('='));
        settings.setOverride(pair.left(eq), pair.mid(eq + 1));
    }
    // The calibration read is the one stored for the printer printed to, named
    // as the window's printer choice names it.
    const QString printerName = request.pdf
        ? PrinterChoice::PdfPrefix + QFileInfo(*request.pdf).absoluteFilePath()
        : request.printer;
    options = ReadPrintOptions(settings, printerName);
    if (request.format) {
        const std::optional<SignFormat> format = formatFromName(*request.format);
        if (!format)
            return QStringLiteral("unknown format \"%1\" (4up, 2up or 1up)").arg(*request.format);
        options.format = *format;
        ReadCalibration(settings, options, printerName);
    }
    if (request.style) {
        const QString& style = *request.style;
        if (style != QLatin1String("bullet") && style != QLatin1String("desc"))
            return QStringLiteral("unknown style \"%1\" (bullet or desc)").arg(style);
        options.bullet = style == QLatin1String("bullet");
    }
    if (request.title) {
        options.sign.titleText = *request.title;
        if (options.sign.title == 0 && !settings.overrides().contains(SettingsKeys::PRINTTITLE))
            options.sign.title = 1;
    }
    return applyPaging(request, options.format, paging);
}

// The signs' positions on the pages; parsed here, applied by the print job.
QString BatchCommand::applyPaging(const Request& request, SignFormat format, PrintRange& paging)
{
    if (request.firstCell) {
        const std::optional<int> cell = positiveNumber(*request.firstCell);
        const int cells = formatInfo(format).signsPerPage;
        if (!cell || *cell > cells)
            return QStringLiteral("--first-cell must be 1 to %1 for the %2 format")
                .arg(cells)
                .arg(formatInfo(format).name);
        paging.firstCell = *cell;
    }
    if (request.pages) {
        const QStringList range = request.pages->split(QLatin1Char('-'));
        const std::optional<int> from = range.size() == 2 ? positiveNumber(range[0]) : std::nullopt;
        const std::optional<int> to = range.size() == 2 ? positiveNumber(range[1]) : std::nullopt;
        if (!from || !to || *from > *to)
            return QStringLiteral("--pages needs FROM-TO with 1 <= FROM <= TO, not \"%1\"")
                .arg(*request.pages);
        paging.fromPage = *from;
        paging.toPage = *to;
    }
    if (request.copies) {
        const std::optional<int> copies = positiveNumber(*request.copies);
        if (!copies || *copies > PrintRange::MaxCopies)
            return QStringLiteral("--copies must be 1 to %1, not \"%2\"")
                .arg(PrintRange::MaxCopies)
                .arg(*request.copies);
        paging.copies = *copies;
    }
    return QString();
}

bool BatchCommand::readList(
    const Request& request, const AppSettings& settings, SignListModel& model)
{
    // The dictionary, as the window loads it at start-up.
    const QString dictionaryPath = request.dictionary
        ? *request.dictionary
        : settings.get(SettingsKeys::Setting::Dictionary).text();
    if (dictionaryPath.isEmpty()) {
        say(QStringLiteral("no dictionary: give --dictionary FILE or choose one in the window"));
        return false;
    }
    qorDct dictionary;
    const CommandResult loaded = InventoryDictionary::load(dictionary, dictionaryPath);
    if (loaded.status == CommandResult::Status::Failure) {
        say(loaded.message);
        return false;
    }
    if (!loaded.done())
        say(loaded.message);

    // The records, as Read Data File appends them to a fresh list.
    const QString& dataFile = request.dataFile;
    qorDatFile reader(
        [this, &dataFile](const QString& text) { say(dataFile + QStringLiteral(": ") + text); });
    const CommandResult opened = SignListImportExport::openDataFile(reader, dataFile, dictionary);
    if (!opened.done()) {
        say(dataFile + QStringLiteral(": ") + opened.message);
        return false;
    }
    SignListImportExport io(model);
    io.importRecords(reader, {});
    const CommandResult read = io.readResult(reader, dataFile);
    if (!read.done()) {
        say(read.message);
        return false;
    }
    return true;
}

// A night's run must not be lost to one picture: an item picture that
// cannot be read as one is left off its sign (and said so), where the
// window would stop the print run. Each file is decoded once, small.
void BatchCommand::dropBadPictures(SignListModel& model)
{
    QHash<QString, bool> readable;
    for (int row = 1; row < model.Rows(); ++row) {
        const QString path = model.cell(row, SignListModel::ColGraphic);
        if (!MORNLIB::FileExists(path))
            continue;
        auto known = readable.constFind(path);
        if (known == readable.constEnd())
            known = readable.insert(path, !PictureReader::read(path, QSize(64, 64)).isNull());
        if (known.value())
            continue;
        say(QStringLiteral("row %1: item picture %2 is not a picture; printed without it")
                .arg(row)
                .arg(path));
        model.setCell(row, SignListModel::ColGraphic, QString());
    }
}

bool BatchCommand::lookUpRows(const AppSettings& settings, SignListModel& model)
{
    const QString inventory = settings.get(SettingsKeys::Setting::OdbcInv).text();
    const QString cis = settings.get(SettingsKeys::Setting::OdbcCis).text();
    if (MORNLIB::IsBlank(inventory) && MORNLIB::IsBlank(cis)) {
        say(QStringLiteral("--lookup: no database is set (ODBCINV, ODBCCIS)"));
        return false;
    }
    std::vector<int> rows;
    QStringList skus;
    ListLookup::rowsWithSku(model, &rows, &skus);
    const ListLookup::Outcome outcome = ListLookup::run(skus, inventory, cis);
    // Signs printed from a database that could not be read would be signs
    // without their prices: nothing is printed.
    bool failed = false;
    if (outcome.inventory.kind == DatabaseState::Unavailable) {
        say(QStringLiteral("Inventory database unavailable: ") + outcome.inventory.reason);
        failed = true;
    }
    if (outcome.cis.kind == DatabaseState::Unavailable) {
        say(QStringLiteral("CIS database unavailable: ") + outcome.cis.reason);
        failed = true;
    }
    if (failed)
        return false;
    for (size_t i = 0; i < rows.size(); ++i) {
        SignRow sign = model.signRow(rows[i]);
        if (ListLookup::fillEmpty(sign, outcome.results[i]))
            model.setSignRow(rows[i], sign);
    }
    if (!ListLookup::notFound(rows, outcome).empty())
        say(ListLookup::summary(rows, outcome));
    return true;
}

int BatchCommand::checkPrices(const AppSettings& settings, const SignListModel& model)
{
    const QString inventory = settings.get(SettingsKeys::Setting::OdbcInv).text();
    if (MORNLIB::IsBlank(inventory)) {
        say(QStringLiteral("--check-prices: no inventory database is set (ODBCINV)"));
        return 1;
    }
    std::vector<int> rows;
    QStringList skus;
    ListLookup::rowsWithSku(model, &rows, &skus);
    const ListLookup::Outcome outcome = ListLookup::run(skus, inventory, QString());
    if (outcome.inventory.kind == DatabaseState::Unavailable) {
        say(QStringLiteral("Inventory database unavailable: ") + outcome.inventory.reason);
        return 1;
    }
    std::vector<SignRow> signs;
    for (int row : rows)
        signs.push_back(model.signRow(row));
    const std::vector<PriceCheck::Difference> differences
        = PriceCheck::compare(rows, signs, outcome);
    for (const PriceCheck::Difference& difference : differences)
        m_output(difference.line + QLatin1Char('\n'));
    return differences.empty() ? 0 : 3;
}

int BatchCommand::run(const Request& request)
{
    AppSettings settings(SettingsKeys::Application, SettingsKeys::Section);
    PrintOptions options;
    PrintRange paging;
    const QString problem = applyRequest(request, settings, options, paging);
    if (!problem.isEmpty())
        return badArguments(problem);
    SignListModel model;
    if (!readList(request, settings, model))
        return 1;
    if (request.lookup && !lookUpRows(settings, model))
        return 1;
    if (request.checkPrices) {
        const int checked = checkPrices(settings, model);
        if (checked != 0 || (!request.pdf && request.printer.isEmpty()))
            return checked;
    }
    if (options.sign.graphic == 1)
        dropBadPictures(model);

    QPrinter printer(QPrinter::HighResolution);
    QString target;
    if (request.pdf) {
        target = *request.pdf;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(target);
    } else {
        target = request.printer;
        if (QPrinterInfo::printerInfo(target).isNull()) {
            say(QStringLiteral("no printer named \"%1\"").arg(target));
            return 1;
        }
        printer.setPrinterName(target);
        PrinterChoice::useDefaultPaper(printer);
    }

    BatchPrintHost host(printer, target, [this](const QString& text) { say(text); });
    PrintJob job(model, settings, options, host);
    const PrintResult result = job.PrintSigns(true, paging);
    if (host.failed())
        return 1;
    // Signs changed to fit, or printed without their barcode, are told as
    // the window tells them: its status-bar line.
    if (result.completed
        && (!result.rowsCut.empty() || result.signsShrunk > 0
            || !result.rowsBarcodeLeftOff.empty()))
        m_errors(PrintResultMessage(result) + QLatin1Char('\n'));
    return 0;
}
