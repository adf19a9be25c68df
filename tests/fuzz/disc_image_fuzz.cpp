// A disc image in memory changed by the fuzzer's edits: its volume descriptor, the root directory's
// records, the archive's head and entry table, the two entries' extents, anywhere, or a cut. The
// image is a small disc made once: the sample's boot file and an archive of the game's 16,257
// entries, all but the parameter and select data one short clip. A refused image is left as it
// was; a loaded one (one input in four), after an edit of each block, is written back only into
// the sectors of the three files, leaves no journal, and a fresh load reads back what was written.

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

#include "sample/disc_image.h"
#include "store/iso_file.h"
#include "store_fuzz_support.h"

namespace {

using namespace tarvo;

struct Disc {
    fuzz::MemoryFile image;
    std::uint64_t archiveSector = 0;
    std::uint32_t entries = 0;
};

// The image path, an empty file on the disk: the store takes the source's lock by its identity.
const std::filesystem::path& imagePath() {
    static const std::filesystem::path path = [] {
        fuzz::writeFile(fuzz::workDir() / "image.bin", {});
        return std::filesystem::canonical(fuzz::workDir() / "image.bin");
    }();
    return path;
}

const Disc& baseDisc() {
    static const Disc disc = [] {
        const sample::SampleBlocks& blocks = fuzz::sampleBlocks();
        sample::AfsBuilder archive;
        const std::uint32_t clip = archive.addBlob(Bytes(100, 0x5A));
        const std::uint32_t parameter = archive.addBlob(blocks.parameter);
        const std::uint32_t select = archive.addBlob(blocks.select);
        for (std::uint32_t i = 0; i <= blockmap::kSelectEntry; ++i)
            archive.addEntry(i == blockmap::kParameterEntry ? parameter
                             : i == blockmap::kSelectEntry  ? select
                                                            : clip,
                             "VOICE" + std::to_string(i) + ".ADX");
        Disc made;
        made.image.write(0, sample::buildDiscImage({{"SYSTEM.CNF", Bytes{'B', 'O', 'O', 'T'}},
                                                    {kBootFileName, blocks.boot},
                                                    {"FILEDATA.AFS", archive.build()}}));
        fuzz::MemoryFiles files;
        files.files[imagePath()] = std::make_shared<fuzz::MemoryFile>(made.image);
        MessageLog log;
        DataStore store(log, files);
        FUZZ_CHECK(store.LoadFromImage(imagePath()));
        made.archiveSector = store.source()->archiveFile()->startSector();
        made.entries = store.archive().entryCount();
        return made;
    }();
    return disc;
}

// The first and last sector of a file or an entry.
using Extent = std::pair<std::uint64_t, std::uint64_t>;

// Whether every sector where `now` and `was` (read at `at` in the image) differ is one of
// `allowed`. Checking, not tested code: untraced.
FUZZ_NO_COVERAGE bool changesOnlyIn(ByteSpan now, ByteSpan was, std::uint64_t at, std::uint64_t sectorSize,
                                    const std::vector<Extent>& allowed) {
    for (std::size_t i = 0, n = 0; i < now.size(); i += n) {
        n = static_cast<std::size_t>(std::min<std::uint64_t>(sectorSize - (at + i) % sectorSize, now.size() - i));
        if (std::memcmp(now.data() + i, was.data() + i, n) == 0) continue;
        const std::uint64_t sector = (at + i) / sectorSize;
        if (std::ranges::none_of(allowed, [&](const Extent& e) { return sector >= e.first && sector <= e.second; }))
            return false;
    }
    return true;
}

// The position in the raw image of user byte `byte` counted from the start of `sector`.
std::uint64_t userByte(std::uint64_t sector, std::uint64_t byte) {
    return (sector + byte / 2048) * 2352 + 24 + byte % 2048;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Disc& base = baseDisc();
    fuzz::Input in(data, size);
    const std::uint32_t where = in.u32();
    const fuzz::Stores::ForInput input;
    auto& [files, log, store, reloaded] = input.stores;
    const auto image = std::make_shared<fuzz::MemoryFile>(base.image);
    files.files[imagePath()] = image;
    fuzz::applyEdits(in, *image, [&](std::uint8_t kind, std::uint32_t offset) -> std::uint64_t {
        const std::uint64_t tableEnd = 8 + 8 * std::uint64_t{base.entries} + 8;  // with the name table's place
        switch (kind % 6) {
        case 0: return userByte(16, offset % 2048);  // the primary volume descriptor
        case 1: return userByte(22, offset % 2048);  // the root directory's records
        case 2: return userByte(base.archiveSector, offset % 16);
        case 3: return userByte(base.archiveSector, 8 + 8 * 16253 + offset % 32);  // entries 16253 to 16256
        case 4: return userByte(base.archiveSector, offset % tableEnd);
        default: return offset;
        }
    });
    const fuzz::MemoryFile before = *image;

    if (!store.LoadFromImage(imagePath())) {
        FUZZ_CHECK(!fuzz::changedSince(*image, before));
        return 0;
    }
    if (!fuzz::writesBack(ByteSpan(data, size))) return 0;
    // The sectors the write-back may touch: the boot file's and the two archive entries'.
    std::vector<Extent> allowed;
    const auto addExtent = [&](std::uint64_t firstSector, std::uint64_t offset, std::uint64_t bytes) {
        if (bytes > 0) allowed.emplace_back(firstSector + offset / 2048, firstSector + (offset + bytes - 1) / 2048);
    };
    IsoFile boot(log, files);
    FUZZ_CHECK(boot.Find(imagePath(), store.bootFileName()));
    addExtent(boot.startSector(), 0, boot.fileSize());
    AfsArchive& archive = store.archive();
    for (std::uint32_t entry : {blockmap::kParameterEntry, blockmap::kSelectEntry})
        addExtent(store.source()->archiveFile()->startSector(), archive.GetOffset(entry), archive.GetSize(entry));

    fuzz::editBlocks(store, where);
    // Kept from one input to the next, so that no input takes their memory afresh.
    static std::array<Bytes, 3> edited;
    assignBytes(edited[0], store.boot());
    assignBytes(edited[1], store.parameter());
    assignBytes(edited[2], store.select());
    const bool saved = store.SaveToImage();
    FUZZ_CHECK(std::ranges::equal(store.boot(), edited[0]) && std::ranges::equal(store.parameter(), edited[1]) &&
               std::ranges::equal(store.select(), edited[2]));
    if (!saved) return 0;
    FUZZ_CHECK(image->size() == before.size() && files.files.size() == 1);
    // A raw image's sectors are 2352 bytes; a cooked one's 2048.
    const std::uint64_t sectorSize = store.source()->kind() == SourceKind::CookedImage ? 2048 : 2352;
    Bytes now(fuzz::MemoryFile::kPageSize), was(fuzz::MemoryFile::kPageSize);
    image->forEachChangedPage(before, [&](std::uint64_t at) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(now.size(), image->size() - at));
        image->read(at, MutableByteSpan(now).first(n));
        before.read(at, MutableByteSpan(was).first(n));
        FUZZ_CHECK(changesOnlyIn(ByteSpan(now).first(n), ByteSpan(was).first(n), at, sectorSize, allowed));
    });

    FUZZ_CHECK(reloaded.LoadFromImage(imagePath()));
    FUZZ_CHECK(fuzz::sameBlocks(store, reloaded));
    return 0;
}
