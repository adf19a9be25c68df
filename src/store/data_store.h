#pragma once
// The game data store: the three data blocks (boot file, parameter data, select data) loaded
// whole from a source (a CD image or a directory of exported files, see store/source.h), and
// written back to the same source. Every editor changes the blocks in place; nothing reaches the
// source before WriteBack. The store keeps the blocks, what was last written and the write's
// safety (lock, journal, backups); how a kind of source is read and written is the source's.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "store/backups.h"
#include "store/bytes.h"
#include "store/failure.h"
#include "store/file_access.h"
#include "store/game_blocks.h"
#include "store/journal.h"
#include "store/messages.h"
#include "store/ppf.h"
#include "store/source.h"
#include "store/source_lock.h"

namespace tarvo {

enum class SourceMode { ExportedFiles = 0, CdImage = 1 };

// What came of restoring a backup: restored, refused (the reason shown), or not tried because the
// backup is of another source (nothing shown: the caller says how to restore it all the same).
enum class RestoreResult { Restored, Refused, OtherSource };

// Undoes an interrupted write into `source` from its journal and says what happened:
// "Undid the interrupted write into <source>." and the like. False when it could not, or when
// another program holds the source's lock (its journal belongs to a write still running).
bool recoverSource(const std::filesystem::path& source, MessageService& messages, FileAccess& files = diskAccess());

// A byte range of one block that both this store's unwritten changes and another program changed,
// to different values.
struct MergeConflict {
    std::string file;  // the block's file name: the boot file, parameter.ovl or select.ovl
    std::size_t offset = 0;
    std::size_t length = 0;
    bool operator==(const MergeConflict&) const = default;
};

class DataStore {
public:
    explicit DataStore(MessageService& messages, FileAccess& files = diskAccess());
    ~DataStore();
    DataStore(const DataStore&) = delete;
    DataStore& operator=(const DataStore&) = delete;

    // Loads the source a path names (an image, a CUE sheet or a folder of exported files: the path
    // decides), replacing what was loaded; shows why not. The same for both names.
    bool load(const std::filesystem::path& path);
    bool LoadFromImage(const std::filesystem::path& imagePath) { return load(imagePath); }
    bool LoadFromDirectory(const std::filesystem::path& exportDirectory) { return load(exportDirectory); }
    // Takes blocks made in memory (the sample disc generator, tests); refuses blocks shorter than
    // the block map needs. Source mode: exported files, with no directory.
    bool adoptBlocks(Bytes boot, Bytes parameter, Bytes select);

    // Writes the three blocks back to the source they came from, all or nothing: the bytes to be
    // overwritten are saved into a journal first, and a failed write is undone from it at once.
    // Before the first write of this store the files as they are on disk are backed up. Each name
    // refuses a source of the other mode.
    bool SaveToImage() { return sourceMode() == SourceMode::CdImage && save(); }
    bool SaveToDirectory() { return sourceMode() == SourceMode::ExportedFiles && save(); }
    // The write button: saves to the source of the source mode and shows "OK!" (with the backup
    // made on a second line) or the reason on one line and then "Failed to save data to CD image!"
    // / "Failed to save data to exported files!".
    bool WriteBack();
    void ReleaseData();

    // Keeps the source's lock from load until the store is released: a run that loads to write
    // makes its edit on what is on disk at that moment. Otherwise the lock is held only while a
    // load or a write-back runs.
    void setHoldLock(bool hold) { m_holdLock = hold; }
    // How long a load or a write-back waits for another program's write (kLockWait).
    void setLockWait(std::chrono::milliseconds wait) { m_lockWait = wait; }
    // Why the last load, write-back or restore failed; its kind is None after one that did not.
    const Failure& lastFailure() const { return m_failure; }

    // The answers when a write-back was refused because the source changed on disk since it was
    // loaded. Reload and keep my changes: reads the source again and puts the unwritten changes
    // on top, bit by bit (every bit changed here keeps its value, every other bit takes the one on
    // disk); the source as read becomes the written copy. Gives the byte ranges both sides changed
    // to different values, or nullopt (shown why) when the source could not be read. Blocks are
    // copied in place, so views of them stay valid.
    std::optional<std::vector<MergeConflict>> reloadKeepingChanges();
    // Overwrite: the next write-back writes whatever the source holds now (still journaled).
    void overwriteNextWrite() { m_overwrite = true; }
    // Whether the source on disk differs from what was loaded or last written, read under the lock
    // (so never half a write of another program); nullopt when it can not be read now.
    std::optional<bool> changedSinceLoad();

