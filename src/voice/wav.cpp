#include "voice/wav.h"

#include <algorithm>
#include <string_view>

namespace tarvo {

namespace {

constexpr std::uint16_t kPcmFormat = 1, kBitsPerSample = 16, kFormatChunkSize = 16;
constexpr std::size_t kRiffSizeOffset = 4, kFormatOffset = 20, kChannelsOffset = 22, kRateOffset = 24,
                      kByteRateOffset = 28, kFrameSizeOffset = 32, kBitsOffset = 34, kDataSizeOffset = 40;

void writeTag(MutableByteSpan image, std::size_t offset, std::string_view tag) {
    std::copy(tag.begin(), tag.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
}

}  // namespace

void writeWavHeader(MutableByteSpan header, std::uint16_t channels, std::uint32_t sampleRate, std::uint32_t dataSize) {
    if (header.size() < kWavHeaderSize) return;
    const std::uint16_t frameSize = static_cast<std::uint16_t>(channels * 2);
    writeTag(header, 0, "RIFF");
    writeU32LE(header, kRiffSizeOffset, dataSize + 36);
    writeTag(header, 8, "WAVE");
    writeTag(header, 12, "fmt ");
    writeU32LE(header, 16, kFormatChunkSize);
    writeU16LE(header, kFormatOffset, kPcmFormat);
    writeU16LE(header, kChannelsOffset, channels);
    writeU32LE(header, kRateOffset, sampleRate);
    writeU32LE(header, kByteRateOffset, sampleRate * frameSize);
    writeU16LE(header, kFrameSizeOffset, frameSize);
    writeU16LE(header, kBitsOffset, kBitsPerSample);
    writeTag(header, 36, "data");
    writeU32LE(header, kDataSizeOffset, dataSize);
}

std::optional<WavPcm> wavPcmOf(ByteSpan wav) {
    const auto tag = [&](std::size_t at, std::string_view text) {
        return fitsIn(wav.size(), at, text.size()) &&
               std::equal(text.begin(), text.end(), wav.begin() + static_cast<std::ptrdiff_t>(at));
    };
    if (wav.size() < kWavHeaderSize || !tag(0, "RIFF") || !tag(8, "WAVE") || !tag(12, "fmt ") || !tag(36, "data"))
        return std::nullopt;
    const auto format = readU16LE(wav, kFormatOffset), channels = readU16LE(wav, kChannelsOffset),
               bits = readU16LE(wav, kBitsOffset);
    const auto rate = readU32LE(wav, kRateOffset), size = readU32LE(wav, kDataSizeOffset);
    if (format != kPcmFormat || bits != kBitsPerSample || !channels || *channels == 0 || !rate || *rate == 0)
        return std::nullopt;
    const std::size_t available = wav.size() - kWavHeaderSize;
    return WavPcm{*channels, *rate, kWavHeaderSize, std::min<std::size_t>(*size, available)};
}

}  // namespace tarvo
