#pragma once
// The constant team table: 131 rows. Rows 0 to 105 are the teams; the labels of rows 0 to 55
// followed by those of rows 106 to 130 are the 81 nation labels of the player record.

#include <array>
#include <cstdint>
#include <string_view>

namespace tarvo {

struct TeamTableRow {
    std::string_view label;        // "1.Ireland", ...
    std::uint32_t teamNameOffset;  // in the boot-file data
    std::uint32_t teamNameLength;  // name slot length
    std::uint32_t clubNameOffset;  // in the parameter data (48 for rows without a club name)
    std::uint32_t clubNameLength;  // 21 for clubs, 2 for rows 0 to 64 and 105
};

inline constexpr int kTeamTableRows = 131;
extern const std::array<TeamTableRow, kTeamTableRows> TeamTable;

}  // namespace tarvo
