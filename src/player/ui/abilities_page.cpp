#include "player/ui/abilities_page.h"

#include <QComboBox>

#include "player/page_rules.h"
#include "player/ui/page_parts_qt.h"
#include "ui/stored_value_qt.h"

namespace tarvo::gui {

namespace {

// Two columns of rows in the ability order; the first 13 on the left.
constexpr int kLeftRows = 13;
constexpr std::array<int, kLeftRows> kRowY{23, 44, 64, 84, 105, 125, 145, 165, 185, 205, 225, 245, 265};
constexpr int kLeftLabelX = 55, kLeftListX = 140, kRightLabelX = 232, kRightListX = 317;
constexpr int kAbilityLabelWidth = 75, kAbilityListWidth = 35;

}  // namespace

AbilitiesPage::AbilitiesPage(AppContext& context, QWidget* parent) : QWidget(parent), m_context(context) {
    setFont(dialogFont());
    const DialogUnits units(font());
    for (int k = 0; k < kAbilityCount; ++k) {
        const PlayerFieldId field = kAbilityFields[static_cast<std::size_t>(k)];
        const bool left = k < kLeftRows;
        const int y = kRowY[static_cast<std::size_t>(left ? k : k - kLeftRows)];
        addLabel(this, units, fieldName(field), left ? kLeftLabelX : kRightLabelX, y, kAbilityLabelWidth);
        auto* list = addList(this, units, field, left ? kLeftListX : kRightListX, y, kAbilityListWidth);
        m_lists[static_cast<std::size_t>(k)] = list;
        connect(list, &QComboBox::activated, this, [this, field](int entry) { onListActivated(field, entry); });
    }
    setFocusProxy(m_lists.front());
}

void AbilitiesPage::showPlayer(std::uint32_t) {
    for (int k = 0; k < kAbilityCount; ++k) {
        const PlayerFieldId field = kAbilityFields[static_cast<std::size_t>(k)];
        showListEntry(m_lists[static_cast<std::size_t>(k)], field, entryOfStored(field, m_context.player),
                      m_context.player);
    }
}

void AbilitiesPage::onListActivated(PlayerFieldId field, int entry) {
    chooseEntry(m_context.player, field, entry);
    dropUnlistedEntry(findChild<QComboBox*>(fieldName(field)), entry);
    m_context.document.edited();
}

}  // namespace tarvo::gui
