#pragma once
// The "Abilities" page: 25 lists of "1" to "99". Showing a player writes nothing; a user's change
// is stored at once.

#include <array>
#include <cstdint>

#include <QWidget>

#include "records/player_fields.h"
#include "ui/app_context_qt.h"

class QComboBox;

namespace tarvo::gui {

class AbilitiesPage : public QWidget {
    Q_OBJECT
public:
    AbilitiesPage(AppContext& context, QWidget* parent = nullptr);
    // Shows the current player (the id is that of the loaded player).
    void showPlayer(std::uint32_t id);

private:
    void onListActivated(PlayerFieldId field, int entry);

    AppContext& m_context;
    std::array<QComboBox*, kAbilityCount> m_lists{};
};

}  // namespace tarvo::gui
