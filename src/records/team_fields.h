#pragma once
// Every value of a team row, as one table: where it lies in the blocks, its size, the values it
// may take and the rows that have it. The accessors of team.h, the command line's names and JSON
// keys, the windows' limits and the team file's layout all derive from this table.

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "store/block_map.h"

namespace tarvo {

enum class TeamBlock : std::uint8_t { Boot, Parameter };

// The rows that hold a value, or where it may be changed.
enum class TeamRows : std::uint8_t {
    All,         // 0 to 105
    NotDefault,  // 0 to 104: the default team row 105 has no tactics, and its names are not edited
    Clubs,       // 65 to 104
    National,    // 0 to 64
};

inline constexpr std::size_t kNoArray = std::numeric_limits<std::size_t>::max();

// A per-row array of one block: row r's entry lies at offset + stride * r, or, where the clubs and
// the default row have an array of their own, at clubOffset + clubStride * (r - 65). An offset of
// kNoArray means the rows' entries are not in an array (the names of the team table) or, for the
// club part, that those rows have no entry (no second copy of a club's squad).
struct TeamArray {
    TeamBlock block;
    std::size_t offset;
    std::size_t stride;
    std::size_t clubOffset = 0;
    std::size_t clubStride = 0;
};

enum class TeamFieldKind : std::uint8_t { Name, Tactics, SetPiece, Formation, SquadId, Shirt };

struct TeamField {
    std::string_view name;  // the value's name on the command line and its key in JSON
    TeamFieldKind kind;
    TeamArray where;                // the row's entry
    std::size_t size;               // bytes of the value (of each slot's value for squad values)
    std::size_t index;              // the value's place in the row's entry (tactics and set pieces)
    int min, max;                   // the values shown and accepted; for names, the bytes of text
    int scale, bias;                // stored byte = shown * scale + bias
    TeamRows rows;                  // the rows that hold the value
    TeamRows edited;                // the rows where it may be changed
    bool perSlot;                   // one value per squad slot
    bool inTeamFile;                // the team file carries it, in this table's order
    std::optional<TeamArray> copy;  // the second copy, written with the first
};

// The values in team file order (the club name, which the file does not carry, stands where
// `team --json` shows it). TF::X indexes kTeamFields.
enum class TF : std::uint8_t {
    TeamName,
    ClubName,
    ShortName,
    Offense,
    Defense,
    Teamwork,
    Speed,
    Technique,
    ShortKick,
    LongKick,
    RightCorner,
    LeftCorner,
    PenaltyKick,
    Captain,
    Formation,
    SquadId,
    Shirt,
    Count
};

namespace teamfields {
using namespace blockmap;
using enum TeamBlock;
using enum TeamRows;
using enum TeamFieldKind;

inline constexpr TeamArray kTeamTableNames{Boot, kNoArray, 0};
inline constexpr TeamArray kClubNames{Parameter, kNoArray, 0};
inline constexpr TeamArray kClubNameCopies{Parameter, kNoArray, kClubNameCopyDistance};
inline constexpr TeamArray kShortNames{Boot, kShortNamesOffset, kShortNameSize};
inline constexpr TeamArray kTactics{Boot, kTacticsOffset, 5};
inline constexpr TeamArray kSetPieces{Boot, kSetPiecesOffset, 6};
inline constexpr TeamArray kFormations{Boot, kFormationsOffset, kFormationSize};
inline constexpr TeamArray kSquads{Parameter, kNationalSquadOffset, 2 * kNationalSquadSize, kClubSquadOffset,
                                   2 * kClubSquadSize};
inline constexpr TeamArray kSquadCopies{Boot, kNationalSquadCopyOffset, kNationalSquadCopyStride, kNoArray, 0};
inline constexpr TeamArray kShirts{Parameter, kNationalShirtsOffset, kNationalSquadSize, kClubShirtsOffset,
                                   kClubSquadSize};

// A tactics value is shown as the stored byte div 5, 4 to 19; a set piece is the index of its taker
// "Player_01" to "Player_11"; a shirt is shown as the stored byte + 1.
constexpr TeamField tactics(std::string_view name, std::size_t k) {
    return {name, Tactics, kTactics, 1, k, 4, 19, 5, 0, NotDefault, NotDefault, false, true, {}};
}
constexpr TeamField setPiece(std::string_view name, std::size_t k) {
    return {name, SetPiece, kSetPieces, 1, k, 0, 10, 1, 0, All, All, false, true, {}};
}
}  // namespace teamfields

// Names hold their text and a NUL: the team name's slot length (and so its limit) comes from the
// team table; the club name has 21 bytes in both copies, the short name 4.
inline constexpr std::array<TeamField, static_cast<std::size_t>(TF::Count)> kTeamFields{{
    {"team name",
     teamfields::Name,
     teamfields::kTeamTableNames,
     0,
     0,
     0,
     0,
     1,
     0,
     TeamRows::All,
     TeamRows::NotDefault,
     false,
     true,
     {}},
    {"club name", teamfields::Name, teamfields::kClubNames, blockmap::kClubNameSize, 0, 0,
     static_cast<int>(blockmap::kClubNameSize) - 1, 1, 0, TeamRows::Clubs, TeamRows::Clubs, false, false,
     teamfields::kClubNameCopies},
    {"short name",
     teamfields::Name,
     teamfields::kShortNames,
     blockmap::kShortNameSize,
     0,
     0,
     static_cast<int>(blockmap::kShortNameSize) - 1,
     1,
     0,
     TeamRows::All,
     TeamRows::NotDefault,
     false,
     true,
     {}},
    teamfields::tactics("offense", 0),
    teamfields::tactics("defense", 1),
    teamfields::tactics("teamwork", 2),
    teamfields::tactics("speed", 3),
    teamfields::tactics("technique", 4),
    teamfields::setPiece("short kick", 0),
    teamfields::setPiece("long kick", 1),
    teamfields::setPiece("right corner", 2),
    teamfields::setPiece("left corner", 3),
    teamfields::setPiece("penalty kick", 4),
    teamfields::setPiece("captain", 5),
    {"formation",
     teamfields::Formation,
     teamfields::kFormations,
     blockmap::kFormationSize,
     0,
     0,
     0,
     1,
     0,
     TeamRows::All,
     TeamRows::All,
     false,
     true,
     {}},
    // Squad IDs: 0 is an empty slot; national squads are kept twice.
    {"id", teamfields::SquadId, teamfields::kSquads, 2, 0, 0, static_cast<int>(blockmap::kPlayerCount), 1, 0,
     TeamRows::All, TeamRows::All, true, true, teamfields::kSquadCopies},
    {"shirt", teamfields::Shirt, teamfields::kShirts, 1, 0, 1, 99, 1, -1, TeamRows::All, TeamRows::All, true, true, {}},
}};

constexpr const TeamField& teamField(TF f) { return kTeamFields[static_cast<std::size_t>(f)]; }

// The tactics and the set pieces, in their order on screen and in the blocks.
inline constexpr int kTacticsCount = 5;
inline constexpr TF kFirstTactics = TF::Offense;
inline constexpr int kSetPieceCount = 6;
inline constexpr TF kFirstSetPiece = TF::ShortKick;
inline constexpr int kTacticsShownMin = teamField(kFirstTactics).min;
inline constexpr int kTacticsShownMax = teamField(kFirstTactics).max;
inline constexpr int kSetPieceChoices = teamField(kFirstSetPiece).max + 1;  // "Player_01" to "Player_11"
constexpr TF tacticsField(int k) { return static_cast<TF>(static_cast<int>(kFirstTactics) + k); }
constexpr TF setPieceField(int k) { return static_cast<TF>(static_cast<int>(kFirstSetPiece) + k); }

// Whether a row is one of `rows`.
constexpr bool rowIsIn(int row, TeamRows rows) {
    switch (rows) {
    case TeamRows::All: return row >= 0 && row < blockmap::kTeamRows;
    case TeamRows::NotDefault: return row >= 0 && row < blockmap::kDefaultTeamRow;
    case TeamRows::Clubs: return row >= blockmap::kNationalRows && row < blockmap::kDefaultTeamRow;
    case TeamRows::National: return row >= 0 && row < blockmap::kNationalRows;
    }
    return false;
}

// The field of a name on the command line or in JSON.
std::optional<TF> teamFieldNamed(std::string_view name);

}  // namespace tarvo
