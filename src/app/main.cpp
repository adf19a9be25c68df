// The desktop program: `Tarvo_Riviza_Editor` asks for the source; `Tarvo_Riviza_Editor SOURCE`
// opens a CD image file or a folder of exported files directly; `--version` prints the version
// without opening a window (so it works with no display, as in a package check).
#include <chrono>
#include <cstdio>
#include <cstring>

#include <QApplication>

#include "app/startup_qt.h"

#ifndef TARVO_VERSION
#define TARVO_VERSION "unknown"
#endif

int main(int argc, char** argv) {
    const auto started = std::chrono::steady_clock::now();
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("Tarvo_Riviza_Editor " TARVO_VERSION);
        return 0;
    }
    QApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return tarvo::gui::StartUp(arguments, started);
}
