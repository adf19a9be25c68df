#include "store/ppf.h"

#include <algorithm>
#include <array>

#include "store/block_map.h"
#include "store/cd_sector.h"
#include "store/iso_file.h"

namespace tarvo::ppf {

namespace {

constexpr std::size_t kEncodingAt = 5;
constexpr std::size_t kDescriptionAt = 6;
constexpr std::size_t kHeaderSize = 56;
constexpr std::size_t kImageSizeAt = 56;     // 2.0
constexpr std::size_t kImageTypeAt = 56;     // 3.0: 0 raw, 1 GI
constexpr std::size_t kCheckPresentAt = 57;  // 3.0
constexpr std::size_t kUndoPresentAt = 58;   // 3.0
constexpr std::size_t kCheckBlockAt = 60;    // 2.0, and 3.0 with a check block
constexpr std::size_t kRecordsAfterCheck = kCheckBlockAt + kCheckBlockSize;
constexpr std::size_t kRecordsWithoutCheck = 60;  // 3.0
constexpr std::string_view kDizBegin = "@BEGIN_FILE_ID.DIZ";
constexpr std::string_view kDizEnd = "@END_FILE_ID.DIZ";
constexpr std::string_view kDizMark = ".DIZ";
constexpr std::size_t kDiffChunk = 1u << 20;

std::optional<std::uint64_t> readU64LE(ByteSpan data, std::size_t at) {
    const auto low = readU32LE(data, at), high = readU32LE(data, at + 4);
    if (!low || !high) return std::nullopt;
    return *low | (std::uint64_t{*high} << 32);
}

void appendU64LE(Bytes& out, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::string hexOffset(std::uint64_t value) {
    static const char* digits = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), digits[value & 15]);
        value >>= 4;
    } while (value != 0);
    return "0x" + text;
}

// Where the records end: before the description file a 2.0 or 3.0 patch may carry at its end
// ("@BEGIN_FILE_ID.DIZ", its text, "@END_FILE_ID.DIZ", the text's length as a u32 in 2.0, a u16
// in 3.0). Nullopt when the file ends in a description file that does not fit.
std::optional<std::size_t> recordsEnd(ByteSpan file, int version, std::size_t recordsStart) {
    if (version == 1) return file.size();
    const std::size_t lengthSize = version == 2 ? 4 : 2;
    if (file.size() < recordsStart + kDizMark.size() + lengthSize) return file.size();
    const std::size_t markAt = file.size() - lengthSize - kDizMark.size();
    if (!startsWith(file.subspan(markAt), kDizMark)) return file.size();
    const std::uint64_t textSize = version == 2 ? *readU32LE(file, file.size() - 4) : *readU16LE(file, file.size() - 2);
    const std::uint64_t dizSize = kDizBegin.size() + textSize + kDizEnd.size() + lengthSize;
    if (dizSize > file.size() - recordsStart) return std::nullopt;
    const std::size_t start = file.size() - static_cast<std::size_t>(dizSize);
    if (!startsWith(file.subspan(start), kDizBegin)) return std::nullopt;
    return start;
}

}  // namespace

bool isPpf(ByteSpan file) {
    return startsWith(file, "PPF10") || startsWith(file, "PPF20") || startsWith(file, "PPF30");
}

