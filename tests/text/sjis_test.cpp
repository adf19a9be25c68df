// Conversion between name bytes and Unicode text: fixed cases, refusals, and both round trips
// over every code of the table and every one-byte character.

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "support/sample.h"
#include "text/jiscode.h"
#include "text/sjis.h"

namespace tarvo {
namespace {

TEST(ShiftJis, DecodesEveryByteString) {
    const std::vector<std::pair<Bytes, std::string>> cases = {
        {{'R', 'i', 'o', 0x5C, 0x7E}, "Rio\\~"},
        {{0x82, 0xA0, 0xB1, 0xDF}, "あｱﾟ"},
        {{0x81, 0xCA, 0xEE, 0xF9}, "￢¬"},  // the table's second code of the sign has its own character
        {{0xED, 0x40, 0xFA, 0x5C}, "纊纊"},
        {{0x87, 0x54, 0xF0, 0x40}, "Ⅰ\xEE\x80\x80"},  // NEC row 13, user-defined area (U+E000)
        // Bytes that start nothing, a lead byte at the end or before a byte that ends no code (an
        // ASCII byte after it is read again), unassigned codes.
        {{0x80, 0xA0, 0xFD, 'A', 0x82}, "\uFFFD\uFFFD\uFFFDA\uFFFD"},
        {{0x82, 0x41, 0xEE, 0xED, 0x82, 0x00}, "\uFFFDA\uFFFD\uFFFD" + std::string(1, '\0')},
    };
    for (const auto& [bytes, text] : cases) EXPECT_EQ(decodeShiftJis(bytes), text) << test::hex(bytes);
}

TEST(ShiftJis, EncodesTableCodesFirstThenOneByteThenTheCodePage) {
    const std::vector<std::pair<Bytes, std::string>> cases = {
        {{'A', 0x00, 0x82, 0xA0, 0xB1}, std::string("A") + '\0' + "あｱ"},
        {{0xED, 0x40, 0xEE, 0xEF}, "纊ⅰ"},               // the extension rows' codes, not the code page's 0xFA..
        {{0x81, 0xE6, 0x87, 0x54}, "∵Ⅰ"},                // ∵ not by its NEC row 13 code; Ⅰ has only that one
        {{0x81, 0x60, 0x81, 0x7C, 0x81, 0x91}, "〜−¢"},  // older mappings of full-width symbols
    };
    for (const auto& [bytes, text] : cases) {
        const EncodeResult result = encodeShiftJis(text);
        EXPECT_FALSE(result.refused) << text;
        EXPECT_EQ(test::hex(result.bytes), test::hex(bytes)) << text;
    }
    for (const auto& [text, refused] : std::vector<std::pair<std::string, char32_t>>{{"Go\xF0\x9F\x98\x80!", 0x1F600},
                                                                                     {"é", 0xE9},
                                                                                     {"ab\xFF", 0xFFFD},
                                                                                     {"\xED\xA0\x80", 0xFFFD},
                                                                                     {"あ\xE3\x81", 0xFFFD}}) {
        const EncodeResult result = encodeShiftJis(text);
        EXPECT_EQ(static_cast<std::uint32_t>(result.refused.value_or(0)), static_cast<std::uint32_t>(refused)) << text;
        EXPECT_TRUE(result.bytes.empty());
    }
    EXPECT_EQ(refusalMessage(0xE9), "the character é (U+00E9) has no Shift-JIS code");
}

// Bytes to text and back, and text to bytes and back, for every table code but the two
// unassigned ones and every one-byte character (ASCII and the half-width katakana).
TEST(ShiftJis, RoundTripsOverEveryCode) {
    std::vector<Bytes> codes;
    for (int n = 0; n < kJisCodeCount; ++n) codes.push_back({codeAtIndex(n)[0], codeAtIndex(n)[1]});
    for (int b = 0; b < 256; ++b) codes.push_back({static_cast<std::uint8_t>(b)});
    std::set<std::string> characters;
    for (const Bytes& bytes : codes) {
        const std::string text = decodeShiftJis(bytes);
        if (text == "\uFFFD") continue;
        SCOPED_TRACE(test::hex(bytes));
        ASSERT_TRUE(characters.insert(text).second) << "two codes give one character";
        const EncodeResult encoded = encodeShiftJis(text);
        ASSERT_FALSE(encoded.refused);
        EXPECT_EQ(test::hex(encoded.bytes), test::hex(bytes));
    }
    EXPECT_EQ(characters.size(), static_cast<std::size_t>(kJisCodeCount - 2 + 128 + 63));
}

}  // namespace
}  // namespace tarvo
