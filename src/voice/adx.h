#pragma once
// ADX voice calls (4-bit ADPCM, big-endian header, audio blocks of 18 bytes from offset 36)
// decoded into 16-bit PCM: into a WAV image in memory for playing a clip, or from file to file in
// blocks of a few hundred kilobytes, so that memory stays flat whatever the length.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "store/bytes.h"

namespace tarvo {

inline constexpr std::size_t kAdxHeaderSize = 36;                   // the audio blocks start here
inline constexpr std::int64_t kMaxWavImageSize = 64 * 1024 * 1024;  // larger clips are not decoded in memory

struct AdxHeader {
    int channels;               // 1 and 2 are decoded; others give a header and silence
    std::uint32_t sampleRate;   // samples per second
    std::uint32_t sampleCount;  // per channel
};
// The header of an ADX entry, or nullopt when the entry is not ADX (shorter than 36 bytes, byte 0
// not 0x80 or no "(c)CRI" at 30). A caller that plays a clip says "not adx!" for an entry of 36
// bytes or more that this refuses.
std::optional<AdxHeader> readAdxHeader(ByteSpan entry);

// The WAV image size (sample count * channels * 2 + 44, in 64-bit arithmetic), or -1 when the
// entry is not ADX or the image would exceed kMaxWavImageSize.
std::int64_t adxImageSize(ByteSpan entry);
// Writes the 44-byte WAV header and the samples into an image of adxImageSize bytes. Never reads
// past the entry's end: samples with no data stay zero.
void decodeAdx(ByteSpan entry, MutableByteSpan image);
// Both steps: the WAV image, or nullopt when the entry is not decodable.
std::optional<Bytes> decodeAdxToWav(ByteSpan entry);

// Decodes the audio data that follows the header, a piece at a time, into interleaved 16-bit
// little-endian frames (left then right for stereo), carrying the prediction history from piece
// to piece.
class AdxDecoder {
public:
    explicit AdxDecoder(const AdxHeader& header);
    // Whether the channel count is one that is decoded (1 or 2); other counts give only silence.
    bool decodes() const { return m_channels == 1 || m_channels == 2; }
    // Audio bytes that code 32 sample times of every channel: 18 for mono, 36 for stereo.
    std::size_t unitSize() const { return kBlockSize * m_channels; }
    std::size_t frameSize() const { return 2 * m_channels; }
    // Sample times still to be written.
    std::uint32_t remaining() const { return m_remaining; }
    // Decodes the units of `audio` (whole units, except that the data's last piece may end inside
    // one: its samples without data are zero) into `out`; returns the bytes written. Stops when
    // every sample time is written or `out` has no room for the next unit's frames.
    std::size_t decode(ByteSpan audio, MutableByteSpan out);

    static constexpr std::size_t kBlockSize = 18;  // u16 scale and 32 four-bit codes
    static constexpr std::uint32_t kSamplesPerBlock = 32;

private:
    void decodeWholeUnit(const std::uint8_t* unit, std::uint8_t* frames);
    void decodePartialUnit(ByteSpan unit, std::uint8_t* frames);

    struct History {
        std::int32_t s1 = 0;  // the last decoded sample
        std::int32_t s2 = 0;  // the one before it
    };
    std::size_t m_channels;
    std::uint32_t m_remaining;
    std::array<History, 2> m_history{};
};

enum class AdxFileResult { Ok, CannotRead, NotAdx, TooLong, CannotCreate, CannotWrite };
// Decodes the ADX file `input` into the WAV file `output`, streaming. The WAV is written to a new
// temporary file beside `output` and renamed over it once whole; on any failure nothing is left.
// TooLong: the samples would not fit the 32-bit sizes of a WAV header.
AdxFileResult convertAdxFile(const std::filesystem::path& input, const std::filesystem::path& output);

// The archive entry a Listen button plays: "Listen1" (which = 1) entry N, "Listen2" (which = 2)
// entry (N - 8744) mod 65536.
std::uint32_t listenEntry(int which, std::uint16_t callNumber);

}  // namespace tarvo
