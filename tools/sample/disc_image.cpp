#include "sample/disc_image.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>

#include "store/afs_archive.h"
#include "store/cd_sector.h"
#include "store/file_platform.h"

namespace tarvo::sample {

namespace {

namespace cd = tarvo::cdsector;

constexpr std::size_t kBlockSize = cd::kUserDataSize;
constexpr std::uint32_t kVolumeDescriptorSector = 16;
constexpr std::uint32_t kTerminatorSector = 17;
constexpr std::uint32_t kLPathTableSector = 18;
constexpr std::uint32_t kMPathTableSector = 19;
constexpr std::size_t kNameRecordSize = afs::kNameRecordSize;
constexpr std::size_t kAfsHeaderSize = afs::kEntryTableOffset;
constexpr std::size_t kAfsTableEntrySize = afs::kEntryTableEntrySize;

// Submodes: data; data + end of record + end of file (the last sector of a file or a set).
constexpr std::uint8_t kSubmodeData = 0x08;
constexpr std::uint8_t kSubmodeLast = 0x89;

std::size_t alignUp(std::size_t value, std::size_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

std::uint32_t sectorsFor(std::size_t bytes) {
    return static_cast<std::uint32_t>((bytes + kBlockSize - 1) / kBlockSize);
}

void putBothEndian32(MutableByteSpan data, std::size_t offset, std::uint32_t value) {
    writeU32LE(data, offset, value);
    writeU32BE(data, offset + 4, value);
}

void putBothEndian16(MutableByteSpan data, std::size_t offset, std::uint16_t value) {
    writeU16LE(data, offset, value);
    writeU16BE(data, offset + 2, value);
}

void putText(MutableByteSpan data, std::size_t offset, std::size_t length, std::string_view text) {
    for (std::size_t i = 0; i < length; ++i)
        data[offset + i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : ' ';
}

// One directory record; returns its length (33 + name, padded to an even length).
Bytes directoryRecord(std::uint32_t extent, std::uint32_t size, bool directory, const Bytes& name) {
    const std::size_t length = 33 + name.size() + (name.size() % 2 == 0 ? 1 : 0);
    Bytes record(length, 0);
    record[0] = static_cast<std::uint8_t>(length);
    putBothEndian32(record, 2, extent);
    putBothEndian32(record, 10, size);
    record[18] = 100;  // recording date: 2000-01-01 00:00:00, GMT
    record[19] = 1;
    record[20] = 1;
    record[25] = directory ? 2 : 0;
    putBothEndian16(record, 28, 1);  // volume sequence number
    record[32] = static_cast<std::uint8_t>(name.size());
    std::copy(name.begin(), name.end(), record.begin() + 33);
    return record;
}

// The root directory's user data: ".", "..", then every file, no record crossing a block.
Bytes rootDirectory(const std::vector<DiscFile>& files, const std::vector<std::uint32_t>& extents,
                    std::uint32_t rootSector, std::uint32_t rootSectors) {
    Bytes data;
    auto append = [&data](const Bytes& record) {
        const std::size_t used = data.size() % kBlockSize;
        if (used + record.size() > kBlockSize) data.resize(alignUp(data.size(), kBlockSize), 0);
        data.insert(data.end(), record.begin(), record.end());
    };
    const std::uint32_t rootSize = rootSectors * kBlockSize;
    append(directoryRecord(rootSector, rootSize, true, Bytes{0}));
    append(directoryRecord(rootSector, rootSize, true, Bytes{1}));
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::string name = files[i].name + ";1";
        append(directoryRecord(extents[i], static_cast<std::uint32_t>(files[i].data.size()), false,
                               Bytes(name.begin(), name.end())));
    }
    data.resize(alignUp(std::max<std::size_t>(data.size(), 1), kBlockSize), 0);
    return data;
}

std::uint32_t rootDirectorySectors(const std::vector<DiscFile>& files) {
    // Sized with the same packing as rootDirectory(); extents do not change record lengths.
    std::vector<std::uint32_t> extents(files.size(), 0);
    return sectorsFor(rootDirectory(files, extents, 0, 1).size());
}

Bytes primaryVolumeDescriptor(std::uint32_t volumeSectors, std::uint32_t rootSector, std::uint32_t rootSectors) {
    Bytes d(kBlockSize, 0);
    d[0] = 1;
    putText(d, 1, 5, "CD001");
    d[6] = 1;
    putText(d, 8, 32, "");         // system identifier
    putText(d, 40, 32, "SAMPLE");  // volume identifier
    putBothEndian32(d, 80, volumeSectors);
    putBothEndian16(d, 120, 1);  // volume set size
    putBothEndian16(d, 124, 1);  // volume sequence number
    putBothEndian16(d, 128, static_cast<std::uint16_t>(kBlockSize));
    putBothEndian32(d, 132, 10);  // path table size: the root only
    writeU32LE(d, 140, kLPathTableSector);
    writeU32BE(d, 148, kMPathTableSector);
    const Bytes root = directoryRecord(rootSector, rootSectors * kBlockSize, true, Bytes{0});
    std::copy(root.begin(), root.end(), d.begin() + 156);
    putText(d, 190, 623, "");  // volume set, publisher, preparer, application, files
    for (std::size_t date = 813; date < 881; date += 17) {
        putText(d, date, 16, "0000000000000000");
        d[date + 16] = 0;
    }
    d[881] = 1;  // file structure version
    return d;
}

Bytes pathTable(std::uint32_t rootSector, bool bigEndian) {
    Bytes t(kBlockSize, 0);
    t[0] = 1;  // identifier length
    if (bigEndian) {
        writeU32BE(t, 2, rootSector);
        writeU16BE(t, 6, 1);
    } else {
        writeU32LE(t, 2, rootSector);
        writeU16LE(t, 6, 1);
    }
    return t;
}

class RawImage {
public:
    explicit RawImage(std::uint32_t sectors) : m_bytes(static_cast<std::size_t>(sectors) * cd::kSectorSize, 0) {}

    // Puts `data` into the user data of the sectors from `first` on; the last one may end a file.
    void put(std::uint32_t first, ByteSpan data, bool endsFile = true) {
        const std::uint32_t count = std::max<std::uint32_t>(sectorsFor(data.size()), 1);
        for (std::uint32_t i = 0; i < count; ++i) {
            MutableByteSpan sector = at(first + i);
            const std::size_t begin = static_cast<std::size_t>(i) * kBlockSize;
            const std::size_t n = begin < data.size() ? std::min(kBlockSize, data.size() - begin) : 0;
            std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(begin), n, sector.begin() + cd::kUserDataOffset);
            if (endsFile && i + 1 == count) setSubmode(sector, kSubmodeLast);
        }
    }

    Bytes finish() {
        const auto sectors = static_cast<std::uint32_t>(m_bytes.size() / cd::kSectorSize);
        for (std::uint32_t lba = 0; lba < sectors; ++lba) {
            MutableByteSpan sector = at(lba);
            cd::writeHead(sector, lba);
            if (sector[cd::kSubheaderOffset + 2] == 0) setSubmode(sector, kSubmodeData);
            cd::encodeTail(sector);
        }
        return std::move(m_bytes);
    }

private:
    MutableByteSpan at(std::uint32_t lba) {
        return MutableByteSpan(m_bytes).subspan(static_cast<std::size_t>(lba) * cd::kSectorSize, cd::kSectorSize);
    }
    static void setSubmode(MutableByteSpan sector, std::uint8_t submode) {
        sector[cd::kSubheaderOffset + 2] = submode;
        sector[cd::kSubheaderOffset + 6] = submode;
    }

    Bytes m_bytes;
};

}  // namespace

std::uint32_t AfsBuilder::addBlob(Bytes data) {
    m_blobs.push_back(std::move(data));
    return static_cast<std::uint32_t>(m_blobs.size() - 1);
}

void AfsBuilder::addEntry(std::uint32_t blob, std::string name) { m_entries.emplace_back(blob, std::move(name)); }

Bytes AfsBuilder::build(std::uint32_t zeroGap) const {
    // The blob of the last entry goes last, so that the name table follows it after `zeroGap`.
    std::vector<std::uint32_t> order;
    const bool hasLast = !m_entries.empty() && m_entries.back().first < m_blobs.size();
    for (std::uint32_t i = 0; i < m_blobs.size(); ++i)
        if (!hasLast || i != m_entries.back().first) order.push_back(i);
    if (hasLast) order.push_back(m_entries.back().first);

    std::vector<std::uint32_t> blobOffset(m_blobs.size(), 0);
    std::size_t position = alignUp(kAfsHeaderSize + kAfsTableEntrySize * m_entries.size(), kBlockSize);
    std::size_t dataEnd = position;
    for (std::uint32_t blob : order) {
        blobOffset[blob] = static_cast<std::uint32_t>(position);
        dataEnd = position + m_blobs[blob].size();
        position = alignUp(dataEnd, kBlockSize);
    }
    std::size_t lastEnd = kAfsHeaderSize + kAfsTableEntrySize * m_entries.size();
    if (hasLast) lastEnd = blobOffset[m_entries.back().first] + m_blobs[m_entries.back().first].size();
    const std::size_t nameTable = std::max(lastEnd, dataEnd) + zeroGap;

    Bytes archive(nameTable + kNameRecordSize * m_entries.size(), 0);
    archive[0] = 'A';
    archive[1] = 'F';
    archive[2] = 'S';
    writeU32LE(archive, afs::kCountOffset, static_cast<std::uint32_t>(m_entries.size()));
    for (std::uint32_t blob : order)
        std::copy(m_blobs[blob].begin(), m_blobs[blob].end(), archive.begin() + blobOffset[blob]);
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const auto& [blob, name] = m_entries[i];
        const std::size_t table = kAfsHeaderSize + kAfsTableEntrySize * i;
        const bool known = blob < m_blobs.size();
        writeU32LE(archive, table, known ? blobOffset[blob] : 0);
        writeU32LE(archive, table + 4, known ? static_cast<std::uint32_t>(m_blobs[blob].size()) : 0);
        // A name longer than 32 bytes runs on into the record's unused bytes (up to 48).
        const std::size_t record = nameTable + kNameRecordSize * i;
        std::copy_n(name.begin(), std::min(name.size(), kNameRecordSize), archive.begin() + record);
    }
    return archive;
}

