#include "ui/controls_qt.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tarvo::gui {

QString latin1(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

QPushButton* pushButton(const QString& text, const QRect& geometry, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

QLabel* label(const QString& text, const QRect& geometry, QWidget* parent) {
    auto* result = new QLabel(text, parent);
    result->setGeometry(geometry);
    return result;
}

QLineEdit* lineField(const QRect& geometry, bool readOnly, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setGeometry(geometry);
    edit->setReadOnly(readOnly);
    return edit;
}

}  // namespace tarvo::gui
