#pragma once
// "Find player": a small modeless box that lists the players matching what is typed (part of a
// name, or an ID) with the teams and slots that hold them; Up and Down in the search field move the
// selection, Enter or a double click picks it. It opens wide enough for a whole line and keeps the
// size the user gives it.

#include <cstdint>

#include <QDialog>

#include "ui/app_context_qt.h"

class QLineEdit;
class QListWidget;

namespace tarvo::gui {

class FindPlayerWindow : public QDialog {
    Q_OBJECT
public:
    explicit FindPlayerWindow(AppContext& context, QWidget* parent = nullptr);
    // Lists the matches again, after the blocks changed.
    void refresh();

signals:
    // The player picked, in the first team slot that holds it (row -1: no team holds it).
    void picked(std::uint32_t id, int row, int slot);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void search(const QString& text);
    void pickCurrent();

    AppContext& m_context;
    QLineEdit* m_text;
    QListWidget* m_matches;
};

}  // namespace tarvo::gui
