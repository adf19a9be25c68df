// ADX voice calls decoded into WAV images: samples worked out by hand, the mono and stereo
// layouts, entries cut short, and entries that are no ADX or claim absurd lengths.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/sample.h"
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

Bytes adxEntry(int channels, std::uint32_t samples, std::vector<Bytes> blocks = {}, std::size_t cutTo = 0) {
    Bytes out(36, 0);
    out[0] = 0x80;
    out[7] = static_cast<std::uint8_t>(channels);
    writeU32BE(out, 8, 22050);
    writeU32BE(out, 12, samples);
    std::ranges::copy(std::string_view("(c)CRI"), out.begin() + 30);
    for (const auto& b : blocks) out.insert(out.end(), b.begin(), b.end());
    if (cutTo) out.resize(cutTo);
    return out;
}

std::vector<int> samplesOf(const Bytes& image, std::size_t from, std::size_t count) {
    std::vector<int> out;
    for (std::size_t i = 44 + 2 * from; i + 1 < image.size() && out.size() < count; i += 2)
        out.push_back(static_cast<std::int16_t>(*readU16LE(image, i)));
    return out;
}

TEST(Adx, DecodesImagesWorkedOutByHand) {
    std::vector<int> impulseAtEnd(32, 0);
    impulseAtEnd[31] = 1;  // with scale 1000 leaves the history s1 = 1000, s2 = 0
    const Bytes impulse = block(1000, {1});
    struct Case {
        const char* name;
        Bytes entry;
        std::size_t imageSize, from;
        std::vector<int> expected;
    };
    const std::vector<Case> cases = {
        // s0 = (29336 s1 - 13136 s2) >> 14, carried into the next block.
        {"prediction",
         adxEntry(1, 64, {block(1000, impulseAtEnd), block(0)}),
         172,
         31,
         {1000, 1790, 2403, 2867, 3206, 3441}},
        {"nibble 8 is -8", adxEntry(1, 1, {block(1, {8})}), 46, 0, {-8}},
        {"nibble 15 is -1, rounding down", adxEntry(1, 32, {block(1, {15})}), 108, 0, {-1, -2, -3}},
        {"clamped at 32767, history too", adxEntry(1, 32, {block(5000, {7})}), 108, 0, {32767, 32767, 32399}},
        {"clamped at -32768", adxEntry(1, 32, {block(5000, {8})}), 108, 0, {-32768, -32768, -32400}},
        {"mono 70 from 3 blocks, a 4th unread",
         adxEntry(1, 70, {block(0), block(0), impulse, impulse}),
         184,
         64,
         {1000, 1790, 2403, 2867, 3206, 3441}},
        {"stereo, left then right", adxEntry(2, 32, {block(0), impulse}), 172, 0, {0, 1000, 0, 1790, 0, 2403}},
        {"no samples", adxEntry(1, 0, {impulse}), 44, 0, {}},
        {"cut inside the second block's codes",
         adxEntry(1, 64, {block(1000, impulseAtEnd), block(0)}, 36 + 18 + 5),
         172,
         31,
         {1000, 1790, 2403, 2867, 3206, 3441, 3590, 0, 0}},
        {"cut inside the scale",
         adxEntry(1, 64, {block(1000, impulseAtEnd), block(0)}, 36 + 18 + 1),
         172,
         31,
         {1000, 0}},
        {"stereo without the right block",
         adxEntry(2, 4, {impulse, block(0)}, 36 + 18),
         60,
         0,
         {1000, 0, 1790, 0, 2403}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto image = decodeAdxToWav(c.entry);
        ASSERT_TRUE(image);
        ASSERT_EQ(image->size(), c.imageSize);
        EXPECT_EQ(*readU32LE(*image, 4), c.imageSize - 8);
        EXPECT_EQ(*readU32LE(*image, 40), c.imageSize - 44);
        EXPECT_EQ(samplesOf(*image, c.from, c.expected.size()), c.expected);
    }
    const Bytes expected = {'R',  'I',  'F',  'F', 0xA4, 0,    0,   0,    'W', 'A',  'V',  'E', 'f', 'm',  't',
                            ' ',  0x10, 0,    0,   0,    0x01, 0,   0x02, 0,   0x22, 0x56, 0,   0,   0x88, 0x58,
                            0x01, 0,    0x04, 0,   0x10, 0,    'd', 'a',  't', 'a',  0x80, 0,   0,   0};
    EXPECT_EQ(test::hex(ByteSpan(*decodeAdxToWav(adxEntry(2, 32, {block(0), block(0)}))).first(44)),
              test::hex(expected));
    Bytes small(107, 0xEE);  // one byte short of the image: nothing written
    decodeAdx(adxEntry(1, 32, {impulse}), small);
    EXPECT_EQ(small, Bytes(107, 0xEE));
}

TEST(Adx, RefusesEntriesThatAreNotAdxOrTooLarge) {
    Bytes badCopyright = adxEntry(1, 32, {block(0)});
    badCopyright[35] = 'X';
    Bytes badMagic = adxEntry(1, 32, {block(0)});
    badMagic[0] = 0x81;
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"35 bytes", adxEntry(1, 0, {}, 35)},
        {"no (c)CRI", badCopyright},
        {"byte 0 not 0x80", badMagic},
        {"stereo count that wraps to 44 in 32 bits", adxEntry(2, 0x80000000u, {block(0), block(0)})},
        {"one sample over 64 MiB", adxEntry(1, (64 * 1024 * 1024 - 44) / 2 + 1)},
    };
    for (const auto& [name, entry] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(adxImageSize(entry), -1);
        EXPECT_FALSE(decodeAdxToWav(entry));
    }
    EXPECT_EQ(adxImageSize(adxEntry(1, (64 * 1024 * 1024 - 44) / 2)), 64 * 1024 * 1024);
}

