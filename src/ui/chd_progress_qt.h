#pragma once
// The progress of chdman's slow steps on a CHD image (extracting it on open; compressing it and
// checking the result on a write), a minute or more on a whole disc. The steps run while the
// window that started them waits: the dialog shows the step and its percentage, keeps the
// program's windows painted, and can not be closed half-way (the image would be left half made).

#include <memory>
#include <string>

#include <QProgressDialog>
#include <QTimer>

namespace tarvo::gui {

class ChdProgressDialog : public QProgressDialog {
    Q_OBJECT
public:
    explicit ChdProgressDialog(QWidget* parent = nullptr);
    // Shows the step and how far it is; at 100 the step is done and the dialog goes. Paints the
    // program's windows, takes no user input meanwhile.
    void report(const std::string& step, double percent);
    // Escape does nothing.
    void reject() override {}

protected:
    // The close box does nothing.
    void closeEvent(QCloseEvent* event) override;

private:
    // A step that fails says no 100: the dialog goes once the program waits for the user again.
    QTimer m_idle;
};

// While it lives, chdman's steps show a dialog of its own (made at the first step).
class ChdProgressShown {
public:
    ChdProgressShown();
    ~ChdProgressShown();
    ChdProgressShown(const ChdProgressShown&) = delete;
    ChdProgressShown& operator=(const ChdProgressShown&) = delete;

private:
    std::unique_ptr<ChdProgressDialog> m_dialog;
};

}  // namespace tarvo::gui
