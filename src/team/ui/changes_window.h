#pragma once
// "Changes": every value that differs from what was last loaded or written, in words, one row
// each; a value changed on many players is one row that expands to them. The selected rows are
// reverted on their own; the list is made again after each revert.

#include <vector>

#include <QDialog>

#include "edits/change_list.h"
#include "ui/app_context_qt.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace tarvo::gui {

class ChangesWindow : public QDialog {
    Q_OBJECT
public:
    explicit ChangesWindow(AppContext& context, QWidget* parent = nullptr);

private:
    void showChanges();
    void onSelectionChanged();
    void onRevertClicked();

    AppContext& m_context;
    std::vector<Change> m_changes;
    QTreeWidget* m_list = nullptr;
    QLabel* m_empty = nullptr;
    QPushButton* m_revert = nullptr;
};

}  // namespace tarvo::gui
