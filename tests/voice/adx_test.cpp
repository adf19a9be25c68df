// ADX voice calls decoded into WAV images: the arithmetic of a block worked out by hand, the
// mono and stereo layouts, the header checks, and entries that are cut short or lie about
// their length.

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "support/sample.h"
#include "sample/adx_encoder.h"
#include "sample/sample_voice.h"
#include "voice/adx.h"

namespace tarvo {
namespace {

// An 18-byte block: the scale and 32 four-bit codes (fewer codes are padded with 0).
Bytes block(std::uint16_t scale, std::vector<int> codes = {}) {
    Bytes out = {static_cast<std::uint8_t>(scale >> 8), static_cast<std::uint8_t>(scale)};
    codes.resize(32, 0);
    for (std::size_t i = 0; i < 32; i += 2) out.push_back(static_cast<std::uint8_t>(codes[i] << 4 | codes[i + 1]));
    return out;
}

Bytes adxEntry(int channels, std::uint32_t rate, std::uint32_t samples, std::vector<Bytes> blocks = {}) {
    Bytes out(36, 0);
    out[0] = 0x80;
    out[7] = static_cast<std::uint8_t>(channels);
    writeU32BE(out, 8, rate);
    writeU32BE(out, 12, samples);
    const std::string copyright = "(c)CRI";
    std::copy(copyright.begin(), copyright.end(), out.begin() + 30);
    for (const auto& b : blocks) out.insert(out.end(), b.begin(), b.end());
    return out;
}

Bytes cut(Bytes entry, std::size_t size) {
    entry.resize(size);
    return entry;
}

std::vector<int> samplesOf(const Bytes& image) {
    std::vector<int> out;
    for (std::size_t i = 44; i + 1 < image.size(); i += 2) out.push_back(static_cast<std::int16_t>(*readU16LE(image, i)));
    return out;
}

std::vector<int> slice(const std::vector<int>& v, std::size_t from, std::size_t count) {
    return {v.begin() + static_cast<std::ptrdiff_t>(from), v.begin() + static_cast<std::ptrdiff_t>(from + count)};
}

Bytes decoded(const Bytes& entry) {
    auto image = decodeAdxToWav(entry);
    EXPECT_TRUE(image);
    return image.value_or(Bytes{});
}

// The last code of a block with scale 1000 leaves the history s1 = 1000, s2 = 0.
std::vector<int> impulseAtEnd() {
    std::vector<int> codes(32, 0);
    codes[31] = 1;
    return codes;
}

TEST(AdxBlock, DecodesSamplesWorkedOutByHand) {
    struct Case {
        const char* name;
        std::vector<Bytes> blocks;
        std::size_t from;
        std::vector<int> expected;
    };
    const std::vector<Case> cases = {
        // History s1 = 1000, s2 = 0, then scale 0 and codes 0: s0 = (29336 s1 - 13136 s2) >> 14.
        {"prediction carried into the next block", {block(1000, impulseAtEnd()), block(0)}, 31,
         {1000, 1790, 2403, 2867, 3206, 3441, 3590}},
        {"nibble 7 is 7", {block(1, {7})}, 0, {7}},
        {"nibble 8 is -8", {block(1, {8})}, 0, {-8}},
        // -29336 >> 14 is -2: the shift rounds towards minus infinity.
        {"negative values round down", {block(1, {15})}, 0, {-1, -2, -3, -4}},
        // 7 * 5000 = 35000 is stored as 32767, and the next predictions start from 32767.
        {"clamped at 32767, history clamped too", {block(5000, {7})}, 0, {32767, 32767, 32399}},
        {"clamped at -32768", {block(5000, {8})}, 0, {-32768, -32768, -32400}},
        // 7 * 65535 * 16384 wraps to -1073872896 in 32 bits; -8 * 65535 * 16384 wraps to 131072.
        {"products wrap in 32 bits", {block(65535, {7})}, 0, {-32768}},
        {"products wrap in 32 bits, negative code", {block(65535, {8})}, 0, {8}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto samples = samplesOf(decoded(adxEntry(1, 22050, 32 * static_cast<std::uint32_t>(c.blocks.size()), c.blocks)));
        ASSERT_GE(samples.size(), c.from + c.expected.size());
        EXPECT_EQ(slice(samples, c.from, c.expected.size()), c.expected);
    }
}

TEST(AdxImage, WritesTheWavHeader) {
    const Bytes image = decoded(adxEntry(2, 22050, 32, {block(0), block(0)}));
    const Bytes expected = {
        'R', 'I', 'F', 'F', 0xA4, 0x00, 0x00, 0x00, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
        0x10, 0x00, 0x00, 0x00, 0x01, 0x00, 0x02, 0x00, 0x22, 0x56, 0x00, 0x00, 0x88, 0x58, 0x01, 0x00,
        0x04, 0x00, 0x10, 0x00, 'd', 'a', 't', 'a', 0x80, 0x00, 0x00, 0x00};
    ASSERT_EQ(image.size(), 172u);
    EXPECT_EQ(test::hex(ByteSpan(image).first(44)), test::hex(expected));
}

TEST(AdxImage, LaysOutMonoAndStereoSamples) {
    struct Case {
        const char* name;
        Bytes entry;
        std::size_t imageSize;
        std::size_t from;
        std::vector<int> expected;
    };
    const Bytes impulse = block(1000, {1});  // 1000, 1790, 2403, ...
    const std::vector<Case> cases = {
        {"mono, 70 samples from 3 blocks (a 4th is not read)",
         adxEntry(1, 11025, 70, {block(1000, impulseAtEnd()), block(0), block(0), block(30000, {7})}), 184, 31,
         {1000, 1790, 2403}},
        {"stereo, left then right of each sample time", adxEntry(2, 22050, 32, {block(0), impulse}), 172, 0,
         {0, 1000, 0, 1790, 0, 2403}},
        // Left: 1000, 1790, ... decaying to 939 at sample time 31; right silent until time 32.
        {"stereo, each channel its own history",
         adxEntry(2, 22050, 64, {impulse, block(0), block(0), block(1000, {1})}), 300, 62,
         {939, 0, 859, 1000, 785, 1790}},
        {"no samples", adxEntry(1, 22050, 0, {impulse}), 44, 0, {}},
        {"three channels: header and silence", adxEntry(3, 22050, 2, {impulse, impulse, impulse}), 56, 0,
         {0, 0, 0, 0, 0, 0}},
        {"no channels", adxEntry(0, 22050, 100, {impulse}), 44, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AdxImageSize(c.entry), static_cast<std::int64_t>(c.imageSize));
        const Bytes image = decoded(c.entry);
        ASSERT_EQ(image.size(), c.imageSize);
        EXPECT_EQ(*readU32LE(image, 40), c.imageSize - 44);
        EXPECT_EQ(*readU32LE(image, 4), c.imageSize - 8);
        const auto samples = samplesOf(image);
        ASSERT_GE(samples.size(), c.from + c.expected.size());
        EXPECT_EQ(slice(samples, c.from, c.expected.size()), c.expected);
    }
}

TEST(AdxImage, MonoCountOfSeventyEndsInsideTheThirdBlock) {
    const auto samples = samplesOf(decoded(adxEntry(1, 11025, 70, {block(0), block(0), block(1000, {1, 0, 0, 0, 0, 0, 7})})));
    ASSERT_EQ(samples.size(), 70u);
    EXPECT_EQ(slice(samples, 64, 6), (std::vector<int>{1000, 1790, 2403, 2867, 3206, 3441}));
}

TEST(AdxImage, LeavesSamplesWithoutDataZero) {
    struct Case {
        const char* name;
        Bytes entry;
        std::vector<int> expected;  // every sample of the image
    };
    std::vector<int> sixCodes(64, 0);
    const std::vector<int> decodedPart = {1790, 2403, 2867, 3206, 3441, 3590};
    sixCodes[31] = 1000;
    std::copy(decodedPart.begin(), decodedPart.end(), sixCodes.begin() + 32);
    const Bytes twoBlocks = adxEntry(1, 22050, 64, {block(1000, impulseAtEnd()), block(0)});
    std::vector<int> stereoLeftOnly(8, 0);
    stereoLeftOnly[0] = 1000;
    stereoLeftOnly[2] = 1790;
    stereoLeftOnly[4] = 2403;
    stereoLeftOnly[6] = 2867;

    const std::vector<Case> cases = {
        {"entry ends inside the second block: 3 bytes of codes, 6 samples", cut(twoBlocks, 36 + 18 + 5), sixCodes},
        {"entry ends inside the second block's scale", cut(twoBlocks, 36 + 18 + 1),
         [] { std::vector<int> v(64, 0); v[31] = 1000; return v; }()},
        {"entry holds no audio data", cut(twoBlocks, 36), std::vector<int>(64, 0)},
        {"stereo entry without the right block", cut(adxEntry(2, 22050, 4, {block(1000, {1}), block(0)}), 36 + 18),
         stereoLeftOnly},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(samplesOf(decoded(c.entry)), c.expected);
    }
}

TEST(AdxImage, RefusesEntriesThatAreNotAdxOrTooLarge) {
    struct Case {
        const char* name;
        Bytes entry;
        const char* console;
    };
    Bytes badCopyright = adxEntry(1, 22050, 32, {block(0)});
    badCopyright[35] = 'X';
    Bytes badMagic = adxEntry(1, 22050, 32, {block(0)});
    badMagic[0] = 0x81;
    const std::vector<Case> cases = {
        {"empty", {}, ""},
        {"35 bytes", cut(adxEntry(1, 22050, 0), 35), ""},
        {"no (c)CRI", badCopyright, "not adx!\n"},
        {"byte 0 not 0x80", badMagic, "not adx!\n"},
        // The image size would wrap to 44 in 32-bit arithmetic.
        {"absurd stereo sample count", adxEntry(2, 22050, 0x80000000u, {block(0), block(0)}), ""},
        {"largest sample count", adxEntry(1, 22050, 0xFFFFFFFFu, {block(0)}), ""},
        {"one sample over 64 MiB", adxEntry(1, 22050, (64 * 1024 * 1024 - 44) / 2 + 1), ""},
        {"255 channels", adxEntry(255, 22050, 0x21000), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::ostringstream console;
        EXPECT_EQ(AdxImageSize(c.entry, &console), -1);
        EXPECT_EQ(console.str(), c.console);
        EXPECT_FALSE(decodeAdxToWav(c.entry));
        EXPECT_EQ(AdxImageSize(c.entry, nullptr), -1);
    }
    EXPECT_EQ(AdxImageSize(adxEntry(1, 22050, (64 * 1024 * 1024 - 44) / 2)), 64 * 1024 * 1024);
}

TEST(AdxImage, WritesNothingIntoAnImageTooSmall) {
    const Bytes entry = adxEntry(1, 22050, 32, {block(1000, {1})});
    Bytes image(107, 0xEE);
    DecodeAdx(entry, image);
    EXPECT_EQ(image, Bytes(107, 0xEE));
}

TEST(ListenEntry, ChoosesTheEntryOfEachButton) {
    struct Case {
        int which;
        std::uint16_t call;
        std::uint32_t entry;
    };
    for (const auto& c : std::vector<Case>{
             {1, 11578, 11578}, {2, 11578, 2834}, {2, 8744, 0}, {2, 8743, 65535}, {2, 0, 56792}, {1, 65535, 65535}}) {
        EXPECT_EQ(listenEntry(c.which, c.call), c.entry) << "Listen" << c.which << " " << c.call;
    }
}


TEST(AdxImage, DecodesTheSampleDiscEncoderCloseToItsInput) {
    // The sample disc's encoder and this decoder meet only in the format: the decoded clip must
    // follow the clip that was encoded.
    for (int variant = 0; variant < 4; ++variant) {
        SCOPED_TRACE("variant " + std::to_string(variant));
        const auto clip = sample::makeVoiceClip(variant);
        const Bytes image = decoded(sample::encodeAdx(clip, sample::kVoiceSampleRate));
        EXPECT_EQ(*readU32LE(image, 24), sample::kVoiceSampleRate);
        const auto samples = samplesOf(image);
        ASSERT_EQ(samples.size(), clip.size());
        double error = 0, signal = 0;
        for (std::size_t i = 0; i < clip.size(); ++i) {
            error += double(samples[i] - clip[i]) * (samples[i] - clip[i]);
            signal += double(clip[i]) * clip[i];
        }
        // 4-bit codes give about 30 to 40 dB here; a decoder that misreads the format gives noise.
        EXPECT_GT(10 * std::log10(signal / error), 20.0);
    }
}

}  // namespace
}  // namespace tarvo
