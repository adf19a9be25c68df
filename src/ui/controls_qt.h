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
// A push button that Enter does not press unless it is the window's default button.
QPushButton* pushButton(const QString& text, const QRect& geometry, QWidget* parent);
QLabel* label(const QString& text, const QRect& geometry, QWidget* parent);
QLineEdit* lineField(const QRect& geometry, bool readOnly, QWidget* parent);
// The same rectangle for Qt, whose right and bottom edges are the last pixel inside.
inline QRect toQRect(const PixelRect& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)); }

}  // namespace tarvo::gui
