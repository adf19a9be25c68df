#pragma once
// A small ADX encoder (mono, 4-bit ADPCM in 18-byte blocks of 32 samples), for the sample disc's
// voice calls. It predicts every sample exactly as the game's decoder does, from the decoder's
// own history, so that rounding errors never accumulate.

#include <cstdint>
#include <span>

#include "store/bytes.h"

namespace tarvo::sample {

inline constexpr std::uint32_t kAdxHeaderSize = 36;
inline constexpr std::uint32_t kAdxBlockSize = 18;
inline constexpr std::uint32_t kAdxSamplesPerBlock = 32;

// The ADX entry of mono 16-bit samples: header ("(c)CRI" at 30, audio from 36), then the blocks.
Bytes encodeAdx(std::span<const std::int16_t> samples, std::uint32_t sampleRate);

}  // namespace tarvo::sample
