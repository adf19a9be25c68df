#pragma once
// The invented contents of the sample disc's three blocks, written through the records layer so
// that every second copy equals its primary copy.

#include <cstdint>

#include "records/formation.h"
#include "store/block_map.h"
#include "store/data_store.h"

namespace tarvo::sample {

// Players 1 to 1495 make up the national squads in order: row r holds players 23r + 1 to 23r + 23.
inline constexpr std::uint32_t kNationalPlayers = blockmap::kNationalRows * blockmap::kNationalSquadSize;
inline constexpr int nationalRowOfPlayer(std::uint32_t id) {
    return id <= kNationalPlayers ? static_cast<int>((id - 1) / blockmap::kNationalSquadSize) : -1;
}
inline constexpr int nationalSlotOfPlayer(std::uint32_t id) {
    return static_cast<int>((id - 1) % blockmap::kNationalSquadSize);
}

// A formation shaped after the list name of preset p (1 to 21): "4-4-2-A" has four defenders,
// four midfielders and two forwards; the letter picks one of the shape's variants.
FormationRecord presetShape(int preset);

void fillPlayers(const GameBlocks& blocks);
void fillTeams(const GameBlocks& blocks);
// The 21 presets of the boot file, which the editor only reads.
void fillPresets(const GameBlocks& blocks);

}  // namespace tarvo::sample
