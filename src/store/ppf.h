#pragma once
// PPF patches: the byte patches of a raw disc image (2352-byte sectors) that every patcher and
// emulator of this console reads. A header (version 1.0, 2.0 or 3.0, a 50-byte description; 2.0
// and 3.0 may carry the 1024 bytes at 0x9320 of the image they were made from, so that they refuse
// another disc), then records of (offset, length, bytes); a 3.0 record may carry the bytes it
// replaces, so that the patch can be taken off again.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/bytes.h"
#include "store/file_access.h"
#include "store/game_blocks.h"
#include "store/journal.h"
#include "store/source.h"

namespace tarvo::ppf {

inline constexpr std::uint64_t kMaxPatchFileSize = 64u << 20;
inline constexpr std::uint64_t kCheckBlockOffset = 0x9320;
inline constexpr std::size_t kCheckBlockSize = 1024;
inline constexpr std::size_t kDescriptionSize = 50;
inline constexpr std::size_t kMaxRecordLength = 255;

// One record: `length` bytes at `offset` of the image. Its new bytes (and old ones, with undo
// data) lie in the patch's `data` at `newAt` (`oldAt`).
struct Record {
    std::uint64_t offset = 0;
    std::size_t newAt = 0;
    std::size_t oldAt = 0;
    std::uint8_t length = 0;
};

struct Patch {
    int version = 3;  // 1, 2 or 3
    std::string description;
    std::optional<std::uint32_t> imageSize;  // 2.0: the size of the image it was made from
    std::optional<Bytes> checkBlock;         // kCheckBlockSize bytes
    bool hasUndo = false;
    std::vector<Record> records;
    Bytes data;

    ByteSpan newBytes(const Record& r) const { return ByteSpan(data).subspan(r.newAt, r.length); }
    ByteSpan oldBytes(const Record& r) const { return ByteSpan(data).subspan(r.oldAt, hasUndo ? r.length : 0); }
};

// True when the file starts as a PPF does ("PPF10", "PPF20" or "PPF30").
bool isPpf(ByteSpan file);
// The patch a PPF file holds; nullopt with `error` when it is cut short or malformed. Every length
// is checked against the file.
std::optional<Patch> parse(ByteSpan file, std::string& error);
// The patch as a PPF 3.0 file (raw image type), with its check block and undo data when it has them.
Bytes write(const Patch& patch);

// Why the patch does not fit the image: the check block differs, a 2.0 patch's image size
// differs, a record passes the end; nullopt when it fits.
std::optional<std::string> refusalFor(const Patch& patch, OpenFile& image);
// The patch's records as writes into the image, records that follow on each other joined: the new
// bytes in the order written, or with `undo` the old bytes (in reverse order when records overlap,
// so that they come back off in the right order).
std::vector<FilePatch> imageWrites(const Patch& patch, bool undo);

// The PPF 3.0 that turns image `a` into image `b` (of the same size): records of at most
// kMaxRecordLength bytes covering exactly the bytes that differ, with undo data and A's check
// block. The images are read in bounded chunks. Nullopt with `error` when they can not be read or
// the patch would pass kMaxPatchFileSize.
std::optional<Patch> diffImages(OpenFile& a, OpenFile& b, std::string description, std::string& error);
// The same from the image as it was before `before` (byte ranges of it, as they were) to the image
// as it is; only the bytes of those ranges are compared.
std::optional<Patch> diffSinceWrites(OpenFile& image, const std::vector<FilePatch>& before, std::string description,
                                     std::string& error);

// The image sectors the writes touch, in ascending order.
std::vector<std::uint64_t> touchedSectors(const std::vector<FilePatch>& writes);
// Of those, the Mode 2 Form 1 sectors whose EDC or ECC does not match their data, each with its
// codes recomputed (ready to be written); sectors of other modes carry no such codes and are left.
// Nullopt with `error` when a sector can not be read.
std::optional<std::vector<FilePatch>> sectorsWithStaleCodes(OpenFile& image, const std::vector<std::uint64_t>& sectors,
                                                            std::string& error);

// Stores the writes' bytes that fall in the user data of the three files of the loaded raw image
// `source` into `blocks` (copies of what it holds): what the image's files would hold after them.
// Gives the count of bytes that fall anywhere else (other files, headers, sector codes).
std::uint64_t writeIntoBlocks(const std::vector<FilePatch>& writes, const Source& source, GameBlocks blocks);

}  // namespace tarvo::ppf
