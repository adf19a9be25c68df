#pragma once
// The pieces the player editor's pages are built from, placed in dialog units: a centred label
// and a drop-down list filled with a field's entries and named after the field.

#include <QComboBox>
#include <QLabel>
#include <QString>

#include "records/player_fields.h"
#include "ui/dialog_units_qt.h"

namespace tarvo::gui {

// The layouts' label height and list height, in dialog units.
inline constexpr int kLabelHeight = 12;
inline constexpr int kControlHeight = 14;

QLabel* addLabel(QWidget* page, const DialogUnits& units, const QString& text, int x, int y, int width);
// A list that cannot be typed into, holding listEntries(field) in order; its object name is the
// field's name.
QComboBox* addList(QWidget* page, const DialogUnits& units, PF field, int x, int y, int width);
QString fieldName(PF field);

}  // namespace tarvo::gui
