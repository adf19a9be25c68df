#pragma once
// The pieces the player editor's pages are built from, placed in dialog units: a centred label
// and a drop-down list filled with a field's entries and named after the field; and how a stored
// value shows in them, as it is even where the editor offers no such value.

#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QString>

#include "records/player.h"
#include "records/player_fields.h"
#include "ui/dialog_units_qt.h"

namespace tarvo::gui {

// The layouts' label height and list height, in dialog units.
inline constexpr int kLabelHeight = 12;
inline constexpr int kControlHeight = 14;

QLabel* addLabel(QWidget* page, const DialogUnits& units, const QString& text, int x, int y, int width);
// A list that cannot be typed into, holding listEntries(field) in order; its object name is the
// field's name.
QComboBox* addList(QWidget* page, const DialogUnits& units, PlayerFieldId field, int x, int y, int width);
QString fieldName(PlayerFieldId field);
// Shows `entry` of a field's list; with none (-1), an enabled list shows the stored code as
// "<code N>", marked. Emits nothing.
void showListEntry(QComboBox* list, PlayerFieldId field, int entry, const Player& player);
// Shows a number field's stored value as it is, marked when outside the field's range (the face's
// follows the skin). Emits nothing; called again after each of the user's changes.
void showNumber(QSpinBox* spin, PlayerFieldId field, const Player& player);

}  // namespace tarvo::gui
