// The desktop program: `Tarvo_Riviza_Editor` asks for the source; `Tarvo_Riviza_Editor SOURCE`
// opens a CD image file or a folder of exported files directly.
#include <chrono>

#include <QApplication>

#include "app/startup_qt.h"

int main(int argc, char** argv) {
    const auto started = std::chrono::steady_clock::now();
    QApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return tarvo::gui::StartUp(arguments, started);
}
