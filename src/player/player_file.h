#pragma once
// The player file: 103 bytes, "PLAYERDATA", full name slot (31), back name slot (16), call
// number (u16 LE), player record (44). It carries no player ID.

#include <cstdint>
#include <filesystem>
#include <string>

#include "store/game_blocks.h"
#include "store/messages.h"

namespace tarvo {

inline constexpr std::size_t kPlayerFileSize = 103;

// "player%04d.dat".
std::string playerFileName(std::uint32_t id);
Bytes buildPlayerFile(const GameBlocks& blocks, std::uint32_t id);
// Stores a file's data as player `id` (both copies); false and nothing changed for a file that
// does not start with "PLAYERDATA" or is shorter than 103 bytes. Bytes after 103 are ignored.
bool applyPlayerFile(const GameBlocks& blocks, std::uint32_t id, ByteSpan file);

// "Export player data to file": directory/player%04d.dat; "OK, player data saved as \n<path>" or
// "Can not create file <path> !".
bool exportPlayer(const GameBlocks& blocks, std::uint32_t id, const std::filesystem::path& directory,
                  MessageService& messages);
// The same into a file of any name (the command-line tool's export).
bool exportPlayerTo(const GameBlocks& blocks, std::uint32_t id, const std::filesystem::path& file,
                    MessageService& messages);
// "Load player data from file": "Can not read file <path> !", "unknown format!" or
// "data of player load OK.". The caller reloads the current player and refreshes its pages.
bool importPlayer(const GameBlocks& blocks, std::uint32_t id, const std::filesystem::path& file,
                  MessageService& messages);

}  // namespace tarvo
