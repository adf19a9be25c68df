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

struct Case {
    Bytes bytes;
    std::string text;  // UTF-8
};

TEST(DecodeShiftJis, TurnsEveryByteStringIntoText) {
    const std::vector<Case> cases = {
        {{}, ""},
        {{'R', 'i', 'o', ' ', '9'}, "Rio 9"},
        {{0x5C, 0x7E}, "\\~"},
        {{0x82, 0xA0, 0x83, 0x41}, "あア"},
        {{0xB1, 0xDF}, "ｱﾟ"},
        {{0x81, 0x5F, 0x81, 0x60, 0x81, 0x7C}, "＼～－"},
        {{0x81, 0xCA, 0xEE, 0xF9}, "￢¬"},  // the table's second code of the sign has its own character
        {{0x88, 0xEA, 0xEA, 0xA4}, "一熙"},
        {{0xED, 0x40, 0xFA, 0x5C}, "纊纊"},
        {{0x87, 0x54, 0xF0, 0x40}, "Ⅰ\xEE\x80\x80"},  // NEC row 13, user-defined area (U+E000)
        // Not Shift-JIS: bytes that start nothing, a lead byte at the end or before a byte that
        // ends no code (an ASCII byte after it is read again), unassigned codes.
        {{0x80, 0xA0, 0xFD, 0xFE, 0xFF}, "\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
        {{'A', 0x82}, "A\uFFFD"},
        {{0x82, 0x41, 0x85, 0xA0}, "\uFFFDA\uFFFD"},
        {{0xEE, 0xED, 0xEE, 0xEE, 0x82, 0x00}, "\uFFFD\uFFFD\uFFFD" + std::string(1, '\0')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(test::hex(c.bytes));
        EXPECT_EQ(decodeShiftJis(c.bytes), c.text);
    }
}

TEST(EncodeShiftJis, GivesTableCodesFirstThenOneByteThenTheCodePage) {
    const std::vector<Case> cases = {
        {{'A', 'b', 0x00, 0x7F}, std::string("Ab") + '\0' + "\x7F"},
        {{0x82, 0xA0, 0xB1}, "あｱ"},
        {{0xED, 0x40}, "纊"},        // the extension row's code, not the code page's 0xFA5C
        {{0xEE, 0xEF}, "ⅰ"},         // not 0xFA40
        {{0x81, 0xCA, 0xEE, 0xF9}, "￢¬"},
        {{0x81, 0xE6, 0x81, 0xE0}, "∵≒"},  // not their NEC row 13 codes
        {{0x87, 0x54, 0x87, 0x40}, "Ⅰ①"},  // code page only: NEC row 13 before 0xFA4A
        {{0xF0, 0x40}, "\xEE\x80\x80"},
        // Older mappings of symbols the code page writes with the code of the full-width form.
        {{0x81, 0x60, 0x81, 0x7C, 0x81, 0x61, 0x81, 0x91, 0x81, 0x92}, "〜−‖¢£"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const EncodeResult result = encodeShiftJis(c.text);
        EXPECT_FALSE(result.refused);
        EXPECT_EQ(test::hex(result.bytes), test::hex(c.bytes));
    }
}

TEST(EncodeShiftJis, RefusesTheFirstCharacterWithoutACode) {
    struct Refusal {
        std::string text;
        char32_t refused;
    };
    const std::vector<Refusal> cases = {
        {"Go\xF0\x9F\x98\x80!", 0x1F600},  // an emoji
        {"€", 0x20AC},
        {"é", 0xE9},
        {"a\uFFFDb", 0xFFFD},
        {"ab\xFF", 0xFFFD},             // not UTF-8
        {"\xC3", 0xFFFD},               // cut short
        {"\xC0\x80", 0xFFFD},           // overlong
        {"\xED\xA0\x80", 0xFFFD},       // surrogate
        {"あ\xE3\x81", 0xFFFD},
        {"한글", 0xD55C},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const EncodeResult result = encodeShiftJis(c.text);
        ASSERT_TRUE(result.refused);
        EXPECT_EQ(static_cast<std::uint32_t>(*result.refused), static_cast<std::uint32_t>(c.refused));
        EXPECT_TRUE(result.bytes.empty());
    }
    EXPECT_EQ(refusalMessage(0x1F600), "the character \xF0\x9F\x98\x80 (U+1F600) has no Shift-JIS code");
    EXPECT_EQ(refusalMessage(0xE9), "the character é (U+00E9) has no Shift-JIS code");
    EXPECT_EQ(refusalMessage(0x85), "the character (U+0085) has no Shift-JIS code");
}

TEST(ShiftJisRoundTrip, KeepsEveryCodeOfTheTableButTheTwoUnassigned) {
    int kept = 0;
    std::set<std::string> characters;
    for (int n = 0; n < kJisCodeCount; ++n) {
        const auto code = codeAtIndex(n);
        const Bytes bytes(code.begin(), code.end());
        SCOPED_TRACE(test::hex(bytes));
        const std::string text = decodeShiftJis(bytes);
        if (text == "\uFFFD") {
            EXPECT_TRUE(bytes == Bytes({0xEE, 0xED}) || bytes == Bytes({0xEE, 0xEE}));
            continue;
        }
        characters.insert(text);
        const EncodeResult encoded = encodeShiftJis(text);
        ASSERT_FALSE(encoded.refused);
        EXPECT_EQ(test::hex(encoded.bytes), test::hex(bytes));
        EXPECT_EQ(decodeShiftJis(encoded.bytes), text);
        ++kept;
    }
    EXPECT_EQ(kept, kJisCodeCount - 2);
    EXPECT_EQ(characters.size(), static_cast<std::size_t>(kJisCodeCount - 2));  // one character each

    // A whole name: table codes, ASCII and half-width katakana mixed.
    const Bytes name = {0x8E, 0x52, 0x93, 0x63, ' ', 0xC0, 0xDB, 0xB3, ' ', 0xED, 0x95, 'J', 'r', '.'};
    EXPECT_EQ(test::hex(encodeShiftJis(decodeShiftJis(name)).bytes), test::hex(name));
}

TEST(ShiftJisRoundTrip, KeepsEveryOneByteCharacter) {
    int kept = 0;
    for (int b = 0; b < 256; ++b) {
        const Bytes bytes = {static_cast<std::uint8_t>(b)};
        const std::string text = decodeShiftJis(bytes);
        if (text == "\uFFFD") continue;
        SCOPED_TRACE(test::hex(bytes));
        EXPECT_EQ(test::hex(encodeShiftJis(text).bytes), test::hex(bytes));
        ++kept;
    }
    EXPECT_EQ(kept, 128 + 63);  // ASCII and the half-width katakana 0xA1 to 0xDF
}

TEST(ShiftJisRoundTrip, GivesBackTheTextOfEveryTwoByteCode) {
    // Codes outside the table may encode to another code of the same character, but the text
    // survives: what decoding shows, encoding accepts and decoding shows again.
    int assigned = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead == 0xA0) lead = 0xE0;  // 0xA0 to 0xDF are one-byte characters or nothing
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const Bytes bytes = {static_cast<std::uint8_t>(lead), static_cast<std::uint8_t>(trail)};
            const std::string text = decodeShiftJis(bytes);
            if (text.find("\uFFFD") != std::string::npos) continue;
            SCOPED_TRACE(test::hex(bytes));
            const EncodeResult encoded = encodeShiftJis(text);
            ASSERT_FALSE(encoded.refused);
            EXPECT_EQ(decodeShiftJis(encoded.bytes), text);
            ++assigned;
        }
    }
    EXPECT_EQ(assigned, 9604);  // the code page's two-byte codes, user-defined area included
}

}  // namespace
}  // namespace tarvo