std::optional<Patch> parse(ByteSpan file, std::string& error) {
    const auto fail = [&error](std::string reason) {
        error = std::move(reason);
        return std::nullopt;
    };
    if (!isPpf(file)) return fail("it does not start as a PPF patch (\"PPF10\", \"PPF20\" or \"PPF30\")");
    if (file.size() < kHeaderSize) return fail("it is cut short: its header needs 56 bytes");
    Patch patch;
    patch.version = file[3] - '0';
    if (file[kEncodingAt] != patch.version - 1)
        return fail("its encoding byte " + std::to_string(file[kEncodingAt]) + " does not name version " +
                    std::to_string(patch.version) + ".0");
    const ByteSpan description = file.subspan(kDescriptionAt, kDescriptionSize);
    patch.description.assign(description.begin(), description.end());
    patch.description.erase(patch.description.find_last_not_of(std::string_view(" \0", 2)) + 1);

    std::size_t at = kHeaderSize;
    if (patch.version == 2) {
        if (file.size() < kRecordsAfterCheck) return fail("it is cut short: a PPF 2.0 header needs 1084 bytes");
        patch.imageSize = *readU32LE(file, kImageSizeAt);
        at = kRecordsAfterCheck;
    } else if (patch.version == 3) {
        if (file.size() < kRecordsWithoutCheck) return fail("it is cut short: a PPF 3.0 header needs 60 bytes");
        if (file[kImageTypeAt] != 0) return fail("it patches a GI image; only raw images (type 0) are patched here");
        if (file[kCheckPresentAt] > 1 || file[kUndoPresentAt] > 1)
            return fail("its header's check block and undo flags should be 0 or 1");
        patch.hasUndo = file[kUndoPresentAt] == 1;
        at = file[kCheckPresentAt] == 1 ? kRecordsAfterCheck : kRecordsWithoutCheck;
        if (file.size() < at) return fail("it is cut short: its check block needs 1024 bytes");
    }
    if (at == kRecordsAfterCheck) {
        const ByteSpan check = file.subspan(kCheckBlockAt, kCheckBlockSize);
        patch.checkBlock = Bytes(check.begin(), check.end());
    }
    const auto end = recordsEnd(file, patch.version, at);
    if (!end) return fail("its description file at the end does not fit in it");

    const std::size_t offsetSize = patch.version == 3 ? 8 : 4;
    const ByteSpan records = file.first(*end);
    while (at < records.size()) {
        if (!fitsIn(records.size(), at, offsetSize + 1))
            return fail("it is cut short: the record at byte " + std::to_string(at) + " lacks its offset or length");
        Record record;
        record.offset = offsetSize == 8 ? *readU64LE(records, at) : *readU32LE(records, at);
        record.length = records[at + offsetSize];
        const std::size_t payload = std::size_t{record.length} * (patch.hasUndo ? 2 : 1);
        if (!fitsIn(records.size(), at + offsetSize + 1, payload))
            return fail("it is cut short: the record at byte " + std::to_string(at) + " holds " +
                        std::to_string(record.length) + " bytes, more than are left");
        record.newAt = at + offsetSize + 1;
        record.oldAt = record.newAt + record.length;
        patch.records.push_back(record);
        at = record.newAt + payload;
    }
    patch.data.assign(file.begin(), file.end());
    return patch;
}

Bytes write(const Patch& patch) {
    Bytes out;
    for (const char c : std::string_view("PPF30")) out.push_back(static_cast<std::uint8_t>(c));
    out.push_back(2);
    std::string description = patch.description.substr(0, kDescriptionSize);
    description.resize(kDescriptionSize, ' ');
    out.insert(out.end(), description.begin(), description.end());
    out.push_back(0);  // a raw image
    out.push_back(patch.checkBlock ? 1 : 0);
    out.push_back(patch.hasUndo ? 1 : 0);
    out.push_back(0);
    if (patch.checkBlock) appendFixed(out, *patch.checkBlock, kCheckBlockSize);
    for (const Record& record : patch.records) {
        appendU64LE(out, record.offset);
        out.push_back(record.length);
        const ByteSpan bytes = patch.newBytes(record), old = patch.oldBytes(record);
        out.insert(out.end(), bytes.begin(), bytes.end());
        out.insert(out.end(), old.begin(), old.end());
    }
    // Records whose last bytes read as a description file's end would lose their tail to a reader:
    // an empty description file after them ends the file instead.
    const std::size_t recordsStart = patch.checkBlock ? kRecordsAfterCheck : kRecordsWithoutCheck;
    if (recordsEnd(out, 3, recordsStart) != out.size()) {
        out.insert(out.end(), kDizBegin.begin(), kDizBegin.end());
        out.insert(out.end(), kDizEnd.begin(), kDizEnd.end());
        appendU16LE(out, 0);
    }
    return out;
}

std::optional<std::string> refusalFor(const Patch& patch, OpenFile& image) {
    const std::uint64_t size = image.size();
    if (patch.imageSize && *patch.imageSize != size)
        return "this patch is for an image of " + std::to_string(*patch.imageSize) + " bytes; this one holds " +
               std::to_string(size);
    if (patch.checkBlock) {
        Bytes block(kCheckBlockSize);
        if (!fitsIn(size, kCheckBlockOffset, kCheckBlockSize) || !image.read(kCheckBlockOffset, block) ||
            block != *patch.checkBlock)
            return "this patch is for another disc image: the 1024 bytes at 0x9320 differ";
    }
    for (std::size_t i = 0; i < patch.records.size(); ++i) {
        const Record& r = patch.records[i];
        if (!fitsIn(size, r.offset, r.length))
            return "record " + std::to_string(i + 1) + " (" + std::to_string(r.length) + " bytes at " +
                   hexOffset(r.offset) + ") passes the end of the image (" + std::to_string(size) + " bytes)";
    }
    return std::nullopt;
}

