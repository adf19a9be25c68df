#pragma once
// The player file: 103 bytes, "PLAYERDATA", full name slot (31), back name slot (16), call
// number (u16 LE), player record (44). It carries no player ID.

#include <cstdint>
#include <filesystem>
#include <string>

#include "records/value_check.h"
#include "store/game_blocks.h"
#include "store/messages.h"

namespace tarvo {

inline constexpr std::size_t kPlayerFileSize = 103;

// "player%04d.dat".
std::string playerFileName(std::uint32_t id);
Bytes buildPlayerFile(const GameBlocks& blocks, std::uint32_t id);
// Checks a file's values as an edit is checked, then stores its data as player `id` (both copies).
// Nothing is stored for a file that does not start with "PLAYERDATA", is shorter than 103 bytes
// (not known) or holds a value the game could not read (refused); values outside the editor's
// range are stored as they are and listed as kept. Bytes after 103 are ignored.
FileImport applyPlayerFile(const GameBlocks& blocks, std::uint32_t id, ByteSpan file);

// "Export player data to file": directory/player%04d.dat; "OK, player data saved as \n<path>" or
// "Can not create file <path> !".
bool exportPlayer(const GameBlocks& blocks, std::uint32_t id, const std::filesystem::path& directory,
                  MessageService& messages);
// The same into a file of any name (the command-line tool's export).
bool exportPlayerTo(const GameBlocks& blocks, std::uint32_t id, const std::filesystem::path& file,
                    MessageService& messages);
// "Load player data from file": "Can not read file <path> !", "unknown format!", the refused
// values, or "data of player load OK." (after the kept values, if any). When stored, the caller
// reloads the current player and refreshes its pages.
FileImport importPlayer(const GameBlocks& blocks, std::uint32_t id, const std::filesystem::path& file,
                        MessageService& messages);

}  // namespace tarvo
