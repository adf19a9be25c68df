#pragma once
// "Choose file to edit": the first window of the program, which asks for the kind of source.

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

private:
    void onNextClicked();

    QPushButton* m_next;
    QRadioButton* m_image;
    QRadioButton* m_files;
    SourceMode m_choice = SourceMode::CdImage;
};

}  // namespace tarvo::gui
