#pragma once
// A formation: ten role codes, ten x and ten y, one per field player (squad slots 1 to 10; the
// goalkeeper in slot 0 has no entry). The boot file also holds 21 preset formations.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "store/game_blocks.h"

namespace tarvo {

using FormationRecord = std::array<std::uint8_t, 30>;  // roles 0-9, x 10-19, y 20-29

inline constexpr int kFormationPositions = 10;
inline constexpr int kFormationXMin = 2, kFormationXMax = 47;  // the editor keeps moves inside
inline constexpr int kFormationYMin = 6, kFormationYMax = 99;

struct Role {
    std::uint8_t code;
    std::string_view label;
};
inline constexpr int kRoleCount = 33;
extern const std::array<Role, kRoleCount> kRoles;  // in the editor's list order, "CB" first
std::string_view roleLabel(std::uint32_t code);    // empty for a code not in the table
std::optional<int> roleListIndex(std::uint32_t code);

// The formation editor's limits for one byte of a formation record: a role code of its role list,
// x 2 to 47, y 6 to 99. Why `value` may not be stored there, or nullopt.
std::optional<std::string> formationValueRefusal(int byte, std::int64_t value);

// The formation list: entry 0 "default" (the team's own), entries 1 to 21 the presets.
inline constexpr int kFormationListSize = 22;
extern const std::array<std::string_view, kFormationListSize> kFormationNames;
// Preset p (1 to 21): roles from bytes 1 to 10 of the p-th 11-byte role entry, then 20 coordinates.
FormationRecord presetFormation(const GameBlocks& blocks, int preset);

}  // namespace tarvo
