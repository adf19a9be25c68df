#pragma once
// The team editor: the program's main window. It lists the teams, shows and edits the selected
// team's names, squad, tactics, set-piece takers and captain, and opens every other window.
// Showing a team or a player writes nothing; a value is stored when the user changes its control.

#include <array>
#include <vector>

#include <QDialog>
#include <QPointer>

#include "records/team.h"
#include "text/picker_layout.h"
#include "text/ui/picker_window.h"
#include "ui/app_context_qt.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace tarvo::gui {

class FindPlayerWindow;
class GlyphRowBox;
class NameField;
class SourceSync;

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
    void showUnwrittenMark();
    void openFindPlayer();
    void onPlayerFound(std::uint32_t id, int row, int slot);
    void onExportPlayersCsv();
    void onImportCsv();
    void onRestoreBackup();
    // Shows the blocks again in this window and the find box, after they changed under them.
    void reloadViews();
    // A line over the bottom of the window for a few seconds (the source was read again).
    void showNotice(const QString& text);
    void connectControls();
    void showTeam();
    void showPlayer();
    void rebuildSquadEntry(int slot);
    QRect tacticsBarArea(int k) const;
    // Where the bar of tactics field k is drawn (window pixels), empty when none is drawn.
    QRect tacticsBarRect(int k) const;

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
    void onChangesClicked();
    void onPickerClicked();
    void onSaveTeamClicked();
    void onLoadTeamClicked();
    void onWriteClicked();

    AppContext& m_context;
    int m_row = 0;
    int m_slot = 0;
    std::vector<std::uint16_t> m_squad;
    picker::PickerState m_pickerState;
    QPointer<PickerWindow> m_picker;
    QPointer<FindPlayerWindow> m_find;
    bool m_shownOnce = false;
    SourceSync* m_sync = nullptr;
    QLabel* m_notice = nullptr;

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
