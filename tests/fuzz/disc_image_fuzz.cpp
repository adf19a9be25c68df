// A disc image built from the fuzzer's bytes (edits of the sample image: its volume descriptors
// and root directory, the archive's tables, anywhere, or a cut): a refused image is left as it
// was; a loaded one, after an edit of each block, is written back only into the sectors of the
// three files, and a fresh load reads back what was written.

#include <cstring>
#include <set>

#include "store/iso_file.h"
#include "store_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvo;
    static const Bytes base = fuzz::readFile(fuzz::sampleDisc() / "sample.bin");
    static const std::uint64_t archiveSector = [] {
        MessageLog log;
        IsoFile archive(log);
        FUZZ_CHECK(archive.Find(fuzz::sampleDisc() / "sample.bin", kArchiveName));
        return archive.startSector();
    }();
    fuzz::Input in(data, size);
    const std::uint32_t where = in.u32();
    Bytes image = base;
    fuzz::applyEdits(in, image, [](std::uint8_t kind, std::uint32_t offset) -> std::size_t {
        switch (kind % 3) {
        case 0: return 16 * kSectorSize + offset % (22 * kSectorSize);            // descriptors, root directory
        case 1: return archiveSector * kSectorSize + offset % (4 * kSectorSize);  // archive tables
        default: return offset;
        }
    });
    const auto path = fuzz::workDir() / "image.bin";
    fuzz::writeFile(path, image);

    MessageLog log;
    DataStore store(log);
    if (!store.LoadFromImage(path)) {
        FUZZ_CHECK(fuzz::readFile(path) == image);
        return 0;
    }
    // The sectors the write-back may touch: the boot file's and the two archive entries'.
    std::set<std::uint64_t> allowed;
    const auto addExtent = [&](std::uint64_t firstSector, std::uint64_t offset, std::uint64_t bytes) {
        for (std::uint64_t s = offset / kUserDataSize; bytes > 0 && s <= (offset + bytes - 1) / kUserDataSize; ++s)
            allowed.insert(firstSector + s);
    };
    IsoFile boot(log);
    FUZZ_CHECK(boot.Find(path, store.bootFileName()));
    addExtent(boot.startSector(), 0, boot.fileSize());
    AfsArchive& archive = store.archive();
    for (std::uint32_t entry : {blockmap::kParameterEntry, blockmap::kSelectEntry})
        addExtent(store.source()->archiveFile()->startSector(), archive.GetOffset(entry), archive.GetSize(entry));

    fuzz::editBlocks(store, where);
    const Bytes bootBlock = fuzz::copyOf(store.boot()), parameter = fuzz::copyOf(store.parameter()),
                select = fuzz::copyOf(store.select());
    const bool saved = store.SaveToImage();
    FUZZ_CHECK(std::ranges::equal(store.boot(), bootBlock) && std::ranges::equal(store.parameter(), parameter) &&
               std::ranges::equal(store.select(), select));
    if (!saved) return 0;
    const Bytes after = fuzz::readFile(path);
    FUZZ_CHECK(after.size() == image.size());
    for (std::size_t at = 0; at < after.size(); at += kSectorSize) {
        const std::size_t n = std::min<std::size_t>(kSectorSize, after.size() - at);
        if (std::memcmp(after.data() + at, image.data() + at, n) != 0) FUZZ_CHECK(allowed.contains(at / kSectorSize));
    }

    DataStore reloaded(log);
    FUZZ_CHECK(reloaded.LoadFromImage(path));
    FUZZ_CHECK(fuzz::sameBlocks(store, reloaded));
    return 0;
}
