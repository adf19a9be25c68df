#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

#include <QTreeWidget>

#include "app/source_choice_dialog.h"
#include "edits/csv_import.h"
#include "player/universal_edit.h"
#include "records/team.h"
#include "shots.h"
#include "team/ui/changes_window.h"
#include "team/ui/find_player_window.h"
#include "team/ui/formation_window.h"
#include "team/ui/team_window.h"
#include "text/ui/picker_window.h"
#include "ui/chd_progress_qt.h"
#include "ui/list_dialog.h"

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

    // The context menu after a tactics field's change, which its undo item names; then undone.
    team.findChild<QSpinBox*>(QStringLiteral("tactics0"))->stepUp();
    QTimer::singleShot(0, [&shots] {
        if (QWidget* menu = QApplication::activePopupWidget()) {
            shots.save(*menu, "team_menu");
            menu->close();
        }
    });
    const QPoint at(20, 20);
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, team.mapToGlobal(at));
    QApplication::sendEvent(&team, &menuEvent);
    shots.app.document.undo();

    picker::PickerState state{3, 3};
    gui::PickerWindow picker(shots.app.ui, state);
    // A click on the glyph in row 2, column 5 selects it.
    const QPointF glyph(32 + 19 * 5 + 4, 28 + 20 * 2 + 4);
    QMouseEvent press(QEvent::MouseButtonPress, glyph, picker.mapToGlobal(glyph), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&picker, &press);
    shots.save(picker, "picker");

    gui::FormationWindow formation(shots.app, 0);
    formation.findChild<QRadioButton*>(QStringLiteral("position4"))->click();
    shots.save(formation, "formation");

    // A name part that several players share.
    gui::FindPlayerWindow find(shots.app);
    find.findChild<QLineEdit*>(QStringLiteral("findText"))->setText(QStringLiteral("vai"));
    shots.save(find, "find_player");

    // What an import of a small edited sheet would change.
    const CsvPreview preview = previewCsv(shots.app.store.blocks(), "id,speed,stamina\r\n12,95,90\r\n40,88,91\r\n");
    QStringList lines;
    for (const Change& change : preview.changes) lines << QString::fromStdString(describeChange(change));
    gui::ListDialog importChanges(
        QStringLiteral("Importing players.csv changes these values (%1). Apply the changes?").arg(lines.size()), lines,
        gui::ListDialog::Mode::Confirm, QStringLiteral("Apply"));
    shots.save(importChanges, "csv_import_changes");

    gui::ListDialog backups(QStringLiteral("The backups of /home/user/discs/sample.bin, newest first:"),
                            {QStringLiteral("2026-12-07 14:02:31    sample.bin-20261207-140231"),
                             QStringLiteral("2026-12-06 21:40:05    sample.bin-20261206-214005"),
                             QStringLiteral("2026-12-01 09:12:47    sample.bin-20261201-091247")},
                            gui::ListDialog::Mode::Choose, QStringLiteral("Restore"));
    shots.save(backups, "restore_backup");

    gui::ChdProgressDialog progress;
    progress.report("Extracting", 42.5);
    shots.save(progress, "chd_progress");
    progress.report("Extracting", 100.0);
    // A few edits, the universal edit's one row among them; then they are reverted, so that
    // the windows drawn after see the sample as it is.
    const GameBlocks blocks = shots.app.store.blocks();
    Player& player = shots.app.player;
    player.load(blocks, 12);
    player.write(PlayerFieldId::Speed, 99);
    writePlayerName(blocks, PlayerName::Back, 12, Bytes{'R', 'I', 'V', 'A', 'Z'});
    setSquadId(blocks, 43, 3, 1040);
    FormationRecord record = readFormation(blocks, 9);
    record[12] = 35;
    storeFormation(blocks, 9, record);
    universalEdit(blocks, player, 3, UniversalMethod::Add, 5);
    {
        gui::ChangesWindow changes(shots.app);
        auto* list = changes.findChild<QTreeWidget*>(QStringLiteral("changeList"));
        list->topLevelItem(2)->setSelected(true);
        shots.save(changes, "changes");
    }
    revertChanges(shots.app.store.writtenBlocks(), blocks,
                  listChanges(shots.app.store.writtenBlocks(), readOnly(blocks)));
}

}  // namespace tarvo::shots
