#include "player/ui/player_windows_qt.h"

#include "player/ui/player_editor_window.h"
#include "player/ui/universal_edit_window.h"
#include "store/block_map.h"

namespace tarvo::gui {

namespace {

// Runs a window modal to its opener only, so that the character picker stays usable beside it,
// with the message boxes shown over it, then over the opener again.
void runModal(AppContext& context, QWidget* parent, QDialog& window) {
    window.setWindowModality(Qt::WindowModal);
    context.ui.setParentWindow(&window);
    window.exec();
    context.ui.setParentWindow(parent);
}

}  // namespace

void openPlayerEditor(AppContext& context, QWidget* parent, std::uint32_t id) {
    if (id == 0 || id > blockmap::kPlayerCount) return;  // an empty slot has no player to edit
    PlayerEditorWindow window(context, id, parent);
    runModal(context, parent, window);
}

void openUniversalEdit(AppContext& context, QWidget* parent) {
    UniversalEditWindow window(context, parent);
    runModal(context, parent, window);
}

}  // namespace tarvo::gui
