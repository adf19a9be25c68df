#include "voice/adx.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "store/file_platform.h"
#include "voice/wav.h"

namespace tarvo {

namespace {

constexpr std::uint8_t kAdxMagic = 0x80;
constexpr std::size_t kChannelCountOffset = 7, kSampleRateOffset = 8, kSampleCountOffset = 12;
constexpr std::size_t kCopyrightOffset = 30;
constexpr std::string_view kCopyright = "(c)CRI";
// The fixed prediction coefficients, in units of 1/16384.
constexpr std::uint32_t kCoefficient1 = 29336, kCoefficient2 = 13136;

// Units read per step of the file decoder: 7282 stereo units are 256 KiB of ADX and 910 KiB of WAV.
constexpr std::size_t kUnitsPerRead = 7282;

std::uint64_t dataSizeOf(const AdxHeader& header) {
    return std::uint64_t{header.sampleCount} * static_cast<std::uint64_t>(header.channels) * 2;
}

void writeHeaderOf(MutableByteSpan header, const AdxHeader& h) {
    writeWavHeader(header, static_cast<std::uint16_t>(h.channels), h.sampleRate,
                   static_cast<std::uint32_t>(dataSizeOf(h)));
}

}  // namespace

std::optional<AdxHeader> readAdxHeader(ByteSpan entry) {
    if (entry.size() < kAdxHeaderSize || entry[0] != kAdxMagic) return std::nullopt;
    if (!std::equal(kCopyright.begin(), kCopyright.end(), entry.begin() + kCopyrightOffset)) return std::nullopt;
    return AdxHeader{entry[kChannelCountOffset], *readU32BE(entry, kSampleRateOffset),
                     *readU32BE(entry, kSampleCountOffset)};
}

std::int64_t adxImageSize(ByteSpan entry) {
    const auto header = readAdxHeader(entry);
    if (!header) return -1;
    const auto size = static_cast<std::int64_t>(dataSizeOf(*header) + kWavHeaderSize);
    return size <= kMaxWavImageSize ? size : -1;
}

AdxDecoder::AdxDecoder(const AdxHeader& header)
    : m_channels(static_cast<std::size_t>(header.channels)), m_remaining(header.sampleCount) {}

namespace {

// One step of the prediction: s0 = (d * scale * 16384 + 29336 * s1 - 13136 * s2) >> 14 in signed
// 32-bit arithmetic that wraps (done in unsigned, read back as two's complement), clamped to 16 bits.
inline std::int32_t predict(int nibble, std::uint32_t scaled, std::int32_t s1, std::int32_t s2) {
    const int d = (nibble ^ 8) - 8;  // 8 to 15 are -8 to -1
    const std::uint32_t sum = static_cast<std::uint32_t>(d) * scaled + kCoefficient1 * static_cast<std::uint32_t>(s1) -
                              kCoefficient2 * static_cast<std::uint32_t>(s2);
    const std::int32_t s0 = static_cast<std::int32_t>(sum) >> 14;
    return s0 < -32768 ? -32768 : s0 > 32767 ? 32767 : s0;
}

inline void putSample(std::uint8_t* to, std::int32_t s) {
    to[0] = static_cast<std::uint8_t>(s);
    to[1] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(s) >> 8);
}

}  // namespace

namespace {

// One channel's prediction state while a block is decoded, kept in registers.
struct Chain {
    std::uint32_t scaled;  // the block's scale * 16384
    std::int32_t s1, s2;
    std::int32_t step(int nibble) {
        const std::int32_t s0 = predict(nibble, scaled, s1, s2);
        s2 = s1;
        s1 = s0;
        return s0;
    }
};

std::uint32_t scaledOf(const std::uint8_t* block) { return (std::uint32_t{block[0]} << 8 | block[1]) * 16384u; }

}  // namespace

