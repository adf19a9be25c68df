#pragma once
// Where everything the editor reads or writes lies in the three data blocks loaded from the disc:
// the boot file, the parameter data (archive entry 16253, "parameter.ovl") and the select data
// (archive entry 16256, "select.ovl"). Offsets are byte offsets from the start of the block.

#include <cstddef>
#include <cstdint>

namespace tarvo::blockmap {

inline constexpr std::uint32_t kPlayerCount = 2197;  // player IDs 1 to 2197
inline constexpr int kTeamRows = 106;                // team rows 0 to 105
inline constexpr int kNationalRows = 65;             // rows 0 to 64
inline constexpr int kNationalSquadSize = 23;
inline constexpr int kClubSquadSize = 40;  // rows 65 to 105
inline constexpr int kDefaultTeamRow = 105;

inline constexpr std::uint32_t kParameterEntry = 16253;  // archive entry of the parameter data
inline constexpr std::uint32_t kSelectEntry = 16256;     // archive entry of the select data

// Per-player tables: primary copy in the parameter data, second copy elsewhere.
inline constexpr std::size_t kFullNameOffset = 1615, kFullNameSize = 31, kFullNameCopyOffset = 303471;   // copy: select
inline constexpr std::size_t kBackNameOffset = 71360, kBackNameSize = 16, kBackNameCopyOffset = 373216;  // copy: select
inline constexpr std::size_t kCallNumberOffset = 107634, kCallNumberSize = 2,
                             kCallNumberCopyOffset = 409202;                                         // copy: select
inline constexpr std::size_t kRecordOffset = 112188, kRecordSize = 44, kRecordCopyOffset = 2041052;  // copy: boot

// Team tables.
inline constexpr std::size_t kNationalShirtsOffset = 211152;      // parameter, 23 bytes per national row
inline constexpr std::size_t kClubShirtsOffset = 212864;          // parameter, 40 bytes per row - 65
inline constexpr std::size_t kNationalSquadOffset = 214624;       // parameter, 46 bytes per national row
inline constexpr std::size_t kNationalSquadCopyOffset = 2146864;  // boot, 80-byte entries, first 46 bytes used
inline constexpr std::size_t kNationalSquadCopyStride = 80;
inline constexpr std::size_t kClubSquadOffset = 218032;   // parameter, 80 bytes per row - 65
inline constexpr std::size_t kClubNameCopyDistance = 65;  // second club name 65 bytes after the first
inline constexpr std::size_t kClubNameSize = 21;
inline constexpr std::size_t kTacticsOffset = 2140944;      // boot, 5 bytes per row 0 to 104
inline constexpr std::size_t kSetPiecesOffset = 2141472;    // boot, 6 bytes per row
inline constexpr std::size_t kPresetRolesOffset = 2385088;  // boot, 21 entries of 11 bytes (bytes 1 to 10 used)
inline constexpr std::size_t kPresetRolesStride = 11;
inline constexpr std::size_t kPresetPositionsOffset = 2385456;  // boot, 21 entries of 20 bytes
inline constexpr std::size_t kPresetPositionsStride = 20;
inline constexpr int kPresetCount = 21;
inline constexpr std::size_t kFormationsOffset = 2495312;  // boot, 30 bytes per row
inline constexpr std::size_t kFormationSize = 30;
inline constexpr std::size_t kShortNamesOffset = 2500060;  // boot, 4 bytes per row
inline constexpr std::size_t kShortNameSize = 4;

// The smallest blocks that hold every entry above; shorter files are refused at load.
inline constexpr std::size_t kMinBootSize = 2500484;      // end of the short name array
inline constexpr std::size_t kMinParameterSize = 227410;  // end of the last club name copy
inline constexpr std::size_t kMinSelectSize = 413596;     // end of the call number copies

}  // namespace tarvo::blockmap
