#pragma once
// "Change the properties of all players": one ability of every player raised, lowered or scaled
// at once. Only "Do" changes anything.

#include <QDialog>

#include "ui/app_context_qt.h"

class QComboBox;
class QRadioButton;
class QSpinBox;

namespace tarvo::gui {

class UniversalEditWindow : public QDialog {
    Q_OBJECT
public:
    UniversalEditWindow(AppContext& context, QWidget* parent = nullptr);

private:
    void applyMethodRule();
    void onDoClicked();

    AppContext& m_context;
    QComboBox* m_property = nullptr;
    QRadioButton* m_add = nullptr;
    QRadioButton* m_percent = nullptr;
    QSpinBox* m_amount = nullptr;
    QSpinBox* m_percentage = nullptr;
};

}  // namespace tarvo::gui
