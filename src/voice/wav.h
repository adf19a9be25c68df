#pragma once
// The RIFF/WAVE layout of 16-bit PCM sound, in one place: the 44-byte header the ADX decoder
// writes, and where the samples of such an image lie for playing it.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "store/bytes.h"

namespace tarvo {

inline constexpr std::size_t kWavHeaderSize = 44;
// The largest sample data a header can state: the RIFF size (data size + 36) is a u32.
inline constexpr std::uint64_t kMaxWavDataSize = 0xFFFFFFFFu - 36;

// Writes the 44-byte header of 16-bit PCM sound into the first 44 bytes of `header`.
void writeWavHeader(MutableByteSpan header, std::uint16_t channels, std::uint32_t sampleRate, std::uint32_t dataSize);

// Where the samples of a 16-bit PCM WAV image lie and how they are to be played.
struct WavPcm {
    std::uint16_t channels;
    std::uint32_t sampleRate;
    std::size_t dataOffset;
    std::size_t dataSize;  // within the image, whatever the header claims
};
// The PCM layout of an image with the 44-byte header above; nullopt for anything else.
std::optional<WavPcm> wavPcmOf(ByteSpan wav);

}  // namespace tarvo
