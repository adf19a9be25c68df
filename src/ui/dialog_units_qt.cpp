#include "ui/dialog_units_qt.h"

#include <QFontMetricsF>

namespace tarvo::gui {

QFont dialogFont(int pointSize) {
    QFont font(QStringLiteral("Sans Serif"), pointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

DialogUnits::DialogUnits(const QFont& font) {
    // The average width of the 52 Latin letters, as the dialog manager measures it.
    const QFontMetricsF metrics(font);
    m_baseX = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0;
    m_baseY = metrics.height();
}

int DialogUnits::x(int units) const { return static_cast<int>(units * m_baseX / 4.0 + 0.5); }
int DialogUnits::y(int units) const { return static_cast<int>(units * m_baseY / 8.0 + 0.5); }

QRect DialogUnits::rect(int left, int top, int width, int height) const {
    return QRect(x(left), y(top), x(width), y(height));
}

QSize DialogUnits::size(int width, int height) const { return QSize(x(width), y(height)); }

}  // namespace tarvo::gui
