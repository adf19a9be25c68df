#pragma once
// Small makers of the controls the team windows place by pixel geometry (from DialogUnits).

#include <string_view>

#include <QRect>
#include <QString>

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

}  // namespace tarvo::gui
