#pragma once
// The team editor: the program's main window. It lists the teams, shows and edits the selected
// team's names, squad, tactics, set-piece takers and captain, and opens the player and formation
// editors; its actions on the source as a whole (write, import, export, backups, patches, find,
// changes) are SourceActions'.
// Showing a team or a player writes nothing; a value is stored when the user changes its control.

#include <array>
#include <vector>

#include <QDialog>
#include <QPointer>

#include "records/team.h"
#include "team/tactics_bar.h"
#include "text/picker_layout.h"
#include "text/ui/picker_window.h"
#include "ui/app_context_qt.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace tarvo::gui {

class GlyphRowBox;
class NameField;
class SourceActions;

class TeamWindow : public QDialog {
    Q_OBJECT
public:
    explicit TeamWindow(AppContext& context, QWidget* parent = nullptr);
    ~TeamWindow() override;
    // Closing (Close, Escape, the close box) with unwritten changes asks first; Cancel keeps it open.
    void reject() override;

    // Selects a team row and shows it (the team list's change, and after an import).
    void selectTeam(int row);

signals:
    void firstShown();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Enter presses a focused button and confirms a focused list's choice; elsewhere it writes.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void onPlayerFound(std::uint32_t id, int row, int slot);
    // Shows the blocks again in this window and the find box, after they changed under them.
    void reloadViews();
    void connectControls();
    void showTeam();
    void showPlayer();
    void rebuildSquadEntry(int slot);
    // Where the bar of tactics field k is drawn, and its area (window pixels).
    TacticsBar tacticsBarOf(int k) const;

    void onTeamListChanged(int row);
    void onSquadListChanged(int slot);
    void onTeamNameEdited(const Bytes& bytes);
    void onClubNameEdited(const Bytes& bytes);
    void onShortNameEdited(const Bytes& bytes);
    void onTacticsChanged(int k, int value);
    void onShirtChanged(int value);
    void onSetPieceActivated(int k, int index);
    void onChangeIdClicked();
    void onEditPlayerClicked();
    void onEditFormationClicked();
    void onUniversalEditClicked();
    void onPickerClicked();
    void onSaveTeamClicked();
    void onLoadTeamClicked();

    AppContext& m_context;
    int m_row = 0;
    int m_slot = 0;
    std::vector<std::uint16_t> m_squad;
    picker::PickerState m_pickerState;
    QPointer<PickerWindow> m_picker;
    bool m_shownOnce = false;
    SourceActions* m_actions = nullptr;

    QComboBox* m_teamList = nullptr;
    NameField* m_teamName = nullptr;
    NameField* m_clubName = nullptr;
    NameField* m_shortName = nullptr;
    GlyphRowBox* m_teamGlyphs = nullptr;
    std::array<QSpinBox*, kTacticsCount> m_tactics{};
    QPushButton* m_write = nullptr;
    QPushButton* m_pickerButton = nullptr;
    QPushButton* m_universal = nullptr;
    QPushButton* m_changes = nullptr;
    QComboBox* m_squadList = nullptr;
    QPushButton* m_editPlayer = nullptr;
    GlyphRowBox* m_playerGlyphs = nullptr;
    QLineEdit* m_playerId = nullptr;
    QPushButton* m_changeId = nullptr;
    QSpinBox* m_shirt = nullptr;
    QPushButton* m_editFormation = nullptr;
    std::array<QComboBox*, kSetPieceCount> m_setPieces{};
    QPushButton* m_saveTeam = nullptr;
    QPushButton* m_loadTeam = nullptr;
    QPushButton* m_close = nullptr;
};

}  // namespace tarvo::gui
