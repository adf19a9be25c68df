#pragma once
// The main window's actions on the source as a whole: writing it (and the question before closing
// with unwritten changes), the title's mark of unwritten changes, the CSV export and import, the
// restore of a backup, PPF and value patches, the find box and the changes window, and the
// context-menu entries for them. The team page delegates to it and shows the blocks again when
// it says so.

#include <cstdint>

#include <QObject>
#include <QPointer>

#include "ui/app_context_qt.h"

class QDialog;
class QLabel;
class QMenu;

namespace tarvo::gui {

class FindPlayerWindow;
class SourceSync;

class SourceActions : public QObject {
    Q_OBJECT
public:
    // `window`: the main window, over which the boxes open and whose title carries the mark.
    SourceActions(AppContext& context, QDialog* window);

    // The write button: writes into the source, asking first when another program changed it.
    void write();
    // Whether the main window may close: with unwritten changes the user is asked to write them
    // first, discard them or cancel.
    bool mayClose();
    // The title's "*" while the blocks differ from what was last loaded or written.
    void showUnwrittenMark();
    // Shows the blocks again in the find box and the mark (the page shows them itself).
    void refresh();

    void openFindPlayer();
    void openChanges();
    // The entries of the source's actions, added to the main window's context menu.
    void addMenuEntries(QMenu& menu);

signals:
    // The blocks changed under the views (a restore, a reload): the page shows them again.
    void viewsStale();
    // The find box picked a player; `row` is -1 when no team holds them.
    void playerFound(std::uint32_t id, int row, int slot);

private:
    void onExportPlayersCsv();
    void onImportCsv();
    void onRestoreBackup();
    void onMakePatch();
    void onApplyPatch();
    // A line over the bottom of the window for a few seconds (the source was read again).
    void showNotice(const QString& text);

    AppContext& m_context;
    QDialog* m_window;
    SourceSync* m_sync = nullptr;
    QPointer<FindPlayerWindow> m_find;
    QLabel* m_notice = nullptr;
};

}  // namespace tarvo::gui
