#pragma once
// A player's and a team row's values as the commands show them, and the checks of one NAME=VALUE
// change: shared by set-player, set-team and the spreadsheet import, so that each value has one
// set of rules.

#include <cstdint>
#include <functional>
#include <string>
#include <variant>

#include <nlohmann/json.hpp>

#include "edit_support.h"
#include "records/player.h"
#include "store/game_blocks.h"

namespace tarvo::cli {

// `player --json`: ID, names and their bytes, call number and the 70 fields.
nlohmann::ordered_json playerObject(const GameBlocks& blocks, std::uint32_t id);
// `team --json`: names, tactics, set pieces, formation and squad of a row.
nlohmann::ordered_json teamDetails(const GameBlocks& blocks, int row);

// One checked change; applied only after every change of the command has been checked.
using PlayerChange = std::function<void(const GameBlocks&, Player&)>;
using TeamChange = std::function<void(const GameBlocks&)>;

// Checks NAME=VALUE for player `id`: the change, or the refusal text. The face's bound follows
// `skin`, the skin the player will have once the command is done.
std::variant<PlayerChange, std::string> checkPlayerChange(std::uint32_t id, const Assignment& a, std::uint32_t skin);
// The skin a player will have: `text` when it is a skin the editor allows, else `now`.
std::uint32_t skinAfter(std::uint32_t now, const std::string& text);
// Checks NAME=VALUE for the row: the change, or the refusal text. NAME is a value of the field
// table, or "slot N <value>" for a squad slot's value (slots from 1).
std::variant<TeamChange, std::string> checkTeamChange(int row, const Assignment& a);

}  // namespace tarvo::cli
