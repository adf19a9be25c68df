#include <algorithm>
#include <numeric>
#include <vector>

#include "records/name_slot.h"
#include "records/team.h"
#include "sample_content.h"
#include "sample_names.h"
#include "store/team_table.h"

namespace tarvo::sample {
namespace {

constexpr std::uint64_t kTeamSeed = 0x5EED0002;
constexpr std::size_t kNoClubNameOffset = 48;  // the 2-byte slot that rows without a club name show
constexpr int kFirstSubstituteNumber = 12;
constexpr int kHighestShirt = 99;

void fillNames(const GameBlocks& blocks, int row) {
    const auto slotLength = TeamTable[static_cast<std::size_t>(row)].teamNameLength;
    storeTeamName(blocks, row, teamNameOfRow(row, slotLength));
    storeShortName(blocks, row, shortNameOfRow(row));
    if (isClub(row)) storeClubName(blocks, row, clubNameOfRow(row));
}

// National squads are full; a club plays with 23 to 40 players, taken in turn from the players
// after the national squads and then, wrapping around, from the national players.
void fillSquad(const GameBlocks& blocks, int row, std::uint32_t& nextClubPlayer, SampleRandom& rng) {
    const int slots = squadSize(row);
    const int filled = teamKind(row) == TeamKind::National ? slots : rng.range(blockmap::kNationalSquadSize, slots);
    for (int slot = 0; slot < slots; ++slot) {
        std::uint32_t id = 0;
        if (teamKind(row) == TeamKind::National) {
            id = static_cast<std::uint32_t>(row) * blockmap::kNationalSquadSize + static_cast<std::uint32_t>(slot) + 1;
        } else if (slot < filled) {
            id = nextClubPlayer;
            nextClubPlayer = nextClubPlayer % blockmap::kPlayerCount + 1;
        }
        setSquadId(blocks, row, slot, id);
    }

    // Shirts: 1 to 11 for the first eleven, the substitutes other numbers up to 99.
    std::vector<int> numbers(kHighestShirt - kFirstSubstituteNumber + 1);
    std::iota(numbers.begin(), numbers.end(), kFirstSubstituteNumber);
    for (std::size_t i = numbers.size() - 1; i > 0; --i)
        std::swap(numbers[i], numbers[static_cast<std::size_t>(rng.range(0, static_cast<int>(i)))]);
    const bool national = teamKind(row) == TeamKind::National;
    for (int slot = 0; slot < slots; ++slot) {
        int shirt = slot + 1;
        if (!national && slot >= kFirstSubstituteNumber - 1)
            shirt = numbers[static_cast<std::size_t>(slot - (kFirstSubstituteNumber - 1))];
        storeShirt(blocks, row, slot, shirt);
    }
}

void fillTactics(const GameBlocks& blocks, int row, SampleRandom& rng) {
    if (hasTactics(row)) {
        for (int k = 0; k < kTacticsCount; ++k)
            storeTactics(blocks, row, k,
                         rng.chance(80) ? rng.range(8, 15) : rng.range(kTacticsShownMin, kTacticsShownMax));
    }
    for (int k = 0; k < kSetPieceCount; ++k) storeSetPiece(blocks, row, k, rng.range(0, kSetPieceChoices - 1));
}

// One of the preset shapes, each position moved a little.
void fillFormation(const GameBlocks& blocks, int row, SampleRandom& rng) {
    FormationRecord formation = presetShape(rng.range(1, blockmap::kPresetCount));
    for (int k = 0; k < kFormationPositions; ++k) {
        auto& x = formation[static_cast<std::size_t>(kFormationPositions + k)];
        auto& y = formation[static_cast<std::size_t>(2 * kFormationPositions + k)];
        x = static_cast<std::uint8_t>(std::clamp(x + rng.range(-2, 2), kFormationXMin, kFormationXMax));
        y = static_cast<std::uint8_t>(std::clamp(y + rng.range(-3, 3), kFormationYMin, kFormationYMax));
    }
    storeFormation(blocks, row, formation);
}

}  // namespace

void fillTeams(const GameBlocks& blocks) {
    SampleRandom rng(kTeamSeed);
    std::uint32_t nextClubPlayer = kNationalPlayers + 1;
    for (int row = 0; row < blockmap::kTeamRows; ++row) {
        fillNames(blocks, row);
        fillSquad(blocks, row, nextClubPlayer, rng);
        fillTactics(blocks, row, rng);
        fillFormation(blocks, row, rng);
    }
    const std::uint8_t dash[] = {'-'};
    storeNameSlot(blocks.parameter.subspan(kNoClubNameOffset, 2), dash);
}

}  // namespace tarvo::sample
