#pragma once
// Small makers of the controls the team windows place by pixel geometry (from DialogUnits).

#include <string_view>

#include <QRect>
#include <QString>

#include "text/pixel_geometry.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace tarvo::gui {

// The game's Latin labels ("1.Ireland", "CB", ...) as text.
QString latin1(std::string_view text);
// A push button that Enter presses while it has the focus (elsewhere Enter goes to the window).
QPushButton* pushButton(const QString& text, const QRect& geometry, QWidget* parent);
QLabel* label(const QString& text, const QRect& geometry, QWidget* parent);
QLineEdit* lineField(const QRect& geometry, bool readOnly, QWidget* parent);
// Lets the mouse wheel change the window's drop-down lists and number fields only while they have
// the keyboard focus, so that scrolling past one stores nothing. Call once the controls are made.
void wheelOnlyWithFocus(QWidget* window);
// The same rectangle for Qt, whose right and bottom edges are the last pixel inside.
inline QRect toQRect(const PixelRect& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)); }

}  // namespace tarvo::gui
