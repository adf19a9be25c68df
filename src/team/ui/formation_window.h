#pragma once
// "edit formation": the ten field positions of a team on the pitch, the 22 formations to start
// from, the moves and roles of each position, and "Accept", which stores the working formation.

#include <array>

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
    std::array<FormationRecord, kFormationListSize> m_list{};
    int m_selected = 0;
    QPixmap m_pitch;

    QListWidget* m_formations = nullptr;
    std::array<QRadioButton*, kFormationPositions> m_positions{};
    std::array<QLabel*, kFormationPositions> m_roleLabels{};
    QComboBox* m_roles = nullptr;
};

}  // namespace tarvo::gui
