#pragma once
// Window layouts are given in dialog units: a horizontal unit is a quarter of the dialog font's
// average character width, a vertical unit an eighth of its height. One helper converts them.

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

namespace tarvo::gui {

// The desktop's sans-serif font at the given point size (the layouts' 8 or 10 points).
QFont dialogFont(int pointSize = 8);

// The first outline family that writes Japanese, chosen once at the first call; empty when the
// system has none (the widgets then keep the default family and its fallbacks).
QString japaneseFamily();
// Gives a widget that shows names (a name field, a list of teams or players) the Japanese family,
// keeping the size of the window's font.
void useJapaneseFont(QWidget* widget);

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    int x(int units) const;  // horizontal units to pixels
    int y(int units) const;  // vertical units to pixels
    QRect rect(int x, int y, int width, int height) const;
    QSize size(int width, int height) const;

private:
    double m_baseX;  // average character width in pixels
    double m_baseY;  // character height in pixels
};

}  // namespace tarvo::gui
