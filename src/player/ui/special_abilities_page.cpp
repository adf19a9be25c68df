#include "player/ui/special_abilities_page.h"

#include <QCheckBox>
#include <QComboBox>

#include "player/page_rules.h"
#include "player/ui/page_parts_qt.h"
#include "ui/stored_value_qt.h"

namespace tarvo::gui {

namespace {

// Ten check boxes on the left, eight and the injury list on the right.
constexpr int kLeftBoxes = 10;
constexpr std::array<int, kLeftBoxes> kBoxY{29, 54, 76, 99, 122, 146, 169, 194, 219, 243};
constexpr int kLeftBoxX = 74, kRightBoxX = 241, kBoxWidth = 55, kBoxHeight = 18;
constexpr int kInjuryLabelX = 241, kInjuryListX = 288, kInjuryY = 219, kInjuryLabelWidth = 42, kInjuryListWidth = 55;

}  // namespace

SpecialAbilitiesPage::SpecialAbilitiesPage(AppContext& context, QWidget* parent) : QWidget(parent), m_context(context) {
    setFont(dialogFont());
    const DialogUnits units(font());
    for (int k = 0; k < kSpecialAbilityCount; ++k) {
        const PlayerFieldId field = kSpecialAbilityFields[static_cast<std::size_t>(k)];
        const bool left = k < kLeftBoxes;
        const int y = kBoxY[static_cast<std::size_t>(left ? k : k - kLeftBoxes)];
        auto* box = new QCheckBox(fieldName(field), this);
        box->setObjectName(fieldName(field));
        box->setGeometry(units.rect(left ? kLeftBoxX : kRightBoxX, y, kBoxWidth, kBoxHeight));
        m_boxes[static_cast<std::size_t>(k)] = box;
        connect(box, &QCheckBox::clicked, this, [this, field](bool checked) { onCheckBoxClicked(field, checked); });
    }
    addLabel(this, units, fieldName(PlayerFieldId::Injury), kInjuryLabelX, kInjuryY, kInjuryLabelWidth);
    m_injury = addList(this, units, PlayerFieldId::Injury, kInjuryListX, kInjuryY, kInjuryListWidth);
    connect(m_injury, &QComboBox::activated, this, &SpecialAbilitiesPage::onInjuryActivated);
    setFocusProxy(m_boxes.front());
}

void SpecialAbilitiesPage::showPlayer(std::uint32_t) {
    for (int k = 0; k < kSpecialAbilityCount; ++k)
        m_boxes[static_cast<std::size_t>(k)]->setChecked(
            m_context.player.read(kSpecialAbilityFields[static_cast<std::size_t>(k)]) == 1);
    showListEntry(m_injury, PlayerFieldId::Injury, entryOfStored(PlayerFieldId::Injury, m_context.player),
                  m_context.player);
}

void SpecialAbilitiesPage::onCheckBoxClicked(PlayerFieldId field, bool checked) {
    m_context.player.write(field, checked ? 1 : 0);
    m_context.document.edited();
}

void SpecialAbilitiesPage::onInjuryActivated(int entry) {
    chooseEntry(m_context.player, PlayerFieldId::Injury, entry);
    dropUnlistedEntry(m_injury, entry);
    m_context.document.edited();
}

}  // namespace tarvo::gui
