#include "store/iso_file.h"

#include <algorithm>
#include <array>
#include <optional>
#include <system_error>

#include "store/cd_sector.h"
#include "store/file_io.h"

namespace tarvo {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kNameFieldOffset = 33;  // of a directory record
constexpr std::size_t kNameLengthOffset = 32;
constexpr std::size_t kMinRecordSize = 34;  // with a name of one byte
constexpr std::size_t kExtentOffset = 2;    // little-endian copy; bytes 6 to 9 hold it big-endian
constexpr std::size_t kDataLengthOffset = 10;
constexpr std::size_t kDirectoryBufferSize = std::size_t{kDirectorySectorsSearched} * kUserDataSize;
// Raw sectors moved per call: few enough that the buffer is small and stays in the processor's
// cache while its user bytes are copied out.
constexpr std::uint32_t kSectorsPerTransfer = 48;

// Up to kSectorsPerTransfer consecutive sectors of a file holding the bytes [at, at + bytes).
struct SectorRun {
    SectorLayout layout;
    std::uint64_t firstSector;  // of the file
    std::uint32_t inSector;     // user byte of the first sector where the run starts
    std::uint64_t bytes;
    std::uint64_t sectors;

    static SectorRun at(const SectorLayout& layout, std::uint64_t offset, std::uint64_t left) {
        SectorRun run{layout, offset / kUserDataSize, static_cast<std::uint32_t>(offset % kUserDataSize), 0, 0};
        run.bytes = std::min<std::uint64_t>(left, std::uint64_t{kSectorsPerTransfer} * kUserDataSize - run.inSector);
        run.sectors = (run.inSector + run.bytes + kUserDataSize - 1) / kUserDataSize;
        return run;
    }

    // Calls piece(position, count) for the user bytes of each sector, with positions counted
    // from the start of the run's first sector in the image.
    template <typename Piece>
    void forEachPiece(Piece piece) const {
        std::uint64_t left = bytes;
        std::uint32_t begin = inSector;
        for (std::uint64_t s = 0; s < sectors; ++s) {
            const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(left, kUserDataSize - begin));
            piece(static_cast<std::size_t>(layout.position(s, begin)), n);
            left -= n;
            begin = 0;
        }
    }
};

std::string upperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

// The directory records of the searched sectors, walked by their lengths (a record never crosses a
// sector; a zero length ends a sector's records). A name matches a record's whole name, with or
// without its version suffix: a plain byte search would also match inside a longer name and then
// take bytes of that name for an extent and a size.
std::optional<std::size_t> findRecord(ByteSpan directory, const std::string& name) {
    if (name.empty()) return std::nullopt;
    for (std::size_t sector = 0; sector < directory.size(); sector += kUserDataSize) {
        const std::size_t end = sector + kUserDataSize;
        for (std::size_t at = sector; at + kMinRecordSize <= end;) {
            const std::size_t length = directory[at];
            const std::size_t nameLength = directory[at + kNameLengthOffset];
            if (length < kMinRecordSize || at + length > end || kNameFieldOffset + nameLength > length) break;
            const std::string recordName = upperAscii(
                std::string_view(reinterpret_cast<const char*>(directory.data()) + at + kNameFieldOffset, nameLength));
            if (recordName == name ||
                (recordName.size() > name.size() && recordName.starts_with(name) && recordName[name.size()] == ';'))
                return at;
            at += length;
        }
    }
    return std::nullopt;
}

}  // namespace

SectorLayout sectorLayoutOf(OpenFile& image) {
    const auto holdsMark = [&image](const SectorLayout& layout) {
        std::array<std::uint8_t, 5> mark{};
        return image.read(layout.position(kVolumeDescriptorSector, 1), mark) &&
               std::equal(mark.begin(), mark.end(), "CD001");
    };
    return !holdsMark(kRawLayout) && holdsMark(kCookedLayout) ? kCookedLayout : kRawLayout;
}

IsoFile::IsoFile(MessageService& messages, FileAccess& files) : m_messages(messages), m_files(files) {}

IsoFile::~IsoFile() = default;

std::string IsoFile::contentName() const { return m_fileName + " in " + utf8Path(m_imagePath); }

