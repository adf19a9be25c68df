#include "player/ui/page_parts_qt.h"

#include "player/page_rules.h"
#include "ui/stored_value_qt.h"

namespace tarvo::gui {

QString fieldName(PlayerFieldId field) {
    const auto name = fieldOf(field).name;
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

QLabel* addLabel(QWidget* page, const DialogUnits& units, const QString& text, int x, int y, int width) {
    auto* label = new QLabel(text, page);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(units.rect(x, y, width, kLabelHeight));
    return label;
}

QComboBox* addList(QWidget* page, const DialogUnits& units, PlayerFieldId field, int x, int y, int width) {
    auto* list = new QComboBox(page);
    list->setObjectName(fieldName(field));
    list->setEditable(false);
    for (const auto& entry : listEntries(field))
        list->addItem(QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size())));
    list->setCurrentIndex(-1);
    list->setGeometry(units.rect(x, y, width, kControlHeight));
    return list;
}

namespace {

QString offeredText(PlayerFieldId field, const Player& player) {
    return QString::fromStdString(editorRangeText(field, player.read(PlayerFieldId::Skin)));
}

}  // namespace

void showListEntry(QComboBox* list, PlayerFieldId field, int entry, const Player& player) {
    std::optional<long long> code;
    if (entry < 0 && list->isEnabled()) code = player.read(field);
    showEntryAsStored(list, entry, code, offeredText(field, player));
}

void showNumber(QSpinBox* spin, PlayerFieldId field, const Player& player) {
    const FieldRange range = numberRange(field, player.read(PlayerFieldId::Skin));
    showNumberAsStored(spin, player.read(field), range.min, range.max, offeredText(field, player));
}

}  // namespace tarvo::gui
