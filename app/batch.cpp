// kestrane-batch: prints a POS data file or a saved sign list without any
// window, through the same print job as the window, to a CUPS printer or a
// PDF file. Options come from the window's stored settings unless given on
// the command line; nothing is ever written to the store.
#include "base/MORNLIB.h"
#include "base/PictureReader.h"
#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "document/PrintOptions.h"
#include "document/SignListModel.h"
#include "itemdata/InventoryDictionary.h"
#include "itemdata/SignListImportExport.h"
#include "itemdata/qorDatFile.h"
#include "itemdata/qorDct.h"
#include "printing/PrintHost.h"
#include "printing/PrintJob.h"
#include "printing/PrintRange.h"
#include "printing/PrinterCanvas.h"
#include "printing/PrinterChoice.h"
#include "printing/RunTimeError.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>
#include <QPrinterInfo>

#include <unistd.h>

#include <cstdio>
#include <optional>

namespace {

const char* const Usage
    = "Usage: kestrane-batch [--dictionary FILE] [--format 4up|2up|1up] [--style bullet|desc]\n"
      "                      [--title TEXT] [--set KEY=VALUE]... [--first-cell N]\n"
      "                      [--pages FROM-TO] (--pdf FILE | --printer NAME) DATAFILE\n";

const char* const Help
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
      "  --pdf FILE          write the signs to a PDF file\n"
      "  --printer NAME      send the signs to the CUPS printer NAME\n"
      "  --help              show this text\n"
      "\n"
      "Errors go to standard error with exit status 1 (2 for bad arguments).\n";

void say(const QString& text)
{
    std::fprintf(stderr, "kestrane-batch: %s\n", qPrintable(text));
}

int badArguments(const QString& text)
{
    say(text);
    std::fputs(Usage, stderr);
    return 2;
}

// The batch side of a print run: progress and outcome on standard error.
class BatchPrintHost : public PrintHost
{
public:
    BatchPrintHost(QPrinter& printer, QString target)
        : m_printer(printer)
        , m_target(std::move(target))
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
        say(QStringLiteral("no signs to print"));
    }
    void reportNotice(const QString& text) override
    {
        m_failed = true;
        say(text);
    }
    bool reportError(const RunTimeError& error) override
    {
        m_failed = true;
        endProgress();
        say(QStringLiteral("cannot print to %1: error %2: %3")
                .arg(m_target)
                .arg(error.number())
                .arg(error.description()));
        return false;
    }
    bool failed() const { return m_failed; }

private:
    QPrinter& m_printer;
    QString m_target;
    bool m_terminal;
    bool m_shown = false;
    bool m_failed = false;
    QElapsedTimer m_sinceShown;
};

// Qt's own notes (a missing runtime folder, a painter that would not start)
// would only clutter the one line a failure gets; the command reports every
// failure itself.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

std::optional<int> positiveNumber(const QString& text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok && n >= 1 ? std::optional<int>(n) : std::nullopt;
}

// A night's run must not be lost to one picture: an item picture that
// cannot be read as one is left off its sign (and said so), where the
// window would stop the print run. Each file is decoded once, small.
void dropBadPictures(SignListModel& model)
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

} // namespace

