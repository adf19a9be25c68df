#pragma once
// What every window of the program works with: the loaded data, the current player, the message
// and dialog services and the program directory (where team and player files go).

#include <filesystem>

#include "app/ui_services_qt.h"
#include "records/player.h"
#include "store/data_store.h"

namespace tarvo::gui {

struct AppContext {
    DataStore& store;
    Player& player;            // the one current player
    UiServices& ui;
    std::filesystem::path programDirectory;
};

}  // namespace tarvo::gui