bool IsoFile::Find(const fs::path& imagePath, std::string_view name) {
    m_imagePath = imagePath;
    m_fileName = upperAscii(name);
    if (!Open(Mode::Read)) return false;
    m_layout = sectorLayoutOf(*m_image);

    const std::uint64_t lastByte =
        m_layout.position(kRootDirectorySector + kDirectorySectorsSearched - 1, kUserDataSize);
    if (m_imageSize < lastByte) {
        Close();
        m_messages.readerError(utf8Path(imagePath) + " is too short (" + std::to_string(m_imageSize) +
                               " bytes) to hold the root directory in sectors " + std::to_string(kRootDirectorySector) +
                               " to " + std::to_string(kRootDirectorySector + kDirectorySectorsSearched - 1));
        return false;
    }
    Bytes directory(kDirectoryBufferSize);
    bool complete = true;
    for (std::uint32_t k = 0; k < kDirectorySectorsSearched && complete; ++k)
        complete = readRaw(m_layout.position(kRootDirectorySector + k),
                           MutableByteSpan(directory).subspan(std::size_t{k} * kUserDataSize, kUserDataSize));
    Close();
    if (!complete) {
        m_messages.readerError("Can not read the root directory of " + utf8Path(imagePath));
        return false;
    }

    const auto record = findRecord(directory, m_fileName);
    if (!record) {
        m_messages.readerError(std::string(name) + " not found in " + utf8Path(imagePath));
        return false;
    }
    m_startSector = *readU32LE(directory, *record + kExtentOffset);
    m_fileSize = *readU32LE(directory, *record + kDataLengthOffset);
    return true;
}

bool IsoFile::Open(Mode mode) {
    Close();
    std::string error;
    m_image = m_files.open(m_imagePath, mode == Mode::Read ? OpenMode::Read : OpenMode::ReadWrite, error);
    if (!m_image) {
        m_messages.readerError("Can not open ISO file! " + utf8Path(m_imagePath) + " (" + error + ")");
        return false;
    }
    m_mode = mode;
    m_imageSize = m_image->size();
    return true;
}

void IsoFile::Close() { m_image.reset(); }

bool IsoFile::covers(std::uint64_t offset, std::uint64_t count, bool wholeSectors) const {
    if (!fitsIn(m_fileSize, offset, count)) return false;
    if (count == 0) return true;
    const std::uint64_t lastByte = offset + count - 1;
    const std::uint64_t last = m_startSector + lastByte / kUserDataSize;
    const std::uint64_t end =
        wholeSectors ? (last + 1) * m_layout.size : m_layout.position(last, lastByte % kUserDataSize) + 1;
    return end <= m_imageSize;
}

bool IsoFile::checkFileInImage() { return checkRange(0, m_fileSize, false); }

bool IsoFile::checkRange(std::uint64_t offset, std::uint64_t count, bool writing) {
    if (!m_image || (writing && m_mode != Mode::ReadWrite)) {
        m_messages.readerError("Can not " + std::string(writing ? "write" : "read") + " " + m_fileName + ": " +
                               utf8Path(m_imagePath) + " is not open for " + (writing ? "writing" : "reading"));
        return false;
    }
    if (!fitsIn(m_fileSize, offset, count)) {
        m_messages.readerError("Can not " + std::string(writing ? "write" : "read") + " " + std::to_string(count) +
                               " bytes at offset " + std::to_string(offset) + " of " + m_fileName +
                               ": the file holds " + std::to_string(m_fileSize) + " bytes");
        return false;
    }
    if (!covers(offset, count, writing)) {
        m_messages.readerError("Can not " + std::string(writing ? "write" : "read") + " " + m_fileName +
                               ": it runs past the end of " + utf8Path(m_imagePath) + " (" +
                               std::to_string(m_imageSize) + " bytes)");
        return false;
    }
    return true;
}

bool IsoFile::readRaw(std::uint64_t position, MutableByteSpan destination) {
    return m_image && m_image->read(position, destination);
}

bool IsoFile::writeRaw(std::uint64_t position, ByteSpan source) {
    if (m_image && m_image->write(position, source)) return true;
    m_messages.readerError("Can not write " + m_fileName + " in " + utf8Path(m_imagePath) +
                           (m_image ? ": " + m_image->error() : ""));
    return false;
}

bool IsoFile::readSectors(std::uint64_t firstSector, MutableByteSpan raw) {
    if (readRaw((m_startSector + firstSector) * m_layout.size, raw)) return true;
    m_messages.readerError("Can not read " + m_fileName + " in " + utf8Path(m_imagePath));
    return false;
}

bool IsoFile::Read(std::uint64_t offset, MutableByteSpan destination) {
    if (!checkRange(offset, destination.size(), false)) return false;
    if (destination.empty()) return true;
    // The user bytes go straight into the destination: in one read from a cooked image, whose
    // sectors are their user bytes alone; from a raw one the rest of the first sector, then the
    // user bytes of each sector after it.
    const std::uint64_t sector = m_startSector + offset / kUserDataSize;
    const auto inSector = static_cast<std::size_t>(offset % kUserDataSize);
    const std::size_t head =
        m_layout.cooked() ? destination.size() : std::min<std::size_t>(destination.size(), kUserDataSize - inSector);
    if (m_image->read(m_layout.position(sector, inSector), destination.first(head)) &&
        (head == destination.size() ||
         m_image->readPieces(m_layout.position(sector + 1), m_layout.size, kUserDataSize, destination.subspan(head))))
        return true;
    m_messages.readerError("Can not read " + m_fileName + " in " + utf8Path(m_imagePath));
    return false;
}

