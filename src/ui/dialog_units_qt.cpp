#include "ui/dialog_units_qt.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QWidget>

namespace tarvo::gui {

QFont dialogFont(int pointSize) {
    QFont font(QStringLiteral("Sans Serif"), pointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QString japaneseFamily() {
    static const QString family = [] {
        // Bitmap families are skipped: the renderer may ignore them and draw empty boxes.
        for (const QString& candidate : QFontDatabase::families(QFontDatabase::Japanese))
            if (QFontDatabase::isSmoothlyScalable(candidate)) return candidate;
        return QString();
    }();
    return family;
}

void useJapaneseFont(QWidget* widget) {
    const QString family = japaneseFamily();
    if (family.isEmpty()) return;
    QFont font;  // only the family is set, so the size still comes from the window
    font.setFamilies({family});
    widget->setFont(font);
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
