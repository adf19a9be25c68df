#include "store/source.h"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <tuple>

#include "store/block_map.h"
#include "store/chd_source.h"
#include "store/cue_sheet.h"
#include "store/file_io.h"
#include "store/file_platform.h"

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

std::uint64_t sectorsOf(std::uint64_t bytes) { return (bytes + kUserDataSize - 1) / kUserDataSize; }

// Plans the write of `wanted` over a file's bytes from `at`, which hold `now` on disk: only the
// stretches of sectors where the two differ, so that a save reads again only what it changes.
// Stretches fewer than 16 sectors apart are planned as one: the sectors between cost less to read
// than another plan.
bool planChanges(IsoFile& file, std::uint64_t at, ByteSpan wanted, ByteSpan now, SectorOverlay& sectors) {
    constexpr std::size_t kJoinedGap = 16 * kUserDataSize;
    std::size_t begin = 0, end = 0;  // the stretch being gathered, [begin, end) of `wanted`; empty: none
    const auto plan = [&] {
        return begin == end || file.planWrite(at + begin, wanted.subspan(begin, end - begin), sectors);
    };
    for (std::size_t i = 0; i < wanted.size();) {
        const auto n = static_cast<std::size_t>(
            std::min<std::uint64_t>(wanted.size() - i, kUserDataSize - (at + i) % kUserDataSize));
        if (std::memcmp(wanted.data() + i, now.data() + i, n) != 0) {
            if (begin == end || i - end >= kJoinedGap) {
                if (!plan()) return false;
                begin = i;
            }
            end = i + n;
        }
        i += n;
    }
    return plan();
}

// The three blocks, not the table's memory.
void copyBlocks(const SourceFiles& from, SourceFiles& to) {
    assignBytes(to.boot, from.boot);
    assignBytes(to.parameter, from.parameter);
    assignBytes(to.select, from.select);
}

std::vector<RoleFile> folderRoleFiles(const fs::path& folder, const std::string& bootName) {
    std::vector<RoleFile> files;
    if (!bootName.empty()) files.push_back({FileRole::Boot, folder / bootName});
    files.push_back({FileRole::Parameter, folder / kParameterFileName});
    files.push_back({FileRole::Select, folder / kSelectFileName});
    return files;
}

// How many sectors verify reads and checks at once.
constexpr std::size_t kSectorsPerRead = 64;

// Checks the sectors [first, first + count) of the image; names them by `name` and their number
// counted from the file's first sector. A cooked image has no codes: its sectors need only be there.
void checkSectors(OpenFile& image, const SectorLayout& layout, const std::string& name, std::uint64_t fileStart,
                  std::uint64_t first, std::uint64_t count, std::vector<SectorFault>& out) {
    using namespace cdsector;
    Bytes raw(kSectorsPerRead * layout.size), coded(kSectorSize);
    for (std::uint64_t done = 0; done < count;) {
        const std::uint64_t n = std::min<std::uint64_t>(kSectorsPerRead, count - done);
        const std::uint64_t sector = first + done;
        const MutableByteSpan part(raw.data(), n * layout.size);
        if (image.size() < (sector + n) * layout.size || !image.read(sector * layout.size, part)) {
            out.push_back({name, "",
                           name + ": sectors from " + std::to_string(sector - fileStart) + " on cannot be read (" +
                               image.error() + ")"});
            return;
        }
        for (std::uint64_t i = 0; i < n && !layout.cooked(); ++i) {
            const ByteSpan one = ByteSpan(part).subspan(i * kSectorSize, kSectorSize);
            std::copy(one.begin(), one.end(), coded.begin());
            encodeTail(coded);
            const bool edcOk = hasValidEdc(one);
            const bool eccOk = std::equal(one.begin() + kPParityOffset, one.end(), coded.begin() + kPParityOffset);
            if (edcOk && eccOk) continue;
            const std::string where = name + " sector " + std::to_string(sector + i - fileStart);
            const std::string field = !edcOk && !eccOk ? "EDC and ECC" : !edcOk ? "EDC" : "ECC";
            out.push_back({where, field,
                           where + " (image sector " + std::to_string(sector + i) + "): the " + field +
                               " does not match its data"});
        }
        done += n;
    }
}