bool IsoFile::Write(std::uint64_t offset, ByteSpan source) {
    SectorOverlay sectors(m_layout.size);
    if (!planWrite(offset, source, sectors)) return false;
    for (const RawRun& run : sectors.takeRuns())
        if (!writeRaw(run.position, run.bytes)) return false;
    return true;
}

bool IsoFile::planWrite(std::uint64_t offset, ByteSpan source, SectorOverlay& sectors) {
    const std::uint64_t count = source.size();
    if (!checkRange(offset, count, true)) return false;
    // Whole sectors are read and changed, so that a changed raw sector whose EDC was valid gets a
    // valid tail again. A sector whose EDC was not valid keeps its tail: such images carry no
    // codes, and making up codes for one sector would not help them.
    const std::size_t sectorSize = m_layout.size;
    const auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(kSectorsPerTransfer * sectorSize);
    std::vector<bool> changed;
    std::uint64_t done = 0;
    while (done < count) {
        const SectorRun run = SectorRun::at(m_layout, offset + done, count - done);
        const std::uint64_t firstImageSector = m_startSector + run.firstSector;
        const MutableByteSpan raw(buffer.get(), static_cast<std::size_t>(run.sectors * sectorSize));
        if (!readSectors(run.firstSector, raw)) return false;
        for (std::uint64_t s = 0; s < run.sectors; ++s)  // sectors already changed by an earlier plan
            if (const ByteSpan planned = sectors.find(firstImageSector + s); !planned.empty())
                std::ranges::copy(planned, raw.begin() + static_cast<std::ptrdiff_t>(s * sectorSize));
        changed.assign(static_cast<std::size_t>(run.sectors), false);
        run.forEachPiece([&](std::size_t rawAt, std::size_t n) {
            const auto from = source.begin() + static_cast<std::ptrdiff_t>(done);
            const auto to = raw.begin() + static_cast<std::ptrdiff_t>(rawAt);
            done += n;
            if (std::equal(from, from + static_cast<std::ptrdiff_t>(n), to)) return;
            const MutableByteSpan sector = raw.subspan(rawAt / sectorSize * sectorSize, sectorSize);
            const bool codesValid = !m_layout.cooked() && cdsector::hasValidEdc(sector);
            std::copy_n(from, n, to);
            if (codesValid) cdsector::encodeTail(sector);
            changed[rawAt / sectorSize] = true;
        });
        for (std::size_t s = 0; s < changed.size();) {  // each stretch of changed sectors is one run
            std::size_t end = s;
            while (end < changed.size() && changed[end]) ++end;
            if (end > s) sectors.add(firstImageSector + s, raw.subspan(s * sectorSize, (end - s) * sectorSize));
            s = end + 1;
        }
    }
    return true;
}

ByteSpan SectorOverlay::find(std::uint64_t sector) const {
    auto run = m_runs.upper_bound(sector);
    if (run == m_runs.begin()) return {};
    --run;
    const std::uint64_t index = sector - run->first;
    if (index >= run->second.size() / m_sectorSize) return {};
    return ByteSpan(run->second).subspan(static_cast<std::size_t>(index) * m_sectorSize, m_sectorSize);
}

void SectorOverlay::add(std::uint64_t first, ByteSpan bytes) {
    const std::uint64_t end = first + bytes.size() / m_sectorSize;
    // Runs planned before lose the sectors this one replaces; what lies before or after it stays.
    auto run = m_runs.upper_bound(first);
    if (run != m_runs.begin()) --run;
    while (run != m_runs.end() && run->first < end) {
        const std::uint64_t runFirst = run->first, runEnd = runFirst + run->second.size() / m_sectorSize;
        if (runEnd <= first) {
            ++run;
            continue;
        }
        Bytes old = std::move(run->second);
        run = m_runs.erase(run);
        const auto part = [&](std::uint64_t from, std::uint64_t to) {
            const auto begin = old.begin() + static_cast<std::ptrdiff_t>((from - runFirst) * m_sectorSize);
            m_runs.emplace(from, Bytes(begin, begin + static_cast<std::ptrdiff_t>((to - from) * m_sectorSize)));
        };
        if (runFirst < first) part(runFirst, first);
        if (runEnd > end) part(end, runEnd);
    }
    m_runs.insert_or_assign(first, Bytes(bytes.begin(), bytes.end()));
}

std::vector<RawRun> SectorOverlay::takeRuns() {
    std::vector<RawRun> runs;
    runs.reserve(m_runs.size());
    for (auto& [first, bytes] : m_runs) runs.push_back({first * m_sectorSize, std::move(bytes)});
    m_runs.clear();
    return runs;
}

}  // namespace tarvo
