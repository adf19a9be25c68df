#include "records/player_tables.h"

#include <algorithm>

#include "store/team_table.h"

namespace tarvo {

const std::array<std::string_view, 12> kPositionNames{
    "Goal Keeper",  "Libero",    "Sweeper",      "Central Backward", "Side Backward", "Defense Half",
    "Central Half", "Side Half", "Offense Half", "Central Forward",  "Wing",          "None"};

const std::array<std::string_view, 12> kEyeColourNames{"black 1", "black 2", "grey 1",     "grey 2",
                                                       "brown 1", "brown 2", "sky blue 1", "sky blue 2",
                                                       "blue 1",  "blue 2",  "green1",     "green2"};

const std::array<std::string_view, 3> kSleeveNames{"by season", "short", "long"};
const std::array<std::string_view, 3> kFootNames{"right", "left", "both"};
const std::array<std::string_view, 5> kFreeKickNames{"A", "B", "C", "D", "E"};
const std::array<std::string_view, 3> kInjuryNames{"C", "B", "A"};

// A list field stores the index of its entry: its values are exactly its list's indices.
template <typename List>
constexpr bool listFills(PlayerFieldId field) {
    return editorRange(field).min == 0 && editorRange(field).max + 1 == std::tuple_size_v<List>;
}
static_assert(listFills<decltype(kPositionNames)>(PlayerFieldId::Position2));
static_assert(listFills<decltype(kPositionNames)>(PlayerFieldId::Position3));
static_assert(listFills<decltype(kEyeColourNames)>(PlayerFieldId::EyeIris));
static_assert(listFills<decltype(kSleeveNames)>(PlayerFieldId::Sleeves));
static_assert(listFills<decltype(kFootNames)>(PlayerFieldId::Foot));
static_assert(listFills<decltype(kFreeKickNames)>(PlayerFieldId::FreeKick));
static_assert(listFills<decltype(kInjuryNames)>(PlayerFieldId::Injury));
static_assert(static_cast<int>(editorRange(PlayerFieldId::HairType).max) + 1 == kHairStyleCount);

namespace {

// The nations take their labels from the team table: rows 0 to 55 (the national teams that are
// also nations, codes 0 to 55), then the 25 label-only rows 106 to 130 (codes 105 to 128, and
// 240 for the last, "81.FREE"). The team table is constant-initialised, so it is ready here.
constexpr int kTeamNations = 56;
constexpr int kLabelOnlyFirstRow = 106;
constexpr std::uint8_t kLabelOnlyCodeShift = 49;
constexpr std::uint8_t kFreeNationCode = 240;

std::array<Nation, kNationCount> makeNations() {
    std::array<Nation, kNationCount> nations{};
    for (int i = 0; i < kNationCount; ++i) {
        const bool fromTeams = i < kTeamNations;
        const int row = fromTeams ? i : kLabelOnlyFirstRow + (i - kTeamNations);
        std::uint8_t code = static_cast<std::uint8_t>(fromTeams ? i : i + kLabelOnlyCodeShift);
        if (i == kNationCount - 1) code = kFreeNationCode;
        nations[static_cast<std::size_t>(i)] = {code, TeamTable[static_cast<std::size_t>(row)].label};
    }
    return nations;
}

}  // namespace

const std::array<Nation, kNationCount> kNations = makeNations();

std::optional<int> nationEntryOfCode(std::uint32_t code) {
    for (int i = 0; i < kNationCount; ++i)
        if (kNations[static_cast<std::size_t>(i)].code == code) return i;
    return std::nullopt;
}

const std::array<std::uint8_t, kHairStyleCount> kHairStyleCodes{
    0,  1,  2,  3,  4,  5,  56, 57, 58, 8,  9,  10, 11, 14, 6,  15, 16, 64, 60, 17, 18, 65, 62,  48,  19, 20,
    21, 22, 23, 24, 61, 25, 26, 55, 59, 31, 27, 28, 29, 30, 32, 12, 33, 34, 7,  35, 38, 39, 40,  41,  43, 44,
    45, 46, 47, 13, 42, 36, 37, 63, 49, 50, 51, 52, 53, 54, 67, 66, 68, 69, 70, 71, 72, 73, 74,  75,  76, 77,
    78, 79, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94, 95, 96, 97, 98, 99, 100, 101, 102};

std::optional<int> hairStyleEntryOfCode(std::uint32_t code) {
    const auto it = std::find(kHairStyleCodes.begin(), kHairStyleCodes.end(), code);
    if (it == kHairStyleCodes.end()) return std::nullopt;
    return static_cast<int>(it - kHairStyleCodes.begin());
}

std::uint32_t faceBoundOfSkin(std::uint32_t skin) {
    static constexpr std::array<std::uint32_t, 4> kBounds{125, 106, 32, 26};
    return skin < kBounds.size() ? kBounds[skin] : kBounds.back();
}

bool editorAllows(PlayerFieldId field, std::uint32_t value, std::uint32_t skin) {
    const auto range = editorRange(field);
    if (value < range.min || value > range.max) return false;
    switch (field) {
    case PlayerFieldId::Nation: return nationEntryOfCode(value).has_value();
    case PlayerFieldId::HairColor: return value != kBaldHairColor - 1;  // the list ends at 62 ("1" to "62")
    case PlayerFieldId::Face: return value <= faceBoundOfSkin(skin);
    default: return true;
    }
}

std::string editorRangeText(PlayerFieldId field, std::uint32_t skin) {
    switch (field) {
    case PlayerFieldId::Face:
        return "1 to " + std::to_string(faceBoundOfSkin(skin)) + " for skin " + std::to_string(skin);
    case PlayerFieldId::Nation: return "a nation code (0 to 55, 105 to 128, 240)";
    case PlayerFieldId::HairColor: return "0 to 61, or 63 for bald";
    default: break;
    }
    const auto range = editorRange(field);
    return std::to_string(range.min) + " to " + std::to_string(range.max);
}

std::optional<std::string> unreadablePlayerValue(PlayerFieldId field, std::uint32_t value) {
    if (field == PlayerFieldId::Nation && !nationEntryOfCode(value))
        return "no nation of the nation table has this code";
    if (field == PlayerFieldId::HairType && !hairStyleEntryOfCode(value))
        return "past the " + std::to_string(kHairStyleCount) + " hair styles";
    return std::nullopt;
}

bool callNumberAllowed(std::int64_t number) {
    return number == kNoCallNumber || (number >= kCallNumberMin && number <= kCallNumberMax);
}

std::string callNumberRangeText() {
    return std::to_string(kCallNumberMin) + " to " + std::to_string(kCallNumberMax) + ", or " +
           std::to_string(kNoCallNumber) + " for none";
}

}  // namespace tarvo
