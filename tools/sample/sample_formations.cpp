#include <algorithm>
#include <vector>

#include "sample_content.h"

namespace tarvo::sample {
namespace {

using Line = std::vector<std::uint8_t>;  // role codes from one touch line to the other

// Role codes: 2 CB_L, 4 CB, 5 SW, 6 LIB, 8 CB_R, 9 LB, 10 RB, 11 DH_L, 13 DH, 15 DH_R, 16 CH_L,
// 18 CH, 20 CH_R, 21 LH, 22 RH, 23 OH_L, 25 OH, 27 OH_R, 28 CF_L, 29 CF_L1, 30 CF, 31 CF_R1,
// 32 CF_R, 33 LW, 34 RW. Each line size has a few variants.
const std::vector<std::vector<Line>> kDefence{
    {},
    {},
    {},
    {{2, 4, 8}, {2, 5, 8}, {2, 6, 8}},
    {{9, 2, 8, 10}, {9, 4, 5, 10}, {9, 2, 8, 10}},
    {{9, 2, 4, 8, 10}, {9, 2, 6, 8, 10}, {9, 2, 5, 8, 10}},
};
const std::vector<std::vector<Line>> kMidfield{
    {},
    {},
    {},
    {{16, 18, 20}, {13, 23, 27}, {11, 25, 15}},
    {{21, 16, 20, 22}, {21, 13, 25, 22}, {11, 15, 23, 27}},
    {{21, 11, 25, 15, 22}, {21, 16, 13, 20, 22}, {21, 11, 18, 15, 22}},
    {{21, 11, 15, 23, 27, 22}, {21, 16, 13, 25, 20, 22}, {21, 11, 15, 23, 27, 22}},
};
const std::vector<std::vector<Line>> kAttack{
    {},
    {{30}, {30}, {30}},
    {{28, 32}, {29, 31}, {30, 32}},
    {{33, 30, 34}, {28, 30, 32}, {33, 29, 34}},
};

// How far up the pitch a role plays (x runs from the own goal, 2, to the other, 47).
std::uint8_t roleDepth(std::uint8_t role) {
    if (role == 5) return 5;    // SW
    if (role == 6) return 7;    // LIB
    if (role <= 8) return 11;   // centre backs
    if (role <= 10) return 14;  // full backs
    if (role <= 15) return 21;  // defensive halves
    if (role <= 22) return 27;  // central and side halves
    if (role <= 27) return 34;  // offensive halves
    if (role <= 32) return 43;  // forwards
    return 40;                  // wings
}

const Line& pick(const std::vector<std::vector<Line>>& table, int size, int variant) {
    const auto& options =
        table.at(static_cast<std::size_t>(std::clamp<int>(size, 0, static_cast<int>(table.size()) - 1)));
    return options.at(static_cast<std::size_t>(variant) % options.size());
}

}  // namespace

FormationRecord presetShape(int preset) {
    const std::string_view name = kFormationNames.at(static_cast<std::size_t>(preset));  // "4-4-2-A"
    int variant = name.back() - 'A';
    if (preset > 1 && kFormationNames.at(static_cast<std::size_t>(preset - 1)) == name)
        ++variant;  // a second "4-3-3-B"
    const int defenders = name[0] - '0', midfielders = name[2] - '0', forwards = name[4] - '0';

    FormationRecord record{};
    std::size_t k = 0;
    for (const Line* line : {&pick(kDefence, defenders, variant), &pick(kMidfield, midfielders, variant),
                             &pick(kAttack, forwards, variant)}) {
        const int n = static_cast<int>(line->size());
        for (int i = 0; i < n && k < kFormationPositions; ++i, ++k) {
            const std::uint8_t role = (*line)[static_cast<std::size_t>(i)];
            record[k] = role;
            record[kFormationPositions + k] = static_cast<std::uint8_t>(roleDepth(role) + variant);
            // Spread the line across the pitch, 6 to 99, wider for the longer lines.
            record[2 * kFormationPositions + k] =
                static_cast<std::uint8_t>(kFormationYMin + (i + 1) * (kFormationYMax - kFormationYMin) / (n + 1));
        }
    }
    return record;
}

void fillPresets(const GameBlocks& blocks) {
    for (int p = 1; p <= blockmap::kPresetCount; ++p) {
        const FormationRecord shape = presetShape(p);
        const auto index = static_cast<std::size_t>(p - 1);
        auto roles = blocks.boot.subspan(blockmap::kPresetRolesOffset + index * blockmap::kPresetRolesStride,
                                         blockmap::kPresetRolesStride);
        roles[0] = static_cast<std::uint8_t>(index);  // the game's own use of this byte is unknown
        std::copy_n(shape.begin(), kFormationPositions, roles.begin() + 1);
        auto positions =
            blocks.boot.subspan(blockmap::kPresetPositionsOffset + index * blockmap::kPresetPositionsStride,
                                blockmap::kPresetPositionsStride);
        std::copy(shape.begin() + kFormationPositions, shape.end(), positions.begin());
    }
}

}  // namespace tarvo::sample
