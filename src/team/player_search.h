#pragma once
// Finding players by part of a name or by ID, with the team slots that hold each one.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/game_blocks.h"

namespace tarvo {

struct SquadPlace {
    int row;   // team row, 0 to 105
    int slot;  // squad slot of that row
    bool operator==(const SquadPlace&) const = default;
};

struct PlayerMatch {
    std::uint32_t id;
    std::string fullName;            // UTF-8
    std::string backName;            // UTF-8
    std::vector<SquadPlace> places;  // every team slot that holds the player, by row then slot
};

// The players whose ID is `text` (digits only) or whose full or back name holds `text` (UTF-8;
// ASCII letters compared without case, everything else as typed), by ID. Empty text finds none.
std::vector<PlayerMatch> findPlayers(const GameBlocks& blocks, std::string_view text);

}  // namespace tarvo
