#include "team/ui/source_actions.h"

#include <QDialog>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QTimer>

#include "edits/csv_import.h"
#include "edits/patch.h"
#include "store/backups.h"
#include "store/file_io.h"
#include "store/ppf.h"
#include "team/ui/changes_window.h"
#include "team/ui/find_player_window.h"
#include "team/ui/source_sync.h"
#include "ui/about_dialog.h"

namespace tarvo::gui {

namespace {

constexpr int kNoticeMs = 6000;  // how long a notice stays

QStringList csvFileFilters() { return {QStringLiteral("CSV Files (*.csv)"), QStringLiteral("All Files (*.*)")}; }
QStringList ppfFileFilters() { return {QStringLiteral("PPF Patches (*.ppf)"), QStringLiteral("All Files (*.*)")}; }
QStringList patchFileFilters() {
    return {QStringLiteral("Patches (*.ppf *.txt)"), QStringLiteral("PPF Patches (*.ppf)"),
            QStringLiteral("Value Patches (*.txt)"), QStringLiteral("All Files (*.*)")};
}

// A manifest's time, "2026-12-07T03:21:41", as a person reads it.
QString backupTime(const Backup& backup) {
    return QString::fromStdString(backup.manifest.time).replace(QLatin1Char('T'), QLatin1Char(' '));
}

// The backups of a source as the user chooses among them, newest first.
QStringList backupEntries(const std::vector<Backup>& backups) {
    QStringList entries;
    for (const Backup& backup : backups)
        entries << backupTime(backup) + QStringLiteral("    ") + toQString(backup.folder.filename()) +
                       (backupDamage(backup) ? QStringLiteral("    (damaged)") : QString());
    return entries;
}

}  // namespace

SourceActions::SourceActions(AppContext& context, QDialog* window)
    : QObject(window), m_context(context), m_window(window) {
    connect(&m_context.document, &Document::changed, this, [this] { showUnwrittenMark(); });
    // The sync looks at its parent to tell the main window from a window open over it.
    m_sync = new SourceSync(m_context, m_window);
    connect(m_sync, &SourceSync::reloaded, this, [this](const QString& notice) {
        m_context.document.clearHistory();
        emit viewsStale();
        showNotice(notice);
    });
    auto* find = new QShortcut(QKeySequence::Find, m_window);
    connect(find, &QShortcut::activated, this, &SourceActions::openFindPlayer);
    auto* changes = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_D), m_window);
    connect(changes, &QShortcut::activated, this, &SourceActions::openChanges);
}

void SourceActions::write() {
    m_sync->write();
    showUnwrittenMark();
}

bool SourceActions::mayClose() {
    if (!m_context.store.hasUnwrittenChanges()) return true;
    const QString question =
        QStringLiteral("Write the changes into %1 before closing?").arg(toQString(m_context.store.sourcePath()));
    switch (m_context.ui.askWriteBeforeClosing(question)) {
    case UiServices::CloseAnswer::Cancel: return false;
    case UiServices::CloseAnswer::Write: return m_sync->write();
    case UiServices::CloseAnswer::Discard: break;
    }
    return true;
}

void SourceActions::showUnwrittenMark() {
    const QString title = QString::fromLatin1(kAppName) + (m_context.store.hasUnwrittenChanges() ? "*" : "");
    if (m_window->windowTitle() != title) m_window->setWindowTitle(title);
}

void SourceActions::refresh() {
    if (m_find) m_find->refresh();
    showUnwrittenMark();
}

void SourceActions::openFindPlayer() {
    if (!m_find) {
        m_find = new FindPlayerWindow(m_context, m_window);
        m_find->setObjectName(QStringLiteral("findPlayer"));
        connect(m_find, &FindPlayerWindow::picked, this, &SourceActions::playerFound);
    }
    m_find->show();
    m_find->raise();
    m_find->activateWindow();
}

void SourceActions::openChanges() {
    ChangesWindow changes(m_context, m_window);
    changes.setWindowModality(Qt::WindowModal);
    changes.exec();
}

void SourceActions::addMenuEntries(QMenu& menu) {
    menu.addAction(QStringLiteral("&Find player..."), this, &SourceActions::openFindPlayer);
    menu.addSeparator();
    menu.addAction(QStringLiteral("&Export players (CSV)..."), this, &SourceActions::onExportPlayersCsv);
    menu.addAction(QStringLiteral("&Import players (CSV)..."), this, &SourceActions::onImportCsv);
    menu.addAction(QStringLiteral("&Restore backup..."), this, &SourceActions::onRestoreBackup);
    menu.addAction(QStringLiteral("Make &patch (PPF)..."), this, &SourceActions::onMakePatch);
    menu.addAction(QStringLiteral("&Apply patch..."), this, &SourceActions::onApplyPatch);
    menu.addSeparator();
    menu.addAction(QStringLiteral("&About %1...").arg(QString::fromLatin1(kAppName)), this,
                   [this] { showAboutBox(m_window); });
}