int main(int argc, char* argv[])
{
    // Runs with no display at all unless a platform is asked for.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietQtMessages);
    // Qt takes some options for itself (--style among them), so the command
    // line is read as given, before the application sees it.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("kestrane-batch"));

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
    const QCommandLineOption pdfOption(QStringLiteral("pdf"), {}, "FILE");
    const QCommandLineOption printerOption(QStringLiteral("printer"), {}, "NAME");
    parser.addOptions({ help, dictionaryOption, formatOption, styleOption, titleOption, setOption,
        firstCellOption, pagesOption, pdfOption, printerOption });
    parser.addPositionalArgument(QStringLiteral("DATAFILE"), {});
    if (!parser.parse(arguments))
        return badArguments(parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(Usage, stdout);
        std::fputs(Help, stdout);
        return 0;
    }

    for (const QCommandLineOption* once : { &dictionaryOption, &formatOption, &styleOption,
             &titleOption, &firstCellOption, &pagesOption, &pdfOption, &printerOption }) {
        if (parser.values(*once).size() > 1)
            return badArguments(
                QStringLiteral("--%1 is given more than once").arg(once->names()[0]));
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return badArguments(files.isEmpty() ? QStringLiteral("no data file is given")
                                            : QStringLiteral("only one data file can be given"));
    const QString dataFile = files[0];
    if (parser.isSet(pdfOption) == parser.isSet(printerOption))
        return badArguments(QStringLiteral("give either --pdf FILE or --printer NAME"));

    AppSettings settings(SettingsKeys::Application, SettingsKeys::Section);
    for (const QString& pair : parser.values(setOption)) {
        const qsizetype eq = pair.indexOf(QLatin1Char('='));
        if (eq < 1)
            return badArguments(QStringLiteral("--set needs KEY=VALUE, not \"%1\"").arg(pair));
        settings.setOverride(pair.left(eq), pair.mid(eq + 1));
    }

    PrintOptions options = ReadPrintOptions(settings);
    if (parser.isSet(formatOption)) {
        const std::optional<SignFormat> format = formatFromName(parser.value(formatOption));
        if (!format)
            return badArguments(QStringLiteral("unknown format \"%1\" (4up, 2up or 1up)")
                                    .arg(parser.value(formatOption)));
        options.format = *format;
        ReadCalibration(settings, options);
    }
    if (parser.isSet(styleOption)) {
        const QString style = parser.value(styleOption);
        if (style != QLatin1String("bullet") && style != QLatin1String("desc"))
            return badArguments(QStringLiteral("unknown style \"%1\" (bullet or desc)").arg(style));
        options.bullet = style == QLatin1String("bullet");
    }
    if (parser.isSet(titleOption)) {
        options.sign.titleText = parser.value(titleOption);
        if (options.sign.title == 0 && !settings.overrides().contains(SettingsKeys::PRINTTITLE))
            options.sign.title = 1;
    }

    // The signs' positions on the pages; parsed here, applied by the print job.
    PrintRange paging;
    if (parser.isSet(firstCellOption)) {
        const std::optional<int> cell = positiveNumber(parser.value(firstCellOption));
        const int cells = formatInfo(options.format).signsPerPage;
        if (!cell || *cell > cells)
            return badArguments(QStringLiteral("--first-cell must be 1 to %1 for the %2 format")
                                    .arg(cells)
                                    .arg(formatInfo(options.format).name));
        paging.firstCell = *cell;
    }
    if (parser.isSet(pagesOption)) {
        const QStringList range = parser.value(pagesOption).split(QLatin1Char('-'));
        const std::optional<int> from = range.size() == 2 ? positiveNumber(range[0]) : std::nullopt;
        const std::optional<int> to = range.size() == 2 ? positiveNumber(range[1]) : std::nullopt;
        if (!from || !to || *from > *to)
            return badArguments(
                QStringLiteral("--pages needs FROM-TO with 1 <= FROM <= TO, not \"%1\"")
                    .arg(parser.value(pagesOption)));
        paging.fromPage = *from;
        paging.toPage = *to;
    }

    // The dictionary, as the window loads it at start-up.
    const QString dictionaryPath = parser.isSet(dictionaryOption)
        ? parser.value(dictionaryOption)
        : settings.text(SettingsKeys::DICTIONARY, QString());
    if (dictionaryPath.isEmpty()) {
        say(QStringLiteral("no dictionary: give --dictionary FILE or choose one in the window"));
        return 1;
    }
    qorDct dictionary;
    const CommandResult loaded = InventoryDictionary::load(dictionary, dictionaryPath);
    if (loaded.status == CommandResult::Status::Failure) {
        say(loaded.message);
        return 1;
    }
    if (!loaded.done())
        say(loaded.message);

    // The records, as Read Data File appends them to a fresh list.
    SignListModel model;
    qorDatFile reader(
        [&dataFile](const QString& text) { say(dataFile + QStringLiteral(": ") + text); });
    const CommandResult opened = SignListImportExport::openDataFile(reader, dataFile, dictionary);
    if (!opened.done()) {
        say(dataFile + QStringLiteral(": ") + opened.message);
        return 1;
    }
    SignListImportExport io(model);
    io.importRecords(reader, {});
    const CommandResult read = io.readResult(reader, dataFile);
    if (!read.done()) {
        say(read.message);
        return 1;
    }

    if (options.sign.graphic == 1)
        dropBadPictures(model);

    QPrinter printer(QPrinter::HighResolution);
    QString target;
    if (parser.isSet(pdfOption)) {
        target = parser.value(pdfOption);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(target);
    } else {
        target = parser.value(printerOption);
        if (QPrinterInfo::printerInfo(target).isNull()) {
            say(QStringLiteral("no printer named \"%1\"").arg(target));
            return 1;
        }
        printer.setPrinterName(target);
        PrinterChoice::useDefaultPaper(printer);
    }

    BatchPrintHost host(printer, target);
    PrintJob job(model, settings, options, host);
    const PrintResult result = job.PrintSigns(true, paging);
    if (host.failed())
        return 1;
    // Signs changed to fit, or printed without their barcode, are told as
    // the window tells them: its status-bar line.
    if (result.completed
        && (!result.rowsCut.empty() || result.signsShrunk > 0
            || !result.rowsBarcodeLeftOff.empty()))
        std::fprintf(stderr, "%s\n", qPrintable(PrintResultMessage(result)));
    return 0;
}
