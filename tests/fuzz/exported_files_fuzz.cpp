// The exported folder's three files, in memory, cut, grown, edited or missing: a refused folder is
// left as it was; a loaded one holds the files' bytes, and (one input in four) after an edit of each
// block the write-back leaves each file equal to its block, which a fresh load reads back.

#include "store_fuzz_support.h"

namespace {

using namespace tarvo;

const std::array<std::string, 3> kNames{kBootFileName, kParameterFileName, kSelectFileName};

// The folder, an empty one on the disk: the store takes the source's lock by its identity.
const std::filesystem::path& folder() {
    static const std::filesystem::path dir = [] {
        std::filesystem::create_directories(fuzz::workDir() / "exported");
        return std::filesystem::canonical(fuzz::workDir() / "exported");
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::array<fuzz::MemoryFile, 3> base = [] {
        const sample::SampleBlocks& blocks = fuzz::sampleBlocks();
        std::array<fuzz::MemoryFile, 3> made;
        for (std::size_t f = 0; const Bytes* block : {&blocks.boot, &blocks.parameter, &blocks.select})
            made[f++].write(0, *block);
        return made;
    }();
    fuzz::Input in(data, size);
    const std::uint32_t where = in.u32();
    const std::uint8_t missing = in.u8();
    const fuzz::Stores::ForInput input;
    auto& [files, log, store, reloaded] = input.stores;
    std::array<std::shared_ptr<fuzz::MemoryFile>, 3> file;
    for (std::size_t f = 0; f < 3; ++f) {
        file[f] = std::make_shared<fuzz::MemoryFile>(base[f]);
        const long grown = long(file[f]->size()) + std::int16_t(in.u16());
        if (grown > long(file[f]->size())) file[f]->write(file[f]->size(), Bytes(grown - file[f]->size(), 0xAB));
        else file[f]->resize(static_cast<std::uint64_t>(std::max(0l, grown)));
    }
    // Edits address the three files one after the other; a cut cuts the file it falls in.
    while (!in.empty()) {
        const std::uint8_t kind = in.u8();
        std::uint64_t at = in.u32();
        const ByteSpan bytes = in.take(in.u8());
        const std::uint64_t total = file[0]->size() + file[1]->size() + file[2]->size();
        if (total == 0) break;
        at %= total;
        std::size_t f = 0;
        for (; at >= file[f]->size(); ++f) at -= file[f]->size();
        if (kind == 255) file[f]->resize(at);
        else file[f]->write(at, bytes.first(std::min<std::size_t>(bytes.size(), file[f]->size() - at)));
    }
    std::array<fuzz::MemoryFile, 3> before;
    for (std::size_t f = 0; f < 3; ++f) {
        before[f] = *file[f];
        if (!(missing & (1u << f))) files.files[folder() / kNames[f]] = file[f];
    }

    if (!store.LoadFromDirectory(folder())) {
        for (std::size_t f = 0; f < 3; ++f) FUZZ_CHECK(!fuzz::changedSince(*file[f], before[f]));
        return 0;
    }
    FUZZ_CHECK(file[0]->holds(store.boot()) && file[1]->holds(store.parameter()) && file[2]->holds(store.select()));
    if (!fuzz::writesBack(ByteSpan(data, size))) return 0;
    fuzz::editBlocks(store, where);
    FUZZ_CHECK(store.SaveToDirectory());
    FUZZ_CHECK(file[0]->holds(store.boot()) && file[1]->holds(store.parameter()) && file[2]->holds(store.select()));
    FUZZ_CHECK(files.files.size() == 3);  // no journal left
    FUZZ_CHECK(reloaded.LoadFromDirectory(folder()));
    FUZZ_CHECK(fuzz::sameBlocks(store, reloaded));
    return 0;
}