// The file decoder reads in steps of 7282 units; across steps, and at a data end inside a unit, it
// gives the very bytes of the decoder in memory. Refused inputs leave no file behind.
TEST(AdxFile, StreamsTheSameBytesAsTheDecoderInMemory) {
    test::TempDir dir;
    std::uint32_t x = 7;
    const auto randomBlocks = [&x](std::size_t count) {
        std::vector<Bytes> blocks;
        for (std::size_t i = 0; i < count; ++i) {
            Bytes b(18);
            for (auto& byte : b) byte = static_cast<std::uint8_t>((x = x * 1664525u + 1013904223u) >> 24);
            blocks.push_back(b);
        }
        return blocks;
    };
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"stereo over three steps", adxEntry(2, 32 * 7282 * 2 + 40, randomBlocks(2 * (7282 * 2 + 2)))},
        {"mono, data ending inside a block", adxEntry(1, 32 * 7282 + 100, randomBlocks(7282 + 3), 36 + 18 * 7282 + 25)},
        {"stereo claiming more samples than it holds", adxEntry(2, 32 * 9000, randomBlocks(10))},
        {"three channels: silence", adxEntry(3, 1000, randomBlocks(4))},
    };
    for (const auto& [name, entry] : cases) {
        SCOPED_TRACE(name);
        test::writeFile(dir / "in.adx", entry);
        ASSERT_EQ(convertAdxFile(dir / "in.adx", dir / "out.wav"), AdxFileResult::Ok);
        EXPECT_TRUE(test::readFile(dir / "out.wav") == decodeAdxToWav(entry).value());
    }
    Bytes notAdx = adxEntry(1, 32, {block(0)});
    notAdx[0] = 0x81;
    test::writeFile(dir / "not.adx", notAdx);
    test::writeFile(dir / "huge.adx", adxEntry(2, 0x40000000u, {block(0)}));  // 4 GiB of samples
    test::writeFile(dir / "short.adx", adxEntry(1, 0, {}, 35));
    const struct {
        const char* input;
        std::filesystem::path output;
        AdxFileResult result;
    } refusals[] = {{"missing.adx", dir / "a.wav", AdxFileResult::CannotRead},
                    {"not.adx", dir / "a.wav", AdxFileResult::NotAdx},
                    {"short.adx", dir / "a.wav", AdxFileResult::NotAdx},
                    {"huge.adx", dir / "a.wav", AdxFileResult::TooLong},
                    {"in.adx", dir / "none" / "a.wav", AdxFileResult::CannotCreate}};
    for (const auto& r : refusals) {
        EXPECT_EQ(convertAdxFile(dir / r.input, r.output), r.result) << r.input;
    }
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) left.push_back(e.path().filename().string());
    std::ranges::sort(left);
    EXPECT_EQ(left, (std::vector<std::string>{"huge.adx", "in.adx", "not.adx", "out.wav", "short.adx"}));
}

TEST(Adx, ListenEntryOfEachButton) {
    for (auto [which, call, entry] :
         {std::tuple{1, 11578, 11578u}, {2, 11578, 2834u}, {2, 8744, 0u}, {2, 8743, 65535u}})
        EXPECT_EQ(listenEntry(which, static_cast<std::uint16_t>(call)), entry) << "Listen" << which << " " << call;
}

}  // namespace
}  // namespace tarvo
