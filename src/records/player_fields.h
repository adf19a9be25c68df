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

// The fields in table order (by position); PF::X indexes kPlayerFields.
enum class PF : std::uint8_t {
    HeadV,
    ShoesTongueColor,
    Sleeves,
    ShoesDesignColor,
    ShoesColor,
    EyeIris,
    EyeGlobe,
    ShootTech,
    Weight,
    HeadH,
    Injury,
    Outside,
    Feints,
    PkKeeper,
    OneVsOneGk,
    FeedKick,
    DefenseLine,
    ManMark,
    DirectPlay,
    LongThrow,
    OneVsOneShoot,
    PkKicker,
    Passer,
    GameMaker,
    Striker,
    RunningOut,
    Positioning,
    PostPlayer,
    Dribbling,
    Nation,
    Teamwork,
    Aggressive,
    Curve,
    JumpPower,
    HeaderAcc,
    Technique,
    FreeKickSkill,
    LongPassSpeed,
    Position3,
    LongPassAcc,
    ShortPassSpeed,
    ShortPassAcc,
    Mentality,
    Position2,
    Stability,
    ShootAcc,
    ShootPower,
    Defense,
    Position1,
    Offense,
    Acceleration,
    Speed,
    DribbleSpeed,
    Foot,
    DribbleAcc,
    Stamina,
    Balance,
    Response,
    ShoesModel,
    FreeKick,
    HairType,
    Build,
    Accessory,
    Face,
    Height,
    BeardColor,
    BeardType,
    HairColor,
    Age,
    Skin,
};

inline constexpr std::size_t kPlayerFieldCount = 70;

inline constexpr std::array<PlayerField, kPlayerFieldCount> kPlayerFields{{
    {"head V", 2, 3, 0, PlayerPage::Looks},
    {"shoes tongue color", 29, 3, 0, PlayerPage::Looks},
    {"sleeves", 32, 2, 0, PlayerPage::Looks},
    {"shoes design color", 34, 3, 0, PlayerPage::Looks},
    {"shoes color", 37, 3, 0, PlayerPage::Looks},
    {"eye iris", 40, 4, 0, PlayerPage::Looks},
    {"eye globe", 44, 2, 0, PlayerPage::Looks},
    {"shoot tech", 47, 7, 0, PlayerPage::Abilities},
    {"weight", 54, 7, 0, PlayerPage::Looks},
    {"head H", 61, 3, 0, PlayerPage::Looks},
    {"injury", 66, 2, 0, PlayerPage::SpecialAbilities},
    {"outside", 68, 1, 0, PlayerPage::SpecialAbilities},
    {"feints", 69, 1, 0, PlayerPage::SpecialAbilities},
    {"PK keeper", 70, 1, 0, PlayerPage::SpecialAbilities},
    {"1vs1 GK", 71, 1, 0, PlayerPage::SpecialAbilities},
    {"feed kick", 72, 1, 0, PlayerPage::SpecialAbilities},
    {"defense line", 75, 1, 0, PlayerPage::SpecialAbilities},
    {"man mark", 76, 1, 0, PlayerPage::SpecialAbilities},
    {"direct play", 77, 1, 0, PlayerPage::SpecialAbilities},
    {"long throw", 78, 1, 0, PlayerPage::SpecialAbilities},
    {"1vs1 shoot", 79, 1, 0, PlayerPage::SpecialAbilities},
    {"PK kicker", 80, 1, 0, PlayerPage::SpecialAbilities},
    {"passer", 81, 1, 0, PlayerPage::SpecialAbilities},
    {"game maker", 82, 1, 0, PlayerPage::SpecialAbilities},
    {"striker", 83, 1, 0, PlayerPage::SpecialAbilities},
    {"running out", 84, 1, 0, PlayerPage::SpecialAbilities},
    {"positioning", 85, 1, 0, PlayerPage::SpecialAbilities},
    {"post player", 86, 1, 0, PlayerPage::SpecialAbilities},
    {"dribbling", 87, 1, 0, PlayerPage::SpecialAbilities},
    {"nation", 88, 8, 0, PlayerPage::Looks},
    {"teamwork", 100, 7, 0, PlayerPage::Abilities},
    {"aggressive", 107, 7, 0, PlayerPage::Abilities},
    {"curve", 114, 7, 0, PlayerPage::Abilities},
    {"jump power", 121, 7, 0, PlayerPage::Abilities},
    {"header acc", 128, 7, 0, PlayerPage::Abilities},
    {"technique", 135, 7, 0, PlayerPage::Abilities},
    {"free kick skill", 142, 7, 0, PlayerPage::Abilities},
    {"long pass speed", 149, 7, 0, PlayerPage::Abilities},
    {"position3", 156, 4, 0, PlayerPage::Looks},
    {"long pass acc", 160, 7, 0, PlayerPage::Abilities},
    {"short pass speed", 167, 7, 0, PlayerPage::Abilities},
    {"short pass acc", 174, 7, 0, PlayerPage::Abilities},
    {"mentality", 181, 7, 0, PlayerPage::Abilities},
    {"position2", 188, 4, 0, PlayerPage::Looks},
    {"stability", 192, 7, 0, PlayerPage::Abilities},
    {"shoot acc", 199, 7, 0, PlayerPage::Abilities},
    {"shoot power", 206, 7, 0, PlayerPage::Abilities},
    {"defense", 213, 7, 0, PlayerPage::Abilities},
    {"position1", 220, 4, 0, PlayerPage::Looks},
    {"offense", 224, 7, 0, PlayerPage::Abilities},
    {"acceleration", 231, 7, 0, PlayerPage::Abilities},
    {"speed", 238, 7, 0, PlayerPage::Abilities},
    {"dribble speed", 245, 7, 0, PlayerPage::Abilities},
    {"foot", 254, 2, 0, PlayerPage::Looks},
    {"dribble acc", 256, 7, 0, PlayerPage::Abilities},
    {"stamina", 263, 7, 0, PlayerPage::Abilities},
    {"balance", 270, 7, 0, PlayerPage::Abilities},
    {"response", 277, 7, 0, PlayerPage::Abilities},
    {"shoes model", 284, 4, 0, PlayerPage::Looks},
    {"free kick", 288, 3, 0, PlayerPage::Looks},
    {"hair type", 299, 7, 0, PlayerPage::Looks},
    {"build", 306, 3, 0, PlayerPage::Looks},
    {"accessory", 309, 3, 0, PlayerPage::Looks},
    {"face", 313, 7, 1, PlayerPage::Looks},
    {"height", 320, 6, 148, PlayerPage::Looks},
    {"beardcolor", 326, 6, 0, PlayerPage::Looks},
    {"beard type", 333, 6, 0, PlayerPage::Looks},
    {"hair color", 339, 6, 0, PlayerPage::Looks},
    {"age", 345, 5, 15, PlayerPage::Looks},
    {"skin", 350, 2, 0, PlayerPage::Looks},
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
