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

struct BlockNeed {
    const char* name;
    std::size_t minSize;
};

constexpr BlockNeed kParameterNeed{kParameterFileName, blockmap::kMinParameterSize};
constexpr BlockNeed kSelectNeed{kSelectFileName, blockmap::kMinSelectSize};

// Refuses a block shorter than the block map needs, naming the file, its size and the need.
bool longEnough(MessageService& messages, const std::string& name, std::size_t size, std::size_t needed) {
    if (size >= needed) return true;
    messages.warning(name + " holds " + std::to_string(size) + " bytes; the editor needs at least " +
                     std::to_string(needed) + " bytes");
    return false;
}

bool blocksLongEnough(MessageService& messages, const std::string& bootName, const Bytes& boot, const Bytes& parameter,
                      const Bytes& select) {
    return longEnough(messages, bootName, boot.size(), blockmap::kMinBootSize) &&
           longEnough(messages, kParameterNeed.name, parameter.size(), kParameterNeed.minSize) &&
           longEnough(messages, kSelectNeed.name, select.size(), kSelectNeed.minSize);
}

// Byte ranges where `now` and `wanted` differ, in chunks of kPatchChunk bytes.
constexpr std::size_t kPatchChunk = 4096;
void addChangedChunks(std::vector<FilePatch>& patches, FileRole file, ByteSpan now, ByteSpan wanted) {
    for (std::size_t at = 0; at < wanted.size(); at += kPatchChunk) {
        const std::size_t n = std::min(kPatchChunk, wanted.size() - at);
        if (std::equal(wanted.begin() + at, wanted.begin() + at + n, now.begin() + at)) continue;
        if (!patches.empty() && patches.back().role == file &&
            patches.back().position + patches.back().bytes.size() == at)
            patches.back().bytes.insert(patches.back().bytes.end(), wanted.begin() + at, wanted.begin() + at + n);
        else patches.push_back({file, at, Bytes(wanted.begin() + at, wanted.begin() + at + n)});
    }
}

// Whether two extents [a, a + an) and [b, b + bn) share a byte.
bool overlap(std::uint64_t a, std::uint64_t an, std::uint64_t b, std::uint64_t bn) {
    return an > 0 && bn > 0 && a < b + bn && b < a + an;
}

// The path with its symlinks resolved; the path itself when that fails.
fs::path realPath(const fs::path& path) {
    std::error_code ec;
    fs::path real = fs::canonical(path, ec);
    return ec ? path : real;
}

// Finds the boot file under its first name, or the second release's name; each miss shows its
// not-found message. Gives the name found.
std::optional<std::string> findBootFile(IsoFile& file, const fs::path& imagePath) {
    for (const char* name : {kBootFileName, kBootFileNameSecondRelease})
        if (file.Find(imagePath, name)) return std::string(name);
    return std::nullopt;
}

// The files of a source by the role each plays, the only files its journal may write.
std::vector<RoleFile> roleFiles(SourceMode mode, const fs::path& source, const std::string& bootName) {
    if (mode == SourceMode::CdImage) return {{FileRole::Image, source}};
    std::vector<RoleFile> files;
    if (!bootName.empty()) files.push_back({FileRole::Boot, source / bootName});
    files.push_back({FileRole::Parameter, source / kParameterFileName});
    files.push_back({FileRole::Select, source / kSelectFileName});
    return files;
}

}  // namespace

struct DataStore::Files {
    Bytes boot, parameter, select;
};

std::vector<RoleFile> sourceFilesOf(const fs::path& source) {
    std::error_code ec;
    if (!fs::is_directory(source, ec)) return roleFiles(SourceMode::CdImage, realPath(source), {});
    // The boot file under the name a load finds first.
    std::string bootName;
    for (const char* name : {kBootFileName, kBootFileNameSecondRelease})
        if (bootName.empty() && fs::is_regular_file(source / name, ec)) bootName = name;
    return roleFiles(SourceMode::ExportedFiles, realPath(source), bootName);
}

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
    : m_messages(messages), m_files(files), m_archiveFile(messages, files), m_archive(messages) {
    m_archive.attach(m_archiveFile);
}

