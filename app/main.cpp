#include <QApplication>
#include <QDir>
#include <QTimer>

#include "base/OdbcPool.h"
#include "itemdata/LookupService.h"
#include "ui/DialogService.h"
#include "ui/SingleInstance.h"
#include "ui/frmSigns.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

const char* const Usage
    = "Usage: kestrane [FILE...]\n"
      "Prints shelf and price signs. Each FILE (a POS data file or a saved list)\n"
      "is read into the list at start, as File, Read Data File does. When Kestrane\n"
      "already runs for this user, its window comes to the front and reads the\n"
      "files instead.\n"
      "  --help     show this text\n"
      "  --version  show the version\n";

// Answers --help and --version before the window system is opened, so
// they work without a display; returns true when one was answered.
bool answeredInfoOption(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            break;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(Usage, stdout);
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("kestrane %d.%d.%d\n", KESTRANE_VERSION_MAJOR, KESTRANE_VERSION_MINOR,
                KESTRANE_VERSION_PATCH);
            return true;
        }
    }
    return false;
}

// What the toolkit left of the command line: the data files to read, as
// full paths (the running window has a folder of its own). False after an
// unknown option, which is reported.
bool dataFileArguments(QStringList& files)
{
    bool optionsEnd = false;
    const QStringList args = QApplication::arguments().mid(1);
    for (const QString& arg : args) {
        if (!optionsEnd && arg == QLatin1String("--")) {
            optionsEnd = true;
        } else if (!optionsEnd && arg.startsWith(QLatin1Char('-'))) {
            std::fprintf(stderr, "kestrane: unknown option %s\n", qPrintable(arg));
            std::fputs(Usage, stderr);
            return false;
        } else {
            files << QDir::current().absoluteFilePath(arg);
        }
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    if (answeredInfoOption(argc, argv))
        return 0;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrane"));
    QStringList files;
    if (!dataFileArguments(files))
        return 2;

    int status = 0;
    {
        SingleInstance instance(SingleInstance::defaultWorkListPath());
        QString problem;
        switch (instance.start(files, &problem)) {
        case SingleInstance::Start::HandedOver:
            return 0;
        case SingleInstance::Start::NotAnswering:
            std::fprintf(stderr, "%s\n", qPrintable(problem));
            DialogService::instance().message(problem, DialogService::Buttons::Ok,
                DialogService::Icon::Exclamation, QStringLiteral("Kestrane"));
            return 1;
        case SingleInstance::Start::First:
            break;
        }

        frmSigns window;
        QObject::connect(
            &instance, &SingleInstance::activated, &window, [&window](const QStringList& more) {
                window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
                window.show();
                window.raise();
                window.activateWindow();
                window.openDataFiles(more);
            });
        window.show();
        if (!files.isEmpty())
            QTimer::singleShot(0, &window, [&window, files] { window.openDataFiles(files); });
        status = app.exec();
    }
    // A database call that a silent server holds inside its driver is not
    // waited for: the window and everything of the program's own are saved
    // and gone by now, and ending here skips tearing down the ODBC
    // environment under that call.
    if (OdbcPool::runningUses() > 0 || LookupService::runningWork() > 0) {
        std::fflush(nullptr);
        _exit(status);
    }
    return status;
}
