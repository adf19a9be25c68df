#include "records/verify.h"

#include <algorithm>
#include <array>
#include <system_error>

#include "records/player.h"
#include "records/team.h"
#include "store/block_map.h"
#include "store/file_io.h"
#include "store/team_table.h"

namespace tarvo {

namespace fs = std::filesystem;

namespace {

using namespace blockmap;

struct PlayerTable {
    const char* field;
    std::size_t size;
    MutableByteSpan GameBlocks::*copyBlock;
    std::size_t offset, copyOffset;
};

// The per-player tables: the primary in the parameter data, the copy in the select data or, for
// the record, in the boot file.
constexpr std::array<PlayerTable, 4> kPlayerTables{{
    {"full name", kFullNameSize, &GameBlocks::select, kFullNameOffset, kFullNameCopyOffset},
    {"back name", kBackNameSize, &GameBlocks::select, kBackNameOffset, kBackNameCopyOffset},
    {"call number", kCallNumberSize, &GameBlocks::select, kCallNumberOffset, kCallNumberCopyOffset},
    {"record", kRecordSize, &GameBlocks::boot, kRecordOffset, kRecordCopyOffset},
}};

std::string rowName(int row) {
    return "team row " + std::to_string(row) + " (" + std::string(TeamTable[static_cast<std::size_t>(row)].label) + ")";
}

}  // namespace

std::vector<VerifyFinding> mirrorDifferences(const GameBlocks& blocks) {
    std::vector<VerifyFinding> out;
    for (std::uint32_t id = 1; id <= kPlayerCount; ++id)
        for (const PlayerTable& t : kPlayerTables) {
            const ByteSpan primary = ByteSpan(blocks.parameter).subspan(t.offset + t.size * (id - 1), t.size);
            const ByteSpan copy = ByteSpan(blocks.*t.copyBlock).subspan(t.copyOffset + t.size * (id - 1), t.size);
            if (std::ranges::equal(primary, copy)) continue;
            const std::string where = "player " + std::to_string(id);
            out.push_back({"mirror", where, t.field, where + ": the second copy of the " + t.field + " differs"});
        }
    // The team values kept twice, as the field table names them (national squads, club names).
    for (std::size_t i = 0; i < kTeamFields.size(); ++i) {
        const TeamField& f = kTeamFields[i];
        if (!f.copy) continue;
        const auto field = static_cast<TeamFieldId>(i);
        for (int row = 0; row < kTeamRows; ++row)
            for (int slot = 0; slot < (f.perSlot ? squadSize(row) : 1); ++slot) {
                const ByteSpan primary = teamFieldSlot(blocks, field, row, slot);
                const ByteSpan copy = teamFieldCopySlot(blocks, field, row, slot);
                if (copy.empty() || std::ranges::equal(primary, copy)) continue;
                const std::string where = rowName(row) + (f.perSlot ? " slot " + std::to_string(slot) : "");
                out.push_back({"mirror", where, std::string(f.name),
                               where + ": the second copy of the " + std::string(f.name) + " differs"});
            }
    }
    return out;
}

std::vector<VerifyFinding> sectorFaults(const DataStore& store) {
    std::vector<VerifyFinding> out;
    if (!store.source()) return out;
    for (SectorFault& fault : store.source()->sectorFaults())
        out.push_back({"sector", std::move(fault.where), std::move(fault.field), std::move(fault.text)});
    return out;
}

std::vector<VerifyFinding> verifySource(const fs::path& given, FileAccess& files) {
    MessageLog log;
    std::string error;
    const auto source = openSource(given, log, error, files);
    if (!source) return {{"load", utf8Path(given), "", error}};
    const fs::path journal = journalPathOf(source->dataPath());
    std::string detail;
    switch (journalState(files, journal, detail)) {
    case JournalState::None: break;
    case JournalState::Left:
        return {{"journal", utf8Path(journal), "interrupted",
                 "a journal of an interrupted write is left: " + utf8Path(journal) +
                     "; undo that write, then verify again"}};
    case JournalState::Unusable: return {{"journal", utf8Path(journal), "unusable", detail}};
    }
    DataStore store(log, files);
    if (!store.load(given)) {
        // The store's own reasons: a block shorter than the editor needs, a file not found, ...
        std::vector<VerifyFinding> out;
        for (const Message& message : log.messages) out.push_back({"load", utf8Path(given), "", message.text});
        return out;
    }
    auto out = mirrorDifferences(store.blocks());
    const auto sectors = sectorFaults(store);
    out.insert(out.end(), sectors.begin(), sectors.end());
    return out;
}

}  // namespace tarvo
