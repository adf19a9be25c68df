// The sample disc's ADX encoder against the project's decoder: what goes in comes back out
// closely, for quiet, loud, odd-length and voice-like sounds.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

#include "sample/adx_encoder.h"
#include "sample/sample_random.h"
#include "sample/sample_voice.h"
#include "support/sample.h"
#include "voice/adx.h"

namespace tarvo::sample {
namespace {

constexpr std::size_t kWavHeaderSize = 44;

std::vector<std::int16_t> decodedSamples(const Bytes& wav) {
    std::vector<std::int16_t> samples;
    for (std::size_t at = kWavHeaderSize; at + 1 < wav.size(); at += 2)
        samples.push_back(static_cast<std::int16_t>(wav[at] | (wav[at + 1] << 8)));
    return samples;
}

std::vector<std::int16_t> sine(std::size_t count, double frequency, double amplitude) {
    std::vector<std::int16_t> s(count);
    for (std::size_t n = 0; n < count; ++n)
        s[n] = static_cast<std::int16_t>(std::lround(amplitude * std::sin(2 * std::numbers::pi * frequency * n / 22050)));
    return s;
}

std::vector<std::int16_t> square(std::size_t count, std::size_t halfPeriod, std::int16_t high, std::int16_t low) {
    std::vector<std::int16_t> s(count);
    for (std::size_t n = 0; n < count; ++n) s[n] = (n / halfPeriod) % 2 ? low : high;
    return s;
}

std::vector<std::int16_t> noise(std::size_t count, int amplitude) {
    SampleRandom rng(99);
    std::vector<std::int16_t> s(count);
    for (auto& v : s) v = static_cast<std::int16_t>(rng.range(-amplitude, amplitude));
    return s;
}

struct RoundTripCase {
    std::string name;
    std::vector<std::int16_t> samples;
    double minSnrDb;      // signal to error ratio the decoded sound keeps at least
    int maxError;         // largest difference of one sample
};

TEST(SampleAdxEncoder, DecodesCloseToWhatWasEncoded) {
    const std::vector<RoundTripCase> cases{
        {"silence", std::vector<std::int16_t>(100, 0), 0, 0},
        {"sine 440 Hz", sine(2205, 440, 10000), 45, 300},
        {"low sine, odd length", sine(70, 150, 3000), 40, 150},
        {"full-scale square", square(4000, 50, 32767, -32768), 17, 30000},
        {"steps", square(640, 200, 8000, -2000), 25, 3000},
        {"noise", noise(3000, 6000), 12, 4000},
        {"voice clip 0", makeVoiceClip(0), 30, 1500},
        {"voice clip 47", makeVoiceClip(47), 30, 1500},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes adx = encodeAdx(c.samples, 22050);
        const auto wav = decodeAdxToWav(adx);
        ASSERT_TRUE(wav.has_value());
        ASSERT_EQ(wav->size(), kWavHeaderSize + 2 * c.samples.size());
        const auto decoded = decodedSamples(*wav);
        double signal = 0, error = 0;
        int largest = 0;
        std::size_t worstAt = 0;
        for (std::size_t n = 0; n < decoded.size(); ++n) {
            const int e = decoded[n] - c.samples[n];
            signal += double(c.samples[n]) * c.samples[n];
            error += double(e) * e;
            if (std::abs(e) > largest) {
                largest = std::abs(e);
                worstAt = n;
            }
        }
        SCOPED_TRACE("worst sample " + std::to_string(worstAt) + ": wanted " + std::to_string(c.samples[worstAt]) +
                     ", decoded " + std::to_string(decoded[worstAt]));
        EXPECT_LE(largest, c.maxError);
        if (error > 0) {
            EXPECT_GE(10 * std::log10(signal / error), c.minSnrDb);
        }
    }
}

TEST(SampleAdxEncoder, WritesTheHeaderTheDecoderReads) {
    const Bytes adx = encodeAdx(sine(70, 300, 1000), 22050);
    // 70 samples: three blocks of 18 bytes after the 36-byte header.
    ASSERT_EQ(adx.size(), 36u + 3 * 18);
    const Bytes expected{0x80, 0x00, 0x00, 0x20, 0x03, 0x12, 0x04, 0x01, 0x00, 0x00, 0x56, 0x22,
                         0x00, 0x00, 0x00, 0x46, 0x01, 0xF4, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00,
                         0x00, 0x00, 0x00, 0x00, 0x00, 0x00, '(',  'c',  ')',  'C',  'R',  'I'};
    const Bytes header(adx.begin(), adx.begin() + 36);
    EXPECT_EQ(header, expected) << test::hex(header);
    // Every block's scale is at least 1, and a silent input gives scale 1 and zero codes.
    for (std::size_t at = 36; at < adx.size(); at += 18) EXPECT_GE((adx[at] << 8) | adx[at + 1], 1);
    const Bytes quiet = encodeAdx(std::vector<std::int16_t>(32, 0), 22050);
    EXPECT_EQ(Bytes(quiet.begin() + 36, quiet.end()), (Bytes{0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(SampleAdxEncoder, EmptySoundIsAHeaderOnly) {
    const Bytes adx = encodeAdx({}, 22050);
    EXPECT_EQ(adx.size(), 36u);
    const auto wav = decodeAdxToWav(adx);
    ASSERT_TRUE(wav.has_value());
    EXPECT_EQ(wav->size(), kWavHeaderSize);
}

TEST(SampleVoiceClips, AreVoiceLikeAndDifferent) {
    std::vector<std::vector<std::int16_t>> clips;
    for (int v : {0, 1, 2, 17, 47}) {
        SCOPED_TRACE(v);
        const auto clip = makeVoiceClip(v);
        const double seconds = double(clip.size()) / kVoiceSampleRate;
        EXPECT_GE(seconds, 0.8);
        EXPECT_LE(seconds, 2.2);
        int peak = 0;
        for (auto s : clip) peak = std::max(peak, std::abs(int(s)));
        EXPECT_EQ(peak, kVoicePeak);
        EXPECT_EQ(clip.front(), 0);  // starts and ends in silence: no click
        EXPECT_EQ(clip.back(), 0);
        EXPECT_EQ(makeVoiceClip(v), clip);
        for (const auto& other : clips) EXPECT_NE(other, clip);
        clips.push_back(clip);
    }
}

}  // namespace
}  // namespace tarvo::sample
