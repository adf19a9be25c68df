#pragma once
// The loaded data as the desktop edits them: the store's blocks with their edit history, and the
// one signal that every window listens to instead of polling. Controls store a user's change at
// once and say so (edited); a step ends when the focus moves to another control or an action ends
// it; undo and redo take whole steps back and make them again.

#include <functional>
#include <string>

#include <QObject>
#include <QString>

#include "store/data_store.h"
#include "store/edit_history.h"

class QKeyEvent;
class QWidget;

namespace tarvo::gui {

class Document : public QObject {
    Q_OBJECT
public:
    explicit Document(DataStore& store, QObject* parent = nullptr);

    // A control stored a user's change and shows it: the title's mark follows at once.
    void edited();
    // Ends the open step, named by its first change as the change list words it.
    void commit();
    // A user's action: the open step ends first, then what `action` changes is one step, named
    // `label` (or by its first change when empty), and every window shows the data again.
    void act(const std::function<void()>& action, const std::string& label = {});
    void undo();
    void redo();
    // "Undo player 12 speed: 52 -> 99", "Redo ..."; empty when there is nothing to undo or redo.
    QString undoText() const;
    QString redoText() const;
    // After a load, a reload or a restore: no step before it can be undone.
    void clearHistory();

signals:
    // The blocks changed. `byControl`: by the control that shows the change; otherwise every
    // window shows the blocks again (what they show writes nothing and ends no step).
    void changed(bool byControl);

private:
    DataStore& m_store;
    EditHistory m_history;
};

// Ctrl+Z, and Ctrl+Shift+Z or Ctrl+Y.
bool isUndoKey(const QKeyEvent* event);
bool isRedoKey(const QKeyEvent* event);
// The undo and redo keys of a window. In its number fields they reach the window (a number field
// has no typing of its own to undo): call once the controls are made.
void addUndoKeys(QWidget* window, std::function<void()> undo, std::function<void()> redo);
void addUndoKeys(QWidget* window, Document& document);

}  // namespace tarvo::gui
