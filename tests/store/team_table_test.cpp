#include "store/team_table.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "store/block_map.h"

namespace tarvo {
namespace {

// The number before the dot of a label ("44.Brazil" -> 44).
int labelNumber(std::string_view label) {
    const auto dot = label.find('.');
    return dot == std::string_view::npos ? -1 : std::stoi(std::string(label.substr(0, dot)));
}

TEST(TeamTable, LabelsAreNumberedAsTeamsAndAsNations) {
    for (int row = 0; row < blockmap::kTeamRows; ++row)
        EXPECT_EQ(labelNumber(TeamTable[row].label), row + 1) << TeamTable[row].label;
    // The nation list: rows 0 to 55, then rows 106 to 130, numbered 1 to 81.
    std::vector<int> nations;
    for (int row = 0; row <= 55; ++row) nations.push_back(row);
    for (int row = 106; row < kTeamTableRows; ++row) nations.push_back(row);
    ASSERT_EQ(nations.size(), 81u);
    for (std::size_t i = 0; i < nations.size(); ++i)
        EXPECT_EQ(labelNumber(TeamTable[nations[i]].label), static_cast<int>(i + 1)) << TeamTable[nations[i]].label;
}

TEST(TeamTable, KeepsTheGamesSpellings) {
    const std::pair<int, std::string_view> spellings[] = {
        {23, "24.Crotia"}, {36, "37.South Afiaca"}, {78, "79.Deportivo La Coruna"}, {105, "106.Default ML"},
        {107, "58.Uzibekistan"}, {110, "61.Bosnia & Herz."}, {117, "68.Cote d'Ivoire"}, {123, "74.Sierra Leon"},
        {126, "77.Trinidad & Tob."}, {130, "81.FREE"},
    };
    for (const auto& [row, label] : spellings) EXPECT_EQ(TeamTable[row].label, label) << row;
}

// Team name slots lie in the boot file's name area one after another and never overlap.
TEST(TeamTable, TeamNameSlotsFollowOneAnotherWithoutOverlap) {
    for (int row = 0; row < blockmap::kTeamRows; ++row) {
        const TeamTableRow& r = TeamTable[row];
        SCOPED_TRACE(std::string(r.label));
        EXPECT_TRUE(r.teamNameLength == 2 || r.teamNameLength % 8 == 0);
        EXPECT_LE(std::size_t{r.teamNameOffset} + r.teamNameLength, blockmap::kMinBootSize);
        if (row > 0 && row < blockmap::kDefaultTeamRow) {
            EXPECT_GE(r.teamNameOffset, TeamTable[row - 1].teamNameOffset + TeamTable[row - 1].teamNameLength);
        }
    }
}

TEST(TeamTable, ClubNameSlotsAndTheirCopiesFitTheParameterData) {
    std::size_t lastEnd = 0;
    for (int row = 0; row < kTeamTableRows; ++row) {
        const TeamTableRow& r = TeamTable[row];
        SCOPED_TRACE(std::string(r.label));
        const bool club = row >= blockmap::kNationalRows && row < blockmap::kDefaultTeamRow;
        if (club) {
            EXPECT_EQ(r.clubNameLength, blockmap::kClubNameSize);
            EXPECT_GE(r.clubNameOffset, lastEnd);  // after the previous club's copy
            lastEnd = r.clubNameOffset + blockmap::kClubNameCopyDistance + r.clubNameLength;
        } else if (row < blockmap::kTeamRows) {
            EXPECT_EQ(r.clubNameOffset, 48u);
            EXPECT_EQ(r.clubNameLength, 2u);
        } else {
            EXPECT_EQ(r.teamNameOffset + r.teamNameLength + r.clubNameOffset + r.clubNameLength, 0u);
        }
    }
    EXPECT_EQ(lastEnd, blockmap::kMinParameterSize);  // the last club's copy ends the needed data
}

}  // namespace
}  // namespace tarvo
