#include "ui/stored_value_qt.h"

#include <algorithm>
#include <limits>

#include <QComboBox>
#include <QSignalBlocker>
#include <QSpinBox>

namespace tarvo::gui {

namespace {

constexpr QRgb kOutsideColour = qRgb(192, 0, 0);
constexpr int kUnlistedRole = Qt::UserRole + 1;  // marks the added "<code N>" entry

// The outside colour and a tooltip, or the window's own colours and no tooltip.
void mark(QWidget* control, bool outside, const QString& shown, const QString& offered) {
    if (!outside) {
        control->setPalette(QPalette());
        control->setToolTip({});
        return;
    }
    QPalette palette = control->palette();
    palette.setColor(QPalette::Text, QColor(kOutsideColour));
    palette.setColor(QPalette::ButtonText, QColor(kOutsideColour));
    control->setPalette(palette);
    control->setToolTip(QStringLiteral("%1 is stored, outside what this editor offers: %2").arg(shown, offered));
}

int toInt(long long value) {
    return static_cast<int>(
        std::clamp<long long>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

bool hasUnlistedEntry(const QComboBox* list) {
    return list->count() > 0 && list->itemData(list->count() - 1, kUnlistedRole).toBool();
}

}  // namespace

void showNumberAsStored(QSpinBox* field, long long value, long long min, long long max, const QString& offered) {
    const QSignalBlocker blocker(field);
    field->setRange(toInt(std::min(value, min)), toInt(std::max(value, max)));
    field->setValue(toInt(value));
    mark(field, value < min || value > max, QString::number(value), offered);
}

void showEntryAsStored(QComboBox* list, int entry, std::optional<long long> code, const QString& offered) {
    const QSignalBlocker blocker(list);
    if (hasUnlistedEntry(list)) list->removeItem(list->count() - 1);
    const bool unlisted = entry < 0 && code;
    if (unlisted) {
        list->addItem(QStringLiteral("<code %1>").arg(*code));
        list->setItemData(list->count() - 1, true, kUnlistedRole);
        entry = list->count() - 1;
    }
    list->setCurrentIndex(entry);
    mark(list, unlisted, code ? QString::number(*code) : QString(), offered);
}

void dropUnlistedEntry(QComboBox* list, int entry) {
    if (!hasUnlistedEntry(list) || entry == list->count() - 1) return;
    showEntryAsStored(list, entry, std::nullopt, {});
}

}  // namespace tarvo::gui
