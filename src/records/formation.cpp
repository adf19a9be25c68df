#include "records/formation.h"

#include <algorithm>

#include "store/block_map.h"

namespace tarvo {

const std::array<Role, kRoleCount> kRoles{{
    {4, "CB"},    {3, "CB_L1"},  {2, "CB_L"},   {8, "CB_R"},   {7, "CB_R1"},  {5, "SW"},    {6, "LIB"},
    {9, "LB"},    {10, "RB"},    {13, "DH"},    {12, "DH_L1"}, {11, "DH_L"},  {15, "DH_R"}, {14, "DH_R1"},
    {18, "CH"},   {17, "CH_L1"}, {16, "CH_L"},  {20, "CH_R"},  {19, "CH_R1"}, {21, "LH"},   {22, "RH"},
    {25, "OH"},   {24, "OH_L1"}, {23, "OH_L"},  {27, "OH_R"},  {26, "OH_R1"}, {30, "CF"},   {29, "CF_L1"},
    {28, "CF_L"}, {32, "CF_R"},  {31, "CF_R1"}, {33, "LW"},    {34, "RW"},
}};

std::optional<int> roleListIndex(std::uint32_t code) {
    for (int i = 0; i < kRoleCount; ++i)
        if (kRoles[static_cast<std::size_t>(i)].code == code) return i;
    return std::nullopt;
}

std::string_view roleLabel(std::uint32_t code) {
    const auto index = roleListIndex(code);
    return index ? kRoles[static_cast<std::size_t>(*index)].label : std::string_view{};
}

namespace {
// The three parts of a formation record, ten bytes each: role codes, x, y.
constexpr std::array<std::string_view, 3> kFormationParts{"role", "x", "y"};
}  // namespace

std::optional<std::string> formationValueRefusal(int byte, std::int64_t value) {
    const int part = byte / kFormationPositions;
    const std::string name =
        std::string("formation ") + std::string(kFormationParts[static_cast<std::size_t>(part) % 3]);
    switch (part) {
    case 0:
        if (value >= 0 && value <= 0xFF && roleListIndex(static_cast<std::uint32_t>(value))) return std::nullopt;
        return name + " should be a role code of the role list (" + std::to_string(kRoles.front().code) + " to " +
               std::to_string(kRoles.back().code) + ")";
    case 1:
        if (value >= kFormationXMin && value <= kFormationXMax) return std::nullopt;
        return name + " should be " + std::to_string(kFormationXMin) + " to " + std::to_string(kFormationXMax);
    case 2:
        if (value >= kFormationYMin && value <= kFormationYMax) return std::nullopt;
        return name + " should be " + std::to_string(kFormationYMin) + " to " + std::to_string(kFormationYMax);
    }
    return "a formation record has 30 bytes";
}

const std::array<std::string_view, kFormationListSize> kFormationNames{
    "default", "4-5-1-A", "4-5-1-B", "4-4-2-A", "4-4-2-B", "4-4-2-C", "4-3-3-A", "4-3-3-B",
    "4-3-3-B", "3-6-1-A", "3-6-1-B", "3-5-2-A", "3-5-2-B", "3-4-3-A", "3-4-3-B", "3-4-3-C",
    "5-4-1-A", "5-4-1-B", "5-4-1-C", "5-3-2-A", "5-3-2-B", "5-3-2-C"};

FormationRecord presetFormation(const GameBlocks& blocks, int preset) {
    using namespace blockmap;
    FormationRecord formation{};
    if (preset < 1 || preset > kPresetCount) return formation;
    const auto index = static_cast<std::size_t>(preset - 1);
    // Byte 0 of each 11-byte role entry is not a role; the ten roles follow it.
    const std::size_t rolesAt = kPresetRolesOffset + kPresetRolesStride * index + 1;
    const std::size_t positionsAt = kPresetPositionsOffset + kPresetPositionsStride * index;
    if (!fitsIn(blocks.boot.size(), rolesAt, kFormationPositions) ||
        !fitsIn(blocks.boot.size(), positionsAt, kPresetPositionsStride))
        return formation;
    const auto roles = blocks.boot.subspan(rolesAt, kFormationPositions);
    const auto positions = blocks.boot.subspan(positionsAt, kPresetPositionsStride);
    std::copy(roles.begin(), roles.end(), formation.begin());
    std::copy(positions.begin(), positions.end(), formation.begin() + kFormationPositions);
    return formation;
}

}  // namespace tarvo
