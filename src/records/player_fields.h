#pragma once
// The 70 fields of the 44-byte player record, as one table. Position is the index of the field's
// most significant bit in the record's BitRecord; the value offset is added on reading and
// subtracted on writing (height is stored as height - 148, age as age - 15, face as face - 1).
// Everything else derives from this table: accessors, pages, JSON keys, the bulk change.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tarvo {

enum class PlayerPage { Looks, Abilities, SpecialAbilities };

struct PlayerField {
    std::string_view name;
    std::uint16_t position;
    std::uint8_t width;
    std::uint8_t offset;
    PlayerPage page;
};

// The fields in table order (by position), one row each: the enum PF and the table kPlayerFields
// are both made from these rows, so PF::X always indexes the row of X.
// X(enumerator, name, position, width, value offset, page)
#define TARVO_PLAYER_FIELDS(X)                                  \
    X(HeadV, "head V", 2, 3, 0, Looks)                          \
    X(ShoesTongueColor, "shoes tongue color", 29, 3, 0, Looks)  \
    X(Sleeves, "sleeves", 32, 2, 0, Looks)                      \
    X(ShoesDesignColor, "shoes design color", 34, 3, 0, Looks)  \
    X(ShoesColor, "shoes color", 37, 3, 0, Looks)               \
    X(EyeIris, "eye iris", 40, 4, 0, Looks)                     \
    X(EyeGlobe, "eye globe", 44, 2, 0, Looks)                   \
    X(ShootTech, "shoot tech", 47, 7, 0, Abilities)             \
    X(Weight, "weight", 54, 7, 0, Looks)                        \
    X(HeadH, "head H", 61, 3, 0, Looks)                         \
    X(Injury, "injury", 66, 2, 0, SpecialAbilities)             \
    X(Outside, "outside", 68, 1, 0, SpecialAbilities)           \
    X(Feints, "feints", 69, 1, 0, SpecialAbilities)             \
    X(PkKeeper, "PK keeper", 70, 1, 0, SpecialAbilities)        \
    X(OneVsOneGk, "1vs1 GK", 71, 1, 0, SpecialAbilities)        \
    X(FeedKick, "feed kick", 72, 1, 0, SpecialAbilities)        \
    X(DefenseLine, "defense line", 75, 1, 0, SpecialAbilities)  \
    X(ManMark, "man mark", 76, 1, 0, SpecialAbilities)          \
    X(DirectPlay, "direct play", 77, 1, 0, SpecialAbilities)    \
    X(LongThrow, "long throw", 78, 1, 0, SpecialAbilities)      \
    X(OneVsOneShoot, "1vs1 shoot", 79, 1, 0, SpecialAbilities)  \
    X(PkKicker, "PK kicker", 80, 1, 0, SpecialAbilities)        \
    X(Passer, "passer", 81, 1, 0, SpecialAbilities)             \
    X(GameMaker, "game maker", 82, 1, 0, SpecialAbilities)      \
    X(Striker, "striker", 83, 1, 0, SpecialAbilities)           \
    X(RunningOut, "running out", 84, 1, 0, SpecialAbilities)    \
    X(Positioning, "positioning", 85, 1, 0, SpecialAbilities)   \
    X(PostPlayer, "post player", 86, 1, 0, SpecialAbilities)    \
    X(Dribbling, "dribbling", 87, 1, 0, SpecialAbilities)       \
    X(Nation, "nation", 88, 8, 0, Looks)                        \
    X(Teamwork, "teamwork", 100, 7, 0, Abilities)               \
    X(Aggressive, "aggressive", 107, 7, 0, Abilities)           \
    X(Curve, "curve", 114, 7, 0, Abilities)                     \
    X(JumpPower, "jump power", 121, 7, 0, Abilities)            \
    X(HeaderAcc, "header acc", 128, 7, 0, Abilities)            \
    X(Technique, "technique", 135, 7, 0, Abilities)             \
    X(FreeKickSkill, "free kick skill", 142, 7, 0, Abilities)   \
    X(LongPassSpeed, "long pass speed", 149, 7, 0, Abilities)   \
    X(Position3, "position3", 156, 4, 0, Looks)                 \
    X(LongPassAcc, "long pass acc", 160, 7, 0, Abilities)       \
    X(ShortPassSpeed, "short pass speed", 167, 7, 0, Abilities) \
    X(ShortPassAcc, "short pass acc", 174, 7, 0, Abilities)     \
    X(Mentality, "mentality", 181, 7, 0, Abilities)             \
    X(Position2, "position2", 188, 4, 0, Looks)                 \
    X(Stability, "stability", 192, 7, 0, Abilities)             \
    X(ShootAcc, "shoot acc", 199, 7, 0, Abilities)              \
    X(ShootPower, "shoot power", 206, 7, 0, Abilities)          \
    X(Defense, "defense", 213, 7, 0, Abilities)                 \
    X(Position1, "position1", 220, 4, 0, Looks)                 \
    X(Offense, "offense", 224, 7, 0, Abilities)                 \
    X(Acceleration, "acceleration", 231, 7, 0, Abilities)       \
    X(Speed, "speed", 238, 7, 0, Abilities)                     \
    X(DribbleSpeed, "dribble speed", 245, 7, 0, Abilities)      \
    X(Foot, "foot", 254, 2, 0, Looks)                           \
    X(DribbleAcc, "dribble acc", 256, 7, 0, Abilities)          \
    X(Stamina, "stamina", 263, 7, 0, Abilities)                 \
    X(Balance, "balance", 270, 7, 0, Abilities)                 \
    X(Response, "response", 277, 7, 0, Abilities)               \
    X(ShoesModel, "shoes model", 284, 4, 0, Looks)              \
    X(FreeKick, "free kick", 288, 3, 0, Looks)                  \
    X(HairType, "hair type", 299, 7, 0, Looks)                  \
    X(Build, "build", 306, 3, 0, Looks)                         \
    X(Accessory, "accessory", 309, 3, 0, Looks)                 \
    X(Face, "face", 313, 7, 1, Looks)                           \
    X(Height, "height", 320, 6, 148, Looks)                     \
    X(BeardColor, "beardcolor", 326, 6, 0, Looks)               \
    X(BeardType, "beard type", 333, 6, 0, Looks)                \
    X(HairColor, "hair color", 339, 6, 0, Looks)                \
    X(Age, "age", 345, 5, 15, Looks)                            \
    X(Skin, "skin", 350, 2, 0, Looks)