Bytes buildDiscImage(const std::vector<DiscFile>& files, const DiscLayout& layout) {
    const std::uint32_t rootSectors = rootDirectorySectors(files);
    std::uint32_t next = std::max(layout.firstFileSector, layout.rootDirectorySector + rootSectors);
    std::vector<std::uint32_t> extents;
    for (const DiscFile& file : files) {
        extents.push_back(next);
        next += std::max<std::uint32_t>(sectorsFor(file.data.size()), 1);
    }
    const std::uint32_t totalSectors = std::max(next, layout.rootDirectorySector + rootSectors);

    RawImage image(totalSectors);
    image.put(kVolumeDescriptorSector, primaryVolumeDescriptor(totalSectors, layout.rootDirectorySector, rootSectors),
              false);
    Bytes terminator(kBlockSize, 0);
    terminator[0] = 255;
    std::copy_n("CD001", 5, terminator.begin() + 1);
    terminator[6] = 1;
    image.put(kTerminatorSector, terminator);
    image.put(kLPathTableSector, pathTable(layout.rootDirectorySector, false));
    image.put(kMPathTableSector, pathTable(layout.rootDirectorySector, true));
    image.put(layout.rootDirectorySector, rootDirectory(files, extents, layout.rootDirectorySector, rootSectors));
    for (std::size_t i = 0; i < files.size(); ++i) image.put(extents[i], files[i].data);
    return image.finish();
}

