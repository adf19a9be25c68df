#pragma once
// Small synthetic discs for the store's tests: the three blocks at the smallest sizes the block
// map needs, filled with a pattern, inside an archive of 16257 entries on a raw image, or written
// as an export directory.

#include <algorithm>
#include <stdexcept>

#include "sample/disc_image.h"
#include "store/block_map.h"
#include "store/data_store.h"
#include "support/sample.h"
#include "support/test_blocks.h"

namespace tarvo::test {

// Bytes from a seeded generator, so that moved or lost bytes show.
inline Bytes patterned(std::size_t size, std::uint32_t seed) {
    Bytes data(size);
    std::uint32_t x = seed * 2654435761u + 1;
    for (auto& b : data) b = static_cast<std::uint8_t>((x = x * 1664525u + 1013904223u) >> 24);
    return data;
}

struct DiscBlocks : TestBlocks {
    DiscBlocks() { fillPattern(1); }
};

// `count` entries (all by default): the parameter and select data at their entries, every other
// one a shared clip.
inline Bytes makeArchive(const DiscBlocks& blocks, std::uint32_t count = blockmap::kSelectEntry + 1) {
    sample::AfsBuilder builder;
    const std::uint32_t clip = builder.addBlob(patterned(100, 9));
    const std::uint32_t parameter = builder.addBlob(blocks.parameter);
    const std::uint32_t select = builder.addBlob(blocks.select);
    for (std::uint32_t i = 0; i < count; ++i)
        builder.addEntry(i == blockmap::kParameterEntry ? parameter
                         : i == blockmap::kSelectEntry  ? select
                                                        : clip,
                         "ENTRY" + std::to_string(i) + ".ADX");
    return builder.build(2048);
}

inline std::vector<sample::DiscFile> discFiles(const DiscBlocks& blocks, const std::string& bootName = kBootFileName,
                                               std::uint32_t archiveEntries = blockmap::kSelectEntry + 1) {
    return {{"SYSTEM.CNF", Bytes{'B', 'O', 'O', 'T'}},
            {bootName, blocks.boot},
            {"FILEDATA.AFS", makeArchive(blocks, archiveEntries)}};
}

inline std::filesystem::path writeImage(const TempDir& dir, const std::vector<sample::DiscFile>& files,
                                        const sample::DiscLayout& layout = {}) {
    const auto path = dir / "disc.bin";
    if (!sample::writeDiscImage(path, files, 0, false, layout))
        throw std::runtime_error("cannot write " + path.string());
    return path;
}

inline std::filesystem::path writeExportDir(const TempDir& dir, const DiscBlocks& blocks) {
    const auto path = dir / "exported";
    std::filesystem::create_directories(path);
    writeFile(path / kBootFileName, blocks.boot);
    writeFile(path / kParameterFileName, blocks.parameter);
    writeFile(path / kSelectFileName, blocks.select);
    return path;
}

// Sets a both-endian u32 of the root directory record of `name`: its extent (field 2) or its
// data length (10). The directory sector's codes are left stale.
inline void patchDirectoryRecord(const std::filesystem::path& image, const std::string& name, std::size_t field,
                                 std::uint32_t value) {
    Bytes raw = readFile(image);
    const std::string recordName = name + ";1";
    const auto at = std::search(raw.begin(), raw.end(), recordName.begin(), recordName.end());
    if (at == raw.end()) throw std::runtime_error("no record " + recordName);
    const auto record = static_cast<std::size_t>(at - raw.begin()) - 33;
    writeU32LE(raw, record + field, value);
    writeU32BE(raw, record + field + 4, value);
    writeFile(image, raw);
}

inline Message error(const std::string& text) { return {text, "ERROR", MessageKind::ReaderError}; }

inline std::vector<std::string> texts(const MessageLog& log) {
    std::vector<std::string> out;
    for (const auto& m : log.messages) out.push_back(m.text);
    return out;
}

}  // namespace tarvo::test
