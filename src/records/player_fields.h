#pragma once
// The 70 fields of the 44-byte player record, as one table. Position is the index of the field's
// most significant bit in the record's BitRecord; the value offset is added on reading and
// subtracted on writing (height is stored as height - 148, age as age - 15, face as face - 1).
// min and max are the values the editor's controls (and `tarvo set-player`) can give the field,
// in the units of Player::read. Everything else derives from this table: accessors, pages, JSON
// keys, ranges, the bulk change.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tarvo {

enum class PlayerPage { Looks, Abilities, SpecialAbilities };

// A field of the player record; its value is the index of its row in kPlayerFields.
// clang-format off
enum class PlayerFieldId : std::uint8_t {
    HeadV, ShoesTongueColor, Sleeves, ShoesDesignColor, ShoesColor, EyeIris, EyeGlobe, ShootTech, Weight, HeadH,
    Injury, Outside, Feints, PkKeeper, OneVsOneGk, FeedKick, DefenseLine, ManMark, DirectPlay, LongThrow,
    OneVsOneShoot, PkKicker, Passer, GameMaker, Striker, RunningOut, Positioning, PostPlayer, Dribbling, Nation,
    Teamwork, Aggressive, Curve, JumpPower, HeaderAcc, Technique, FreeKickSkill, LongPassSpeed, Position3,
    LongPassAcc, ShortPassSpeed, ShortPassAcc, Mentality, Position2, Stability, ShootAcc, ShootPower, Defense,
    Position1, Offense, Acceleration, Speed, DribbleSpeed, Foot, DribbleAcc, Stamina, Balance, Response, ShoesModel,
    FreeKick, HairType, Build, Accessory, Face, Height, BeardColor, BeardType, HairColor, Age, Skin
};
// clang-format on

struct PlayerField {
    PlayerFieldId id;
    std::string_view name;  // the field's name on the pages, on the command line and in JSON
    std::uint16_t position;
    std::uint8_t width;
    std::uint8_t offset = 0;
    PlayerPage page;
    std::uint32_t min, max;
};

inline constexpr std::size_t kPlayerFieldCount = 70;

