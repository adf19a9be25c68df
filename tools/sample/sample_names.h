#pragma once
// Invented names for the sample disc, as the Shift-JIS bytes the game's name slots hold: players'
// full and back names in Latin letters, katakana or kanji, and the teams' names.

#include <cstddef>

#include "sample_random.h"
#include "store/bytes.h"

namespace tarvo::sample {

enum class NameStyle { Latin, Katakana, Kanji };

inline constexpr std::size_t kMaxFullNameBytes = 30;
inline constexpr std::size_t kMaxBackNameBytes = 15;

struct PlayerNames {
    Bytes full;  // at most kMaxFullNameBytes
    Bytes back;  // upper-case Latin letters or katakana, at most kMaxBackNameBytes
};

PlayerNames inventPlayerNames(SampleRandom& rng, NameStyle style);

// A team's name for its team name slot (at most slotLength - 1 bytes; row 105 gets one byte).
Bytes teamNameOfRow(int row, std::size_t slotLength);
// Three upper-case letters.
Bytes shortNameOfRow(int row);
// A club's name (rows 65 to 104), at most 20 bytes.
Bytes clubNameOfRow(int row);

}  // namespace tarvo::sample