DataStore::~DataStore() { protectSource(false); }

void DataStore::protectSource(bool on) {
    if (!m_loaded) return;
    std::vector<fs::path> paths{backupsRoot()};
    if (m_mode == SourceMode::CdImage) paths.push_back(m_imagePath);
    else if (!m_exportDirectory.empty())
        for (const std::string& name : {m_bootFileName, std::string(kParameterFileName), std::string(kSelectFileName)})
            paths.push_back(m_exportDirectory / name);
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
    m_refusal = StoreRefusal::JournalLeft;
    m_messages.warning("An earlier write into " + utf8Path(source) + " was interrupted; its journal " +
                       utf8Path(journal) + " holds the bytes it overwrote. Undo that write before loading it.");
    return true;
}

bool DataStore::lockForLoad(const fs::path& source) {
    m_refusal = StoreRefusal::None;
    if (m_lock.acquire(source, m_lockWait)) return true;
    // Reading needs no lock when none can be made; writing does.
    if (m_lock.state() == SourceLock::State::Failed && !m_holdLock) return true;
    m_refusal = m_lock.state() == SourceLock::State::Busy ? StoreRefusal::Busy : StoreRefusal::LockFailed;
    m_messages.warning(m_lock.reason());
    return false;
}

bool DataStore::LoadFromImage(const fs::path& imagePath) {
    if (!lockForLoad(imagePath)) return false;
    const bool loaded = loadImage(imagePath);
    if (!loaded || !m_holdLock) m_lock.release();
    return loaded;
}

bool DataStore::LoadFromDirectory(const fs::path& exportDirectory) {
    if (!lockForLoad(exportDirectory)) return false;
    const bool loaded = loadDirectory(exportDirectory);
    if (!loaded || !m_holdLock) m_lock.release();
    return loaded;
}

bool DataStore::loadImage(const fs::path& imagePath) {
    if (refuseJournalLeft(imagePath)) return false;
    IsoFile bootFile(m_messages, m_files);
    const auto bootName = findBootFile(bootFile, imagePath);
    if (!bootName) return false;
    if (!longEnough(m_messages, *bootName, bootFile.fileSize(), blockmap::kMinBootSize)) return false;
    if (!bootFile.Open(IsoFile::Mode::Read)) return false;
    if (!bootFile.checkFileInImage()) return false;
    Bytes boot(bootFile.fileSize());
    const bool bootRead = bootFile.Read(0, boot);
    bootFile.Close();
    if (!bootRead) return false;

    m_archive.clear();
    if (!m_archiveFile.Find(imagePath, kArchiveName) || !m_archive.LoadDirectory()) return false;
    if (m_archive.entryCount() <= std::max(blockmap::kParameterEntry, blockmap::kSelectEntry)) {
        m_messages.warning(std::string(kArchiveName) + " holds " + std::to_string(m_archive.entryCount()) +
                           " entries; the parameter data and the select data are its entries " +
                           std::to_string(blockmap::kParameterEntry) + " and " +
                           std::to_string(blockmap::kSelectEntry));
        m_archive.clear();
        return false;
    }
    // Write-back stores these two entries and the boot file whole: they must not lie over each
    // other nor over the archive's tables (checked by LoadDirectory), or a write-back would
    // overwrite them.
    const auto parameterAt = m_archive.GetOffset(blockmap::kParameterEntry),
               selectAt = m_archive.GetOffset(blockmap::kSelectEntry);
    const auto parameterSize = m_archive.GetSize(blockmap::kParameterEntry),
               selectSize = m_archive.GetSize(blockmap::kSelectEntry);
    const std::uint64_t bootSectors = (std::uint64_t{bootFile.fileSize()} + kUserDataSize - 1) / kUserDataSize;
    const std::uint64_t archiveSectors = (std::uint64_t{m_archiveFile.fileSize()} + kUserDataSize - 1) / kUserDataSize;
    std::string clash;
    if (overlap(parameterAt, parameterSize, selectAt, selectSize))
        clash = std::string(kArchiveName) + " entries " + std::to_string(blockmap::kParameterEntry) + " (offset " +
                std::to_string(parameterAt) + ", size " + std::to_string(parameterSize) + ") and " +
                std::to_string(blockmap::kSelectEntry) + " (offset " + std::to_string(selectAt) + ", size " +
                std::to_string(selectSize) + ") overlap";
    else if (overlap(bootFile.startSector(), bootSectors, m_archiveFile.startSector(), archiveSectors))
        clash = *bootName + " (sectors " + std::to_string(bootFile.startSector()) + " to " +
                std::to_string(bootFile.startSector() + bootSectors - 1) + ") and " + kArchiveName + " (sectors " +
                std::to_string(m_archiveFile.startSector()) + " to " +
                std::to_string(m_archiveFile.startSector() + archiveSectors - 1) + ") overlap";
    if (!clash.empty()) {
        m_messages.warning(clash + " in " + utf8Path(imagePath) + "; a write-back would overwrite one with the other");
        m_archive.clear();
        return false;
    }
    Bytes parameter, select;
    for (auto [block, entry, need] : {std::tuple{&parameter, blockmap::kParameterEntry, kParameterNeed},
                                      std::tuple{&select, blockmap::kSelectEntry, kSelectNeed}}) {
        const std::string name =
            std::string(need.name) + " (entry " + std::to_string(entry) + " of " + kArchiveName + ")";
        if (!longEnough(m_messages, name, m_archive.GetSize(entry), need.minSize)) {
            m_archive.clear();
            return false;
        }
        block->resize(m_archive.GetSize(entry));
        if (!m_archive.ReadEntry(*block, entry)) {
            m_archive.clear();
            return false;
        }
    }

    protectSource(false);
    m_mode = SourceMode::CdImage;
    m_imagePath = imagePath;
    m_exportDirectory.clear();
    m_bootFileName = *bootName;
    m_boot = std::move(boot);
    m_parameter = std::move(parameter);
    m_select = std::move(select);
    m_loaded = true;
    markWritten();
    protectSource(true);
    return true;
}

