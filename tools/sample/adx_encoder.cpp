#include "adx_encoder.h"

#include <algorithm>
#include <array>
#include <limits>

namespace tarvo::sample {
namespace {

constexpr std::int64_t kCoefficient1 = 29336;  // prediction coefficients, units of 1/16384
constexpr std::int64_t kCoefficient2 = 13136;
constexpr int kFractionBits = 14;
// The decoder sums in 32 bits: the prediction reaches 42472 * 32768 at most, so with |code| <= 8
// and a scale of at most 5760 the sum can never wrap.
constexpr int kMaxScale = 5760;

std::int64_t magnitude(std::int64_t v) { return v < 0 ? -v : v; }

struct History {
    std::int32_t s1 = 0;
    std::int32_t s2 = 0;
};

// The prediction part of the decoder's sum, before the code's share is added.
std::int64_t prediction(const History& h) { return kCoefficient1 * h.s1 - kCoefficient2 * h.s2; }

// One sample exactly as the decoder makes it: 32-bit sum, arithmetic shift, clamp.
std::int32_t decodeSample(int code, int scale, const History& h) {
    const std::int64_t sum = static_cast<std::int64_t>(code) * scale * (1 << kFractionBits) + prediction(h);
    const auto wrapped = static_cast<std::int32_t>(static_cast<std::uint32_t>(sum));
    return std::clamp(wrapped >> kFractionBits, -32768, 32767);
}

struct EncodedBlock {
    int scale = 1;
    std::array<int, kAdxSamplesPerBlock> codes{};
    History history;
    std::int64_t squaredError = 0;
};

EncodedBlock encodeWithScale(std::span<const std::int32_t, kAdxSamplesPerBlock> target, int scale, History h) {
    EncodedBlock block;
    block.scale = scale;
    for (std::size_t i = 0; i < kAdxSamplesPerBlock; ++i) {
        const std::int64_t wanted = static_cast<std::int64_t>(target[i]) * (1 << kFractionBits) - prediction(h);
        const double ideal = static_cast<double>(wanted) / (static_cast<double>(scale) * (1 << kFractionBits));
        const int rounded = std::clamp(static_cast<int>(ideal >= 0 ? ideal + 0.5 : ideal - 0.5), -8, 7);
        int bestCode = rounded;
        std::int64_t bestError = std::numeric_limits<std::int64_t>::max();
        for (int code = std::max(-8, rounded - 1); code <= std::min(7, rounded + 1); ++code) {
            const std::int64_t error = magnitude(decodeSample(code, scale, h) - static_cast<std::int64_t>(target[i]));
            if (error < bestError) {
                bestError = error;
                bestCode = code;
            }
        }
        const std::int32_t s0 = decodeSample(bestCode, scale, h);
        block.codes[i] = bestCode;
        block.squaredError += bestError * bestError;
        h.s2 = h.s1;
        h.s1 = s0;
    }
    block.history = h;
    return block;
}

// The block's scale from its largest prediction error (predicting from the wanted samples),
// then a few larger scales; the one with the smallest error wins.
EncodedBlock encodeBlock(std::span<const std::int32_t, kAdxSamplesPerBlock> target, const History& start) {
    History ideal = start;
    std::int64_t largest = 0;
    for (std::int32_t x : target) {
        const std::int64_t error = static_cast<std::int64_t>(x) * (1 << kFractionBits) - prediction(ideal);
        largest = std::max(largest, magnitude(error) >> kFractionBits);
        ideal.s2 = ideal.s1;
        ideal.s1 = x;
    }
    const int base = static_cast<int>(std::clamp<std::int64_t>((largest + 6) / 7, 1, kMaxScale));
    EncodedBlock best = encodeWithScale(target, base, start);
    for (int factor : {5, 6, 8}) {  // quarters: 1.25, 1.5, 2
        const int scale = std::min(kMaxScale, base * factor / 4);
        if (scale == best.scale) continue;
        EncodedBlock candidate = encodeWithScale(target, scale, start);
        if (candidate.squaredError < best.squaredError) best = candidate;
    }
    return best;
}

}  // namespace

Bytes encodeAdx(std::span<const std::int16_t> samples, std::uint32_t sampleRate) {
    const std::size_t blocks = (samples.size() + kAdxSamplesPerBlock - 1) / kAdxSamplesPerBlock;
    Bytes out(kAdxHeaderSize + blocks * kAdxBlockSize, 0);
    out[0] = 0x80;
    writeU16BE(out, 2, static_cast<std::uint16_t>(kAdxHeaderSize - 4));  // the copyright text ends the header
    out[4] = 3;                                                          // fixed-coefficient ADPCM
    out[5] = kAdxBlockSize;
    out[6] = 4;  // bits per sample code
    out[7] = 1;  // mono
    writeU32BE(out, 8, sampleRate);
    writeU32BE(out, 12, static_cast<std::uint32_t>(samples.size()));
    writeU16BE(out, 16, 500);  // high-pass cut-off the coefficients were made for
    out[18] = 3;               // header version
    const char copyright[] = "(c)CRI";
    std::copy(copyright, copyright + 6, out.begin() + 30);

    History history;
    std::array<std::int32_t, kAdxSamplesPerBlock> target{};
    for (std::size_t b = 0; b < blocks; ++b) {
        for (std::size_t i = 0; i < kAdxSamplesPerBlock; ++i) {
            const std::size_t n = b * kAdxSamplesPerBlock + i;
            target[i] = n < samples.size() ? samples[n] : 0;
        }
        const EncodedBlock block = encodeBlock(target, history);
        history = block.history;
        const std::size_t at = kAdxHeaderSize + b * kAdxBlockSize;
        writeU16BE(out, at, static_cast<std::uint16_t>(block.scale));
        for (std::size_t i = 0; i < kAdxSamplesPerBlock; i += 2)
            out[at + 2 + i / 2] = static_cast<std::uint8_t>(((block.codes[i] & 0xF) << 4) | (block.codes[i + 1] & 0xF));
    }
    return out;
}

}  // namespace tarvo::sample
