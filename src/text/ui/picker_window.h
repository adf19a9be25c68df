#pragma once
// "Input Shift-JIS": a modeless window that pages through the glyph sheet. A click on a glyph shows
// its code (HEX) and the character itself (STR), and hands the character on to be put into the
// name field that last had the focus.

#include <optional>

#include <QDialog>

#include "text/picker_layout.h"
#include "ui/ui_services_qt.h"

class QLineEdit;
class QPushButton;

namespace tarvo::gui {

class PickerWindow : public QDialog {
    Q_OBJECT
public:
    // `state` belongs to the owner and outlives the window: the pages survive closing.
    PickerWindow(MessageService& messages, picker::PickerState& state, QWidget* parent = nullptr);

signals:
    void characterPicked(const QString& character);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showPage(int page);
    void onNextClicked();
    void onPreviousClicked();
    void onGotoClicked();
    void clickAt(const QPoint& point);

    MessageService& m_messages;
    picker::PickerState& m_state;
    std::optional<picker::Cell> m_selection;
    QLineEdit* m_gotoPage = nullptr;
    QLineEdit* m_page = nullptr;
    QLineEdit* m_hex = nullptr;
    QLineEdit* m_str = nullptr;
};

}  // namespace tarvo::gui