namespace playerfields {
using enum PlayerFieldId;
using enum PlayerPage;

// In record order (by position). "position1" has the 11 positions, "position2" and "position3"
// also "None"; "nation" codes go up to 240 (only the codes of the nation table are allowed);
// "hair color" 63 is bald and "beardcolor" 63 no beard; "face" 125 is the bound of skin 0.
// A list of numbers ("head V" "1" to "8") and a special ability's check box fill their bits.
// clang-format off
inline constexpr std::array<PlayerField, kPlayerFieldCount> kRows{{
    {.id = HeadV, .name = "head V", .position = 2, .width = 3, .page = Looks, .min = 0, .max = 7},
    {.id = ShoesTongueColor, .name = "shoes tongue color", .position = 29, .width = 3, .page = Looks, .min = 0, .max = 7},
    {.id = Sleeves, .name = "sleeves", .position = 32, .width = 2, .page = Looks, .min = 0, .max = 2},
    {.id = ShoesDesignColor, .name = "shoes design color", .position = 34, .width = 3, .page = Looks, .min = 0, .max = 7},
    {.id = ShoesColor, .name = "shoes color", .position = 37, .width = 3, .page = Looks, .min = 0, .max = 7},
    {.id = EyeIris, .name = "eye iris", .position = 40, .width = 4, .page = Looks, .min = 0, .max = 11},
    {.id = EyeGlobe, .name = "eye globe", .position = 44, .width = 2, .page = Looks, .min = 0, .max = 2},
    {.id = ShootTech, .name = "shoot tech", .position = 47, .width = 7, .page = Abilities, .min = 1, .max = 99},
    {.id = Weight, .name = "weight", .position = 54, .width = 7, .page = Looks, .min = 40, .max = 123},
    {.id = HeadH, .name = "head H", .position = 61, .width = 3, .page = Looks, .min = 0, .max = 7},
    {.id = Injury, .name = "injury", .position = 66, .width = 2, .page = SpecialAbilities, .min = 0, .max = 2},
    {.id = Outside, .name = "outside", .position = 68, .width = 1, .page = SpecialAbilities, .min = 0, .max = 1},
    {.id = Feints, .name = "feints", .position = 69, .width = 1, .page = SpecialAbilities, .min = 0, .max = 1},
    {.id = PkKeeper, .name = "PK keeper", .position = 70, .width = 1, .page = SpecialAbilities, .min = 0, .max = 1},
    {.id = OneVsOneGk, .name = "1vs1 GK", .position = 71, .width = 1, .page = SpecialAbilities, .min = 0, .max = 1},
    {.id = FeedKick, .name = "feed kick", .position = 72, .width = 1, .page = SpecialAbilities, .min = 0, .max = 1},
    {.id = DefenseLine, .name = "defense line", .position = 75, .width = 1, .page = SpecialAbilities, .min = 0, .max = 1},
    {.id = ManMark, .name = "man mark", .position = 76, .width = 1, .page = SpecialAbilities, .min = 0, .max = 1},
    {.id = DirectPlay, .name = "direct play", .position = 77, .width = 1, .page = SpecialAbilities, .min = 0, .max = 1},
    {.id = LongThrow, .name = "long throw", .position = 78, .width = 1, .page = SpecialAbilities, .min = 0, .max = 1},
    {.id = OneVsOneShoot, .name = "1vs1 shoot", .position = 79, .width = 1, .page = SpecialAbilities, .min = 0, .max = 1},
    {.id = PkKicker, .name = "PK kicker", .position = 80, .width = 1, .page = SpecialAbilities, .min = 0, .max = 1},
    {.id = Passer, .name = "passer", .position = 81, .width = 1, .page = SpecialAbilities, .min = 0, .max = 1},
    {.id = GameMaker, .name = "game maker", .position = 82, .width = 1, .page = SpecialAbilities, .min = 0, .max = 1},
    {.id = Striker, .name = "striker", .position = 83, .width = 1, .page = SpecialAbilities, .min = 0, .max = 1},
    {.id = RunningOut, .name = "running out", .position = 84, .width = 1, .page = SpecialAbilities, .min = 0, .max = 1},
    {.id = Positioning, .name = "positioning", .position = 85, .width = 1, .page = SpecialAbilities, .min = 0, .max = 1},
    {.id = PostPlayer, .name = "post player", .position = 86, .width = 1, .page = SpecialAbilities, .min = 0, .max = 1},
    {.id = Dribbling, .name = "dribbling", .position = 87, .width = 1, .page = SpecialAbilities, .min = 0, .max = 1},
    {.id = Nation, .name = "nation", .position = 88, .width = 8, .page = Looks, .min = 0, .max = 240},
    {.id = Teamwork, .name = "teamwork", .position = 100, .width = 7, .page = Abilities, .min = 1, .max = 99},
    {.id = Aggressive, .name = "aggressive", .position = 107, .width = 7, .page = Abilities, .min = 1, .max = 99},
    {.id = Curve, .name = "curve", .position = 114, .width = 7, .page = Abilities, .min = 1, .max = 99},
    {.id = JumpPower, .name = "jump power", .position = 121, .width = 7, .page = Abilities, .min = 1, .max = 99},
    {.id = HeaderAcc, .name = "header acc", .position = 128, .width = 7, .page = Abilities, .min = 1, .max = 99},
    {.id = Technique, .name = "technique", .position = 135, .width = 7, .page = Abilities, .min = 1, .max = 99},
    {.id = FreeKickSkill, .name = "free kick skill", .position = 142, .width = 7, .page = Abilities, .min = 1, .max = 99},
    {.id = LongPassSpeed, .name = "long pass speed", .position = 149, .width = 7, .page = Abilities, .min = 1, .max = 99},
    {.id = Position3, .name = "position3", .position = 156, .width = 4, .page = Looks, .min = 0, .max = 11},
    {.id = LongPassAcc, .name = "long pass acc", .position = 160, .width = 7, .page = Abilities, .min = 1, .max = 99},
    {.id = ShortPassSpeed, .name = "short pass speed", .position = 167, .width = 7, .page = Abilities, .min = 1, .max = 99},
    {.id = ShortPassAcc, .name = "short pass acc", .position = 174, .width = 7, .page = Abilities, .min = 1, .max = 99},
    {.id = Mentality, .name = "mentality", .position = 181, .width = 7, .page = Abilities, .min = 1, .max = 99},
    {.id = Position2, .name = "position2", .position = 188, .width = 4, .page = Looks, .min = 0, .max = 11},
    {.id = Stability, .name = "stability", .position = 192, .width = 7, .page = Abilities, .min = 1, .max = 99},
    {.id = ShootAcc, .name = "shoot acc", .position = 199, .width = 7, .page = Abilities, .min = 1, .max = 99},
    {.id = ShootPower, .name = "shoot power", .position = 206, .width = 7, .page = Abilities, .min = 1, .max = 99},
    {.id = Defense, .name = "defense", .position = 213, .width = 7, .page = Abilities, .min = 1, .max = 99},
    {.id = Position1, .name = "position1", .position = 220, .width = 4, .page = Looks, .min = 0, .max = 10},
    {.id = Offense, .name = "offense", .position = 224, .width = 7, .page = Abilities, .min = 1, .max = 99},
    {.id = Acceleration, .name = "acceleration", .position = 231, .width = 7, .page = Abilities, .min = 1, .max = 99},
    {.id = Speed, .name = "speed", .position = 238, .width = 7, .page = Abilities, .min = 1, .max = 99},
    {.id = DribbleSpeed, .name = "dribble speed", .position = 245, .width = 7, .page = Abilities, .min = 1, .max = 99},
    {.id = Foot, .name = "foot", .position = 254, .width = 2, .page = Looks, .min = 0, .max = 2},
    {.id = DribbleAcc, .name = "dribble acc", .position = 256, .width = 7, .page = Abilities, .min = 1, .max = 99},
    {.id = Stamina, .name = "stamina", .position = 263, .width = 7, .page = Abilities, .min = 1, .max = 99},
    {.id = Balance, .name = "balance", .position = 270, .width = 7, .page = Abilities, .min = 1, .max = 99},
    {.id = Response, .name = "response", .position = 277, .width = 7, .page = Abilities, .min = 1, .max = 99},
    {.id = ShoesModel, .name = "shoes model", .position = 284, .width = 4, .page = Looks, .min = 0, .max = 9},
    {.id = FreeKick, .name = "free kick", .position = 288, .width = 3, .page = Looks, .min = 0, .max = 4},
    {.id = HairType, .name = "hair type", .position = 299, .width = 7, .page = Looks, .min = 0, .max = 102},
    {.id = Build, .name = "build", .position = 306, .width = 3, .page = Looks, .min = 0, .max = 4},
    {.id = Accessory, .name = "accessory", .position = 309, .width = 3, .page = Looks, .min = 0, .max = 7},
    {.id = Face, .name = "face", .position = 313, .width = 7, .offset = 1, .page = Looks, .min = 1, .max = 125},
    {.id = Height, .name = "height", .position = 320, .width = 6, .offset = 148, .page = Looks, .min = 148, .max = 205},
    {.id = BeardColor, .name = "beardcolor", .position = 326, .width = 6, .page = Looks, .min = 0, .max = 63},
    {.id = BeardType, .name = "beard type", .position = 333, .width = 6, .page = Looks, .min = 0, .max = 59},
    {.id = HairColor, .name = "hair color", .position = 339, .width = 6, .page = Looks, .min = 0, .max = 63},
    {.id = Age, .name = "age", .position = 345, .width = 5, .offset = 15, .page = Looks, .min = 15, .max = 46},
    {.id = Skin, .name = "skin", .position = 350, .width = 2, .page = Looks, .min = 0, .max = 3},
}};
// clang-format on

constexpr bool rowsInFieldOrder() {
    for (std::size_t i = 0; i < kRows.size(); ++i)
        if (static_cast<std::size_t>(kRows[i].id) != i) return false;
    return true;
}
static_assert(rowsInFieldOrder(), "row i of the table is the row of field i");
static_assert(static_cast<std::size_t>(Skin) + 1 == kPlayerFieldCount, "one row per field");
}  // namespace playerfields

