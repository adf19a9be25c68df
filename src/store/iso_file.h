#pragma once
// One file of the disc's root directory, located inside a CD image, read and written in place. The
// image is raw (2352-byte Mode 2 Form 1 sectors with their error codes) or cooked (an ISO file of
// the 2048 user bytes of each sector alone). Positions are 64-bit; nothing is ever read or written
// beyond the end of the image or of the located file.

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "store/bytes.h"
#include "store/cd_sector.h"
#include "store/file_access.h"
#include "store/file_content.h"
#include "store/messages.h"

namespace tarvo {

using cdsector::kSectorSize, cdsector::kUserDataOffset, cdsector::kUserDataSize;
inline constexpr std::uint32_t kRootDirectorySector = 22;
inline constexpr std::uint32_t kDirectorySectorsSearched = 16;

// Where a sector's user bytes lie in the image.
struct SectorLayout {
    std::size_t size;        // bytes of one sector in the image
    std::size_t userOffset;  // of the user bytes within it
    bool cooked() const { return size == kUserDataSize; }
    std::uint64_t position(std::uint64_t sector, std::uint64_t userByte = 0) const {
        return sector * size + userOffset + userByte;
    }
};
inline constexpr SectorLayout kRawLayout{kSectorSize, kUserDataOffset};
inline constexpr SectorLayout kCookedLayout{kUserDataSize, 0};
inline constexpr std::uint32_t kVolumeDescriptorSector = 16;
// The layout under which sector 16 holds the volume descriptor's "CD001": cooked when only the
// cooked position holds it, raw otherwise (an image without it is then refused as raw would be).
SectorLayout sectorLayoutOf(OpenFile& image);

// A run of consecutive raw sectors at its position in the image.
struct RawRun {
    std::uint64_t position;
    Bytes bytes;
};

// Sectors of the image that a write will change, by image sector number: whole sectors with
// their codes, so that a journal of their old bytes restores the codes too. Kept as runs of
// consecutive sectors, each in one buffer, which is written as it is.
class SectorOverlay {
public:
    explicit SectorOverlay(std::size_t sectorSize) : m_sectorSize(sectorSize) {}
    bool empty() const { return m_runs.empty(); }
    // The planned bytes of `sector`; empty when it is not planned.
    ByteSpan find(std::uint64_t sector) const;
    // Plans the whole sectors of `bytes` from `first` on, in place of any planned before.
    void add(std::uint64_t first, ByteSpan bytes);
    // The runs at their positions in the image, in order; the overlay is empty afterwards.
    std::vector<RawRun> takeRuns();

private:
    std::size_t m_sectorSize;
    std::map<std::uint64_t, Bytes> m_runs;  // by first sector
};

class IsoFile : public FileContent {
public:
    explicit IsoFile(MessageService& messages, FileAccess& files = diskAccess());
    ~IsoFile() override;
    IsoFile(const IsoFile&) = delete;
    IsoFile& operator=(const IsoFile&) = delete;

    // Locates `name` (case-insensitive, version suffix ignored) as the whole name of a directory
    // record in root directory sectors 22 to 37 of the image; shows "%s not found in %s" (caption "ERROR") when it is not there.
    bool Find(const std::filesystem::path& imagePath, std::string_view name);
    // Opens the image (never created, never truncated); shows "Can not open ISO file! <path> (<reason>)" on
    // failure.
    bool Open(Mode mode) override;
    void Close() override;
    // Copies bytes of the located file; false (nothing transferred) when the range passes the
    // file's end or the image's end, or the transfer fails.
    bool Read(std::uint64_t offset, MutableByteSpan destination) override;
    // Stores bytes into the located file in place; the image must be open for reading and writing.
    // Raw sectors whose EDC was valid before get their EDC and ECC recomputed; heads never change.
    // A cooked image has no codes: its user bytes are all there is.
    bool Write(std::uint64_t offset, ByteSpan source) override;
    // The sectors that Write would change, changed, added to `sectors` (which may already hold
    // sectors of earlier planned writes; those are changed further). Nothing is written.
    bool planWrite(std::uint64_t offset, ByteSpan source, SectorOverlay& sectors);

    // True when the whole located file lies inside the open image; shows why not otherwise.
    bool checkFileInImage() override;
    std::uint64_t contentSize() const override { return m_fileSize; }
    std::string contentName() const override;
    // True when the range lies inside the located file and the image, as last opened or searched,
    // holds it (whole sectors when `wholeSectors`, as a write needs them).
    bool covers(std::uint64_t offset, std::uint64_t count, bool wholeSectors = true) const;

    const std::filesystem::path& imagePath() const { return m_imagePath; }
    std::uint32_t startSector() const { return m_startSector; }
    std::uint32_t fileSize() const { return m_fileSize; }
    // The image's layout, known once Find has succeeded.
    const SectorLayout& layout() const { return m_layout; }

private:
    bool checkRange(std::uint64_t offset, std::uint64_t count, bool writing);
    bool readRaw(std::uint64_t position, MutableByteSpan destination);
    // Raw sectors of the file from `firstSector` on (a message when they cannot be read).
    bool readSectors(std::uint64_t firstSector, MutableByteSpan raw);
    bool writeRaw(std::uint64_t position, ByteSpan source);

    MessageService& m_messages;
    FileAccess& m_files;
    Mode m_mode = Mode::Read;
    std::filesystem::path m_imagePath;
    std::unique_ptr<OpenFile> m_image;
    std::uint64_t m_imageSize = 0;
    SectorLayout m_layout = kRawLayout;
    std::string m_fileName;
    std::uint32_t m_startSector = 0;
    std::uint32_t m_fileSize = 0;
};

}  // namespace tarvo