std::vector<FilePatch> imageWrites(const Patch& patch, bool undo) {
    // Records that neither overlap nor go back can be written in any order, and joined.
    bool ascending = true;
    for (std::size_t i = 1; i < patch.records.size() && ascending; ++i) {
        const Record& before = patch.records[i - 1];
        ascending = before.offset + before.length <= patch.records[i].offset;
    }
    std::vector<FilePatch> writes;
    const auto add = [&](const Record& r) {
        const ByteSpan bytes = undo ? patch.oldBytes(r) : patch.newBytes(r);
        if (bytes.empty()) return;
        if (!writes.empty() && writes.back().position + writes.back().bytes.size() == r.offset)
            writes.back().bytes.insert(writes.back().bytes.end(), bytes.begin(), bytes.end());
        else writes.push_back({FileRole::Image, r.offset, Bytes(bytes.begin(), bytes.end())});
    };
    if (undo && !ascending) std::for_each(patch.records.rbegin(), patch.records.rend(), add);
    else std::ranges::for_each(patch.records, add);
    return writes;
}

namespace {

// Image `base` with writes laid over it, read only: the image as it would be after them.
class OverlaidFile : public OpenFile {
public:
    OverlaidFile(OpenFile& base, const std::vector<FilePatch>& writes) : m_base(base), m_writes(writes) {}
    bool read(std::uint64_t position, MutableByteSpan destination) override {
        if (!m_base.read(position, destination)) {
            m_error = m_base.error();
            return false;
        }
        const std::uint64_t end = position + destination.size();
        for (const FilePatch& w : m_writes) {
            const std::uint64_t from = std::max(position, w.position);
            const std::uint64_t to = std::min(end, w.position + w.bytes.size());
            for (std::uint64_t at = from; at < to; ++at) destination[at - position] = w.bytes[at - w.position];
        }
        return true;
    }
    bool write(std::uint64_t, ByteSpan) override { return false; }
    bool flush() override { return false; }
    std::uint64_t size() const override { return m_base.size(); }

private:
    OpenFile& m_base;
    const std::vector<FilePatch>& m_writes;
};

struct Range {
    std::uint64_t start, end;
};

// The records of the bytes that differ between `a` and `b` within the ranges (ascending, apart).
std::optional<Patch> diffWithin(OpenFile& a, OpenFile& b, const std::vector<Range>& ranges, std::string description,
                                std::string& error) {
    Patch patch;
    patch.description = std::move(description);
    patch.hasUndo = true;
    Bytes check(kCheckBlockSize);
    if (fitsIn(a.size(), kCheckBlockOffset, kCheckBlockSize)) {
        if (!a.read(kCheckBlockOffset, check)) {
            error = a.error();
            return std::nullopt;
        }
        patch.checkBlock = check;
    }
    std::uint64_t encoded = kRecordsAfterCheck;
    Bytes newRun, oldRun;
    std::uint64_t runStart = 0;
    const auto closeRun = [&] {
        if (newRun.empty()) return;
        Record r{runStart, patch.data.size(), patch.data.size() + newRun.size(),
                 static_cast<std::uint8_t>(newRun.size())};
        patch.data.insert(patch.data.end(), newRun.begin(), newRun.end());
        patch.data.insert(patch.data.end(), oldRun.begin(), oldRun.end());
        patch.records.push_back(r);
        encoded += 9 + 2 * newRun.size();
        newRun.clear();
        oldRun.clear();
    };
    Bytes chunkA(kDiffChunk), chunkB(kDiffChunk);
    for (const Range& range : ranges) {
        for (std::uint64_t at = range.start; at < range.end; at += kDiffChunk) {
            const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kDiffChunk, range.end - at));
            const MutableByteSpan partA(chunkA.data(), n), partB(chunkB.data(), n);
            if (!a.read(at, partA) || !b.read(at, partB)) {
                error = !a.error().empty() ? a.error() : b.error();
                return std::nullopt;
            }
            for (std::size_t i = 0; i < n; ++i) {
                if (partA[i] == partB[i]) {
                    closeRun();
                    continue;
                }
                if (newRun.size() == kMaxRecordLength) closeRun();
                if (newRun.empty()) runStart = at + i;
                newRun.push_back(partB[i]);
                oldRun.push_back(partA[i]);
            }
            if (encoded > kMaxPatchFileSize) {
                error = "the images differ in too many bytes: the patch would pass " +
                        std::to_string(kMaxPatchFileSize >> 20) + " MiB";
                return std::nullopt;
            }
        }
        closeRun();
    }
    return patch;
}

}  // namespace

std::optional<Patch> diffImages(OpenFile& a, OpenFile& b, std::string description, std::string& error) {
    return diffWithin(a, b, {{0, a.size()}}, std::move(description), error);
}

