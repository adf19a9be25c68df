#include "player/ui/universal_edit_window.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "player/ui/page_parts_qt.h"
#include "player/universal_edit.h"
#include "ui/controls_qt.h"
#include "ui/dialog_units_qt.h"

namespace tarvo::gui {

namespace {

constexpr int kFontPoints = 10;

// A number that only its spin buttons change: the field itself takes no typing.
class SpinOnlyBox : public QSpinBox {
public:
    SpinOnlyBox(int min, int max, int value, QWidget* parent) : QSpinBox(parent) {
        setRange(min, max);
        setValue(value);
        setAlignment(Qt::AlignHCenter);
        lineEdit()->setReadOnly(true);
    }
};

}  // namespace

UniversalEditWindow::UniversalEditWindow(AppContext& context, QWidget* parent) : QDialog(parent), m_context(context) {
    setWindowTitle(QStringLiteral("Change the properties of all players"));
    setFont(dialogFont(kFontPoints));
    const DialogUnits units(font());
    setFixedSize(units.size(214, 124));

    auto* propertyLabel = new QLabel(QStringLiteral("selecr a property"), this);
    propertyLabel->setGeometry(units.rect(10, 13, 80, 10));
    m_property = new QComboBox(this);
    m_property->setObjectName(QStringLiteral("property"));
    for (const PlayerFieldId field : kAbilityFields) m_property->addItem(fieldName(field));
    m_property->setCurrentIndex(0);
    m_property->setGeometry(units.rect(10, 28, 80, kControlHeight));

    auto* methodLabel = new QLabel(QStringLiteral("select a method"), this);
    methodLabel->setGeometry(units.rect(104, 13, 80, 10));
    m_add = new QRadioButton(QStringLiteral("+"), this);
    m_add->setObjectName(QStringLiteral("+"));
    m_add->setGeometry(units.rect(106, 32, 20, 10));
    m_add->setChecked(true);
    m_amount = new SpinOnlyBox(kUniversalAmountMin, kUniversalAmountMax, 0, this);
    m_amount->setObjectName(QStringLiteral("amount"));
    m_amount->setGeometry(units.rect(128, 31, 38, 12));
    m_percent = new QRadioButton(QStringLiteral("%"), this);
    m_percent->setObjectName(QStringLiteral("%"));
    m_percent->setGeometry(units.rect(106, 54, 20, 10));
    m_percentage = new SpinOnlyBox(kUniversalPercentMin, kUniversalPercentMax, 100, this);
    m_percentage->setObjectName(QStringLiteral("percentage"));
    m_percentage->setGeometry(units.rect(127, 53, 38, 12));
    wheelOnlyWithFocus(this);
    connect(m_add, &QRadioButton::clicked, this, &UniversalEditWindow::applyMethodRule);
    connect(m_percent, &QRadioButton::clicked, this, &UniversalEditWindow::applyMethodRule);

    auto* doButton = new QPushButton(QStringLiteral("Do"), this);
    doButton->setObjectName(QStringLiteral("Do"));
    doButton->setDefault(true);
    doButton->setGeometry(units.rect(79, 90, 50, 14));
    connect(doButton, &QPushButton::clicked, this, &UniversalEditWindow::onDoClicked);

    applyMethodRule();
}

void UniversalEditWindow::applyMethodRule() {
    const bool add = m_add->isChecked();
    m_amount->setEnabled(add);
    m_percentage->setEnabled(!add);
}

void UniversalEditWindow::onDoClicked() {
    const bool add = m_add->isChecked();
    const int amount = add ? m_amount->value() : m_percentage->value();
    // "universal edit stamina +5", "universal edit stamina 110%"
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) about the same text made with "+".
    std::string label = "universal edit ";
    label += m_property->currentText().toStdString();
    label += add && amount >= 0 ? " +" : " ";
    label += std::to_string(amount);
    if (!add) label += '%';
    m_context.document.act(
        [&] {
            universalEdit(m_context.store.blocks(), m_context.player, m_property->currentIndex(),
                          add ? UniversalMethod::Add : UniversalMethod::Percent, amount);
        },
        label);
    m_context.ui.information("universal edit done!");
    accept();
}

}  // namespace tarvo::gui
