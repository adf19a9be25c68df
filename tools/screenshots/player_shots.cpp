#include <QTabWidget>

#include "player/ui/player_editor_window.h"
#include "player/ui/universal_edit_window.h"
#include "records/team.h"
#include "sample/sample_disc.h"
#include "shots.h"
#include "team/ui/team_window.h"

namespace tarvo::shots {

void renderPlayerWindows(ShotContext& shots) {
    // The first player of row 50, whose Japanese full name shows as a glyph row.
    const std::uint32_t id = readSquadId(shots.app.store.blocks(), 50, 0);
    gui::PlayerEditorWindow editor(shots.app, id == 0 ? 1 : id);
    auto* pages = editor.findChild<QTabWidget*>(QStringLiteral("pages"));
    shots.save(editor, "player_looks");
    pages->setCurrentIndex(1);
    shots.save(editor, "player_abilities");
    pages->setCurrentIndex(2);
    shots.save(editor, "player_special_abilities");

    gui::UniversalEditWindow universal(shots.app);
    shots.save(universal, "universal_edit");
}

void renderOutOfRangeValues(ShotContext& shots) {
    sample::storeOutOfRangeValues(shots.app.store.blocks());
    gui::TeamWindow team(shots.app);
    shots.save(team, "team_out_of_range");
    gui::PlayerEditorWindow editor(shots.app, 1);
    shots.save(editor, "player_looks_out_of_range");
}

}  // namespace tarvo::shots
