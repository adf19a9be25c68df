// The team file: a refused file (of another form, or with a value the game could not read) leaves
// the blocks byte for byte as they were; an accepted one is stored in its row with every second
// copy equal to its primary, and storing the file built from the result again changes nothing.

#include <algorithm>

#include "fuzz_support.h"
#include "records/player.h"
#include "records/team.h"
#include "team/team_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvo;
    static const fuzz::Blocks original;
    static fuzz::Blocks blocks, stored;
    blocks.copyFrom(original);
    const ByteSpan file(data, size);
    const auto checked = checkTeamFile(file);
    const FileImport loaded = applyTeamFile(blocks.view(), file);
    FUZZ_CHECK(loaded.row == checked && loaded.known == checked.has_value());
    const auto row = loaded.stored() ? loaded.row : std::nullopt;
    if (!row) {
        FUZZ_CHECK(blocks == original);
        return 0;
    }
    const GameBlocks view = blocks.view();
    for (int slot = 0; slot < squadSize(*row); ++slot) {
        const std::uint16_t id = readSquadId(view, *row, slot);
        if (*row < blockmap::kNationalRows)
            FUZZ_CHECK(readU16LE(blocks.boot, blockmap::kNationalSquadCopyOffset + 80 * std::size_t(*row) +
                                                  2 * std::size_t(slot)) == id);
        FUZZ_CHECK(id <= blockmap::kPlayerCount);
        if (id == 0) continue;
        const std::size_t n = id - 1u;
        FUZZ_CHECK(std::equal(blocks.parameter.begin() + long(blockmap::kRecordOffset + 44 * n),
                              blocks.parameter.begin() + long(blockmap::kRecordOffset + 44 * n + 44),
                              blocks.boot.begin() + long(blockmap::kRecordCopyOffset + 44 * n)));
        FUZZ_CHECK(std::equal(blocks.parameter.begin() + long(blockmap::kFullNameOffset + 31 * n),
                              blocks.parameter.begin() + long(blockmap::kFullNameOffset + 31 * n + 31),
                              blocks.select.begin() + long(blockmap::kFullNameCopyOffset + 31 * n)));
    }
    const Bytes rebuilt = buildTeamFile(view, *row);
    stored.copyFrom(blocks);
    FUZZ_CHECK(applyTeamFile(blocks.view(), rebuilt).stored());
    FUZZ_CHECK(blocks == stored);
    return 0;
}
