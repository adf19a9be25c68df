#pragma once
// The team file: one team row with the data of every player of its squad ("TEAMDATA", row, L,
// team name slot, short name, tactics, set pieces, formation, N, squad, shirts, then the players'
// full names, back names, call numbers and records). All integers little-endian.

#include <filesystem>
#include <optional>
#include <string>

#include "records/formation.h"
#include "records/value_check.h"
#include "store/file_io.h"
#include "store/game_blocks.h"
#include "store/messages.h"

namespace tarvo {

// "team%03d.dat" with the row counted from 0.
std::string teamFileName(int row);
// The file's bytes: 2273 + L for a national team, 3905 + L for a club or row 105.
Bytes buildTeamFile(const GameBlocks& blocks, int row);
// Checks a team file completely (magic, row 0 to 105, L and N of that row, length); the row, or
// nullopt for a file that cannot come from an export.
std::optional<int> checkTeamFile(ByteSpan file);
// Checks every value of a file of that form as an edit is checked, then stores it into its row.
// Nothing is stored for a file of another form (not known) or one that holds a value the game
// could not read (refused); values outside the editor's range are stored as they are and listed.
FileImport applyTeamFile(const GameBlocks& blocks, ByteSpan file);

// "Save team": writes directory/team%03d.dat and shows "OK, team data saved as \n<path>", or
// "Can not create file <path> !" (caption "error").
bool exportTeam(const GameBlocks& blocks, int row, const std::filesystem::path& directory, MessageService& messages);
// The same into a file of any name (the command-line tool's export).
bool exportTeamTo(const GameBlocks& blocks, int row, const std::filesystem::path& file, MessageService& messages);
// "Load team": reads the file and stores it; shows "Can not read file <path> !", "unknown format!",
// the refused values, or "data of team %03d load OK." (row + 1) after the kept values, if any.
FileImport importTeam(const GameBlocks& blocks, const std::filesystem::path& file, MessageService& messages);
// "Load formation": the formation record of any team file (messages as importTeam, except that a
// success shows nothing: the formation editor says "Formation load OK.").
std::optional<FormationRecord> readFormationFromTeamFile(const std::filesystem::path& file, MessageService& messages);

}  // namespace tarvo
