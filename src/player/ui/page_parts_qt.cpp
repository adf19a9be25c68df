#include "player/ui/page_parts_qt.h"

#include "player/page_rules.h"

namespace tarvo::gui {

QString fieldName(PF field) {
    const auto name = fieldOf(field).name;
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

QLabel* addLabel(QWidget* page, const DialogUnits& units, const QString& text, int x, int y, int width) {
    auto* label = new QLabel(text, page);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(units.rect(x, y, width, kLabelHeight));
    return label;
}

QComboBox* addList(QWidget* page, const DialogUnits& units, PF field, int x, int y, int width) {
    auto* list = new QComboBox(page);
    list->setObjectName(fieldName(field));
    list->setEditable(false);
    for (const auto& entry : listEntries(field))
        list->addItem(QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size())));
    list->setCurrentIndex(-1);
    list->setGeometry(units.rect(x, y, width, kControlHeight));
    return list;
}

}  // namespace tarvo::gui
