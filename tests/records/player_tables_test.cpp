// The player record's value lists: nation codes, hair style codes, face bounds and the ranges the
// editor's controls allow.

#include <gtest/gtest.h>

#include <set>

#include "records/player_tables.h"

namespace tarvo {
namespace {

TEST(PlayerTables, NationCodesAndLabels) {
    struct Case {
        std::uint32_t code;
        std::optional<int> entry;
        std::string_view label;
    };
    for (const auto& c : {Case{0, 0, "1.Ireland"}, Case{55, 55, "56.Australia"}, Case{105, 56, "57.Iceland"},
                          Case{128, 79, "80.New Zealand"}, Case{240, 80, "81.FREE"}, Case{56, std::nullopt, ""},
                          Case{104, std::nullopt, ""}, Case{129, std::nullopt, ""}, Case{239, std::nullopt, ""},
                          Case{241, std::nullopt, ""}}) {
        EXPECT_EQ(nationEntryOfCode(c.code), c.entry) << c.code;
        if (c.entry) {
            EXPECT_EQ(kNations[static_cast<std::size_t>(*c.entry)].label, c.label);
        }
    }
}

TEST(PlayerTables, HairStylesArePermutationOfTheCodes) {
    std::set<int> codes(kHairStyleCodes.begin(), kHairStyleCodes.end());
    EXPECT_EQ(codes.size(), 103u);
    EXPECT_EQ(*codes.rbegin(), 102);
    EXPECT_EQ(kHairStyleCodes[4], 4);   // shown "5"
    EXPECT_EQ(kHairStyleCodes[6], 56);  // shown "7"
    EXPECT_EQ(hairStyleEntryOfCode(56), 6);
    EXPECT_EQ(hairStyleEntryOfCode(103), std::nullopt);
}

TEST(PlayerTables, EditorRanges) {
    struct Case {
        PF field;
        std::uint32_t value, skin;
        bool allowed;
    };
    const std::vector<Case> cases{
        {PF::Height, 148, 0, true},  {PF::Height, 147, 0, false}, {PF::Height, 205, 0, true},
        {PF::Height, 206, 0, false}, {PF::Weight, 40, 0, true},   {PF::Weight, 124, 0, false},
        {PF::Age, 14, 0, false},     {PF::Age, 46, 0, true},      {PF::Age, 47, 0, false},
        {PF::Face, 0, 0, false},     {PF::Face, 125, 0, true},    {PF::Face, 126, 0, false},
        {PF::Face, 106, 1, true},    {PF::Face, 107, 1, false},   {PF::Face, 32, 2, true},
        {PF::Face, 33, 2, false},    {PF::Face, 26, 3, true},     {PF::Face, 27, 3, false},
        {PF::Speed, 0, 0, false},    {PF::Speed, 99, 0, true},    {PF::Speed, 100, 0, false},
        {PF::Nation, 105, 0, true},  {PF::Nation, 60, 0, false},  {PF::Nation, 240, 0, true},
        {PF::HairType, 102, 0, true}, {PF::HairType, 103, 0, false}, {PF::HairColor, 61, 0, true},
        {PF::HairColor, 62, 0, false}, {PF::HairColor, 63, 0, true}, {PF::BeardColor, 63, 0, true},
        {PF::BeardType, 59, 0, true}, {PF::BeardType, 60, 0, false}, {PF::Position1, 11, 0, false},
        {PF::Position2, 11, 0, true}, {PF::Injury, 2, 0, true},   {PF::Injury, 3, 0, false},
        {PF::Dribbling, 1, 0, true}, {PF::Dribbling, 2, 0, false}, {PF::FreeKick, 5, 0, false},
        {PF::ShoesModel, 9, 0, true}, {PF::ShoesModel, 10, 0, false}, {PF::Build, 5, 0, false},
        {PF::HeadV, 7, 0, true},     {PF::HeadV, 8, 0, false},    {PF::Skin, 4, 0, false},
        {PF::EyeGlobe, 3, 0, false}, {PF::EyeIris, 11, 0, true},  {PF::EyeIris, 12, 0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(editorAllows(c.field, c.value, c.skin), c.allowed)
            << fieldOf(c.field).name << " " << c.value << " skin " << c.skin;
    EXPECT_EQ(faceBoundOfSkin(7), 26u);
}

}  // namespace
}  // namespace tarvo