// A disc image, raw or cooked: the boot file and filedata.afs located in its root directory, the
// parameter and select data two entries of that archive. Written back as whole sectors with
// their codes recomputed.
class ImageSource : public Source {
public:
    ImageSource(fs::path path, fs::path image, MessageService& messages, FileAccess& files)
        : Source(std::move(path), std::move(image), messages, files), m_archiveFile(messages, files) {
        m_archive.attach(m_archiveFile);
    }

    SourceKind kind() const override {
        return m_archiveFile.layout().cooked() ? SourceKind::CookedImage : SourceKind::RawImage;
    }
    const IsoFile* archiveFile() const override { return &m_archiveFile; }
    const char* backupKind() const override { return "image"; }
    const char* writeFailedText() const override { return "Failed to save data to CD image!"; }
    std::vector<RoleFile> roleFiles() const override {
        return {{FileRole::Image, realPath(m_dataPath), m_archiveFile.layout().size}};
    }
    std::vector<fs::path> ownFiles() const override { return {m_dataPath}; }

    bool load(SourceFiles& files) override;
    bool reread(SourceFiles& files, std::string& failure) override;
    std::optional<std::vector<FilePatch>> planWrite(const SourceFiles& now, ConstGameBlocks wanted) override;
    std::vector<SectorFault> sectorFaults() const override;

private:
    bool checkExtents(const IsoFile& bootFile, const std::string& bootName);

    IsoFile m_archiveFile;
};

