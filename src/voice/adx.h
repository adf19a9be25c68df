#pragma once
// ADX voice calls (4-bit ADPCM, big-endian header, audio blocks of 18 bytes from offset 36)
// decoded into a 16-bit PCM RIFF/WAVE image.

#include <cstdint>
#include <optional>
#include <ostream>

#include "store/bytes.h"

namespace tarvo {

inline constexpr std::int64_t kMaxWavImageSize = 64 * 1024 * 1024;  // larger entries are refused

struct AdxHeader {
    int channels;               // 1 and 2 are decoded; others give a header and silence
    std::uint32_t sampleRate;   // samples per second
    std::uint32_t sampleCount;  // per channel
};
// The header of an ADX entry (no message), or nullopt when the entry is not ADX.
std::optional<AdxHeader> readAdxHeader(ByteSpan entry);

// The WAV image size (sample count * channels * 2 + 44, in 64-bit arithmetic), or -1 when the
// entry is not ADX (too short, byte 0 not 0x80 or no "(c)CRI" at 30; then "not adx!" goes to
// `console` when given) or the image would exceed kMaxWavImageSize.
std::int64_t AdxImageSize(ByteSpan entry, std::ostream* console = nullptr);
// Writes the 44-byte WAV header and the samples into an image of AdxImageSize bytes. Never reads
// past the entry's end: samples with no data stay zero.
void DecodeAdx(ByteSpan entry, MutableByteSpan image);
// Both steps: the WAV image, or nullopt when the entry is not decodable.
std::optional<Bytes> decodeAdxToWav(ByteSpan entry, std::ostream* console = nullptr);

// The archive entry a Listen button plays: "Listen1" (which = 1) entry N, "Listen2" (which = 2)
// entry (N - 8744) mod 65536.
std::uint32_t listenEntry(int which, std::uint16_t callNumber);

}  // namespace tarvo