void SourceActions::onExportPlayersCsv() {
    const QString file = m_context.ui.saveFile(QStringLiteral("Export players (CSV)"), csvFileFilters(),
                                               toQString(m_context.programDirectory / "players.csv"));
    if (file.isEmpty()) return;
    const std::string text = playersCsv(m_context.store.blocks());
    const ByteSpan bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    if (writeFileReporting(toPath(file), bytes, m_context.ui))
        m_context.ui.information("OK, players saved as \n" + utf8Path(toPath(file)));
}

void SourceActions::onImportCsv() {
    const QString file = m_context.ui.openFile(QStringLiteral("Import players (CSV)"), csvFileFilters(),
                                               toQString(m_context.programDirectory));
    if (file.isEmpty()) return;
    const auto bytes = readFileReporting(toPath(file), kMaxTextFileSize, m_context.ui);
    if (!bytes) return;
    const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    const std::string name = utf8Path(toPath(file));
    // The user sees what the import would change before it does.
    const CsvPreview preview = previewCsv(m_context.store.blocks(), text);
    if (preview.refusal) {
        m_context.ui.warning(name + " is refused, nothing is changed:\n" + refusalText(*preview.refusal));
        return;
    }
    if (preview.changes.empty()) {
        m_context.ui.information(name + " changes nothing: every cell holds what the data hold now");
        return;
    }
    QStringList lines;
    for (const Change& change : preview.changes) lines << QString::fromStdString(describeChange(change));
    const QString question = QStringLiteral("Importing %1 changes these values (%2). Apply the changes?")
                                 .arg(toQString(toPath(file).filename()))
                                 .arg(preview.changes.size());
    if (!m_context.ui.confirmList(question, lines, QStringLiteral("Apply"))) return;
    m_context.document.act([&] { importCsv(m_context.store.blocks(), text); },
                           "import CSV file " + utf8Path(toPath(file).filename()));
}

void SourceActions::onRestoreBackup() {
    const std::filesystem::path source = m_context.store.sourcePath();
    const std::vector<Backup> backups = listBackups(source);
    if (backups.empty()) {
        m_context.ui.information("There is no backup of " + utf8Path(source) + ".");
        return;
    }
    if (m_context.store.hasUnwrittenChanges() &&
        !m_context.ui.askYesNo(QStringLiteral("The changes not yet written into %1 would be lost. Discard them and "
                                              "choose a backup?")
                                   .arg(toQString(source))))
        return;
    const int chosen =
        m_context.ui.chooseFromList(QStringLiteral("The backups of %1, newest first:").arg(toQString(source)),
                                    backupEntries(backups), QStringLiteral("Restore"));
    if (chosen < 0 || chosen >= static_cast<int>(backups.size())) return;
    const Backup& backup = backups[static_cast<std::size_t>(chosen)];
    if (!m_context.ui.askYesNo(QStringLiteral("Restore the backup of %1 into %2? Its three files replace what the "
                                              "source holds now.")
                                   .arg(backupTime(backup), toQString(source))))
        return;
    RestoreResult restored = m_context.store.restoreBackup(backup.folder, false);
    if (restored == RestoreResult::OtherSource &&
        m_context.ui.askYesNo(QStringLiteral("This backup was made of another source than %1. Restore it all the "
                                             "same?")
                                  .arg(toQString(source))))
        restored = m_context.store.restoreBackup(backup.folder, true);
    if (restored == RestoreResult::Restored) m_context.document.clearHistory();
    emit viewsStale();
}

