#pragma once
// Where the character picker's characters go: the name field that last had the keyboard focus,
// in whichever window. Each name field has a small button beside it that makes it the target and
// asks for the picker; the window that owns the picker answers pickerWanted.

#include <QObject>
#include <QPointer>

#include "ui/name_field_widget.h"

class QRect;
class QToolButton;

namespace tarvo::gui {

class NameInput : public QObject {
    Q_OBJECT
public:
    explicit NameInput(QObject* parent = nullptr);
    NameField* target() const { return m_target; }
    // A small button at `geometry` that makes `field` the target and asks for the picker.
    QToolButton* addPickerButton(NameField* field, const QRect& geometry, QWidget* parent);
    // Puts `text` at the target's cursor as if typed: false, with nothing changed, when there is no
    // usable target or the name would no longer fit its slot.
    bool insert(const QString& text);

signals:
    void pickerWanted();

private:
    QPointer<NameField> m_target;
};

}  // namespace tarvo::gui
