#pragma once
// "edit formation": the ten field positions of a team on the pitch, the 22 formations to start
// from, the moves and roles of each position, and "Accept", which stores the working formation.
// Ctrl+Z takes back the window's own changes of the working formation first, then the data's steps.

#include <array>
#include <vector>

#include <QDialog>
#include <QPixmap>

#include "records/formation.h"
#include "team/formation_layout.h"
#include "ui/app_context_qt.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace tarvo::gui {

class FormationWindow : public QDialog {
    Q_OBJECT
public:
    FormationWindow(AppContext& context, int row, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Keeps the working formation as it is before a change, for the window's own undo.
    void rememberWorking();
    void onUndo();
    void onRedo();
    // The working formation taken from the top of `from`; the one it replaces goes onto `to`.
    void takeWorking(std::vector<FormationRecord>& from, std::vector<FormationRecord>& to);
    void applyFormation(int entry);
    void refreshPositions();
    void selectPosition(int k, bool force = false);
    void onRoleActivated(int index);
    void onMoveClicked(formation::Move move);
    void onLoadFormationClicked();
    void onAcceptClicked();

    AppContext& m_context;
    int m_row;
    FormationRecord m_working{};
    std::vector<FormationRecord> m_undone, m_redone;  // the working formation before each change, and undone
    std::array<FormationRecord, kFormationListSize> m_list{};
    int m_selected = 0;
    QPixmap m_pitch;

    QListWidget* m_formations = nullptr;
    std::array<QRadioButton*, kFormationPositions> m_positions{};
    std::array<QLabel*, kFormationPositions> m_roleLabels{};
    QComboBox* m_roles = nullptr;
};

}  // namespace tarvo::gui