std::optional<Patch> diffSinceWrites(OpenFile& image, const std::vector<FilePatch>& before, std::string description,
                                     std::string& error) {
    std::vector<Range> ranges;
    for (const FilePatch& w : before) {
        if (!fitsIn(image.size(), w.position, w.bytes.size())) {
            error = "a write passes the end of the image";
            return std::nullopt;
        }
        if (!w.bytes.empty()) ranges.push_back({w.position, w.position + w.bytes.size()});
    }
    std::ranges::sort(ranges, {}, &Range::start);
    std::vector<Range> merged;
    for (const Range& r : ranges) {
        if (!merged.empty() && r.start <= merged.back().end) merged.back().end = std::max(merged.back().end, r.end);
        else merged.push_back(r);
    }
    OverlaidFile earlier(image, before);
    return diffWithin(earlier, image, merged, std::move(description), error);
}

std::vector<std::uint64_t> touchedSectors(const std::vector<FilePatch>& writes) {
    std::vector<std::uint64_t> sectors;
    for (const FilePatch& w : writes) {
        if (w.bytes.empty()) continue;
        for (std::uint64_t s = w.position / cdsector::kSectorSize;
             s <= (w.position + w.bytes.size() - 1) / cdsector::kSectorSize; ++s)
            sectors.push_back(s);
    }
    std::ranges::sort(sectors);
    sectors.erase(std::unique(sectors.begin(), sectors.end()), sectors.end());
    return sectors;
}

std::optional<std::vector<FilePatch>> sectorsWithStaleCodes(OpenFile& image, const std::vector<std::uint64_t>& sectors,
                                                            std::string& error) {
    using namespace cdsector;
    constexpr std::size_t kModeAt = kHeaderOffset + 3;
    constexpr std::size_t kSubmodeAt = kSubheaderOffset + 2;
    constexpr std::uint8_t kForm2 = 0x20;
    constexpr std::array<std::uint8_t, kSyncSize> kSync{0,    0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                        0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0};
    std::vector<FilePatch> stale;
    Bytes sector(kSectorSize);
    for (const std::uint64_t s : sectors) {
        // A last sector cut short by the image's end holds no codes.
        if (!fitsIn(image.size(), s * kSectorSize, kSectorSize)) continue;
        if (!image.read(s * kSectorSize, sector)) {
            error = "image sector " + std::to_string(s) + " can not be read: " + image.error();
            return std::nullopt;
        }
        if (!std::equal(kSync.begin(), kSync.end(), sector.begin()) || sector[kModeAt] != 2 ||
            (sector[kSubmodeAt] & kForm2) != 0)
            continue;
        Bytes coded = sector;
        encodeTail(coded);
        if (coded != sector) stale.push_back({FileRole::Image, s * kSectorSize, std::move(coded)});
    }
    return stale;
}

std::uint64_t writeIntoBlocks(const std::vector<FilePatch>& writes, const Source& source, GameBlocks blocks) {
    using namespace cdsector;
    MessageLog quiet;
    IsoFile bootFile(quiet);
    const IsoFile* archiveFile = source.archiveFile();
    if (!archiveFile || !bootFile.Find(source.dataPath(), source.bootFileName())) {
        std::uint64_t all = 0;
        for (const FilePatch& w : writes) all += w.bytes.size();
        return all;
    }
    // Each file as a range of the image's user bytes (sector * 2048 + byte of the sector).
    struct Range {
        std::uint64_t start;
        MutableByteSpan block;
    };
    const AfsArchive& archive = source.archive();
    const std::uint64_t archiveStart = std::uint64_t{archiveFile->startSector()} * kUserDataSize;
    const Range ranges[] = {
        {std::uint64_t{bootFile.startSector()} * kUserDataSize, blocks.boot},
        {archiveStart + archive.GetOffset(blockmap::kParameterEntry), blocks.parameter},
        {archiveStart + archive.GetOffset(blockmap::kSelectEntry), blocks.select},
    };
    std::uint64_t outside = 0;
    for (const FilePatch& w : writes)
        for (std::size_t i = 0; i < w.bytes.size(); ++i) {
            const std::uint64_t position = w.position + i;
            const std::uint64_t inSector = position % kSectorSize;
            const std::uint64_t user = position / kSectorSize * kUserDataSize + inSector - kUserDataOffset;
            const bool isUserByte = inSector >= kUserDataOffset && inSector < kUserDataOffset + kUserDataSize;
            const auto range = std::ranges::find_if(ranges, [&](const Range& r) {
                return isUserByte && user >= r.start && user - r.start < r.block.size();
            });
            if (range == std::end(ranges)) ++outside;
            else range->block[user - range->start] = w.bytes[i];
        }
    return outside;
}

}  // namespace tarvo::ppf
