#pragma once
// The screenshot renderer: every window of the program, built on the sample disc and grabbed
// offscreen into PNG files. Each group of windows has its own render function and file.

#include <filesystem>
#include <string>
#include <vector>

#include "ui/app_context_qt.h"

class QWidget;

namespace tarvo::shots {

// Answers every dialog with "cancel" and keeps the messages instead of showing them.
class SilentUi : public gui::UiServices {
public:
    void show(const Message& message) override { messages.push_back(message); }
    void setParentWindow(QWidget*) override {}
    QString openFile(const QString&, const QStringList&, const QString&) override { return {}; }
    QString saveFile(const QString&, const QStringList&, const QString&) override { return {}; }
    QString chooseDirectory(const QString&, const QString&, const std::function<bool(const QString&)>&) override {
        return {};
    }
    bool askYesNo(const QString&) override { return false; }
    CloseAnswer askWriteBeforeClosing(const QString&) override { return CloseAnswer::Cancel; }
    ChangedAnswer askChangedOnDisk(const QString&) override { return ChangedAnswer::Cancel; }
    bool confirmList(const QString&, const QStringList&, const QString&) override { return false; }
    int chooseFromList(const QString&, const QStringList&, const QString&) override { return -1; }
    std::vector<Message> messages;
};

struct ShotContext {
    gui::AppContext& app;
    std::filesystem::path outputDirectory;
    // Lays the window out, paints it offscreen and writes <name>.png; false when it cannot be written.
    bool save(QWidget& window, const std::string& name);
    int failures = 0;
};

void renderTeamWindows(ShotContext& shots);    // start-up, team editor, picker, formation editor
void renderPlayerWindows(ShotContext& shots);  // player editor pages, universal edit
// The team editor and the player editor on the values of `tarvo make-sample --out-of-range`, which
// it stores into the loaded data first (nothing is written back).
void renderOutOfRangeValues(ShotContext& shots);

}  // namespace tarvo::shots
