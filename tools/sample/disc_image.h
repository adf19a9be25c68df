#pragma once
// Builders of raw CD images and AFS archives, for the sample disc and for tests that need a
// small image of their own (malformed ones included).

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "store/bytes.h"

namespace tarvo::sample {

// An AFS archive: blobs of data, and entries that each point to one blob (several entries may
// share a blob, which keeps the sample's voice clips small). Entry index = order of addEntry.
class AfsBuilder {
public:
    std::uint32_t addBlob(Bytes data);
    void addEntry(std::uint32_t blob, std::string name);
    // "AFS\0", the count, the (offset, size) table, the blobs (2048-byte aligned), then
    // `zeroGap` zero bytes after the end of the last entry's data, then the 48-byte name records.
    Bytes build(std::uint32_t zeroGap = 2048) const;

private:
    std::vector<Bytes> m_blobs;
    std::vector<std::pair<std::uint32_t, std::string>> m_entries;
};

// A file of the root directory ("QXRT_418.27", "FILEDATA.AFS"; recorded with the suffix ";1").
struct DiscFile {
    std::string name;
    Bytes data;
};

struct DiscLayout {
    std::uint32_t rootDirectorySector = 22;  // where the root directory's records are put
    std::uint32_t firstFileSector = 40;      // files follow one another from here
};

// A raw image of 2352-byte Mode 2 Form 1 sectors: primary volume descriptor at sector 16, set
// terminator at 17, the root directory, the files; every sector with valid EDC and ECC.
Bytes buildDiscImage(const std::vector<DiscFile>& files, const DiscLayout& layout = {});
// The same, written to a file (through a temporary file renamed over it) and padded (sparse) to
// `padTo` bytes when that is larger; `cooked` keeps only the 2048 user bytes of each sector (an
// ISO file of the same disc).
bool writeDiscImage(const std::filesystem::path& file, const std::vector<DiscFile>& files, std::uint64_t padTo = 0,
                    bool cooked = false, const DiscLayout& layout = {});

}  // namespace tarvo::sample
