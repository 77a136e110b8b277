// kestrane-batch: prints a POS data file or a saved sign list without any
// window, through the same print job as the window, to a CUPS printer or a
// PDF file. Options come from the window's stored settings unless given on
// the command line; nothing is ever written to the store.
#include "batch/BatchCommand.h"

#include <QGuiApplication>

#include <cstdio>

namespace {

// Qt's own notes (a missing runtime folder, a painter that would not start)
// would only clutter the one line a failure gets; the command reports every
// failure itself.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(text));
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

    BatchCommand command(
        [](const QString& text) {
            std::fputs(text.toLocal8Bit().constData(), stderr);
            std::fflush(stderr);
        },
        [](const QString& text) { std::fputs(text.toLocal8Bit().constData(), stdout); });
    return command.execute(arguments);
}