bool DataStore::loadDirectory(const fs::path& exportDirectory) {
    if (refuseJournalLeft(exportDirectory)) return false;
    std::string bootName, error;
    std::optional<Bytes> boot;
    auto read = [&](const char* name) {
        auto data = readWholeFile(exportDirectory / name, kMaxDataFileSize, error);
        // A file too large to be one of the disc's is refused by name; a missing one is not.
        if (!data && error.find(" bytes; the limit") != std::string::npos) m_messages.warning(error);
        return data;
    };
    for (const char* name : {kBootFileName, kBootFileNameSecondRelease}) {
        boot = read(name);
        if (boot) {
            bootName = name;
            break;
        }
    }
    if (!boot) return false;
    auto parameter = read(kParameterFileName);
    if (!parameter) return false;
    auto select = read(kSelectFileName);
    if (!select) return false;
    if (!blocksLongEnough(m_messages, bootName, *boot, *parameter, *select)) return false;

    protectSource(false);
    m_archive.clear();
    m_mode = SourceMode::ExportedFiles;
    m_imagePath.clear();
    m_exportDirectory = exportDirectory;
    m_bootFileName = bootName;
    m_boot = std::move(*boot);
    m_parameter = std::move(*parameter);
    m_select = std::move(*select);
    m_loaded = true;
    markWritten();
    protectSource(true);
    return true;
}

bool DataStore::adoptBlocks(Bytes boot, Bytes parameter, Bytes select) {
    if (!blocksLongEnough(m_messages, kBootFileName, boot, parameter, select)) return false;
    protectSource(false);
    m_archive.clear();
    m_mode = SourceMode::ExportedFiles;
    m_imagePath.clear();
    m_exportDirectory.clear();
    m_bootFileName = kBootFileName;
    m_boot = std::move(boot);
    m_parameter = std::move(parameter);
    m_select = std::move(select);
    m_loaded = true;
    markWritten();
    return true;
}

void DataStore::markWritten() {
    m_writtenBoot = m_boot;
    m_writtenParameter = m_parameter;
    m_writtenSelect = m_select;
}

bool DataStore::hasUnwrittenChanges() const {
    return m_loaded && (m_boot != m_writtenBoot || m_parameter != m_writtenParameter || m_select != m_writtenSelect);
}

