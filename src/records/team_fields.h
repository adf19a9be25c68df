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

#include "records/name_slot.h"
#include "store/block_map.h"

namespace tarvo {

enum class TeamBlock : std::uint8_t { Boot, Parameter };

// The three kinds of team row.
enum class TeamKind { National, Club, Default };

// Each kind's rows and what they hold. Squad slots from `emptySlotsFrom` on may be empty (ID 0);
// the others need a player. The default team row has no tactics entry (a 106th would overlap the
// set pieces' first entry), no club name, and its names are not edited.
struct TeamRowKind {
    TeamKind kind;
    std::string_view name;  // as `team --json` shows it
    int firstRow, lastRow;
    int squadSlots;
    int emptySlotsFrom;
    bool hasTactics;
    bool hasClubName;
    bool namesEdited;
};

// clang-format off
inline constexpr std::array<TeamRowKind, 3> kTeamRowKinds{{
    {.kind = TeamKind::National, .name = "national", .firstRow = 0, .lastRow = 64, .squadSlots = 23,
     .emptySlotsFrom = 23, .hasTactics = true, .hasClubName = false, .namesEdited = true},
    {.kind = TeamKind::Club, .name = "club", .firstRow = 65, .lastRow = 104, .squadSlots = 40,
     .emptySlotsFrom = 23, .hasTactics = true, .hasClubName = true, .namesEdited = true},
    {.kind = TeamKind::Default, .name = "default", .firstRow = 105, .lastRow = 105, .squadSlots = 40,
     .emptySlotsFrom = 23, .hasTactics = false, .hasClubName = false, .namesEdited = false},
}};
// clang-format on

constexpr const TeamRowKind& rowKind(TeamKind kind) { return kTeamRowKinds[static_cast<std::size_t>(kind)]; }
inline constexpr int kFirstTeamRow = kTeamRowKinds.front().firstRow;
inline constexpr int kLastTeamRow = kTeamRowKinds.back().lastRow;

// The block map addresses the squads, shirts and club arrays by these same rows and sizes.
static_assert(rowKind(TeamKind::National).lastRow + 1 == blockmap::kNationalRows);
static_assert(rowKind(TeamKind::Default).firstRow == blockmap::kDefaultTeamRow);
static_assert(kLastTeamRow + 1 == blockmap::kTeamRows);
static_assert(rowKind(TeamKind::National).squadSlots == blockmap::kNationalSquadSize);
static_assert(rowKind(TeamKind::Club).squadSlots == blockmap::kClubSquadSize);
static_assert(rowKind(TeamKind::Default).squadSlots == blockmap::kClubSquadSize);

// The kind of a team row; nullptr for a number that is no row.
constexpr const TeamRowKind* rowKindOf(int row) {
    for (const TeamRowKind& kind : kTeamRowKinds)
        if (row >= kind.firstRow && row <= kind.lastRow) return &kind;
    return nullptr;
}

// The rows that hold a value, or where it may be changed.
enum class TeamRows : std::uint8_t { All, WithTactics, WithClubName, NamesEdited };

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

// The values in team file order (the club name, which the file does not carry, stands where
// `team --json` shows it). TeamFieldId::X indexes kTeamFields.
enum class TeamFieldId : std::uint8_t {
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

struct TeamField {
    TeamFieldId id;
    std::string_view name;  // the value's name on the command line and its key in JSON
    TeamFieldKind kind;
    TeamArray where;                     // the row's entry
    std::size_t size = 1;                // bytes of the value (of each slot's value for squad values)
    std::size_t index = 0;               // the value's place in the row's entry (tactics and set pieces)
    int min = 0, max = 0;                // the values shown and accepted; for names, the bytes of text
    int scale = 1, bias = 0;             // stored byte = shown * scale + bias
    TeamRows rows = TeamRows::All;       // the rows that hold the value
    TeamRows edited = TeamRows::All;     // the rows where it may be changed
    bool perSlot = false;                // one value per squad slot
    bool inTeamFile = true;              // the team file carries it, in this table's order
    std::optional<TeamArray> copy = {};  // the second copy, written with the first
};

namespace teamfields {
using namespace blockmap;
using enum TeamBlock;
using enum TeamRows;
using Id = TeamFieldId;
using Kind = TeamFieldKind;

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

// Names hold their text and a NUL: the team name's slot length (and so its limit) comes from the
// team table; the club name has 21 bytes in both copies, the short name 4. A tactics value is shown
// as the stored byte div 5, 4 to 19; a set piece is the index of its taker "Player_01" to
// "Player_11"; a squad ID is 0 (an empty slot) or a player; a shirt is shown as the stored byte + 1.
// clang-format off
inline constexpr std::array<TeamField, static_cast<std::size_t>(Id::Count)> kRows{{
    {.id = Id::TeamName, .name = "team name", .kind = Kind::Name, .where = kTeamTableNames, .size = 0,
     .edited = NamesEdited},
    {.id = Id::ClubName, .name = "club name", .kind = Kind::Name, .where = kClubNames, .size = kClubNameSize,
     .max = static_cast<int>(maxNameTextBytes(kClubNameSize)), .rows = WithClubName, .edited = WithClubName,
     .inTeamFile = false, .copy = kClubNameCopies},
    {.id = Id::ShortName, .name = "short name", .kind = Kind::Name, .where = kShortNames, .size = kShortNameSize,
     .max = static_cast<int>(maxNameTextBytes(kShortNameSize)), .edited = NamesEdited},
    {.id = Id::Offense, .name = "offense", .kind = Kind::Tactics, .where = kTactics, .index = 0,
     .min = 4, .max = 19, .scale = 5, .rows = WithTactics, .edited = WithTactics},
    {.id = Id::Defense, .name = "defense", .kind = Kind::Tactics, .where = kTactics, .index = 1,
     .min = 4, .max = 19, .scale = 5, .rows = WithTactics, .edited = WithTactics},
    {.id = Id::Teamwork, .name = "teamwork", .kind = Kind::Tactics, .where = kTactics, .index = 2,
     .min = 4, .max = 19, .scale = 5, .rows = WithTactics, .edited = WithTactics},
    {.id = Id::Speed, .name = "speed", .kind = Kind::Tactics, .where = kTactics, .index = 3,
     .min = 4, .max = 19, .scale = 5, .rows = WithTactics, .edited = WithTactics},
    {.id = Id::Technique, .name = "technique", .kind = Kind::Tactics, .where = kTactics, .index = 4,
     .min = 4, .max = 19, .scale = 5, .rows = WithTactics, .edited = WithTactics},
    {.id = Id::ShortKick, .name = "short kick", .kind = Kind::SetPiece, .where = kSetPieces, .index = 0, .max = 10},
    {.id = Id::LongKick, .name = "long kick", .kind = Kind::SetPiece, .where = kSetPieces, .index = 1, .max = 10},
    {.id = Id::RightCorner, .name = "right corner", .kind = Kind::SetPiece, .where = kSetPieces, .index = 2, .max = 10},
    {.id = Id::LeftCorner, .name = "left corner", .kind = Kind::SetPiece, .where = kSetPieces, .index = 3, .max = 10},
    {.id = Id::PenaltyKick, .name = "penalty kick", .kind = Kind::SetPiece, .where = kSetPieces, .index = 4, .max = 10},
    {.id = Id::Captain, .name = "captain", .kind = Kind::SetPiece, .where = kSetPieces, .index = 5, .max = 10},
    {.id = Id::Formation, .name = "formation", .kind = Kind::Formation, .where = kFormations, .size = kFormationSize},
    {.id = Id::SquadId, .name = "id", .kind = Kind::SquadId, .where = kSquads, .size = 2,
     .min = 0, .max = static_cast<int>(kPlayerCount), .perSlot = true, .copy = kSquadCopies},
    {.id = Id::Shirt, .name = "shirt", .kind = Kind::Shirt, .where = kShirts,
     .min = 1, .max = 99, .bias = -1, .perSlot = true},
}};
// clang-format on

constexpr bool rowsInFieldOrder() {
    for (std::size_t i = 0; i < kRows.size(); ++i)
        if (static_cast<std::size_t>(kRows[i].id) != i) return false;
    return true;
}
static_assert(rowsInFieldOrder(), "row i of the table is the row of field i");
}  // namespace teamfields

inline constexpr const std::array<TeamField, static_cast<std::size_t>(TeamFieldId::Count)>& kTeamFields =
    teamfields::kRows;

constexpr const TeamField& teamField(TeamFieldId f) { return kTeamFields[static_cast<std::size_t>(f)]; }

// The tactics and the set pieces, in their order on screen and in the blocks.
inline constexpr int kTacticsCount = 5;
inline constexpr TeamFieldId kFirstTactics = TeamFieldId::Offense;
inline constexpr int kSetPieceCount = 6;
inline constexpr TeamFieldId kFirstSetPiece = TeamFieldId::ShortKick;
inline constexpr int kTacticsShownMin = teamField(kFirstTactics).min;
inline constexpr int kTacticsShownMax = teamField(kFirstTactics).max;
inline constexpr int kSetPieceChoices = teamField(kFirstSetPiece).max + 1;  // "Player_01" to "Player_11"
constexpr TeamFieldId tacticsField(int k) { return static_cast<TeamFieldId>(static_cast<int>(kFirstTactics) + k); }
constexpr TeamFieldId setPieceField(int k) { return static_cast<TeamFieldId>(static_cast<int>(kFirstSetPiece) + k); }

// Whether a row is one of `rows`.
constexpr bool rowIsIn(int row, TeamRows rows) {
    const TeamRowKind* kind = rowKindOf(row);
    if (kind == nullptr) return false;
    switch (rows) {
    case TeamRows::All: return true;
    case TeamRows::WithTactics: return kind->hasTactics;
    case TeamRows::WithClubName: return kind->hasClubName;
    case TeamRows::NamesEdited: return kind->namesEdited;
    }
    return false;
}

// The field of a name on the command line or in JSON.
std::optional<TeamFieldId> teamFieldNamed(std::string_view name);

}  // namespace tarvo
