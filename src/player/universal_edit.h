#pragma once
// The bulk change of one ability of all 2197 players: add a number or scale by a percentage in
// signed 32-bit arithmetic, then clamp to 1 to 99, for every player.

#include <cstdint>

#include "records/player.h"

namespace tarvo {

enum class UniversalMethod { Add, Percent };

inline constexpr int kUniversalAmountMin = -99, kUniversalAmountMax = 99;
inline constexpr int kUniversalPercentMin = 1, kUniversalPercentMax = 200;

// The new value of one ability under the method (amount or percentage), clamped to 1 to 99.
std::int32_t universalValue(std::int32_t value, UniversalMethod method, std::int32_t amount);
// Loads every player 1 to 2197 into `player` and rewrites ability `ability` (0 to 24); afterwards
// `player` holds player 2197.
void universalEdit(const GameBlocks& blocks, Player& player, int ability, UniversalMethod method, std::int32_t amount);

}  // namespace tarvo
