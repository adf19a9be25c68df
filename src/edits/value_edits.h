#pragma once
// The checks of NAME=VALUE assignments to a player or a team row, by one set of rules for every way
// an edit comes in (set-player, set-team, a spreadsheet, a patch): every assignment is checked
// before any is stored, so that a refused one leaves the data as they were.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "edits/input_text.h"
#include "store/game_blocks.h"

namespace tarvo {

// Assignments that passed their checks, to be stored together; or the first one refused.
struct CheckedChanges {
    std::function<void(const GameBlocks&)> store;  // stores every assignment; empty when one is refused
    std::optional<std::size_t> refusedAt;          // the index of the refused assignment
    std::string refusal;                           // why it is refused
};

// Checks NAME=VALUE for player `id`: NAME is "full name", "back name", "call number" or a player
// field; a number within what the editor allows. The face's bound follows the skin the player will
// have once all of them are stored (the skin among them, else the one `blocks` hold).
CheckedChanges checkPlayerChanges(const GameBlocks& blocks, std::uint32_t id, std::span<const Assignment> assignments);
// Checks NAME=VALUE for the row: NAME is a value of the field table, or "slot N <value>" for a squad
// slot's value (slots from 1).
CheckedChanges checkTeamChanges(int row, std::span<const Assignment> assignments);

}  // namespace tarvo