inline constexpr const std::array<PlayerField, kPlayerFieldCount>& kPlayerFields = playerfields::kRows;

constexpr const PlayerField& fieldOf(PlayerFieldId f) { return kPlayerFields[static_cast<std::size_t>(f)]; }

// The ability order of the Abilities page and the bulk change, index 0 to 24.
inline constexpr int kAbilityCount = 25;
inline constexpr std::array<PlayerFieldId, kAbilityCount> kAbilityFields{
    PlayerFieldId::Offense,       PlayerFieldId::Defense,        PlayerFieldId::Balance,
    PlayerFieldId::Stamina,       PlayerFieldId::Speed,          PlayerFieldId::Acceleration,
    PlayerFieldId::Response,      PlayerFieldId::DribbleAcc,     PlayerFieldId::DribbleSpeed,
    PlayerFieldId::ShortPassAcc,  PlayerFieldId::ShortPassSpeed, PlayerFieldId::LongPassAcc,
    PlayerFieldId::LongPassSpeed, PlayerFieldId::ShootAcc,       PlayerFieldId::ShootPower,
    PlayerFieldId::ShootTech,     PlayerFieldId::HeaderAcc,      PlayerFieldId::JumpPower,
    PlayerFieldId::Technique,     PlayerFieldId::Curve,          PlayerFieldId::Aggressive,
    PlayerFieldId::Mentality,     PlayerFieldId::Stability,      PlayerFieldId::FreeKickSkill,
    PlayerFieldId::Teamwork,
};

// The Special Abilities page's check boxes, in the page's order (left column,
// then right).
inline constexpr int kSpecialAbilityCount = 18;
inline constexpr std::array<PlayerFieldId, kSpecialAbilityCount> kSpecialAbilityFields{
    PlayerFieldId::Dribbling, PlayerFieldId::PostPlayer,    PlayerFieldId::Positioning, PlayerFieldId::RunningOut,
    PlayerFieldId::Striker,   PlayerFieldId::GameMaker,     PlayerFieldId::Passer,      PlayerFieldId::Feints,
    PlayerFieldId::PkKicker,  PlayerFieldId::OneVsOneShoot, PlayerFieldId::LongThrow,   PlayerFieldId::DirectPlay,
    PlayerFieldId::Outside,   PlayerFieldId::ManMark,       PlayerFieldId::DefenseLine, PlayerFieldId::FeedKick,
    PlayerFieldId::PkKeeper,  PlayerFieldId::OneVsOneGk,
};

// The field of that exact name, if any.
constexpr std::optional<PlayerFieldId> fieldByName(std::string_view name) {
    for (std::size_t i = 0; i < kPlayerFields.size(); ++i)
        if (kPlayerFields[i].name == name) return static_cast<PlayerFieldId>(i);
    return std::nullopt;
}

}  // namespace tarvo
