#pragma once
// The archive "filedata.afs" of the disc: an entry count, a table of (offset, size) pairs, the
// entries' data and a table of 48-byte name records. Entries are read and written whole, in place.

#include <cstdint>
#include <string>
#include <vector>

#include "store/block_bytes.h"
#include "store/file_content.h"
#include "store/messages.h"

namespace tarvo {

// The archive's layout: offsets within the archive file, integers little-endian.
namespace afs {
inline constexpr std::uint32_t kCountOffset = 4;
inline constexpr std::uint32_t kEntryTableOffset = 8;
inline constexpr std::uint32_t kEntryTableEntrySize = 8;  // u32 offset, u32 size
inline constexpr std::uint32_t kNameRecordSize = 48;
inline constexpr std::uint32_t kNameSize = 32;              // the rest of a name record is not used
inline constexpr std::uint32_t kNameTableScan = 32768;      // bytes after the last entry searched for the names
inline constexpr std::uint32_t kNameTableScanPiece = 2048;  // read at a time: a sector's worth
}  // namespace afs

class AfsArchive {
    struct Entry {
        std::uint32_t offset;
        std::uint32_t size;
    };

public:
    // The entry table: read straight from the archive (16,257 entries on the disc), so no zeroing,
    // and in large pages.
    using Table = std::vector<Entry, LargeBufferAllocator<Entry>>;

    explicit AfsArchive(MessageService& messages) : m_messages(messages) {}

    // The file the archive reads and writes through (in the image: the located "filedata.afs").
    // It must outlive the archive's use; attaching another one empties the archive.
    void attach(FileContent& file);
    // Reads and checks the entry table and finds the name table. Refuses (with a message
    // naming the problem) an archive with no entries, a table that does not fit, an entry running
    // past the archive's end, or a name table not found within the scan. Tables unchanged then.
    // The table is read into `memory` (a store that loads again and again keeps the memory of the
    // last table), which is left holding the memory of the table it replaces.
    bool LoadDirectory(Table& memory);
    std::uint32_t entryCount() const { return static_cast<std::uint32_t>(m_entries.size()); }
    std::uint32_t GetOffset(std::uint32_t index) const;  // 0 when out of range or not loaded
    std::uint32_t GetSize(std::uint32_t index) const;    // 0 when out of range or not loaded
    // Reads the whole entry; the destination must hold GetSize(index) bytes. False when the index
    // is out of range (destination untouched) or the image cannot be read.
    bool ReadEntry(MutableByteSpan destination, std::uint32_t index);
    // Writes GetSize(index) bytes over the entry; the size of an entry never changes.
    bool WriteEntry(ByteSpan source, std::uint32_t index);
    // The entry's name (at most 32 bytes, slashes shown as backslashes), read from the archive's
    // name table; empty when out of range or when it cannot be read.
    std::string GetName(std::uint32_t index) const;
    std::uint32_t nameTableOffset() const { return m_nameTableOffset; }
    // Releases both tables: the archive is empty again, as before LoadDirectory.
    void clear();
    // Empties the archive as clear() does, leaving `memory` with the larger of its own memory and
    // the table's, for the next LoadDirectory.
    void clearInto(Table& memory);

private:
    MessageService& m_messages;
    FileContent* m_file = nullptr;
    Table m_entries;
    std::uint32_t m_nameTableOffset = 0;
};

}  // namespace tarvo
