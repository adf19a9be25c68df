#pragma once
// "Choose file to edit": the first window of the program, which asks for the kind of source.

#include <filesystem>
#include <optional>

#include <QDialog>

#include "store/data_store.h"

class QRadioButton;
class QPushButton;

namespace tarvo::gui {

class SourceChoiceDialog : public QDialog {
    Q_OBJECT
public:
    explicit SourceChoiceDialog(QWidget* parent = nullptr);
    // The choice made with "Next" ("Open CD image" checked: CD image).
    SourceMode choice() const { return m_choice; }
    // An image file or a folder dropped onto the window, which closes it as accepted.
    const std::optional<std::filesystem::path>& dropped() const { return m_dropped; }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void onNextClicked();

    QPushButton* m_next;
    QRadioButton* m_image;
    QRadioButton* m_files;
    SourceMode m_choice = SourceMode::CdImage;
    std::optional<std::filesystem::path> m_dropped;
};

}  // namespace tarvo::gui