bool writeDiscImage(const std::filesystem::path& file, const std::vector<DiscFile>& files, std::uint64_t padTo,
                    bool cooked, const DiscLayout& layout) {
    Bytes image = buildDiscImage(files, layout);
    if (cooked) {
        Bytes user;
        user.reserve(image.size() / cd::kSectorSize * cd::kUserDataSize);
        for (std::size_t at = 0; at + cd::kSectorSize <= image.size(); at += cd::kSectorSize)
            user.insert(user.end(), image.begin() + static_cast<std::ptrdiff_t>(at + cd::kUserDataOffset),
                        image.begin() + static_cast<std::ptrdiff_t>(at + cd::kUserDataOffset + cd::kUserDataSize));
        image = std::move(user);
    }
    // Written beside the target and renamed over it when complete: a link at `file` is replaced,
    // never followed, and a failure leaves what was there.
    std::filesystem::path temporary;
    std::FILE* out = nullptr;
    std::random_device random;
    for (int attempt = 0; attempt < 16 && !out; ++attempt) {
        temporary = file;
        temporary += ".tmp" + std::to_string(random());
        out = platform::openFile(temporary, "wbx");
    }
    if (!out) return false;
    bool written = std::fwrite(image.data(), 1, image.size(), out) == image.size();
    written = std::fclose(out) == 0 && written;
    std::error_code ec;
    if (written && padTo > image.size()) {
        std::filesystem::resize_file(temporary, padTo, ec);  // the padding stays a hole in the file
        written = !ec;
    }
    if (written) std::filesystem::rename(temporary, file, ec);
    if (!written || ec) {
        std::filesystem::remove(temporary, ec);
        return false;
    }
    return true;
}

}  // namespace tarvo::sample