// A whole unit into 32 frames, high nibble first. Stereo decodes the two channels' blocks side by
// side: each sample waits on the one before it, so two independent chains keep the processor busy.
void AdxDecoder::decodeWholeUnit(const std::uint8_t* unit, std::uint8_t* frames) {
    constexpr std::size_t kCodes = 2;  // the codes start after the block's scale
    if (m_channels == 1) {
        Chain m{scaledOf(unit), m_history[0].s1, m_history[0].s2};
        for (std::size_t b = 0; b < 16; ++b, frames += 4) {
            const std::uint8_t byte = unit[kCodes + b];
            putSample(frames, m.step(byte >> 4));
            putSample(frames + 2, m.step(byte & 0x0F));
        }
        m_history[0] = {m.s1, m.s2};
        return;
    }
    const std::uint8_t* right = unit + kBlockSize;
    Chain l{scaledOf(unit), m_history[0].s1, m_history[0].s2};
    Chain r{scaledOf(right), m_history[1].s1, m_history[1].s2};
    for (std::size_t b = 0; b < 16; ++b, frames += 8) {
        const std::uint8_t lb = unit[kCodes + b], rb = right[kCodes + b];
        putSample(frames, l.step(lb >> 4));
        putSample(frames + 2, r.step(rb >> 4));
        putSample(frames + 4, l.step(lb & 0x0F));
        putSample(frames + 6, r.step(rb & 0x0F));
    }
    m_history[0] = {l.s1, l.s2};
    m_history[1] = {r.s1, r.s2};
}

// The unit at the data's end, cut short: samples without data are zero and leave the history alone.
void AdxDecoder::decodePartialUnit(ByteSpan unit, std::uint8_t* frames) {
    const std::size_t frame = frameSize();
    std::fill_n(frames, kSamplesPerBlock * frame, std::uint8_t{0});
    for (std::size_t c = 0; c < m_channels; ++c) {
        const std::size_t at = c * kBlockSize;
        if (at + 2 > unit.size()) break;
        const std::uint32_t scaled = (std::uint32_t{unit[at]} << 8 | unit[at + 1]) * 16384u;
        const std::size_t codes = (std::min(kBlockSize, unit.size() - at) - 2) * 2;
        History& h = m_history[c];
        for (std::size_t i = 0; i < codes; ++i) {
            const std::uint8_t byte = unit[at + 2 + i / 2];
            const std::int32_t s0 = predict(i % 2 == 0 ? byte >> 4 : byte & 0x0F, scaled, h.s1, h.s2);
            putSample(frames + i * frame + 2 * c, s0);
            h.s2 = h.s1;
            h.s1 = s0;
        }
    }
}

std::size_t AdxDecoder::decode(ByteSpan audio, MutableByteSpan out) {
    if (!decodes()) return 0;
    const std::size_t frame = frameSize(), unit = unitSize();
    std::array<std::uint8_t, kSamplesPerBlock * 4> frames;
    std::size_t input = 0, output = 0;
    while (m_remaining > 0 && input < audio.size()) {
        const auto n = std::min(m_remaining, kSamplesPerBlock);
        if (out.size() - output < n * frame) break;
        // Whole units of 32 frames go straight into `out`; the last ones through `frames`.
        const bool whole = n == kSamplesPerBlock;
        std::uint8_t* to = whole ? out.data() + output : frames.data();
        if (audio.size() - input < unit) {
            decodePartialUnit(audio.subspan(input), to);
        } else {
            decodeWholeUnit(audio.data() + input, to);
        }
        if (!whole) std::copy_n(frames.data(), n * frame, out.data() + output);
        input += unit;
        output += n * frame;
        m_remaining -= n;
    }
    return output;
}

void decodeAdx(ByteSpan entry, MutableByteSpan image) {
    const auto header = readAdxHeader(entry);
    if (!header) return;
    const std::int64_t size = adxImageSize(entry);
    if (size < 0 || static_cast<std::int64_t>(image.size()) < size) return;
    const auto wav = image.first(static_cast<std::size_t>(size));
    writeHeaderOf(wav, *header);
    std::fill(wav.begin() + kWavHeaderSize, wav.end(), std::uint8_t{0});  // samples without data
    AdxDecoder(*header).decode(entry.subspan(kAdxHeaderSize), wav.subspan(kWavHeaderSize));
}

