#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "app/source_choice_dialog.h"
#include "shots.h"
#include "team/ui/formation_window.h"
#include "team/ui/team_window.h"
#include "text/ui/picker_window.h"

namespace tarvo::shots {

void renderTeamWindows(ShotContext& shots) {
    gui::SourceChoiceDialog choice;
    shots.save(choice, "source_choice");

    // Row 50 has Japanese team and player names, which show as glyph rows.
    gui::TeamWindow team(shots.app);
    team.selectTeam(50);
    shots.save(team, "team_national");
    team.selectTeam(70);
    shots.save(team, "team_club");
    team.selectTeam(105);
    shots.save(team, "team_default");
    team.selectTeam(0);

    picker::PickerState state{3, 3};
    gui::PickerWindow picker(shots.app.ui, state);
    picker.clickAt(QPoint(32 + 19 * 5 + 4, 28 + 20 * 2 + 4));
    shots.save(picker, "picker");

    gui::FormationWindow formation(shots.app, 0);
    formation.selectPosition(4);
    shots.save(formation, "formation");
}

}  // namespace tarvo::shots
