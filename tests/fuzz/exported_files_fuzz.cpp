// The exported folder's three files, cut, grown, edited or missing: a refused folder is left as
// it was; a loaded one holds the files' bytes, and after an edit of each block the write-back
// leaves each file equal to its block, which a fresh load reads back.

#include "store_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvo;
    static const std::array<std::string, 3> names{kBootFileName, kParameterFileName, kSelectFileName};
    static const std::array<Bytes, 3> base{fuzz::readFile(fuzz::sampleDisc() / "exported" / names[0]),
                                           fuzz::readFile(fuzz::sampleDisc() / "exported" / names[1]),
                                           fuzz::readFile(fuzz::sampleDisc() / "exported" / names[2])};
    fuzz::Input in(data, size);
    const std::uint32_t where = in.u32();
    const std::uint8_t missing = in.u8();
    std::array<Bytes, 3> files = base;
    for (auto& file : files)
        file.resize(static_cast<std::size_t>(std::max<long>(0, long(file.size()) + std::int16_t(in.u16()))), 0xAB);
    Bytes joined;  // edits address the three files one after the other
    for (const auto& file : files) joined.insert(joined.end(), file.begin(), file.end());
    fuzz::applyEdits(in, joined, [](std::uint8_t, std::uint32_t offset) { return std::size_t(offset); });
    const auto dir = fuzz::workDir() / "exported";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::size_t at = 0;
    for (std::size_t f = 0; f < 3; ++f) {
        const std::size_t n = std::min(files[f].size(), joined.size() - std::min(at, joined.size()));
        files[f].assign(joined.begin() + long(std::min(at, joined.size())),
                        joined.begin() + long(std::min(at, joined.size()) + n));
        at += n;
        if (missing & (1u << f)) continue;
        fuzz::writeFile(dir / names[f], files[f]);
    }
    const auto unchanged = [&] {
        for (std::size_t f = 0; f < 3; ++f) {
            if (missing & (1u << f)) continue;
            if (fuzz::readFile(dir / names[f]) != files[f]) return false;
        }
        return true;
    };

    MessageLog log;
    DataStore store(log);
    if (!store.LoadFromDirectory(dir)) {
        FUZZ_CHECK(unchanged());
        return 0;
    }
    FUZZ_CHECK(std::ranges::equal(store.boot(), files[0]) && std::ranges::equal(store.parameter(), files[1]) &&
               std::ranges::equal(store.select(), files[2]));
    fuzz::editBlocks(store, where);
    FUZZ_CHECK(store.SaveToDirectory());
    FUZZ_CHECK(fuzz::readFile(dir / names[0]) == fuzz::copyOf(store.boot()));
    FUZZ_CHECK(fuzz::readFile(dir / names[1]) == fuzz::copyOf(store.parameter()));
    FUZZ_CHECK(fuzz::readFile(dir / names[2]) == fuzz::copyOf(store.select()));
    DataStore reloaded(log);
    FUZZ_CHECK(reloaded.LoadFromDirectory(dir));
    FUZZ_CHECK(fuzz::sameBlocks(store, reloaded));
    return 0;
}