std::optional<Bytes> decodeAdxToWav(ByteSpan entry) {
    const std::int64_t size = adxImageSize(entry);
    if (size <= 0) return std::nullopt;
    Bytes image(static_cast<std::size_t>(size), 0);
    decodeAdx(entry, image);
    return image;
}

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A new file beside `target` that did not exist before ("wx": created, never opened over another).
File createTemporaryBeside(const std::filesystem::path& target, std::filesystem::path& made) {
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        made = target;
        made += ".tmp" + std::to_string(random());
        if (File f{platform::openFile(made, "wbx")}) return f;
    }
    return nullptr;
}

AdxFileResult decodeStream(std::FILE* in, const AdxHeader& header, std::FILE* out) {
    std::array<std::uint8_t, kWavHeaderSize> wavHeader{};
    writeHeaderOf(wavHeader, header);
    if (std::fwrite(wavHeader.data(), 1, wavHeader.size(), out) != wavHeader.size()) return AdxFileResult::CannotWrite;

    AdxDecoder decoder(header);
    std::uint64_t left = dataSizeOf(header);
    if (decoder.decodes()) {
        std::vector<std::uint8_t> audio(kUnitsPerRead * decoder.unitSize());
        std::vector<std::uint8_t> pcm(kUnitsPerRead * AdxDecoder::kSamplesPerBlock * decoder.frameSize());
        while (decoder.remaining() > 0) {
            const std::size_t got = std::fread(audio.data(), 1, audio.size(), in);
            if (got == 0) break;
            const std::size_t made = decoder.decode(ByteSpan(audio).first(got), pcm);
            if (std::fwrite(pcm.data(), 1, made, out) != made) return AdxFileResult::CannotWrite;
            left -= made;
            if (got < audio.size()) break;  // the data's end
        }
        if (std::ferror(in)) return AdxFileResult::CannotRead;
    }
    // Sample times the data does not reach stay silent, as in a clip decoded in memory.
    const std::vector<std::uint8_t> zeros(64 * 1024, 0);
    while (left > 0) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(left, zeros.size()));
        if (std::fwrite(zeros.data(), 1, n, out) != n) return AdxFileResult::CannotWrite;
        left -= n;
    }
    return AdxFileResult::Ok;
}

}  // namespace

AdxFileResult convertAdxFile(const std::filesystem::path& input, const std::filesystem::path& output) {
    File in{platform::openFile(input, "rb")};
    if (!in) return AdxFileResult::CannotRead;
    std::array<std::uint8_t, kAdxHeaderSize> head{};
    const std::size_t got = std::fread(head.data(), 1, head.size(), in.get());
    if (std::ferror(in.get())) return AdxFileResult::CannotRead;
    const auto header = readAdxHeader(ByteSpan(head).first(got));
    if (!header) return AdxFileResult::NotAdx;
    if (dataSizeOf(*header) > kMaxWavDataSize) return AdxFileResult::TooLong;

    std::filesystem::path temporary;
    File out = createTemporaryBeside(output, temporary);
    if (!out) return AdxFileResult::CannotCreate;
    AdxFileResult result = decodeStream(in.get(), *header, out.get());
    if (std::fclose(out.release()) != 0 && result == AdxFileResult::Ok) result = AdxFileResult::CannotWrite;
    std::error_code ec;
    if (result == AdxFileResult::Ok) {
        std::filesystem::rename(temporary, output, ec);
        if (ec) result = AdxFileResult::CannotCreate;
    }
    if (result != AdxFileResult::Ok) std::filesystem::remove(temporary, ec);
    return result;
}

std::uint32_t listenEntry(int which, std::uint16_t callNumber) {
    if (which == 2) return static_cast<std::uint16_t>(callNumber - 8744);
    return callNumber;
}

}  // namespace tarvo
