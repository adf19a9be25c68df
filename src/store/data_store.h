#pragma once
// The game data store: the three data blocks (boot file, parameter data, select data) loaded
// whole from a CD image or from a directory of exported files, and written back to the same
// source. Every editor changes the blocks in place; nothing reaches the source before WriteBack.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "store/afs_archive.h"
#include "store/bytes.h"
#include "store/file_access.h"
#include "store/game_blocks.h"
#include "store/iso_file.h"
#include "store/journal.h"
#include "store/messages.h"
#include "store/source_lock.h"

namespace tarvo {

enum class SourceMode { ExportedFiles = 0, CdImage = 1 };

// What came of restoring a backup: restored, refused (the reason shown), or not tried because the
// backup is of another source (nothing shown: the caller says how to restore it all the same).
enum class RestoreResult { Restored, Refused, OtherSource };

inline constexpr const char* kBootFileName = "QXRT_418.27";
inline constexpr const char* kBootFileNameSecondRelease = "QXRZ_730.56";
inline constexpr const char* kArchiveName = "filedata.afs";
inline constexpr const char* kParameterFileName = "parameter.ovl";
inline constexpr const char* kSelectFileName = "select.ovl";

// The files of `source` by role (an image; or the boot file found, parameter.ovl and select.ovl).
std::vector<RoleFile> sourceFilesOf(const std::filesystem::path& source);
// Undoes an interrupted write into `source` from its journal and says what happened:
// "Undid the interrupted write into <source>." and the like. False when it could not, or when
// another program holds the source's lock (its journal belongs to a write still running).
bool recoverSource(const std::filesystem::path& source, MessageService& messages, FileAccess& files = diskAccess());

// Why the last load or write-back was refused, for a front end to word its advice.
enum class StoreRefusal {
    None,
    Busy,           // another program holds the source's lock
    LockFailed,     // no lock file could be made
    JournalLeft,    // an interrupted write's journal is there: it has to be undone first
    ChangedOnDisk,  // the source differs from what was loaded or last written
    ForeignBackup,  // a backup of another source
    Other,
};

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

    bool LoadFromImage(const std::filesystem::path& imagePath);
    bool LoadFromDirectory(const std::filesystem::path& exportDirectory);
    // Takes blocks made in memory (the sample disc generator, tests); refuses blocks shorter than
    // the block map needs. Source mode: exported files, with no directory.
    bool adoptBlocks(Bytes boot, Bytes parameter, Bytes select);

    // Writes the three blocks back to the source they came from, all or nothing: the bytes to be
    // overwritten are saved into a journal first, and a failed write is undone from it at once.
    // Before the first write of this store the files as they are on disk are backed up.
    bool SaveToImage();
    bool SaveToDirectory();
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
    StoreRefusal lastRefusal() const { return m_refusal; }

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
    // The source as loaded: the image file or the export folder.
    std::filesystem::path sourcePath() const { return m_mode == SourceMode::CdImage ? m_imagePath : m_exportDirectory; }
    // Writes a backup's three files back into the loaded source through the same journaled
    // write-back, after checking that its manifest names exactly the source's three files, that
    // they are regular files in the backup's folder with the manifest's sizes and checksums, and
    // that the source holds files of those sizes. What the source holds is backed up first (when
    // backups are on), unless the newest good backup holds it. A backup of another source only
    // when `force`.
    RestoreResult restoreBackup(const std::filesystem::path& backupFolder, bool force);

    bool isLoaded() const { return m_loaded; }
    // Whether the blocks differ from what was last loaded or written (an edit undone by hand is none).
    bool hasUnwrittenChanges() const;
    SourceMode sourceMode() const { return m_mode; }
    const std::filesystem::path& imagePath() const { return m_imagePath; }
    const std::filesystem::path& exportDirectory() const { return m_exportDirectory; }
    const std::string& bootFileName() const { return m_bootFileName; }  // the name found

    GameBlocks blocks() { return {m_boot, m_parameter, m_select}; }
    // The blocks as last loaded or written: what the source holds now.
    ConstGameBlocks writtenBlocks() const { return {m_writtenBoot, m_writtenParameter, m_writtenSelect}; }
    ByteSpan boot() const { return m_boot; }
    ByteSpan parameter() const { return m_parameter; }
    ByteSpan select() const { return m_select; }

    // The archive of the image; empty (every size 0) in exported-files mode.
    AfsArchive& archive() { return m_archive; }
    const AfsArchive& archive() const { return m_archive; }
    // The archive's file located in the image (its extent), in CD-image mode.
    const IsoFile& archiveFile() const { return m_archiveFile; }
    MessageService& messages() { return m_messages; }

private:
    struct Files;  // the three files as they are now on the disk
    std::optional<Files> readSourceFiles();
    bool backUpOnce(const Files& files);
    bool backUpFiles(const Files& files);
    bool writePatches(const std::vector<FilePatch>& patches);
    bool replaceBlocks(ByteSpan boot, ByteSpan parameter, ByteSpan select);
    bool refuseJournalLeft(const std::filesystem::path& source);
    bool lockForLoad(const std::filesystem::path& source);
    bool loadImage(const std::filesystem::path& imagePath);
    bool loadDirectory(const std::filesystem::path& exportDirectory);
    template <typename Work>
    bool underLock(Work&& work);
    bool changedOnDisk(const Files& files);
    bool saveImage();
    bool saveDirectory();
    void protectSource(bool on);
    void markWritten();

    MessageService& m_messages;
    FileAccess& m_files;
    IsoFile m_archiveFile;
    bool m_backupsEnabled = true;
    SourceLock m_lock;
    bool m_holdLock = false;
    std::chrono::milliseconds m_lockWait = kLockWait;
    bool m_overwrite = false;
    StoreRefusal m_refusal = StoreRefusal::None;
    bool m_backupDone = false;
    bool m_backupReported = false;
    std::filesystem::path m_backupMade;
    std::string m_failure;  // the reason of the last failed save, shown before its message
    SourceMode m_mode = SourceMode::ExportedFiles;
    bool m_loaded = false;
    std::filesystem::path m_imagePath;
    std::filesystem::path m_exportDirectory;
    std::string m_bootFileName;
    AfsArchive m_archive;
    Bytes m_boot;
    Bytes m_parameter;
    Bytes m_select;
    Bytes m_writtenBoot;  // the blocks as last loaded or written
    Bytes m_writtenParameter;
    Bytes m_writtenSelect;
};

}  // namespace tarvo
