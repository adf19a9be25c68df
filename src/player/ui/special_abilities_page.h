#pragma once
// The "Special Abilities" page: 18 check boxes and the injury list. Showing a player writes
// nothing; a user's change is stored at once.

#include <array>
#include <cstdint>

#include <QWidget>

#include "records/player_fields.h"
#include "ui/app_context_qt.h"

class QCheckBox;
class QComboBox;

namespace tarvo::gui {

class SpecialAbilitiesPage : public QWidget {
    Q_OBJECT
public:
    SpecialAbilitiesPage(AppContext& context, QWidget* parent = nullptr);
    void showPlayer(std::uint32_t id);

private:
    void onCheckBoxClicked(PlayerFieldId field, bool checked);
    void onInjuryActivated(int entry);

    AppContext& m_context;
    std::array<QCheckBox*, kSpecialAbilityCount> m_boxes{};
    QComboBox* m_injury = nullptr;
};

}  // namespace tarvo::gui