bool DataStore::replaceBlocks(ByteSpan boot, ByteSpan parameter, ByteSpan select) {
    if (!m_loaded || boot.size() != m_boot.size() || parameter.size() != m_parameter.size() ||
        select.size() != m_select.size())
        return false;
    // Copied in place: the editors hold views of the blocks.
    std::ranges::copy(boot, m_boot.begin());
    std::ranges::copy(parameter, m_parameter.begin());
    std::ranges::copy(select, m_select.begin());
    return true;
}

RestoreResult DataStore::restoreBackup(const fs::path& backupFolder, bool force) {
    m_refusal = StoreRefusal::None;
    if (!m_loaded || sourcePath().empty()) return RestoreResult::Refused;
    const auto manifest = readManifest(backupFolder);
    if (!manifest) {
        m_messages.warning(utf8Path(backupFolder) + " holds no backup (no readable manifest.json)");
        return RestoreResult::Refused;
    }
    if (manifest->source != sourceKey(sourcePath()) && !force) return RestoreResult::OtherSource;
    std::string error;
    const auto files =
        readBackupFiles({backupFolder, *manifest}, error, {m_bootFileName, kParameterFileName, kSelectFileName});
    if (!files) {
        m_messages.warning(error);
        return RestoreResult::Refused;
    }
    if ((*files)[0].size() != m_boot.size() || (*files)[1].size() != m_parameter.size() ||
        (*files)[2].size() != m_select.size()) {
        m_messages.warning("The files of " + utf8Path(backupFolder) + " do not have the sizes of the files in " +
                           utf8Path(sourcePath()));
        return RestoreResult::Refused;
    }
    // What the restore overwrites may be held by no backup yet (a write earlier in this run).
    if (m_backupsEnabled) {
        m_failure.clear();
        const auto current = readSourceFiles();
        if (!current || !backUpFiles(*current)) {
            m_messages.warning((m_failure.empty() ? "" : m_failure + "\n") + "What " + utf8Path(sourcePath()) +
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

std::optional<DataStore::Files> DataStore::readSourceFiles() {
    Files files{Bytes(m_boot.size()), Bytes(m_parameter.size()), Bytes(m_select.size())};
    if (m_mode == SourceMode::CdImage) {
        IsoFile bootFile(m_messages, m_files);
        if (!findBootFile(bootFile, m_imagePath) || !bootFile.Open(IsoFile::Mode::Read)) return std::nullopt;
        const bool read = bootFile.fileSize() == m_boot.size() && bootFile.Read(0, files.boot);
        bootFile.Close();
        if (!read || !m_archive.ReadEntry(files.parameter, blockmap::kParameterEntry) ||
            !m_archive.ReadEntry(files.select, blockmap::kSelectEntry))
            return std::nullopt;
        return files;
    }
    for (auto [name, block] : {std::pair{m_bootFileName, &files.boot},
                               {std::string(kParameterFileName), &files.parameter},
                               {std::string(kSelectFileName), &files.select}}) {
        std::string error;
        auto data = readWholeFile(m_exportDirectory / name, kMaxDataFileSize, error);
        if (!data || data->size() != block->size()) {
            m_failure = utf8Path(m_exportDirectory / name) + " " +
                        (data ? "no longer has the size it had when loaded" : "can not be read: " + error);
            return std::nullopt;
        }
        *block = std::move(*data);
    }
    return files;
}

bool DataStore::backUpOnce(const Files& files) {
    if (!m_backupsEnabled || m_backupDone) return true;
    return backUpFiles(files);
}

// Backs up the files unless the newest good backup holds them; a new backup is named by the next
// write-back's message.
bool DataStore::backUpFiles(const Files& files) {
    const bool image = m_mode == SourceMode::CdImage;
    std::string error;
    const auto made = backUp(
        sourcePath(), image ? "image" : "directory",
        {{m_bootFileName, files.boot}, {kParameterFileName, files.parameter}, {kSelectFileName, files.select}}, error);
    if (!made) {
        m_failure = error;
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
    const fs::path journal = ownJournalPathOf(sourcePath());
    m_lock.recordJournal(journal);
    const JournaledWrite result =
        writeJournaled(m_files, journal, roleFiles(m_mode, realPath(sourcePath()), m_bootFileName), patches);
    if (!result.undoFailed) m_lock.recordJournal({});
    if (result.written) return true;
    m_failure = result.failure;
    if (result.undoFailed) {
        m_refusal = StoreRefusal::JournalLeft;
        const auto backups = listBackups(sourcePath());
        m_failure += "\nThe data written so far could not be undone: the journal " + utf8Path(journal) +
                     " holds what it overwrote, to undo the interrupted write" +
                     (backups.empty() ? "" : "; the newest backup is " + utf8Path(backups.front().folder));
    }
    return false;
}

// Runs a write under the source's lock, taking it for the time of the write unless it is held.
template <typename Work>
bool DataStore::underLock(Work&& work) {
    const bool had = m_lock.held();
    if (!had && !m_lock.acquire(sourcePath(), m_lockWait)) {
        m_refusal = m_lock.state() == SourceLock::State::Busy ? StoreRefusal::Busy : StoreRefusal::LockFailed;
        m_failure = m_lock.reason();
        return false;
    }
    const bool done = work();
    if (!had && !m_holdLock) m_lock.release();
    return done;
}

bool DataStore::changedOnDisk(const Files& files) {
    if (m_overwrite ||
        (files.boot == m_writtenBoot && files.parameter == m_writtenParameter && files.select == m_writtenSelect))
        return false;
    m_refusal = StoreRefusal::ChangedOnDisk;
    m_failure = utf8Path(sourcePath()) + " was changed by another program since it was loaded";
    return true;
}

bool DataStore::SaveToImage() {
    m_failure.clear();
    m_refusal = StoreRefusal::None;
    if (!m_loaded || m_mode != SourceMode::CdImage) return false;
    return underLock([this] { return saveImage(); });
}

bool DataStore::saveImage() {
    if (refuseJournalLeft(m_imagePath)) return false;
    // What is on disk now must be what was loaded or last written, or another program's change
    // would be lost under this one's.
    const auto files = readSourceFiles();
    if (!files || changedOnDisk(*files)) return false;
    IsoFile bootFile(m_messages, m_files);
    if (!findBootFile(bootFile, m_imagePath)) return false;

    // Everything that can be known before writing is checked first: the image opens for writing,
    // and the boot file and both entries still have the sizes of their blocks and lie inside it.
    const std::uint32_t parameterOffset = m_archive.GetOffset(blockmap::kParameterEntry);
    const std::uint32_t selectOffset = m_archive.GetOffset(blockmap::kSelectEntry);
    if (bootFile.fileSize() != m_boot.size() || m_archive.GetSize(blockmap::kParameterEntry) != m_parameter.size() ||
        m_archive.GetSize(blockmap::kSelectEntry) != m_select.size()) {
        m_messages.warning("The files in " + utf8Path(m_imagePath) + " no longer have the sizes they had when loaded");
        return false;
    }
    if (!bootFile.Open(IsoFile::Mode::ReadWrite)) return false;
    if (!m_archiveFile.Open(IsoFile::Mode::ReadWrite)) return false;
    const bool inside = bootFile.covers(0, m_boot.size()) &&
                        m_archiveFile.covers(parameterOffset, m_parameter.size()) &&
                        m_archiveFile.covers(selectOffset, m_select.size());
    if (!inside) {
        m_archiveFile.Close();
        m_messages.readerError("The data to save runs past the end of " + utf8Path(m_imagePath));
        return false;
    }
    // The sectors that change, with their codes, planned before anything is written.
    SectorOverlay sectors(bootFile.layout().size);
    const bool planned = bootFile.planWrite(0, m_boot, sectors) &&
                         m_archiveFile.planWrite(parameterOffset, m_parameter, sectors) &&
                         m_archiveFile.planWrite(selectOffset, m_select, sectors);
    bootFile.Close();
    m_archiveFile.Close();
    if (!planned) return false;
    if (!sectors.empty() && !backUpOnce(*files)) return false;
    // The journal lies beside the image's real file and names it: a symlink is written through.
    std::vector<FilePatch> patches;
    for (RawRun& run : sectors.takeRuns()) patches.push_back({FileRole::Image, run.position, std::move(run.bytes)});
    if (!writePatches(patches)) return false;
    markWritten();
    m_overwrite = false;
    return true;
}

bool DataStore::SaveToDirectory() {
    m_failure.clear();
    m_refusal = StoreRefusal::None;
    if (!m_loaded || m_mode != SourceMode::ExportedFiles || m_exportDirectory.empty()) return false;
    return underLock([this] { return saveDirectory(); });
}

bool DataStore::saveDirectory() {
    if (refuseJournalLeft(m_exportDirectory)) return false;
    // All three files are read before any is written, so a missing or changed one writes nothing.
    const auto files = readSourceFiles();
    if (!files || changedOnDisk(*files)) return false;
    const fs::path folder = realPath(m_exportDirectory);
    std::vector<FilePatch> patches;
    addChangedChunks(patches, FileRole::Boot, files->boot, m_boot);
    addChangedChunks(patches, FileRole::Parameter, files->parameter, m_parameter);
    addChangedChunks(patches, FileRole::Select, files->select, m_select);
    if (!patches.empty() && !backUpOnce(*files)) return false;
    if (!writePatches(patches)) return false;
    markWritten();
    m_overwrite = false;
    return true;
}

namespace {

// Every bit changed here since the last load or write keeps its value, every other bit takes the
// one on disk; bytes both sides changed to different values are conflicts. The written copy becomes
// what is on disk.
void mergeBlock(const std::string& file, Bytes& mine, Bytes& written, const Bytes& disk,
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
    std::ranges::copy(disk, written.begin());
}

}  // namespace

std::optional<std::vector<MergeConflict>> DataStore::reloadKeepingChanges() {
    m_failure.clear();
    m_refusal = StoreRefusal::None;
    if (!m_loaded || sourcePath().empty()) return std::nullopt;
    std::vector<MergeConflict> conflicts;
    const bool merged = underLock([&] {
        if (refuseJournalLeft(sourcePath())) return false;
        const auto files = readSourceFiles();
        if (!files) return false;
        mergeBlock(m_bootFileName, m_boot, m_writtenBoot, files->boot, conflicts);
        mergeBlock(kParameterFileName, m_parameter, m_writtenParameter, files->parameter, conflicts);
        mergeBlock(kSelectFileName, m_select, m_writtenSelect, files->select, conflicts);
        return true;
    });
    if (!merged) {
        if (!m_failure.empty()) m_messages.warning(m_failure);
        return std::nullopt;
    }
    m_overwrite = false;
    return conflicts;
}

std::optional<bool> DataStore::changedSinceLoad() {
    if (!m_loaded || sourcePath().empty()) return false;
    std::optional<bool> changed;
    underLock([&] {
        if (const auto files = readSourceFiles())
            changed = files->boot != m_writtenBoot || files->parameter != m_writtenParameter ||
                      files->select != m_writtenSelect;
        return true;
    });
    return changed;
}

bool DataStore::WriteBack() {
    const bool image = m_mode == SourceMode::CdImage;
    const bool saved = image ? SaveToImage() : SaveToDirectory();
    if (!saved) {
        const char* failed = image ? "Failed to save data to CD image!" : "Failed to save data to exported files!";
        m_messages.warning(m_failure.empty() ? failed : m_failure + "\n" + failed);
        return false;
    }
    // A write-back names the backup made before it (the first of a run, or a restore's), once.
    const bool first = !m_backupMade.empty() && !m_backupReported;
    m_backupReported = m_backupReported || first;
    m_messages.information(first ? "OK!\nBackup of the files as they were: " + utf8Path(m_backupMade) : "OK!");
    return true;
}

void DataStore::ReleaseData() {
    m_boot = Bytes();
    m_parameter = Bytes();
    m_select = Bytes();
    m_writtenBoot = m_writtenParameter = m_writtenSelect = Bytes();
    m_archive.clear();
    protectSource(false);
    m_lock.release();
    m_loaded = false;
}

}  // namespace tarvo