bool ImageSource::load(SourceFiles& files) {
    IsoFile bootFile(m_messages, m_files);
    const auto bootName = findBootFile(bootFile, m_dataPath);
    if (!bootName) return false;
    if (!longEnough(m_messages, *bootName, bootFile.fileSize(), blockmap::kMinBootSize)) return false;
    if (!bootFile.Open(IsoFile::Mode::Read)) return false;
    if (!bootFile.checkFileInImage()) return false;
    files.boot.resize(bootFile.fileSize());
    const bool bootRead = bootFile.Read(0, files.boot);
    bootFile.Close();
    if (!bootRead) return false;

    m_archive.clear();
    if (!m_archiveFile.Find(m_dataPath, kArchiveName) || !m_archive.LoadDirectory(files.table)) return false;
    if (!checkExtents(bootFile, *bootName)) {
        m_archive.clear();
        return false;
    }
    for (auto [block, entry, need] : {std::tuple{&files.parameter, blockmap::kParameterEntry, kParameterNeed},
                                      std::tuple{&files.select, blockmap::kSelectEntry, kSelectNeed}}) {
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
    m_bootName = *bootName;
    rememberSizes(files);
    return true;
}

// The archive must hold both entries, and write-back stores them and the boot file whole: they must
// not lie over each other nor over the archive's tables (checked by LoadDirectory), or a write-back
// would overwrite one with the other.
bool ImageSource::checkExtents(const IsoFile& bootFile, const std::string& bootName) {
    if (m_archive.entryCount() <= std::max(blockmap::kParameterEntry, blockmap::kSelectEntry)) {
        m_messages.warning(std::string(kArchiveName) + " holds " + std::to_string(m_archive.entryCount()) +
                           " entries; the parameter data and the select data are its entries " +
                           std::to_string(blockmap::kParameterEntry) + " and " +
                           std::to_string(blockmap::kSelectEntry));
        return false;
    }
    const auto parameterAt = m_archive.GetOffset(blockmap::kParameterEntry),
               selectAt = m_archive.GetOffset(blockmap::kSelectEntry);
    const auto parameterSize = m_archive.GetSize(blockmap::kParameterEntry),
               selectSize = m_archive.GetSize(blockmap::kSelectEntry);
    const std::uint64_t bootSectors = sectorsOf(bootFile.fileSize());
    const std::uint64_t archiveSectors = sectorsOf(m_archiveFile.fileSize());
    std::string clash;
    if (overlap(parameterAt, parameterSize, selectAt, selectSize))
        clash = std::string(kArchiveName) + " entries " + std::to_string(blockmap::kParameterEntry) + " (offset " +
                std::to_string(parameterAt) + ", size " + std::to_string(parameterSize) + ") and " +
                std::to_string(blockmap::kSelectEntry) + " (offset " + std::to_string(selectAt) + ", size " +
                std::to_string(selectSize) + ") overlap";
    else if (overlap(bootFile.startSector(), bootSectors, m_archiveFile.startSector(), archiveSectors))
        clash = bootName + " (sectors " + std::to_string(bootFile.startSector()) + " to " +
                std::to_string(bootFile.startSector() + bootSectors - 1) + ") and " + kArchiveName + " (sectors " +
                std::to_string(m_archiveFile.startSector()) + " to " +
                std::to_string(m_archiveFile.startSector() + archiveSectors - 1) + ") overlap";
    if (clash.empty()) return true;
    m_messages.warning(clash + " in " + utf8Path(m_dataPath) + "; a write-back would overwrite one with the other");
    return false;
}

bool ImageSource::reread(SourceFiles& files, std::string& failure) {
    // The image's own reasons are shown as they are met; a size that changed is the failure.
    IsoFile bootFile(m_messages, m_files);
    if (!bootFile.Find(m_dataPath, m_bootName)) return false;
    if (bootFile.fileSize() != m_sizes[0]) {
        failure = m_bootName + " in " + utf8Path(m_dataPath) + " no longer has the size it had when loaded";
        return false;
    }
    if (!bootFile.Open(IsoFile::Mode::Read)) return false;
    files.boot.resize(bootFile.fileSize());
    files.parameter.resize(m_archive.GetSize(blockmap::kParameterEntry));
    files.select.resize(m_archive.GetSize(blockmap::kSelectEntry));
    const bool read = bootFile.Read(0, files.boot);
    bootFile.Close();
    return read && m_archive.ReadEntry(files.parameter, blockmap::kParameterEntry) &&
           m_archive.ReadEntry(files.select, blockmap::kSelectEntry);
}

std::optional<std::vector<FilePatch>> ImageSource::planWrite(const SourceFiles& now, ConstGameBlocks wanted) {
    IsoFile bootFile(m_messages, m_files);
    if (!bootFile.Find(m_dataPath, m_bootName)) return std::nullopt;
    // Everything that can be known before writing is checked first: the image opens for writing,
    // and the boot file and both entries still have the sizes of their blocks and lie inside it.
    const std::uint32_t parameterOffset = m_archive.GetOffset(blockmap::kParameterEntry);
    const std::uint32_t selectOffset = m_archive.GetOffset(blockmap::kSelectEntry);
    if (bootFile.fileSize() != wanted.boot.size() || now.boot.size() != wanted.boot.size() ||
        m_archive.GetSize(blockmap::kParameterEntry) != wanted.parameter.size() ||
        m_archive.GetSize(blockmap::kSelectEntry) != wanted.select.size() ||
        now.parameter.size() != wanted.parameter.size() || now.select.size() != wanted.select.size()) {
        m_messages.warning("The files in " + utf8Path(m_dataPath) + " no longer have the sizes they had when loaded");
        return std::nullopt;
    }
    if (!bootFile.Open(IsoFile::Mode::ReadWrite)) return std::nullopt;
    if (!m_archiveFile.Open(IsoFile::Mode::ReadWrite)) return std::nullopt;
    const bool inside = bootFile.covers(0, wanted.boot.size()) &&
                        m_archiveFile.covers(parameterOffset, wanted.parameter.size()) &&
                        m_archiveFile.covers(selectOffset, wanted.select.size());
    if (!inside) {
        m_archiveFile.Close();
        m_messages.readerError("The data to save runs past the end of " + utf8Path(m_dataPath));
        return std::nullopt;
    }
    // The sectors that change, with their codes, planned before anything is written.
    SectorOverlay sectors(bootFile.layout().size);
    const bool planned = planChanges(bootFile, 0, wanted.boot, now.boot, sectors) &&
                         planChanges(m_archiveFile, parameterOffset, wanted.parameter, now.parameter, sectors) &&
                         planChanges(m_archiveFile, selectOffset, wanted.select, now.select, sectors);
    bootFile.Close();
    m_archiveFile.Close();
    if (!planned) return std::nullopt;
    std::vector<FilePatch> patches;
    for (RawRun& run : sectors.takeRuns()) patches.push_back({FileRole::Image, run.position, std::move(run.bytes)});
    return patches;
}

std::vector<SectorFault> ImageSource::sectorFaults() const {
    std::vector<SectorFault> out;
    MessageLog findMessages;
    IsoFile bootFile(findMessages, m_files);
    std::string error;
    auto image = m_files.open(m_dataPath, OpenMode::Read, error);
    if (image && !bootFile.Find(m_dataPath, m_bootName))
        error = findMessages.messages.empty() ? "the boot file is not found" : findMessages.messages.back().text;
    if (!error.empty()) {
        out.push_back({utf8Path(m_dataPath), "", "the image cannot be read again: " + error});
        return out;
    }
    checkSectors(*image, bootFile.layout(), m_bootName, bootFile.startSector(), bootFile.startSector(),
                 sectorsOf(bootFile.fileSize()), out);
    const std::uint64_t archiveStart = m_archiveFile.startSector();
    for (const auto& [entry, name] : {std::pair{blockmap::kParameterEntry, kParameterFileName},
                                      std::pair{blockmap::kSelectEntry, kSelectFileName}}) {
        const std::uint64_t offset = m_archive.GetOffset(entry), size = m_archive.GetSize(entry);
        const std::uint64_t first = offset / kUserDataSize;
        checkSectors(*image, bootFile.layout(), name, archiveStart + first, archiveStart + first,
                     sectorsOf(offset + size) - first, out);
    }
    return out;
}

// An image read through the CUE sheet that names it as its one data track. The sheet says how
// long the sectors are; an image whose sectors are otherwise is refused, as a program reading the
// sheet would misread the disc.
class CueImageSource : public ImageSource {
public:
    CueImageSource(fs::path sheet, fs::path image, bool cooked, MessageService& messages, FileAccess& files)
        : ImageSource(std::move(sheet), std::move(image), messages, files), m_cooked(cooked) {}

    bool load(SourceFiles& files) override {
        if (!ImageSource::load(files)) return false;
        const bool cooked = kind() == SourceKind::CookedImage;
        if (cooked == m_cooked) return true;
        m_messages.warning("The cue sheet " + utf8Path(m_path) + " says " + (m_cooked ? "MODE1/2048" : "MODE2/2352") +
                           ", but " + utf8Path(m_dataPath) + " holds " + (cooked ? "2048" : "2352") + "-byte sectors");
        return false;
    }

private:
    bool m_cooked;
};

// A CHD image, edited through the raw image and cue sheet that chdman extracts from it into a
// working folder of its own (removed with the source). A write-back goes into the working image
// first; then the CHD is rebuilt from it beside the original, checked to extract to exactly that
// image, and only then renamed over the original. Its lock and backups are the CHD's.
//
// When the rebuild fails, the working image holds the edit but the CHD does not. The store then
// keeps its written copy as it was, so the edit still counts as unwritten (a close asks about it),
// and this source answers a reread with what the CHD holds, not with the working image: the next
// write-back sees no change on disk, plans its sectors against what the working image really
// holds, and rebuilds the CHD even when no sector needs writing.
class ChdSource : public ImageSource {
public:
    ChdSource(fs::path chd, std::unique_ptr<ChdWorkFolder> folder, MessageService& messages, FileAccess& files)
        : ImageSource(std::move(chd), folder->path() / "disc.bin", messages, files), m_folder(std::move(folder)) {}

    const fs::path& keyPath() const override { return m_path; }
    std::vector<fs::path> ownFiles() const override { return {m_path, m_dataPath}; }

    bool load(SourceFiles& files) override {
        std::string failure;
        if (!extract(failure)) {
            m_messages.warning(failure);
            return false;
        }
        return ImageSource::load(files);
    }

    bool reread(SourceFiles& files, std::string& failure) override {
        // Another program rebuilt the CHD: what it holds now is extracted again.
        if (stamp() != m_stamp) {
            if (!extract(failure)) return false;
            m_pending = false;
        }
        if (!m_pending) return ImageSource::reread(files, failure);
        copyBlocks(m_committed, files);
        return true;
    }

    std::optional<std::vector<FilePatch>> planWrite(const SourceFiles& now, ConstGameBlocks wanted) override {
        std::optional<SourceFiles> working;
        if (m_pending) {
            std::string failure;
            working.emplace();
            if (!ImageSource::reread(*working, failure)) {
                if (!failure.empty()) m_messages.warning(failure);
                return std::nullopt;
            }
        } else {
            copyBlocks(now, m_committed);
        }
        auto patches = ImageSource::planWrite(working ? *working : now, wanted);
        if (patches) m_rebuild = m_pending || !patches->empty();
        return patches;
    }

    bool afterWrite(std::string& failure) override {
        if (!m_rebuild) return true;
        m_pending = true;
        if (!rebuild(failure)) {
            failure += "\n" + utf8Path(m_path) +
                       " is unchanged: the change is in its working copy only and is written again by the next write";
            return false;
        }
        m_pending = m_rebuild = false;
        m_committed = {};
        return true;
    }

private:
    fs::path workFile(const char* name) const { return m_folder->path() / name; }

    // The CHD's size and time of change, to notice another program's rebuild.
    std::pair<std::uintmax_t, fs::file_time_type> stamp() const {
        std::error_code ec;
        return {fs::file_size(m_path, ec), fs::last_write_time(m_path, ec)};
    }

    bool extract(std::string& failure) {
        if (!runChdman({"extractcd", "-i", utf8Path(m_path), "-o", utf8Path(workFile("disc.cue")), "-ob",
                        utf8Path(m_dataPath), "-f"},
                       "Extracting " + utf8Path(m_path), failure))
            return false;
        m_stamp = stamp();
        return true;
    }

    bool rebuild(std::string& failure) {
        const fs::path target = realPath(m_path);
        fs::path temporary = target.parent_path() / ".";
        temporary += target.filename();
        temporary += ".new.chd";
        const fs::path check = workFile("check.bin");
        std::error_code ec;
        const auto cleanUp = [&] {
            fs::remove(temporary, ec);
            fs::remove(check, ec);
            fs::remove(workFile("check.cue"), ec);
        };
        const std::string made = "Making the new CHD image " + utf8Path(temporary);
        if (!runChdman({"createcd", "-i", utf8Path(workFile("disc.cue")), "-o", utf8Path(temporary), "-f"}, made,
                       failure) ||
            !runChdman({"extractcd", "-i", utf8Path(temporary), "-o", utf8Path(workFile("check.cue")), "-ob",
                        utf8Path(check), "-f"},
                       "Checking the new CHD image " + utf8Path(temporary), failure)) {
            cleanUp();
            return false;
        }
        std::string error;
        const auto same = sameContent(check, m_dataPath, error);
        if (!same || !*same) {
            failure = "Checking the new CHD image " + utf8Path(temporary) +
                      " failed: " + (same ? "it does not extract to the image written" : error);
            cleanUp();
            return false;
        }
        fs::remove(check, ec);
        std::FILE* written = platform::openFile(temporary, "rb");
        const bool synced = written && platform::syncFile(written);
        if (written) std::fclose(written);
        fs::rename(temporary, target, ec);
        if (!synced || ec) {
            failure = "Replacing " + utf8Path(target) + " by the new CHD image failed: " +
                      (ec ? ec.message() : "the new image could not be flushed to the disk");
            cleanUp();
            return false;
        }
        platform::syncFolder(target.parent_path());
        m_stamp = stamp();
        return true;
    }

    std::unique_ptr<ChdWorkFolder> m_folder;
    std::pair<std::uintmax_t, fs::file_time_type> m_stamp;
    SourceFiles m_committed;  // what the CHD holds while a rebuild is pending
    bool m_rebuild = false;   // the write planned last must rebuild the CHD
    bool m_pending = false;   // the working image holds a write the CHD does not
};

// A folder holding the three files exported from the disc. Written back as the chunks of the files
// that changed; a folder has no sector codes.
class FolderSource : public Source {
public:
    FolderSource(fs::path folder, MessageService& messages, FileAccess& files)
        : Source(folder, folder, messages, files) {}

    SourceKind kind() const override { return SourceKind::Folder; }
    const char* backupKind() const override { return "directory"; }
    const char* writeFailedText() const override { return "Failed to save data to exported files!"; }
    std::vector<RoleFile> roleFiles() const override { return folderRoleFiles(realPath(m_dataPath), m_bootName); }
    std::vector<fs::path> ownFiles() const override {
        std::vector<fs::path> files;
        for (const RoleFile& file : folderRoleFiles(m_dataPath, m_bootName)) files.push_back(file.path);
        return files;
    }

    bool load(SourceFiles& files) override;
    bool reread(SourceFiles& files, std::string& failure) override;
    std::optional<std::vector<FilePatch>> planWrite(const SourceFiles& now, ConstGameBlocks wanted) override;
};

bool FolderSource::load(SourceFiles& files) {
    std::string bootName, error;
    auto read = [&](const char* name, BlockBytes& data) {
        const bool done = readWholeFile(m_files, m_dataPath / name, kMaxDataFileSize, data, error);
        // A file too large to be one of the disc's is refused by name; a missing one is not.
        if (!done && error.find(" bytes; the limit") != std::string::npos) m_messages.warning(error);
        return done;
    };
    for (const char* name : {kBootFileName, kBootFileNameSecondRelease}) {
        if (read(name, files.boot)) {
            bootName = name;
            break;
        }
    }
    if (bootName.empty() || !read(kParameterFileName, files.parameter) || !read(kSelectFileName, files.select))
        return false;
    if (!longEnough(m_messages, bootName, files.boot.size(), blockmap::kMinBootSize) ||
        !longEnough(m_messages, kParameterNeed.name, files.parameter.size(), kParameterNeed.minSize) ||
        !longEnough(m_messages, kSelectNeed.name, files.select.size(), kSelectNeed.minSize))
        return false;
    m_bootName = bootName;
    rememberSizes(files);
    return true;
}

bool FolderSource::reread(SourceFiles& files, std::string& failure) {
    for (auto [name, block, size] : {std::tuple{m_bootName, &files.boot, m_sizes[0]},
                                     std::tuple{std::string(kParameterFileName), &files.parameter, m_sizes[1]},
                                     std::tuple{std::string(kSelectFileName), &files.select, m_sizes[2]}}) {
        std::string error;
        const bool read = readWholeFile(m_files, m_dataPath / name, kMaxDataFileSize, *block, error);
        if (!read || block->size() != size) {
            failure = utf8Path(m_dataPath / name) + " " +
                      (read ? "no longer has the size it had when loaded" : "can not be read: " + error);
            return false;
        }
    }
    return true;
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

std::optional<std::vector<FilePatch>> FolderSource::planWrite(const SourceFiles& now, ConstGameBlocks wanted) {
    if (now.boot.size() != wanted.boot.size() || now.parameter.size() != wanted.parameter.size() ||
        now.select.size() != wanted.select.size()) {
        m_messages.warning("The files in " + utf8Path(m_dataPath) + " no longer have the sizes they had when loaded");
        return std::nullopt;
    }
    std::vector<FilePatch> patches;
    addChangedChunks(patches, FileRole::Boot, now.boot, wanted.boot);
    addChangedChunks(patches, FileRole::Parameter, now.parameter, wanted.parameter);
    addChangedChunks(patches, FileRole::Select, now.select, wanted.select);
    return patches;
}

}  // namespace

std::unique_ptr<Source> openSource(const fs::path& path, MessageService& messages, std::string& error,
                                   FileAccess& files) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) return std::make_unique<FolderSource>(path, messages, files);
    if (!fs::exists(path, ec)) {
        error = "No such file or directory: " + utf8Path(path);
        return nullptr;
    }
    if (isChdPath(path)) {
        if (!findChdman()) {
            error = kChdmanMissing;
            return nullptr;
        }
        auto folder = std::make_unique<ChdWorkFolder>();
        if (!folder->make(error)) return nullptr;
        return std::make_unique<ChdSource>(path, std::move(folder), messages, files);
    }
    if (!isCueSheetPath(path)) return std::make_unique<ImageSource>(path, path, messages, files);
    bool cooked = false;
    const auto image = cueDataFile(path, cooked, error);
    if (!image) return nullptr;
    return std::make_unique<CueImageSource>(path, *image, cooked, messages, files);
}

fs::path dataPathOf(const fs::path& path) {
    // A CHD is never written in place, and its working image belongs to the program that opened it.
    if (isChdPath(path)) return path;
    MessageLog unused;
    std::string error;
    const auto source = openSource(path, unused, error);
    return source ? source->dataPath() : path;
}

std::vector<RoleFile> sourceFilesOf(const fs::path& dataPath) {
    std::error_code ec;
    if (!fs::is_directory(dataPath, ec)) return {{FileRole::Image, realPath(dataPath)}};
    // The boot file under the name a load finds first.
    std::string bootName;
    for (const char* name : {kBootFileName, kBootFileNameSecondRelease})
        if (bootName.empty() && fs::is_regular_file(dataPath / name, ec)) bootName = name;
    return folderRoleFiles(realPath(dataPath), bootName);
}

}  // namespace tarvo
