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
    struct DialogCall {
        QString title;
        QStringList filters;
        QString directory;
    };

    void show(const Message& message) override { messages.push_back(message); }
    void setParentWindow(QWidget*) override {}
    QString openFile(const QString& title, const QStringList& filters, const QString& directory) override {
        openCalls.push_back({title, filters, directory});
        return next();
    }
    QString saveFile(const QString&, const QStringList&, const QString&) override { return next(); }
    QString chooseDirectory(const QString& prompt, const QString& start,
                            const std::function<bool(const QString&)>& acceptable) override {
        folderCalls.push_back({prompt, {}, start});
        folderRule = acceptable;
        return next();
    }
    const std::string& lastText() const { return messages.back().text; }

    std::vector<Message> messages;
    std::deque<QString> replies;  // answers of the next dialogs; empty: cancelled
    std::vector<DialogCall> openCalls, folderCalls;
    std::function<bool(const QString&)> folderRule;

private:
    QString next() {
        if (replies.empty()) return {};
        QString reply = replies.front();
        replies.pop_front();
        return reply;
    }
};

}  // namespace tarvo::test
