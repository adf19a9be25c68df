#include <algorithm>
#include <array>

#include "records/player.h"
#include "records/player_tables.h"
#include "sample_content.h"
#include "sample_names.h"

namespace tarvo::sample {
namespace {

constexpr std::uint64_t kPlayerSeed = 0x5EED0001;
constexpr std::uint32_t kPositionNone = 11;

// The position of the player in each national squad slot: the keeper, the ten of a 4-4-2 in
// formation order, then the substitutes.
constexpr std::array<std::uint32_t, blockmap::kNationalSquadSize> kSlotPositions{0, 4, 3, 3, 4, 7, 6, 6,  7, 9, 9, 0,
                                                                                 3, 4, 2, 5, 6, 8, 7, 10, 9, 1, 0};

enum class Line { Keeper, Defence, Midfield, Attack };

Line lineOf(std::uint32_t position) {
    if (position == 0) return Line::Keeper;
    if (position <= 4) return Line::Defence;
    if (position <= 8) return Line::Midfield;
    return Line::Attack;
}

// How much each ability (in ability order) rises or falls for the players of a line.
constexpr std::array<std::array<int, kAbilityCount>, 4> kLineBias{{
    {-30, 10, 0, -5, -10, -5, 15, -25, -20, -10, -5, 0, 5, -30, -20, -30, -5, 15, -20, -20, -5, 5, 10, -20, 0},
    {-15, 15, 10, 5, 0, 0, 5, -10, -5, 0, 0, 0, 0, -15, -5, -15, 10, 10, -5, -5, 10, 0, 5, -5, 5},
    {0, 0, 0, 10, 0, 0, 0, 5, 5, 10, 10, 10, 10, -5, 0, 0, -5, -5, 10, 5, 0, 5, 0, 5, 10},
    {15, -20, 0, 0, 10, 10, 5, 10, 10, 0, 0, -5, -5, 15, 15, 15, 5, 5, 5, 5, 5, 5, 0, 0, -5},
}};

// A nation code of the nation table; mostly the 56 football nations.
std::uint32_t randomNation(SampleRandom& rng) {
    const int entry = rng.chance(85) ? rng.range(0, 55) : rng.range(56, kNationCount - 1);
    return kNations[static_cast<std::size_t>(entry)].code;
}

std::uint32_t callNumberOf(std::uint32_t id) {
    if (id % 173 == 0) return kNoCallNumber;  // a few players have no spoken name
    constexpr std::uint32_t kCalls = kCallNumberMax - kCallNumberMin + 1;
    return kCallNumberMin + (id * 1999u) % kCalls;  // 1999 is prime to the count: no call repeats
}

NameStyle nameStyleOf(int nationalRow, SampleRandom& rng) {
    if (nationalRow >= 50 && nationalRow <= 52) return NameStyle::Kanji;  // Japan, Korea, China
    if (rng.chance(7)) return NameStyle::Katakana;
    if (rng.chance(2)) return NameStyle::Kanji;
    return NameStyle::Latin;
}

// A value the editor offers for the field.
int offered(SampleRandom& rng, PlayerFieldId field) {
    const FieldRange range = editorRange(field);
    return rng.range(static_cast<int>(range.min), static_cast<int>(range.max));
}

void writeLooks(Player& player, SampleRandom& rng) {
    const std::uint32_t skin = static_cast<std::uint32_t>(rng.range(0, 3));
    player.write(PlayerFieldId::Skin, skin);
    player.write(PlayerFieldId::Face,
                 static_cast<std::uint32_t>(rng.range(1, static_cast<int>(faceBoundOfSkin(skin)))));
    const int height = rng.chance(2) ? offered(rng, PlayerFieldId::Height) : rng.range(166, 194);
    player.write(PlayerFieldId::Height, static_cast<std::uint32_t>(height));
    player.write(PlayerFieldId::Weight,
                 static_cast<std::uint32_t>(std::clamp(height - 105 + rng.range(-6, 12),
                                                       static_cast<int>(editorRange(PlayerFieldId::Weight).min),
                                                       static_cast<int>(editorRange(PlayerFieldId::Weight).max))));
    player.write(PlayerFieldId::Age,
                 static_cast<std::uint32_t>(rng.chance(1) ? offered(rng, PlayerFieldId::Age) : rng.range(17, 36)));
    player.write(PlayerFieldId::HairColor,
                 rng.chance(5) ? kBaldHairColor : static_cast<std::uint32_t>(rng.range(0, 61)));
    player.write(PlayerFieldId::HairType, kHairStyleCodes[static_cast<std::size_t>(rng.range(0, kHairStyleCount - 1))]);
    player.write(PlayerFieldId::BeardColor,
                 rng.chance(70) ? kNoBeardColor : static_cast<std::uint32_t>(rng.range(0, 62)));
    player.write(PlayerFieldId::BeardType, static_cast<std::uint32_t>(rng.range(0, 59)));
    player.write(PlayerFieldId::EyeIris, static_cast<std::uint32_t>(rng.range(0, 11)));
    player.write(PlayerFieldId::EyeGlobe, static_cast<std::uint32_t>(rng.range(0, 2)));
    player.write(PlayerFieldId::Sleeves, static_cast<std::uint32_t>(rng.chance(80) ? 0 : rng.range(1, 2)));
    player.write(PlayerFieldId::Foot, static_cast<std::uint32_t>(rng.chance(75) ? 0 : rng.chance(80) ? 1 : 2));
    player.write(PlayerFieldId::FreeKick, static_cast<std::uint32_t>(rng.range(0, 4)));
    player.write(PlayerFieldId::Build, static_cast<std::uint32_t>(rng.range(0, 4)));
    player.write(PlayerFieldId::ShoesModel, static_cast<std::uint32_t>(rng.range(0, 9)));
    for (PlayerFieldId field : {PlayerFieldId::HeadV, PlayerFieldId::HeadH, PlayerFieldId::ShoesColor,
                                PlayerFieldId::ShoesDesignColor, PlayerFieldId::ShoesTongueColor})
        player.write(field, static_cast<std::uint32_t>(rng.range(0, 7)));
    player.write(PlayerFieldId::Accessory, static_cast<std::uint32_t>(rng.chance(85) ? 0 : rng.range(1, 7)));
}

void writePositionsAndSkills(Player& player, std::uint32_t position, bool national, SampleRandom& rng) {
    player.write(PlayerFieldId::Position1, position);
    player.write(PlayerFieldId::Position2,
                 rng.chance(60) ? kPositionNone : static_cast<std::uint32_t>(rng.range(0, 10)));
    player.write(PlayerFieldId::Position3,
                 rng.chance(85) ? kPositionNone : static_cast<std::uint32_t>(rng.range(0, 10)));

    const int quality = national ? rng.range(55, 85) : rng.range(40, 80);
    const auto& bias = kLineBias[static_cast<std::size_t>(lineOf(position))];
    for (int k = 0; k < kAbilityCount; ++k) {
        const int value = quality + bias[static_cast<std::size_t>(k)] + rng.range(-10, 10);
        player.setAbility(k, static_cast<std::uint32_t>(
                                 std::clamp(value, static_cast<int>(kAbilityMin), static_cast<int>(kAbilityMax))));
    }
    for (PlayerFieldId special : kSpecialAbilityFields) {
        const bool keeperSkill = special == PlayerFieldId::PkKeeper || special == PlayerFieldId::OneVsOneGk;
        const bool isKeeper = position == 0;
        const int percent = keeperSkill ? (isKeeper ? 35 : 0) : (isKeeper ? 2 : 12);
        player.write(special, rng.chance(percent) ? 1 : 0);
    }
    player.write(PlayerFieldId::Injury, static_cast<std::uint32_t>(rng.chance(70) ? 0 : rng.range(1, 2)));
}

}  // namespace

void fillPlayers(const GameBlocks& blocks) {
    SampleRandom rng(kPlayerSeed);
    Player player;
    for (std::uint32_t id = 1; id <= blockmap::kPlayerCount; ++id) {
        const int row = nationalRowOfPlayer(id);
        const bool national = row >= 0;
        // Squads of rows 0 to 55 are nations of the nation table; the all-star and classic
        // squads (rows 56 to 64) and the club players come from anywhere.
        const std::uint32_t nation = national && row <= 55 ? static_cast<std::uint32_t>(row) : randomNation(rng);

        const PlayerNames names = inventPlayerNames(rng, nameStyleOf(row, rng));
        writePlayerName(blocks, PlayerName::Full, id, names.full);
        writePlayerName(blocks, PlayerName::Back, id, names.back);
        writeCallNumber(blocks, id, static_cast<std::uint16_t>(callNumberOf(id)));

        player.load(blocks, id);
        const std::uint32_t position = national ? kSlotPositions[static_cast<std::size_t>(nationalSlotOfPlayer(id))]
                                                : static_cast<std::uint32_t>(rng.range(0, 10));
        player.write(PlayerFieldId::Nation, nation);
        writeLooks(player, rng);
        writePositionsAndSkills(player, position, national, rng);
    }
}

}  // namespace tarvo::sample