    // No backup before the first write-back (for scripts that keep their own).
    void setBackups(bool enabled) { m_backupsEnabled = enabled; }
    // The newest backup this store made (before its first write-back or a restore); empty when
    // none was made.
    const std::filesystem::path& backupMade() const { return m_backupMade; }
    // The source as loaded, by the path its lock and backups belong to: the image file (a CUE
    // sheet's data track), the CHD image or the export folder; empty for blocks made in memory.
    std::filesystem::path sourcePath() const { return m_source ? m_source->keyPath() : std::filesystem::path(); }
    // The source loaded; nullptr for blocks made in memory.
    const Source* source() const { return m_source.get(); }
    // Writes a backup's three files back into the loaded source through the same journaled
    // write-back, after checking that its manifest names exactly the source's three files, that
    // they are regular files in the backup's folder with the manifest's sizes and checksums, and
    // that the source holds files of those sizes. What the source holds is backed up first (when
    // backups are on), unless the newest good backup holds it. A backup of another source only
    // when `force`.
    RestoreResult restoreBackup(const std::filesystem::path& backupFolder, bool force);
    // Writes raw byte ranges into the loaded raw image (a PPF patch's records), all or nothing:
    // under the lock, after checking that the image holds what was loaded and backing up its three
    // files, journaled; then reloads the blocks from the image. False with the reason shown.
    bool applyImagePatches(const std::vector<FilePatch>& patches);
    // Why a PPF can not patch the loaded source (a cooked image, a folder); nullopt for a raw image.
    std::optional<std::string> ppfRefusal() const;
    // The PPF 3.0 that turns the loaded raw image as it was with a backup's three files into the
    // image as it is on disk now (the backup's files checked as a restore checks them), with undo
    // data and the check block. Nullopt with `error` when the source is no raw image, the backup
    // does not fit it, or the image can not be read.
    std::optional<ppf::Patch> patchSinceBackup(const std::filesystem::path& backupFolder, std::string description,
                                               std::string& error);
    // The blocks as they would be with the PPF's bytes that fall in the three files stored over
    // them (copies; nothing changes here), and in `outside` the count of the patch's bytes that fall
    // elsewhere. Nullopt with `error` when the source is no raw image or the patch does not fit it
    // (another disc, past the end).
    std::optional<SourceFiles> blocksWithPpf(const ppf::Patch& patch, std::uint64_t& outside, std::string& error);
    // Copies blocks of the loaded sizes over the blocks, in place (the editors hold views of them);
    // false, changing nothing, when a size differs.
    bool replaceBlocks(ByteSpan boot, ByteSpan parameter, ByteSpan select);

    bool isLoaded() const { return m_loaded; }
    // Whether the blocks differ from what was last loaded or written (an edit undone by hand is none).
    bool hasUnwrittenChanges() const;
    SourceMode sourceMode() const {
        return m_source && m_source->isImage() ? SourceMode::CdImage : SourceMode::ExportedFiles;
    }
    // The boot file's name as found (blocks made in memory: the first release's).
    const std::string& bootFileName() const { return m_source ? m_source->bootFileName() : m_memoryBootName; }

    // The blocks to read and change. The copy of them as last loaded or written is made here, when
    // the first view that may change them is handed out; until then the blocks are that copy.
    GameBlocks blocks();
    // Views for reading alone (a command that only shows data): no copy is made for them, so a
    // change through them would not count as one.
    GameBlocks blocksForReading() { return {m_boot, m_parameter, m_select}; }
    // The blocks as last loaded or written: what the source holds now.
    ConstGameBlocks writtenBlocks() const;
    ByteSpan boot() const { return m_boot; }
    ByteSpan parameter() const { return m_parameter; }
    ByteSpan select() const { return m_select; }

    // The archive of the image; empty (every size 0) in exported-files mode.
    AfsArchive& archive() { return m_source ? m_source->archive() : m_noArchive; }
    const AfsArchive& archive() const { return m_source ? m_source->archive() : m_noArchive; }
    MessageService& messages() { return m_messages; }

private:
    // The three files as on disk now, read into the spare buffers; nullptr with the failure set.
    const SourceFiles* readSourceFiles();
    bool backUpOnce(const SourceFiles& files);
    bool backUpFiles(const SourceFiles& files);
    bool writePatches(const std::vector<FilePatch>& patches);
    std::optional<std::vector<Bytes>> backupFilesFor(const std::filesystem::path& backupFolder,
                                                     const BackupManifest& manifest, std::string& error) const;
    bool refuseJournalLeft(const std::filesystem::path& source);
    bool lockForLoad(const std::filesystem::path& source);
    bool loadFrom(std::unique_ptr<Source> source);
    bool loadSpare(Source& source);
    void adopt(std::unique_ptr<Source> source, SourceFiles& files);
    Failure lockFailure() const;
    template <typename Work>
    bool underLock(Work&& work);
    bool changedOnDisk(const SourceFiles& files);
    bool save();
    bool saveUnderLock();
    bool finishWrite();
    void protectSource(bool on);
    void forgetWritten();
    void markWritten();
    void copyWritten();

    MessageService& m_messages;
    FileAccess& m_files;
    std::unique_ptr<Source> m_source;
    AfsArchive m_noArchive;  // the archive of blocks made in memory: empty
    std::string m_memoryBootName = kBootFileName;
    bool m_backupsEnabled = true;
    SourceLock m_lock;
    bool m_holdLock = false;
    std::chrono::milliseconds m_lockWait = kLockWait;
    bool m_overwrite = false;
    bool m_backupDone = false;
    bool m_backupReported = false;
    std::filesystem::path m_backupMade;
    Failure m_failure;  // of the last load, write-back or restore
    bool m_loaded = false;
    BlockBytes m_boot;
    BlockBytes m_parameter;
    BlockBytes m_select;
    BlockBytes m_writtenBoot;  // the blocks as last loaded or written, once blocks() was called
    BlockBytes m_writtenParameter;
    BlockBytes m_writtenSelect;
    bool m_writtenIsBlocks = false;
    // Memory for the next load or reread: the buffers of the blocks an earlier load replaced, or of
    // the last reread.
    SourceFiles m_spare;  // no view to change the blocks handed out since: no copy yet
};

}  // namespace tarvo