void SourceActions::onMakePatch() {
    const std::filesystem::path source = m_context.store.sourcePath();
    if (const auto refusal = m_context.store.ppfRefusal()) {
        m_context.ui.warning(*refusal);
        return;
    }
    // The patch is made of what the image holds on disk.
    if (m_context.store.hasUnwrittenChanges()) {
        if (!m_context.ui.askYesNo(QStringLiteral("A patch holds what is written into %1. Write the changes into it "
                                                  "first?")
                                       .arg(toQString(source))))
            return;
        const bool written = m_sync->write();
        showUnwrittenMark();
        if (!written) return;
    }
    const std::vector<Backup> backups = listBackups(source);
    if (backups.empty()) {
        m_context.ui.information("There is no backup of " + utf8Path(source) + " to make a patch against.");
        return;
    }
    const int chosen = m_context.ui.chooseFromList(
        QStringLiteral("The patch turns a backup of %1 into what it holds now. Its backups, newest first (the last "
                       "holds the disc as it first was):")
            .arg(toQString(source)),
        backupEntries(backups), QStringLiteral("Make patch"));
    if (chosen < 0 || chosen >= static_cast<int>(backups.size())) return;
    const Backup& backup = backups[static_cast<std::size_t>(chosen)];
    std::filesystem::path suggested = source.filename();
    suggested.replace_extension(".ppf");
    const QString file = m_context.ui.saveFile(QStringLiteral("Make patch (PPF)"), ppfFileFilters(),
                                               toQString(m_context.programDirectory / suggested));
    if (file.isEmpty()) return;
    std::string error;
    const auto patch = m_context.store.patchSinceBackup(backup.folder, "Changes since " + backup.manifest.time, error);
    if (!patch) {
        m_context.ui.warning("No patch was made: " + error);
        return;
    }
    if (writeFileReporting(toPath(file), ppf::write(*patch), m_context.ui))
        m_context.ui.information("OK, the changes since " + backupTime(backup).toStdString() + " (" +
                                 std::to_string(patch->records.size()) + " records) saved as \n" +
                                 utf8Path(toPath(file)));
}

void SourceActions::onApplyPatch() {
    const QString file =
        m_context.ui.openFile(QStringLiteral("Apply patch"), patchFileFilters(), toQString(m_context.programDirectory));
    if (file.isEmpty()) return;
    const auto bytes = readFileReporting(toPath(file), ppf::kMaxPatchFileSize, m_context.ui);
    if (!bytes) return;
    const std::string name = utf8Path(toPath(file));
    // What the blocks would hold after the patch; nothing is changed before the user agrees.
    std::optional<SourceFiles> after;
    std::string error, outsideNote;
    if (ppf::isPpf(*bytes)) {
        std::uint64_t outside = 0;
        if (const auto patch = ppf::parse(*bytes, error)) after = m_context.store.blocksWithPpf(*patch, outside, error);
        if (outside > 0) {
            outsideNote = " ";
            outsideNote += std::to_string(outside);
            outsideNote += " bytes of the patch lie outside the game's data and are left as they are.";
        }
    } else {
        const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
        const Patch patch = parsePatch(text);
        error = patch.error;
        if (error.empty()) {
            // A copy is changed: the blocks only once the user says Apply.
            const GameBlocks blocks = m_context.store.blocksForReading();
            after = SourceFiles{BlockBytes(blocks.boot.begin(), blocks.boot.end()),
                                BlockBytes(blocks.parameter.begin(), blocks.parameter.end()),
                                BlockBytes(blocks.select.begin(), blocks.select.end())};
            error = applyPatch({after->boot, after->parameter, after->select}, patch.lines);
        }
    }
    if (!error.empty() || !after) {
        m_context.ui.warning(name + " is refused, nothing is changed:\n" + error);
        return;
    }
    const auto changes =
        listChanges(readOnly(m_context.store.blocks()), {after->boot, after->parameter, after->select});
    if (changes.empty()) {
        m_context.ui.information(name + " changes nothing in the game's data." + outsideNote);
        return;
    }
    QStringList lines;
    for (const Change& change : changes) lines << QString::fromStdString(describeChange(change));
    const QString question = QStringLiteral("Applying %1 changes these values (%2).%3 Apply the changes?")
                                 .arg(toQString(toPath(file).filename()))
                                 .arg(changes.size())
                                 .arg(QString::fromStdString(outsideNote));
    if (!m_context.ui.confirmList(question, lines, QStringLiteral("Apply"))) return;
    m_context.document.act([&] { m_context.store.replaceBlocks(after->boot, after->parameter, after->select); },
                           "apply patch " + utf8Path(toPath(file).filename()));
}

void SourceActions::showNotice(const QString& text) {
    if (!m_notice) {
        m_notice = new QLabel(m_window);
        m_notice->setObjectName(QStringLiteral("notice"));
        m_notice->setStyleSheet(QStringLiteral("background: #ffffe0; border: 1px solid #808080; padding: 2px;"));
        m_notice->setWordWrap(true);
    }
    m_notice->setText(text);
    m_notice->setGeometry(4, m_window->height() - 40, m_window->width() - 8, 36);
    m_notice->show();
    m_notice->raise();
    QTimer::singleShot(kNoticeMs, m_notice, &QLabel::hide);
}

}  // namespace tarvo::gui
