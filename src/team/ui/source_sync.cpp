#include "team/ui/source_sync.h"

#include <QApplication>
#include <QFileInfo>
#include <QWidget>

#include "store/file_io.h"
#include "edits/change_list.h"

namespace tarvo::gui {

namespace {

constexpr int kSettleMs = 300;

// The three blocks copied, to compare with after they change.
struct BlockCopy {
    explicit BlockCopy(const ConstGameBlocks& blocks)
        : boot(blocks.boot.begin(), blocks.boot.end()),
          parameter(blocks.parameter.begin(), blocks.parameter.end()),
          select(blocks.select.begin(), blocks.select.end()) {}
    ConstGameBlocks view() const { return {boot, parameter, select}; }
    Bytes boot, parameter, select;
};

}  // namespace

SourceSync::SourceSync(AppContext& context, QObject* parent) : QObject(parent), m_context(context) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &SourceSync::onFileChanged);
    connect(&m_settle, &QTimer::timeout, this, &SourceSync::checkSource);
    watch();
}

void SourceSync::watch() {
    const DataStore& store = m_context.store;
    if (!m_watcher.files().isEmpty()) m_watcher.removePaths(m_watcher.files());
    if (!store.isLoaded() || !store.source()) return;
    for (const std::filesystem::path& file : store.source()->ownFiles()) m_watcher.addPath(toQString(file));
}

void SourceSync::onFileChanged(const QString& path) {
    // A file replaced by a rename is no longer watched under its name.
    if (!m_watcher.files().contains(path) && QFileInfo::exists(path)) m_watcher.addPath(path);
    m_settle.start();
}

void SourceSync::checkSource() {
    // A window open over the main one shows values of its own: look again once it is closed.
    const QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != qobject_cast<const QWidget*>(parent())) {
        m_settle.start();
        return;
    }
    DataStore& store = m_context.store;
    // This program's own write changes the files too, but leaves them as written.
    if (!store.changedSinceLoad().value_or(false)) return;
    const QString source = toQString(store.sourcePath());
    if (!store.hasUnwrittenChanges()) {
        if (store.reloadKeepingChanges())
            emit reloaded(QStringLiteral("%1 was changed by another program: shown as it is now.").arg(source));
        return;
    }
    if (m_told) return;
    m_told = true;
    m_context.ui.warning(QStringLiteral("%1 was changed by another program. Your changes are not written yet; when "
                                        "you write them you can put them on top of what it holds now, or overwrite it.")
                             .arg(source)
                             .toStdString());
}

bool SourceSync::reloadKeepingChanges(bool thenWrite) {
    DataStore& store = m_context.store;
    const BlockCopy base(store.writtenBlocks()), mine(readOnly(store.blocks()));
    if (!store.reloadKeepingChanges()) return false;
    // Bit by bit, a value both sides changed may hold a mix of the two: the user's is put back whole.
    const std::vector<Conflict> conflicts = listConflicts(base.view(), store.writtenBlocks(), mine.view());
    std::vector<Change> kept;
    QStringList lines;
    for (const Conflict& conflict : conflicts) {
        // Bytes no value covers are merged bit by bit already.
        if (conflict.mine.kind != ChangeKind::Other) kept.push_back(conflict.mine);
        lines << QString::fromStdString(describeConflict(conflict));
    }
    revertChanges(mine.view(), store.blocks(), kept);
    m_told = false;
    emit reloaded(QStringLiteral("%1 was read again; your changes are on top.").arg(toQString(store.sourcePath())));
    if (lines.isEmpty()) return true;
    const QString question = QStringLiteral("Another program changed these values too; yours are kept.");
    if (!thenWrite) {
        m_context.ui.confirmList(question, lines, QStringLiteral("OK"));
        return true;
    }
    return m_context.ui.confirmList(question + QStringLiteral(" Write them now?"), lines, QStringLiteral("Write"));
}

bool SourceSync::write() {
    DataStore& store = m_context.store;
    if (store.changedSinceLoad().value_or(false)) {
        const QString question = QStringLiteral("%1 was changed by another program since it was loaded. Put your "
                                                "changes on top of what it holds now, or overwrite what it wrote?")
                                     .arg(toQString(store.sourcePath()));
        switch (m_context.ui.askChangedOnDisk(question)) {
        case UiServices::ChangedAnswer::Cancel: return false;
        case UiServices::ChangedAnswer::Overwrite: store.overwriteNextWrite(); break;
        case UiServices::ChangedAnswer::ReloadKeepingChanges:
            if (!reloadKeepingChanges(true)) return false;
            break;
        }
    }
    const bool written = store.WriteBack();
    if (written) m_told = false;
    return written;
}

}  // namespace tarvo::gui
