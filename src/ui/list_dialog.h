#pragma once
// A window with a text above a list and OK and Cancel: the changes an import would make, shown
// before they are applied, or the entries to choose one of (the backups of a source).

#include <QDialog>
#include <QStringList>

class QListWidget;
class QPushButton;

namespace tarvo::gui {

class ListDialog : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Confirm, Choose };
    // In Choose mode OK needs an entry chosen; the first is chosen at the start.
    ListDialog(const QString& text, const QStringList& entries, Mode mode, const QString& okText,
               QWidget* parent = nullptr);
    // The chosen entry; -1 when none.
    int chosen() const;

private:
    QListWidget* m_list;
    QPushButton* m_ok;
};

}  // namespace tarvo::gui
