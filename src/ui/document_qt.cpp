#include "ui/document_qt.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QShortcut>

#include "edits/change_list.h"

namespace tarvo::gui {

namespace {

// Lets the undo keys pass a number field by to the window's shortcuts.
class UndoKeysToWindow : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!isUndoKey(key) && !isRedoKey(key)) return false;
        event->ignore();
        return true;
    }
};

}  // namespace

Document::Document(DataStore& store, QObject* parent) : QObject(parent), m_store(store), m_history(store) {
    // Moving to another control ends the step of the one left.
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        connect(app, &QApplication::focusChanged, this, &Document::commit);
}

void Document::edited() { emit changed(true); }

void Document::commit() {
    // Named by its first change: "player 12 speed: 52 -> 99 and 3 more".
    m_history.commit(
        [this] { return describeFirstChange(listChanges(m_history.boundary(), readOnly(m_store.blocks()))); });
}

void Document::act(const std::function<void()>& action, const std::string& label) {
    commit();
    action();
    if (label.empty()) {
        commit();
    } else {
        m_history.commit(label);
    }
    emit changed(false);
}

void Document::undo() {
    commit();
    if (m_history.undo()) emit changed(false);
}

void Document::redo() {
    commit();
    if (m_history.redo()) emit changed(false);
}

QString Document::undoText() const {
    return m_history.canUndo() ? QStringLiteral("Undo ") + QString::fromStdString(m_history.undoLabel()) : QString();
}

QString Document::redoText() const {
    return m_history.canRedo() ? QStringLiteral("Redo ") + QString::fromStdString(m_history.redoLabel()) : QString();
}

void Document::clearHistory() { m_history.clear(); }

bool isUndoKey(const QKeyEvent* event) { return event->keyCombination() == (Qt::CTRL | Qt::Key_Z); }

bool isRedoKey(const QKeyEvent* event) {
    const QKeyCombination keys = event->keyCombination();
    return keys == (Qt::CTRL | Qt::SHIFT | Qt::Key_Z) || keys == (Qt::CTRL | Qt::Key_Y);
}

void addUndoKeys(QWidget* window, std::function<void()> undo, std::function<void()> redo) {
    auto* undoKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), window);
    QObject::connect(undoKey, &QShortcut::activated, window, std::move(undo));
    auto* redoKey = new QShortcut(window);
    redoKey->setKeys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    QObject::connect(redoKey, &QShortcut::activated, window, std::move(redo));
    auto* filter = new UndoKeysToWindow(window);
    for (QAbstractSpinBox* field : window->findChildren<QAbstractSpinBox*>()) {
        field->installEventFilter(filter);
        for (QWidget* inner : field->findChildren<QWidget*>()) inner->installEventFilter(filter);
    }
}

void addUndoKeys(QWidget* window, Document& document) {
    addUndoKeys(window, [&document] { document.undo(); }, [&document] { document.redo(); });
}

}  // namespace tarvo::gui
