#include "ui/name_input_qt.h"

#include <QApplication>
#include <QEvent>
#include <QToolButton>

namespace tarvo::gui {

namespace {

// Keeps a picker button enabled exactly while its name field is.
class EnabledFollower : public QObject {
public:
    explicit EnabledFollower(QWidget* follower) : QObject(follower), m_follower(follower) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange) m_follower->setEnabled(static_cast<QWidget*>(watched)->isEnabled());
        return false;
    }

private:
    QWidget* m_follower;
};

}  // namespace

NameInput::NameInput(QObject* parent) : QObject(parent) {
    // Focus that moves to the picker or any other control keeps the last name field as the target.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (auto* field = qobject_cast<NameField*>(now)) m_target = field;
    });
}

QToolButton* NameInput::addPickerButton(NameField* field, const QRect& geometry, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(field->objectName() + QStringLiteral(" picker"));
    button->setText(QStringLiteral("..."));
    button->setToolTip(QStringLiteral("Input Shift-JIS: a click on a character puts it into this name"));
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::NoFocus);  // the field keeps its cursor
    button->setEnabled(field->isEnabled());
    field->installEventFilter(new EnabledFollower(button));
    connect(button, &QToolButton::clicked, this, [this, field] {
        m_target = field;
        emit pickerWanted();
    });
    return button;
}

bool NameInput::insert(const QString& text) {
    NameField* field = m_target;
    if (!field || !field->isEnabled() || field->isReadOnly() || !field->isVisible()) return false;
    const QString before = field->text();
    field->insert(text);  // through the field's validator, as typed text; a refused one changes nothing
    return field->text() != before;
}

}  // namespace tarvo::gui
