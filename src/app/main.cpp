// The desktop program: `Tarvo_Riviza_Editor` asks for the source; `Tarvo_Riviza_Editor SOURCE`
// opens a CD image file or a folder of exported files directly; `--version` prints the version
// without opening a window (so it works with no display, as in a package check).
#include <chrono>
#include <cstdio>

#include <QApplication>
#include <QCommandLineParser>

#include "app/startup_qt.h"
#include "store/messages.h"

#ifndef TARVO_VERSION
#define TARVO_VERSION "unknown"
#endif

int main(int argc, char** argv) {
    const auto started = std::chrono::steady_clock::now();
    QCoreApplication::setApplicationName(QString::fromLatin1(tarvo::kAppName));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARVO_VERSION));

    // Read before the application starts, so that --help and --version work without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Edits the team and player data of the game in a CD image or a folder of exported files."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("SOURCE"),
                                 QStringLiteral("The CD image file or the folder of exported files; asked for when "
                                                "not given."),
                                 QStringLiteral("[SOURCE]"));
    if (!parser.parse(arguments) || parser.positionalArguments().size() > 1) {
        const QString error =
            parser.errorText().isEmpty() ? QStringLiteral("Only one SOURCE can be opened.") : parser.errorText();
        std::fprintf(stderr, "%s\nSee %s --help.\n", qPrintable(error), tarvo::kAppName);
        return 2;
    }
    if (parser.isSet(help)) {
        // Without a running application the parser does not know the program's name.
        std::fputs(qPrintable(parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                        QString::fromLatin1(tarvo::kAppName))),
                   stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("%s %s\n", tarvo::kAppName, TARVO_VERSION);
        return 0;
    }

    QApplication app(argc, argv);
    return tarvo::gui::StartUp(parser.positionalArguments(), started);
}
