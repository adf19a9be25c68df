#include "ui/controls_qt.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tarvo::gui {

QString latin1(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

QPushButton* pushButton(const QString& text, const QRect& geometry, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setGeometry(geometry);
    button->setAutoDefault(true);
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

namespace {

class WheelGuard : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Wheel) return false;
        const auto* control = qobject_cast<QWidget*>(watched);
        return control && !control->hasFocus();
    }
};

}  // namespace

void wheelOnlyWithFocus(QWidget* window) {
    auto* guard = new WheelGuard(window);
    QList<QWidget*> controls;
    for (QComboBox* list : window->findChildren<QComboBox*>()) controls << list;
    for (QAbstractSpinBox* field : window->findChildren<QAbstractSpinBox*>()) controls << field;
    for (QWidget* control : controls) {
        control->setFocusPolicy(Qt::StrongFocus);  // a wheel turn alone does not give it the focus
        control->installEventFilter(guard);
    }
}

}  // namespace tarvo::gui
