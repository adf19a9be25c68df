#pragma once
// A private copy of the sample disc, loaded into a store, with the fake dialogs and the context
// that every window takes, and the few ways the window tests reach and drive controls.
// FakeUi stands in for the message boxes and file dialogs: it records every message and answers
// the dialogs with prepared replies, so that no test waits on a modal window.
// Header-only: the support library itself has no Qt.

#include <deque>
#include <filesystem>
#include <vector>

#include <QtTest>
#include <QtWidgets>

#include "records/player.h"
#include "store/data_store.h"
#include "support/sample.h"
#include "ui/app_context_qt.h"
#include "ui/ui_services_qt.h"

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
    bool askYesNo(const QString& question) override {
        titles.push_back(question);
        return yes;
    }
    CloseAnswer askWriteBeforeClosing(const QString& question) override {
        titles.push_back(question);
        return closeAnswer;
    }
    ChangedAnswer askChangedOnDisk(const QString& question) override {
        titles.push_back(question);
        return changedAnswer;
    }
    bool confirmList(const QString& question, const QStringList& lines, const QString&) override {
        titles.push_back(question);
        listed = lines;
        return yes;
    }
    int chooseFromList(const QString& prompt, const QStringList& entries, const QString&) override {
        titles.push_back(prompt);
        listed = entries;
        return choice;
    }
    const std::string& lastText() const { return messages.back().text; }

    std::vector<Message> messages;
    bool yes = true;  // the answer to every question
    CloseAnswer closeAnswer = CloseAnswer::Cancel;
    ChangedAnswer changedAnswer = ChangedAnswer::Cancel;
    std::deque<QString> replies;  // answers of the next dialogs; empty: cancelled
    std::vector<QString> titles;  // of the dialogs shown
    std::function<bool(const QString&)> folderRule;
    QStringList listed;  // the lines of the last list shown
    int choice = -1;     // the entry chosen from a list; -1: cancelled

private:
    QString next(const QString& title) {
        titles.push_back(title);
        if (replies.empty()) return {};
        QString reply = replies.front();
        replies.pop_front();
        return reply;
    }
};

struct LoadedSample {
    explicit LoadedSample(SourceMode mode = SourceMode::ExportedFiles) {
        source = mode == SourceMode::CdImage ? copySampleImage(dir) : copySampleExportDir(dir);
        if (!(mode == SourceMode::CdImage ? store.LoadFromImage(source) : store.LoadFromDirectory(source)))
            qFatal("the sample disc did not load");
        document.clearHistory();
        snapshot();
    }
    GameBlocks blocks() { return store.blocks(); }
    // A field of a player as stored now.
    std::uint32_t read(std::uint32_t id, PlayerFieldId field) {
        player.load(blocks(), id);
        return player.read(field);
    }

    // Remembers the blocks as they are now; changes() lists the bytes that differ since then.
    void snapshot() { before = {copy(store.boot()), copy(store.parameter()), copy(store.select())}; }
    bool unchanged() const { return changes().empty(); }
    ConstGameBlocks blocksBefore() const { return {before[0], before[1], before[2]}; }
    std::vector<std::string> changes() const {  // "boot 123": block and offset
        std::vector<std::string> result;
        const ByteSpan now[] = {store.boot(), store.parameter(), store.select()};
        const char* names[] = {"boot", "parameter", "select"};
        for (int b = 0; b < 3; ++b)
            for (std::size_t i = 0; i < now[b].size(); ++i)
                if (i >= before[b].size() || now[b][i] != before[b][i])
                    result.push_back(std::string(names[b]) + " " + std::to_string(i));
        return result;
    }

    TempDir dir;
    FakeUi ui;
    DataStore store{ui};
    gui::Document document{store};
    Player player;
    std::filesystem::path source;
    gui::NameInput nameInput;
    gui::AppContext context{store, document, player, ui, dir.path(), nameInput};
    std::vector<Bytes> before;

private:
    static Bytes copy(ByteSpan block) { return Bytes(block.begin(), block.end()); }
};

// The control of a window by its object name; a missing one ends the test program.
template <typename T>
T* child(const QObject* window, const QString& name) {
    T* found = window->findChild<T*>(name);
    if (!found) qFatal("no control %s", qPrintable(name));
    return found;
}
inline void click(const QObject* window, const QString& button) {
    QTest::mouseClick(child<QWidget>(window, button), Qt::LeftButton);
}
// The smallest rectangle holding every pixel of a colour in the window as drawn; empty when none.
inline QRect drawnArea(QWidget* window, QRgb colour) {
    const QImage image = window->grab().toImage();
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour) area |= QRect(x, y, 1, 1);
    return area;
}
// Picks an entry of a drop-down list with the arrow keys, as a user does without opening it: each
// step on the way is picked in turn.
inline void pick(QComboBox* list, int entry) {
    for (int step = 0; step < list->count() && list->currentIndex() != entry; ++step)
        QTest::keyClick(list, list->currentIndex() < entry ? Qt::Key_Down : Qt::Key_Up);
    if (list->currentIndex() != entry) qFatal("entry %d of %s cannot be picked", entry, qPrintable(list->objectName()));
}
// Steps a number field to a value with the arrow keys, as its arrow buttons do.
inline void stepTo(QSpinBox* field, int value) {
    for (int step = 0; step <= field->maximum() - field->minimum() && field->value() != value; ++step)
        QTest::keyClick(field, field->value() < value ? Qt::Key_Up : Qt::Key_Down);
    if (field->value() != value) qFatal("%s cannot reach %d", qPrintable(field->objectName()), value);
}
// Replaces the text of a field or the value of a number field by typing, and leaves it with Tab.
inline void retype(QWidget* field, const QString& text) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Tab);
}
// Types a text one character at a time (QTest::keyClicks takes Latin-1 only).
inline void typeText(QWidget* widget, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text.mid(i, length), Qt::NoModifier);
        i += length - 1;
    }
}

}  // namespace tarvo::test