enum class PF : std::uint8_t {
#define TARVO_PF_ENUMERATOR(id, name, position, width, offset, page) id,
    TARVO_PLAYER_FIELDS(TARVO_PF_ENUMERATOR)
#undef TARVO_PF_ENUMERATOR
};

#define TARVO_PF_ONE(id, name, position, width, offset, page) +1
inline constexpr std::size_t kPlayerFieldCount = 0 TARVO_PLAYER_FIELDS(TARVO_PF_ONE);
#undef TARVO_PF_ONE
static_assert(kPlayerFieldCount == 70, "the player record has 70 fields");

inline constexpr std::array<PlayerField, kPlayerFieldCount> kPlayerFields{{
#define TARVO_PF_ROW(id, name, position, width, offset, page) {name, position, width, offset, PlayerPage::page},
    TARVO_PLAYER_FIELDS(TARVO_PF_ROW)
#undef TARVO_PF_ROW
}};

constexpr const PlayerField& fieldOf(PF f) { return kPlayerFields[static_cast<std::size_t>(f)]; }

// The ability order of the Abilities page and the bulk change, index 0 to 24.
inline constexpr int kAbilityCount = 25;
inline constexpr std::array<PF, kAbilityCount> kAbilityFields{
    PF::Offense,        PF::Defense,     PF::Balance,       PF::Stamina,       PF::Speed,
    PF::Acceleration,   PF::Response,    PF::DribbleAcc,    PF::DribbleSpeed,  PF::ShortPassAcc,
    PF::ShortPassSpeed, PF::LongPassAcc, PF::LongPassSpeed, PF::ShootAcc,      PF::ShootPower,
    PF::ShootTech,      PF::HeaderAcc,   PF::JumpPower,     PF::Technique,     PF::Curve,
    PF::Aggressive,     PF::Mentality,   PF::Stability,     PF::FreeKickSkill, PF::Teamwork,
};

// The Special Abilities page's check boxes, in the page's order (left column, then right).
inline constexpr int kSpecialAbilityCount = 18;
inline constexpr std::array<PF, kSpecialAbilityCount> kSpecialAbilityFields{
    PF::Dribbling, PF::PostPlayer, PF::Positioning, PF::RunningOut,    PF::Striker,   PF::GameMaker,
    PF::Passer,    PF::Feints,     PF::PkKicker,    PF::OneVsOneShoot, PF::LongThrow, PF::DirectPlay,
    PF::Outside,   PF::ManMark,    PF::DefenseLine, PF::FeedKick,      PF::PkKeeper,  PF::OneVsOneGk,
};

// The field of that exact name, if any.
constexpr std::optional<PF> fieldByName(std::string_view name) {
    for (std::size_t i = 0; i < kPlayerFields.size(); ++i)
        if (kPlayerFields[i].name == name) return static_cast<PF>(i);
    return std::nullopt;
}

}  // namespace tarvo
