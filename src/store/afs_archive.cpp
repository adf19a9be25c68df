#include "store/afs_archive.h"

#include <algorithm>
#include <array>
#include <bit>

#include "store/file_io.h"

namespace tarvo {

using afs::kCountOffset, afs::kEntryTableOffset, afs::kEntryTableEntrySize, afs::kNameRecordSize, afs::kNameSize,
    afs::kNameTableScan;

void AfsArchive::attach(FileContent& file) {
    clear();
    m_file = &file;
}

bool AfsArchive::LoadDirectory(Table& memory) {
    if (!m_file || !m_file->Open(FileContent::Mode::Read)) return false;
    FileContent& file = *m_file;
    const std::uint64_t archiveSize = file.contentSize();
    auto refuse = [this, &file](const std::string& problem) {
        file.Close();
        m_messages.readerError(file.contentName() + " " + problem);
        return false;
    };
    auto read = [&file](std::uint64_t offset, MutableByteSpan destination) {
        if (file.Read(offset, destination)) return true;
        file.Close();
        return false;
    };

    // Every size below is checked against the archive's size, and that against the image.
    if (!file.checkFileInImage()) {
        file.Close();
        return false;
    }
    Bytes head(kEntryTableOffset);
    if (archiveSize < head.size())
        return refuse("is too short (" + std::to_string(archiveSize) + " bytes) to hold an entry count");
    if (!read(0, head)) return false;
    const std::uint32_t count = *readU32LE(head, kCountOffset);
    if (count == 0) return refuse("holds no entries");
    const std::uint64_t tableSize = std::uint64_t{kEntryTableEntrySize} * count;
    if (!fitsIn(archiveSize, kEntryTableOffset, tableSize))
        return refuse("claims " + std::to_string(count) + " entries, but their table of " + std::to_string(tableSize) +
                      " bytes does not fit in the archive's " + std::to_string(archiveSize) + " bytes");

    // The table is the entries' offsets and sizes, little-endian 32-bit numbers in pairs: read
    // straight into the entries, and turned round where the machine stores numbers the other way.
    static_assert(sizeof(Entry) == kEntryTableEntrySize);
    Table& entries = memory;
    entries.resize(count);
    const MutableByteSpan table(reinterpret_cast<std::uint8_t*>(entries.data()), static_cast<std::size_t>(tableSize));
    if (!read(kEntryTableOffset, table)) return false;
    if constexpr (std::endian::native != std::endian::little)
        for (std::uint32_t i = 0; i < count; ++i)
            entries[i] = {*readU32LE(table, std::size_t{i} * kEntryTableEntrySize),
                          *readU32LE(table, std::size_t{i} * kEntryTableEntrySize + 4)};
    // The entry table is followed by the name table's offset and size; an entry lying over either
    // would have them overwritten when it is written back.
    const std::uint64_t tableEnd = kEntryTableOffset + tableSize + kEntryTableEntrySize;
    // The disc's archive has 16,257 entries: all are checked at once first, by arithmetic rather
    // than comparisons (a fuzzing build traces every comparison), and one by one only to name the
    // first one refused. Every number fits in 36 bits (an entry's end, below 2^33; the table's
    // end; the archive's size, taken as at most 2^33, which no entry passes), so a difference
    // below zero sets the top bit.
    const std::uint64_t limit = std::min<std::uint64_t>(archiveSize, std::uint64_t{1} << 33);
    std::uint64_t misplaced = 0;
    for (const Entry& e : entries) {
        const std::uint64_t offset = e.offset, end = offset + e.size;
        const std::uint64_t holdsData = (std::uint64_t{e.size} + 0xFFFFFFFF) >> 32;  // 1 when the size is not 0
        misplaced |= (limit - end) | ((offset - tableEnd) * holdsData);
    }
    if ((misplaced >> 63) != 0) {
        for (std::uint32_t i = 0; i < count; ++i) {
            const auto entry = [&] {
                return "entry " + std::to_string(i) + " (offset " + std::to_string(entries[i].offset) + ", size " +
                       std::to_string(entries[i].size) + ")";
            };
            if (!fitsIn(archiveSize, entries[i].offset, entries[i].size))
                return refuse("has " + entry() + " running past the archive's end at " + std::to_string(archiveSize) +
                              " bytes");
            if (entries[i].size > 0 && entries[i].offset < tableEnd)
                return refuse("has " + entry() + " overlapping its entry table (bytes 0 to " +
                              std::to_string(tableEnd - 1) + ")");
        }
    }

    // The name table follows the last entry's data after some zero bytes of padding, which rarely
    // reaches past a sector: read a piece at a time.
    const std::uint64_t end = std::uint64_t{entries.back().offset} + entries.back().size;
    const std::uint64_t scanEnd = end + std::min<std::uint64_t>(kNameTableScan, archiveSize - end);
    std::array<std::uint8_t, afs::kNameTableScanPiece> piece;
    std::uint64_t namesOffset = scanEnd;
    for (std::uint64_t at = end; at < scanEnd && namesOffset == scanEnd; at += piece.size()) {
        const auto part =
            MutableByteSpan(piece).first(static_cast<std::size_t>(std::min(scanEnd - at, std::uint64_t{piece.size()})));
        if (!read(at, part)) return false;
        const auto first = std::ranges::find_if(part, [](std::uint8_t b) { return b != 0; });
        if (first != part.end()) namesOffset = at + static_cast<std::uint64_t>(first - part.begin());
    }
    if (namesOffset == scanEnd)
        return refuse("has no name table within " + std::to_string(kNameTableScan) +
                      " bytes after its last entry (offset " + std::to_string(end) + ")");
    const std::uint64_t namesSize = std::uint64_t{kNameRecordSize} * count;
    if (!fitsIn(archiveSize, namesOffset, namesSize))
        return refuse("has a name table at offset " + std::to_string(namesOffset) + " that needs " +
                      std::to_string(namesSize) + " bytes, past the archive's end at " + std::to_string(archiveSize) +
                      " bytes");
    file.Close();

    // The names are read when asked for: only the face pictures' names are ever shown.
    m_entries.swap(entries);
    m_nameTableOffset = static_cast<std::uint32_t>(namesOffset);
    return true;
}

void AfsArchive::clear() {
    m_entries.clear();
    m_nameTableOffset = 0;
}

void AfsArchive::clearInto(Table& memory) {
    if (m_entries.capacity() > memory.capacity()) m_entries.swap(memory);
    clear();
}

std::uint32_t AfsArchive::GetOffset(std::uint32_t index) const {
    return index < m_entries.size() ? m_entries[index].offset : 0;
}

std::uint32_t AfsArchive::GetSize(std::uint32_t index) const {
    return index < m_entries.size() ? m_entries[index].size : 0;
}

bool AfsArchive::ReadEntry(MutableByteSpan destination, std::uint32_t index) {
    if (!m_file || index >= m_entries.size() || destination.size() < m_entries[index].size) return false;
    if (!m_file->Open(FileContent::Mode::Read)) return false;
    const bool done = m_file->Read(m_entries[index].offset, destination.first(m_entries[index].size));
    m_file->Close();
    return done;
}

bool AfsArchive::WriteEntry(ByteSpan source, std::uint32_t index) {
    if (!m_file || index >= m_entries.size() || source.size() < m_entries[index].size) return false;
    if (!m_file->Open(FileContent::Mode::ReadWrite)) return false;
    const bool done = m_file->Write(m_entries[index].offset, source.first(m_entries[index].size));
    m_file->Close();
    return done;
}

std::string AfsArchive::GetName(std::uint32_t index) const {
    if (index >= m_entries.size() || !m_file->Open(FileContent::Mode::Read)) return {};
    std::array<std::uint8_t, kNameSize> record{};
    const bool read = m_file->Read(m_nameTableOffset + std::uint64_t{index} * kNameRecordSize, record);
    m_file->Close();
    if (!read) return {};
    std::string name(record.begin(), std::find(record.begin(), record.end(), 0));
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}

}  // namespace tarvo
