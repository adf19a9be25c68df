#include "voice/adx.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tarvo {

namespace {

constexpr std::size_t kAdxHeaderSize = 36;  // the audio blocks start here, whatever the header says
constexpr std::uint8_t kAdxMagic = 0x80;
constexpr std::size_t kChannelCountOffset = 7, kSampleRateOffset = 8, kSampleCountOffset = 12;
constexpr std::size_t kCopyrightOffset = 30;
constexpr std::string_view kCopyright = "(c)CRI";

constexpr std::size_t kBlockSize = 18;  // u16 scale and 32 four-bit codes
constexpr int kSamplesPerBlock = 32;
// The fixed prediction coefficients, in units of 1/16384.
constexpr std::uint32_t kCoefficient1 = 29336, kCoefficient2 = 13136;

constexpr std::int64_t kWavHeaderSize = 44;
constexpr std::size_t kBytesPerSample = 2;

struct History {
    std::int32_t s1 = 0;  // the last decoded sample
    std::int32_t s2 = 0;  // the one before it
};

using BlockSamples = std::array<std::int16_t, kSamplesPerBlock>;

// Decodes the block at `offset` into 32 samples. The entry may end inside the block (or before
// it): samples without data stay zero and leave the history alone.
BlockSamples decodeBlock(ByteSpan entry, std::size_t offset, History& history) {
    BlockSamples samples{};
    const auto scale = readU16BE(entry, offset);
    if (!scale) return samples;
    const std::size_t available = std::min(kBlockSize, entry.size() - offset);
    for (std::size_t i = 0; i < (available - 2) * 2; ++i) {
        const std::uint8_t byte = entry[offset + 2 + i / 2];
        const int nibble = i % 2 == 0 ? byte >> 4 : byte & 0x0F;
        const int d = nibble >= 8 ? nibble - 16 : nibble;
        // Signed 32-bit arithmetic that wraps: done in unsigned, read back as two's complement.
        const std::uint32_t sum = static_cast<std::uint32_t>(d) * *scale * 16384u +
                                  kCoefficient1 * static_cast<std::uint32_t>(history.s1) -
                                  kCoefficient2 * static_cast<std::uint32_t>(history.s2);
        const std::int32_t s0 = std::clamp(static_cast<std::int32_t>(sum) >> 14, -32768, 32767);
        samples[i] = static_cast<std::int16_t>(s0);
        history.s2 = history.s1;
        history.s1 = s0;
    }
    return samples;
}

void writeText(MutableByteSpan image, std::size_t offset, std::string_view text) {
    std::copy(text.begin(), text.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
}

void writeWavHeader(MutableByteSpan image, const AdxHeader& header, std::uint32_t dataSize) {
    const auto channels = static_cast<std::uint32_t>(header.channels);
    writeText(image, 0, "RIFF");
    writeU32LE(image, 4, dataSize + 36);
    writeText(image, 8, "WAVE");
    writeText(image, 12, "fmt ");
    writeU32LE(image, 16, 16);
    writeU16LE(image, 20, 1);  // PCM
    writeU16LE(image, 22, static_cast<std::uint16_t>(channels));
    writeU32LE(image, 24, header.sampleRate);
    writeU32LE(image, 28, header.sampleRate * channels * 2);
    writeU16LE(image, 32, static_cast<std::uint16_t>(channels * 2));
    writeU16LE(image, 34, 16);  // bits per sample
    writeText(image, 36, "data");
    writeU32LE(image, 40, dataSize);
}

std::int64_t imageSizeOf(const AdxHeader& header) {
    return static_cast<std::int64_t>(header.sampleCount) * header.channels * 2 + kWavHeaderSize;
}

}  // namespace

std::optional<AdxHeader> readAdxHeader(ByteSpan entry) {
    if (entry.size() < kAdxHeaderSize || entry[0] != kAdxMagic) return std::nullopt;
    if (!std::equal(kCopyright.begin(), kCopyright.end(), entry.begin() + kCopyrightOffset)) return std::nullopt;
    return AdxHeader{entry[kChannelCountOffset], *readU32BE(entry, kSampleRateOffset),
                     *readU32BE(entry, kSampleCountOffset)};
}

std::int64_t AdxImageSize(ByteSpan entry, std::ostream* console) {
    if (entry.size() < kAdxHeaderSize) return -1;
    const auto header = readAdxHeader(entry);
    if (!header) {
        if (console) *console << "not adx!\n";
        return -1;
    }
    const std::int64_t size = imageSizeOf(*header);
    return size <= kMaxWavImageSize ? size : -1;
}

void DecodeAdx(ByteSpan entry, MutableByteSpan image) {
    const auto header = readAdxHeader(entry);
    if (!header) return;
    const std::int64_t size = imageSizeOf(*header);
    if (size > kMaxWavImageSize || static_cast<std::int64_t>(image.size()) < size) return;
    writeWavHeader(image, *header, static_cast<std::uint32_t>(size - kWavHeaderSize));
    std::fill(image.begin() + kWavHeaderSize, image.begin() + size, std::uint8_t{0});  // samples without data
    if (header->channels != 1 && header->channels != 2) return;

    const auto channels = static_cast<std::size_t>(header->channels);
    std::array<History, 2> history{};
    std::size_t input = kAdxHeaderSize;
    std::size_t output = kWavHeaderSize;
    std::uint32_t remaining = header->sampleCount;
    while (remaining > 0 && input < entry.size()) {
        std::array<BlockSamples, 2> blocks{};
        for (std::size_t c = 0; c < channels; ++c) {
            blocks[c] = decodeBlock(entry, input + c * kBlockSize, history[c]);
        }
        input += channels * kBlockSize;
        const auto n = std::min<std::uint32_t>(remaining, kSamplesPerBlock);
        for (std::uint32_t i = 0; i < n; ++i) {
            for (std::size_t c = 0; c < channels; ++c) {
                writeU16LE(image, output, static_cast<std::uint16_t>(blocks[c][i]));
                output += kBytesPerSample;
            }
        }
        remaining -= n;
    }
}

std::optional<Bytes> decodeAdxToWav(ByteSpan entry, std::ostream* console) {
    const std::int64_t size = AdxImageSize(entry, console);
    if (size <= 0) return std::nullopt;
    Bytes image(static_cast<std::size_t>(size), 0);
    DecodeAdx(entry, image);
    return image;
}

std::uint32_t listenEntry(int which, std::uint16_t callNumber) {
    if (which == 2) return static_cast<std::uint16_t>(callNumber - 8744);
    return callNumber;
}

}  // namespace tarvo
