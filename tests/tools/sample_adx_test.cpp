// The sample disc's ADX encoder against the project's decoder: what goes in comes back out
// closely, for silent, loud, odd-length and voice-like sounds.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "sample/adx_encoder.h"
#include "sample/sample_voice.h"
#include "support/sample.h"
#include "voice/adx.h"

namespace tarvo::sample {
namespace {

constexpr std::size_t kWavHeaderSize = 44;

std::vector<std::int16_t> square(std::size_t count, std::size_t halfPeriod, std::int16_t high, std::int16_t low) {
    std::vector<std::int16_t> s(count);
    for (std::size_t n = 0; n < count; ++n) s[n] = (n / halfPeriod) % 2 ? low : high;
    return s;
}

struct RoundTripCase {
    std::string name;
    std::vector<std::int16_t> samples;
    double minSnrDb;  // signal to error ratio the decoded sound keeps at least
    int maxError;     // largest difference of one sample
};

TEST(SampleAdxEncoder, DecodesCloseToWhatWasEncoded) {
    const std::vector<RoundTripCase> cases{
        {"nothing", {}, 0, 0},
        {"silence", std::vector<std::int16_t>(100, 0), 0, 0},
        {"steps, odd length", square(71, 20, 3000, -1000), 20, 3000},
        {"full-scale square", square(4000, 50, 32767, -32768), 17, 30000},
        {"voice clip 47", makeVoiceClip(47), 30, 1500},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes adx = encodeAdx(c.samples, 22050);
        const auto wav = decodeAdxToWav(adx);
        ASSERT_TRUE(wav.has_value());
        ASSERT_EQ(wav->size(), kWavHeaderSize + 2 * c.samples.size());
        std::vector<std::int16_t> decoded;
        for (std::size_t at = kWavHeaderSize; at + 1 < wav->size(); at += 2)
            decoded.push_back(static_cast<std::int16_t>(*readU16LE(*wav, at)));
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
        EXPECT_LE(largest, c.maxError) << "worst sample " << worstAt << ": wanted " << c.samples[worstAt]
                                       << ", decoded " << decoded[worstAt];
        if (error > 0) {
            EXPECT_GE(10 * std::log10(signal / error), c.minSnrDb);
        }
    }
}

}  // namespace
}  // namespace tarvo::sample
