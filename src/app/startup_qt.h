#pragma once
// The start of the program: the program directory, the choice and check of the source, the load,
// and the main window that runs until the program ends.

#include <chrono>
#include <filesystem>
#include <optional>

#include <QString>
#include <QStringList>

#include "store/data_store.h"
#include "ui/ui_services_qt.h"

namespace tarvo::gui {

// Where team and player files go and where file dialogs start: the executable's folder when it
// is writable, otherwise $XDG_DATA_HOME/Tarvo_Riviza_Editor (made when needed).
std::filesystem::path programDirectory();

// Picks the CD image (or a CUE sheet naming one) and checks the image: the file chosen, or none after "Can not work without CD image file!",
// "Can not read CD image file!" or "File size mismatch!\n should > 700M".
std::optional<std::filesystem::path> ChooseImage(UiServices& ui, const std::filesystem::path& start);
// Checks an image chosen by any means, with the same messages.
bool checkImage(UiServices& ui, const std::filesystem::path& image);
// Picks a folder of exported files; none when cancelled.
std::optional<std::filesystem::path> ChooseDirectory(UiServices& ui, const std::filesystem::path& start);

// Loads the source, first offering to undo an interrupted write into it; "Failed to load data from
// CD image!" when an image fails to load (a folder's reasons are enough).
bool loadSource(DataStore& store, UiServices& ui, const std::filesystem::path& source);
// A source given on the command line: a folder is exported files, a CUE sheet names an image beside
// it (refused when the image's sectors are not those it says), anything else is an image.
bool loadSourceArgument(DataStore& store, UiServices& ui, const std::filesystem::path& source);

// The whole life of the program; `arguments` are the command line without the program name.
// `started` is when the program began (for TARVO_STARTUP_TIMING). Returns the exit code.
int StartUp(const QStringList& arguments,
            std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now());

}  // namespace tarvo::gui
