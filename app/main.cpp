// Zebrix: draws a one-dimensional barcode from a line of text while you type.
#include "MainWindow.h"
#include "TypedInput.h"
#include "output/files/FileOutput.h"
#include "platform/FrenchTranslations.h"
#include "platform/Look.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include <cstring>

namespace {

void Describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Dessine un code barre Code 39, Interleaved 2 of 5, Code 128 ou Codabar à partir d'une ligne de texte."));
    parser.addHelpOption();
    parser.addVersionOption();
}

// --help and --version are answered without a window system, so they work
// over ssh and in a terminal without a display, as with other Qt programs.
bool AsksForHelpOrVersion(int argc, char** argv)
{
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i)
        for (const char* o : {"-h", "--help", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], o) == 0)
                return true;
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (!zebrix::OpenClosedStandardStreams())
        return 1;
    QCoreApplication::setApplicationName(zebrix::ProgramTitle());
    QCoreApplication::setApplicationVersion(QStringLiteral(ZEBRIX_VERSION));
    if (AsksForHelpOrVersion(argc, argv)) {
        QCoreApplication core(argc, argv);
        QCommandLineParser parser;
        Describe(parser);
        parser.process(core); // prints and exits
    }

    QApplication app(argc, argv);
    zebrix::InstallFrenchTranslations(); // Qt's own buttons and dialogs too, whatever the locale
    {
        QCommandLineParser parser; // what Qt left: an unknown option gets a message and status 1
        Describe(parser);
        parser.process(app);
    }
    // The program's id: Wayland compositors and desktops find its menu entry and icon by it.
    QApplication::setDesktopFileName(QStringLiteral("org.example.zebrix"));
    QIcon icon;
    for (const char* size : {"32", "64", "128"})
        icon.addFile(QStringLiteral(":/zebrix/zebrix-%1.png").arg(QLatin1String(size)));
    QApplication::setWindowIcon(icon);

    zebrix::MainWindow window;
    window.show();
    if (qEnvironmentVariableIntValue("ZEBRIX_TYPE_FROM_STDIN") == 1)
        zebrix::TypeLinesFromStandardInput(&app);
    return app.exec();
}
