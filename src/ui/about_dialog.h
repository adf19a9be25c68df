#pragma once
// The About box: the program's name, version and the licence of its glyph font.

class QWidget;

namespace tarvo::gui {

void showAboutBox(QWidget* parent);

}  // namespace tarvo::gui
