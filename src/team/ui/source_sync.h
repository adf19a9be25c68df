#pragma once
// Keeps the main window and the source on disk in step. It watches the source's files: when
// another program writes them and nothing here is unwritten, the data are read again; when
// something is unwritten, the user is told at once and asked at the next write whether to put the
// changes on top of what the source holds now, to overwrite it, or to cancel. A change made on disk
// is never written over without that question.

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include "ui/app_context_qt.h"

namespace tarvo::gui {

class SourceSync : public QObject {
    Q_OBJECT
public:
    explicit SourceSync(AppContext& context, QObject* parent = nullptr);
    // Writes the data into the source, asking first when another program changed it since it was
    // loaded or last written. True when written.
    bool write();
    // Watches the loaded source's files again (after a restore or a reload).
    void watch();

signals:
    // The data were read again from the source; `notice` says why, in a line for the user.
    void reloaded(const QString& notice);

private:
    void onFileChanged(const QString& path);
    void checkSource();
    // Reads the source again with the unwritten changes on top; a value both changed keeps the
    // user's, and such values are listed. `thenWrite`: the list asks whether to write now.
    bool reloadKeepingChanges(bool thenWrite);

    AppContext& m_context;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;     // another program writes in many pieces: look once it has been quiet
    bool m_told = false;  // the user knows the source changed under unwritten changes
};

}  // namespace tarvo::gui
