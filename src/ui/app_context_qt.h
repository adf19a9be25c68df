#pragma once
// What every window of the program works with: the loaded data and their document (the change
// signal, undo and redo), the current player, the message and dialog services, the program
// directory (where team and player files go) and the target of the character picker.

#include <filesystem>

#include <QString>

#include "records/player.h"
#include "store/data_store.h"
#include "ui/document_qt.h"
#include "ui/name_input_qt.h"
#include "ui/ui_services_qt.h"

namespace tarvo::gui {

struct AppContext {
    DataStore& store;
    Document& document;
    Player& player;  // the one current player
    UiServices& ui;
    std::filesystem::path programDirectory;
    NameInput& names;  // where the character picker's characters go
};

// Paths between the toolkit's strings and the core's paths, through UTF-16: on Windows the
// narrow encoding is the ANSI code page, which cannot hold every name.
inline std::filesystem::path toPath(const QString& path) { return std::filesystem::path(path.toStdU16String()); }
inline QString toQString(const std::filesystem::path& path) { return QString::fromStdU16String(path.u16string()); }

}  // namespace tarvo::gui
