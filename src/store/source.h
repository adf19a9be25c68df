#pragma once
// Where the game's three data blocks come from and go back to: a raw CD image, a cooked one, either
// named by a CUE sheet, or a folder of the three files exported from the disc. Each kind knows how
// its files are read and written, which sector codes it keeps, what verify checks in it, and which
// files a journal may write; the store holds one and never asks which kind it is.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "store/afs_archive.h"
#include "store/block_bytes.h"
#include "store/bytes.h"
#include "store/file_access.h"
#include "store/game_blocks.h"
#include "store/iso_file.h"
#include "store/journal.h"
#include "store/messages.h"

namespace tarvo {

inline constexpr const char* kBootFileName = "QXRT_418.27";
inline constexpr const char* kBootFileNameSecondRelease = "QXRZ_730.56";
inline constexpr const char* kArchiveName = "filedata.afs";
inline constexpr const char* kParameterFileName = "parameter.ovl";
inline constexpr const char* kSelectFileName = "select.ovl";

enum class SourceKind { RawImage, CookedImage, Folder };

// The boot file, parameter.ovl and select.ovl as one source holds them; and the memory an image's
// archive reads its entry table into.
struct SourceFiles {
    BlockBytes boot, parameter, select;
    AfsArchive::Table table = {};
};

// A sector of an image whose error codes do not match its data, or that the image lacks.
struct SectorFault {
    std::string where;  // "parameter.ovl sector 120"
    std::string field;  // "EDC", "ECC", "EDC and ECC"; empty when the sector can not be read
    std::string text;   // the fault as one line
};

class Source {
public:
    virtual ~Source() = default;
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;

    // The path given: the image, the CUE sheet naming it, the CHD image, or the folder.
    const std::filesystem::path& path() const { return m_path; }
    // Where the data are: the image file (a CUE sheet's data track, the raw image extracted from a
    // CHD) or the folder. The journal belongs to it.
    const std::filesystem::path& dataPath() const { return m_dataPath; }
    // The path that identifies the source: its lock and its backups belong to it. The data's path,
    // but a CHD's own: two programs each editing a working copy of it must not both write it.
    virtual const std::filesystem::path& keyPath() const { return m_dataPath; }
    // A cooked image is known as such once loaded; until then every image counts as raw.
    virtual SourceKind kind() const = 0;
    bool isImage() const { return kind() != SourceKind::Folder; }
    // The boot file's name as found: the first release's or the second's.
    const std::string& bootFileName() const { return m_bootName; }
    // The image's archive (the voices are its entries); empty, every size 0, for a folder.
    AfsArchive& archive() { return m_archive; }
    const AfsArchive& archive() const { return m_archive; }
    // The archive's file located in the image; nullptr for a folder.
    virtual const IsoFile* archiveFile() const { return nullptr; }

    // Reads and checks the three files into `files`, whose memory is reused where it is large
    // enough (the store keeps the buffers of an earlier load or reread); shows why not.
    virtual bool load(SourceFiles& files) = 0;
    // Reads the three files again as they are on disk now, into `files` as load does; false with
    // `failure` when one can not be read or no longer has the size it had when loaded.
    virtual bool reread(SourceFiles& files, std::string& failure) = 0;
    // The writes that make the source hold `wanted` where it holds `now` (both of the sizes loaded):
    // whole sectors with their codes in an image, changed chunks of the files in a folder. All that
    // can be known is checked first and nothing is written; nullopt (shown why) when it can not be.
    virtual std::optional<std::vector<FilePatch>> planWrite(const SourceFiles& now, ConstGameBlocks wanted) = 0;
    // The files by the role a journal names them with, symbolic links resolved.
    virtual std::vector<RoleFile> roleFiles() const = 0;
    // The source's own files as given, which no output of the program may replace.
    virtual std::vector<std::filesystem::path> ownFiles() const = 0;
    // What verify checks besides the data: every sector of the three files whose codes do not
    // match (none in a cooked image, which has no codes: only sectors it lacks); nothing in a folder.
    virtual std::vector<SectorFault> sectorFaults() const { return {}; }
    // The kind a backup's manifest records: "image" or "directory".
    virtual const char* backupKind() const = 0;
    // The last line of a failed write-back.
    virtual const char* writeFailedText() const = 0;
    // Called after a write-back into dataPath() succeeded, for a source that keeps its data
    // elsewhere too (a CHD is rebuilt from its working image); false with the failing step.
    virtual bool afterWrite(std::string& /*failure*/) { return true; }

protected:
    Source(std::filesystem::path path, std::filesystem::path dataPath, MessageService& messages, FileAccess& files)
        : m_path(std::move(path)), m_dataPath(std::move(dataPath)), m_messages(messages), m_files(files),
          m_archive(messages) {}

    std::filesystem::path m_path;
    std::filesystem::path m_dataPath;
    MessageService& m_messages;
    FileAccess& m_files;
    AfsArchive m_archive;
    std::string m_bootName;
    std::size_t m_sizes[3] = {};  // of the boot file, the parameter data and the select data as loaded
    void rememberSizes(const SourceFiles& files) {
        m_sizes[0] = files.boot.size();
        m_sizes[1] = files.parameter.size();
        m_sizes[2] = files.select.size();
    }
};

// The source a path names, told apart by what the path is: a folder, a CUE sheet, a CHD image, else
// an image. Nothing is read yet. nullptr with `error` when the path is not there, a CUE sheet names
// no data track beside it, or chdman, which a CHD needs, is missing.
std::unique_ptr<Source> openSource(const std::filesystem::path& path, MessageService& messages, std::string& error,
                                   FileAccess& files = diskAccess());

// The image file or folder a path names (a CUE sheet: its data track); the path itself when it
// names none, and for a CHD image.
std::filesystem::path dataPathOf(const std::filesystem::path& path);

// The files of the source at `dataPath` (an image or a folder) by role, without loading it: what a
// journal left there may write.
std::vector<RoleFile> sourceFilesOf(const std::filesystem::path& dataPath);

}  // namespace tarvo
