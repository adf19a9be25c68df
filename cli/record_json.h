#pragma once
// A player's and a team row's values as the commands show them in JSON.

#include <cstdint>

#include <nlohmann/json.hpp>

#include "store/game_blocks.h"

namespace tarvo::cli {

// `player --json`: ID, names and their bytes, call number and the 70 fields.
nlohmann::ordered_json playerObject(const GameBlocks& blocks, std::uint32_t id);
// `team --json`: names, tactics, set pieces, formation and squad of a row.
nlohmann::ordered_json teamDetails(const GameBlocks& blocks, int row);

}  // namespace tarvo::cli
