#include "store/data_store.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <system_error>
#include <tuple>

#include "store/backups.h"
#include "store/block_map.h"
#include "store/file_io.h"

namespace tarvo {

namespace {

namespace fs = std::filesystem;

// Refuses blocks made in memory that are shorter than the block map needs.
bool blocksLongEnough(MessageService& messages, const Bytes& boot, const Bytes& parameter, const Bytes& select) {
    for (auto [name, size, need] : {std::tuple{kBootFileName, boot.size(), blockmap::kMinBootSize},
                                    std::tuple{kParameterFileName, parameter.size(), blockmap::kMinParameterSize},
                                    std::tuple{kSelectFileName, select.size(), blockmap::kMinSelectSize}})
        if (size < need) {
            messages.warning(std::string(name) + " holds " + std::to_string(size) +
                             " bytes; the editor needs at least " + std::to_string(need) + " bytes");
            return false;
        }
    return true;
}

}  // namespace

bool recoverSource(const fs::path& source, MessageService& messages, FileAccess& files) {
    // A journal under a live lock is the journal of a write still running, not of an interrupted one.
    SourceLock lock;
    if (!lock.acquire(source, std::chrono::milliseconds(0)) && lock.state() == SourceLock::State::Busy) {
        messages.warning(lock.reason() + "; its journal belongs to that write, so nothing was undone");
        return false;
    }
    const fs::path journal = journalPathOf(source);
    std::string detail;
    const Recovery recovery = recoverJournal(files, journal, sourceFilesOf(source), detail);
    if (recovery == Recovery::NoJournal || recovery == Recovery::Undone || recovery == Recovery::Incomplete)
        lock.recordJournal({});
    switch (recovery) {
    case Recovery::NoJournal:
        messages.information("There is no interrupted write to undo in " + utf8Path(source) + ".");
        return true;
    case Recovery::Undone:
        messages.information("Undid the interrupted write into " + utf8Path(source) + ": it is as before that write.");
        return true;
    case Recovery::Incomplete:
        messages.information("The journal of " + utf8Path(source) +
                             " was incomplete, so the interrupted write had not begun: the source is unchanged and "
                             "the journal removed.");
        return true;
    case Recovery::Refused:
    case Recovery::Unusable: messages.warning(detail); return false;
    case Recovery::Failed: break;
    }
    messages.warning(detail + "\nThe interrupted write into " + utf8Path(source) +
                     " could not be undone; the journal " + utf8Path(journal) + " is kept.");
    return false;
}

DataStore::DataStore(MessageService& messages, FileAccess& files)
    : m_messages(messages), m_files(files), m_noArchive(messages) {}

DataStore::~DataStore() { protectSource(false); }

void DataStore::protectSource(bool on) {
    if (!m_loaded || !m_source) return;
    std::vector<fs::path> paths = m_source->ownFiles();
    paths.push_back(backupsRoot());
    for (const fs::path& path : paths) on ? protectFromOutput(path) : unprotectFromOutput(path);
}

bool DataStore::refuseJournalLeft(const fs::path& source) {
    const fs::path journal = journalPathOf(source);
    std::string detail;
    switch (journalState(m_files, journal, detail)) {
    case JournalState::None: return false;
    case JournalState::Unusable: m_messages.warning(detail); return true;
    case JournalState::Left: break;
    }
    m_messages.warning("An earlier write into " + utf8Path(source) + " was interrupted; its journal " +
                       utf8Path(journal) + " holds the bytes it overwrote. Undo that write before loading it.");
    m_failure = {FailureKind::JournalLeft, {}};  // shown
    return true;
}

bool DataStore::lockForLoad(const fs::path& source) {
    if (m_lock.acquire(source, m_lockWait)) return true;
    // Reading needs no lock when none can be made; writing does.
    if (m_lock.state() == SourceLock::State::Failed && !m_holdLock) return true;
    m_messages.warning(lockFailure().text());
    m_failure = {lockFailure().kind(), {}};  // shown
    return false;
}

bool DataStore::load(const fs::path& path) {
    m_failure = {};
    std::string error;
    auto source = openSource(path, m_messages, error, m_files);
    if (!source) {
        m_failure = {FailureKind::NoSource, error};
        m_messages.warning(error);
        return false;
    }
    const bool loaded = lockForLoad(source->keyPath()) && loadFrom(std::move(source));
    if (!loaded || !m_holdLock) m_lock.release();
    return loaded;
}

bool DataStore::loadFrom(std::unique_ptr<Source> source) {
    if (refuseJournalLeft(source->dataPath())) return false;
    if (!loadSpare(*source)) return false;
    adopt(std::move(source), m_spare);
    return true;
}

// A refused source leaves its table's memory to the next load.
bool DataStore::loadSpare(Source& source) {
    if (source.load(m_spare)) return true;
    source.archive().clearInto(m_spare.table);
    return false;
}

// The blocks become `files`, which is left holding the memory of the blocks as they were, and of
// the replaced source's archive table.
void DataStore::adopt(std::unique_ptr<Source> source, SourceFiles& files) {
    protectSource(false);
    if (m_source) m_source->archive().clearInto(files.table);
    m_source = std::move(source);
    m_boot.swap(files.boot);
    m_parameter.swap(files.parameter);
    m_select.swap(files.select);
    m_loaded = true;
    forgetWritten();
    protectSource(true);
}

bool DataStore::adoptBlocks(Bytes boot, Bytes parameter, Bytes select) {
    if (!blocksLongEnough(m_messages, boot, parameter, select)) return false;
    SourceFiles files{BlockBytes(boot.begin(), boot.end()), BlockBytes(parameter.begin(), parameter.end()),
                      BlockBytes(select.begin(), select.end())};
    adopt(nullptr, files);
    return true;
}

// After a load the blocks are what was loaded until a view that may change them is handed out: a
// command that only reads copies nothing, one that edits copies once, when it starts. From then on
// the copy is kept apart, since a view handed out may change the blocks at any time. Its memory is
// kept for the next copy.
void DataStore::forgetWritten() { m_writtenIsBlocks = true; }

void DataStore::markWritten() {
    if (m_writtenIsBlocks) return;
    copyBytes(m_boot, m_writtenBoot);
    copyBytes(m_parameter, m_writtenParameter);
    copyBytes(m_select, m_writtenSelect);
}

void DataStore::copyWritten() {
    if (!m_writtenIsBlocks) return;
    assignBytes(m_writtenBoot, m_boot);
    assignBytes(m_writtenParameter, m_parameter);
    assignBytes(m_writtenSelect, m_select);
    m_writtenIsBlocks = false;
}

GameBlocks DataStore::blocks() {
    copyWritten();
    return {m_boot, m_parameter, m_select};
}

ConstGameBlocks DataStore::writtenBlocks() const {
    if (m_writtenIsBlocks) return {m_boot, m_parameter, m_select};
    return {m_writtenBoot, m_writtenParameter, m_writtenSelect};
}

namespace {

bool sameBlocks(ConstGameBlocks a, ConstGameBlocks b) {
    return std::ranges::equal(a.boot, b.boot) && std::ranges::equal(a.parameter, b.parameter) &&
           std::ranges::equal(a.select, b.select);
}

ConstGameBlocks viewOf(const SourceFiles& files) { return {files.boot, files.parameter, files.select}; }

}  // namespace

bool DataStore::hasUnwrittenChanges() const {
    return m_loaded && !m_writtenIsBlocks && !sameBlocks({m_boot, m_parameter, m_select}, writtenBlocks());
}

bool DataStore::replaceBlocks(ByteSpan boot, ByteSpan parameter, ByteSpan select) {
    if (!m_loaded || boot.size() != m_boot.size() || parameter.size() != m_parameter.size() ||
        select.size() != m_select.size())
        return false;
    copyWritten();
    // Copied in place: the editors hold views of the blocks.
    copyBytes(boot, m_boot);
    copyBytes(parameter, m_parameter);
    copyBytes(select, m_select);
    return true;
}

RestoreResult DataStore::restoreBackup(const fs::path& backupFolder, bool force) {
    m_failure = {};
    if (!m_loaded || sourcePath().empty()) return RestoreResult::Refused;
    const auto manifest = readManifest(backupFolder);
    if (!manifest) {
        m_messages.warning(utf8Path(backupFolder) + " holds no backup (no readable manifest.json)");
        return RestoreResult::Refused;
    }
    if (manifest->source != sourceKey(sourcePath()) && !force) return RestoreResult::OtherSource;
    std::string error;
    const auto files = backupFilesFor(backupFolder, *manifest, error);
    if (!files) {
        m_messages.warning(error);
        return RestoreResult::Refused;
    }
    // What the restore overwrites may be held by no backup yet (a write earlier in this run).
    if (m_backupsEnabled) {
        m_failure = {};
        const auto current = readSourceFiles();
        if (!current || !backUpFiles(*current)) {
            m_messages.warning((m_failure.text().empty() ? "" : m_failure.text() + "\n") + "What " +
                               utf8Path(sourcePath()) +
                               " holds could not be backed up, so the backup was not restored.");
            return RestoreResult::Refused;
        }
    }
    replaceBlocks((*files)[0], (*files)[1], (*files)[2]);
    // A restore puts the backup's bytes back whatever the source holds now.
    m_overwrite = true;
    const bool restored = WriteBack();
    m_overwrite = false;
    return restored ? RestoreResult::Restored : RestoreResult::Refused;
}

std::optional<std::vector<Bytes>> DataStore::backupFilesFor(const fs::path& backupFolder,
                                                            const BackupManifest& manifest, std::string& error) const {
    auto files =
        readBackupFiles({backupFolder, manifest}, error, {bootFileName(), kParameterFileName, kSelectFileName});
    if (files && ((*files)[0].size() != m_boot.size() || (*files)[1].size() != m_parameter.size() ||
                  (*files)[2].size() != m_select.size())) {
        error = "The files of " + utf8Path(backupFolder) + " do not have the sizes of the files in " +
                utf8Path(sourcePath());
        return std::nullopt;
    }
    return files;
}

std::optional<std::string> DataStore::ppfRefusal() const {
    if (!m_loaded || !m_source) return "No disc image is loaded";
    if (m_source->kind() == SourceKind::RawImage) return std::nullopt;
    return utf8Path(sourcePath()) +
           (m_source->kind() == SourceKind::CookedImage ? " is a cooked image (2048-byte sectors)"
                                                        : " is a folder of exported files") +
           "; a PPF patches a raw disc image (2352-byte sectors)";
}

std::optional<ppf::Patch> DataStore::patchSinceBackup(const fs::path& backupFolder, std::string description,
                                                      std::string& error) {
    m_failure = {};
    if (const auto refusal = ppfRefusal()) {
        error = *refusal;
        return std::nullopt;
    }
    const auto manifest = readManifest(backupFolder);
    if (!manifest) {
        error = utf8Path(backupFolder) + " holds no backup (no readable manifest.json)";
        return std::nullopt;
    }
    const auto files = backupFilesFor(backupFolder, *manifest, error);
    if (!files) return std::nullopt;
    std::optional<ppf::Patch> patch;
    // Under the lock: never half a write of another program.
    underLock([&] {
        const auto now = readSourceFiles();
        if (!now) return false;
        const auto before = m_source->planWrite(*now, {(*files)[0], (*files)[1], (*files)[2]});
        if (!before) return false;
        auto image = m_files.open(m_source->dataPath(), OpenMode::Read, error);
        if (image) patch = ppf::diffSinceWrites(*image, *before, std::move(description), error);
        return patch.has_value();
    });
    if (!patch && error.empty()) error = m_failure.text().empty() ? "The image could not be read" : m_failure.text();
    return patch;
}

std::optional<SourceFiles> DataStore::blocksWithPpf(const ppf::Patch& patch, std::uint64_t& outside,
                                                    std::string& error) {
    if (const auto refusal = ppfRefusal()) {
        error = *refusal;
        return std::nullopt;
    }
    auto image = m_files.open(m_source->dataPath(), OpenMode::Read, error);
    if (!image) return std::nullopt;
    if (const auto refusal = ppf::refusalFor(patch, *image)) {
        error = *refusal;
        return std::nullopt;
    }
    SourceFiles after{m_boot, m_parameter, m_select};
    outside =
        ppf::writeIntoBlocks(ppf::imageWrites(patch, false), *m_source, {after.boot, after.parameter, after.select});
    return after;
}

bool DataStore::applyImagePatches(const std::vector<FilePatch>& patches) {
    m_failure = {};
    if (!m_loaded || !m_source || m_source->kind() != SourceKind::RawImage) return false;
    std::unique_ptr<Source> reloaded;
    bool read = false;
    const bool written = underLock([&] {
        if (refuseJournalLeft(m_source->dataPath())) return false;
        const auto before = readSourceFiles();
        if (!before || changedOnDisk(*before) || !backUpOnce(*before) || !writePatches(patches) || !finishWrite())
            return false;
        // The patch may have moved anything, even the files' places: the image is read afresh.
        std::string error;
        reloaded = openSource(m_source->path(), m_messages, error, m_files);
        read = reloaded && loadSpare(*reloaded);
        return true;
    });
    if (!written) {
        m_messages.warning(m_failure.text().empty() ? m_source->writeFailedText()
                                                    : m_failure.text() + "\n" + m_source->writeFailedText());
        return false;
    }
    if (!read) {
        m_messages.warning(utf8Path(sourcePath()) + " was written, but no longer reads as the game's data");
        ReleaseData();
        return true;
    }
    adopt(std::move(reloaded), m_spare);
    return true;
}

const SourceFiles* DataStore::readSourceFiles() {
    std::string failure;
    if (m_source && m_source->reread(m_spare, failure)) return &m_spare;
    m_failure = {FailureKind::Other, failure};
    return nullptr;
}

bool DataStore::backUpOnce(const SourceFiles& files) {
    if (!m_backupsEnabled || m_backupDone) return true;
    return backUpFiles(files);
}

// Backs up the files unless the newest good backup holds them; a new backup is named by the next
// write-back's message.
bool DataStore::backUpFiles(const SourceFiles& files) {
    std::string error;
    const auto made = backUp(
        sourcePath(), m_source->backupKind(),
        {{bootFileName(), files.boot}, {kParameterFileName, files.parameter}, {kSelectFileName, files.select}}, error);
    if (!made) {
        m_failure = {FailureKind::Other, error};
        return false;
    }
    m_backupDone = true;
    if (!made->empty()) {
        m_backupMade = *made;
        m_backupReported = false;
    }
    return true;
}

bool DataStore::writePatches(const std::vector<FilePatch>& patches) {
    if (patches.empty()) return true;
    const fs::path journal = ownJournalPathOf(m_source->dataPath());
    m_lock.recordJournal(journal);
    const JournaledWrite result = writeJournaled(m_files, journal, m_source->roleFiles(), patches);
    if (!result.undoFailed) m_lock.recordJournal({});
    if (result.written) return true;
    m_failure = {FailureKind::Other, result.failure};
    if (result.undoFailed) {
        const auto backups = listBackups(sourcePath());
        m_failure = {FailureKind::JournalLeft,
                     result.failure + "\nThe data written so far could not be undone: the journal " +
                         utf8Path(journal) + " holds what it overwrote, to undo the interrupted write" +
                         (backups.empty() ? "" : "; the newest backup is " + utf8Path(backups.front().folder))};
    }
    return false;
}

Failure DataStore::lockFailure() const {
    return {m_lock.state() == SourceLock::State::Busy ? FailureKind::Busy : FailureKind::LockFailed, m_lock.reason()};
}

// Runs a write under the source's lock, taking it for the time of the write unless it is held.
template <typename Work>
bool DataStore::underLock(Work&& work) {
    const bool had = m_lock.held();
    if (!had && !m_lock.acquire(sourcePath(), m_lockWait)) {
        m_failure = lockFailure();
        return false;
    }
    const bool done = work();
    if (!had && !m_holdLock) m_lock.release();
    return done;
}

bool DataStore::changedOnDisk(const SourceFiles& files) {
    if (m_overwrite || sameBlocks(viewOf(files), writtenBlocks())) return false;
    m_failure = {FailureKind::ChangedOnDisk,
                 utf8Path(sourcePath()) + " was changed by another program since it was loaded"};
    return true;
}

bool DataStore::save() {
    m_failure = {};
    if (!m_loaded || !m_source) return false;
    return underLock([this] { return saveUnderLock(); });
}

// A source kept elsewhere too (a CHD) counts as written only once it holds the data there.
bool DataStore::finishWrite() {
    std::string failure;
    if (m_source->afterWrite(failure)) return true;
    m_failure = {FailureKind::Other, failure};
    return false;
}

bool DataStore::saveUnderLock() {
    if (refuseJournalLeft(m_source->dataPath())) return false;
    // What is on disk now must be what was loaded or last written, or another program's change
    // would be lost under this one's. All three files are read before any is written, so a missing
    // or changed one writes nothing.
    const auto files = readSourceFiles();
    if (!files || changedOnDisk(*files)) return false;
    const auto patches = m_source->planWrite(*files, readOnly(blocks()));
    if (!patches) return false;
    if (!patches->empty() && !backUpOnce(*files)) return false;
    if (!writePatches(*patches) || !finishWrite()) return false;
    markWritten();
    m_overwrite = false;
    return true;
}

namespace {

// Every bit changed here since the last load or write keeps its value, every other bit takes the
// one on disk; bytes both sides changed to different values are conflicts. The written copy becomes
// what is on disk.
void mergeBlock(const std::string& file, BlockBytes& mine, BlockBytes& written, const BlockBytes& disk,
                std::vector<MergeConflict>& conflicts) {
    for (std::size_t i = 0; i < mine.size(); ++i) {
        const auto changed = static_cast<std::uint8_t>(mine[i] ^ written[i]);
        const auto merged = static_cast<std::uint8_t>((mine[i] & changed) | (disk[i] & ~changed));
        if (changed != 0 && disk[i] != written[i] && disk[i] != mine[i]) {
            if (!conflicts.empty() && conflicts.back().file == file &&
                conflicts.back().offset + conflicts.back().length == i)
                ++conflicts.back().length;
            else conflicts.push_back({file, i, 1});
        }
        mine[i] = merged;
    }
    copyBytes(disk, written);
}

}  // namespace

std::optional<std::vector<MergeConflict>> DataStore::reloadKeepingChanges() {
    m_failure = {};
    if (!m_loaded || sourcePath().empty()) return std::nullopt;
    std::vector<MergeConflict> conflicts;
    const bool merged = underLock([&] {
        if (refuseJournalLeft(m_source->dataPath())) return false;
        const auto files = readSourceFiles();
        if (!files) return false;
        copyWritten();
        mergeBlock(bootFileName(), m_boot, m_writtenBoot, files->boot, conflicts);
        mergeBlock(kParameterFileName, m_parameter, m_writtenParameter, files->parameter, conflicts);
        mergeBlock(kSelectFileName, m_select, m_writtenSelect, files->select, conflicts);
        return true;
    });
    if (!merged) {
        if (!m_failure.text().empty()) m_messages.warning(m_failure.text());
        return std::nullopt;
    }
    m_overwrite = false;
    return conflicts;
}

std::optional<bool> DataStore::changedSinceLoad() {
    if (!m_loaded || sourcePath().empty()) return false;
    std::optional<bool> changed;
    underLock([&] {
        if (const auto files = readSourceFiles()) changed = !sameBlocks(viewOf(*files), writtenBlocks());
        return true;
    });
    return changed;
}

bool DataStore::WriteBack() {
    if (!save()) {
        const char* failed = m_source ? m_source->writeFailedText() : "Failed to save data to exported files!";
        m_messages.warning(m_failure.text().empty() ? failed : m_failure.text() + "\n" + failed);
        return false;
    }
    // A write-back names the backup made before it (the first of a run, or a restore's), once.
    const bool first = !m_backupMade.empty() && !m_backupReported;
    m_backupReported = m_backupReported || first;
    m_messages.information(first ? "OK!\nBackup of the files as they were: " + utf8Path(m_backupMade) : "OK!");
    return true;
}

void DataStore::ReleaseData() {
    m_boot = m_parameter = m_select = BlockBytes();
    m_writtenBoot = m_writtenParameter = m_writtenSelect = BlockBytes();
    m_spare = {};
    forgetWritten();
    protectSource(false);
    m_source.reset();
    m_lock.release();
    m_loaded = false;
}

}  // namespace tarvo
