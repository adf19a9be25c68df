#pragma once
// A stand-in for the message boxes and file dialogs: it records every message and answers the
// dialogs with prepared replies, so that no test waits on a modal window.

#include <deque>
#include <vector>

#include <QString>
#include <QStringList>

#include "app/ui_services_qt.h"

namespace tarvo::test {

class FakeUi : public gui::UiServices {
public:
    void show(const Message& message) override { messages.push_back(message); }
    void setParentWindow(QWidget*) override {}
    QString openFile(const QString& title, const QStringList&, const QString&) override { return next(title); }
    QString saveFile(const QString& title, const QStringList&, const QString&) override { return next(title); }
    QString chooseDirectory(const QString& prompt, const QString&,
                            const std::function<bool(const QString&)>& acceptable) override {
        folderRule = acceptable;
        return next(prompt);
    }
    const std::string& lastText() const { return messages.back().text; }

    std::vector<Message> messages;
    std::deque<QString> replies;  // answers of the next dialogs; empty: cancelled
    std::vector<QString> titles;  // of the dialogs shown
    std::function<bool(const QString&)> folderRule;

private:
    QString next(const QString& title) {
        titles.push_back(title);
        if (replies.empty()) return {};
        QString reply = replies.front();
        replies.pop_front();
        return reply;
    }
};

}  // namespace tarvo::test
