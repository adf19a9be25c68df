#include "text/sjis.h"

#include <cstdio>
#include <vector>

#include "text/embedded_resources.h"
#include "text/jiscode.h"

namespace tarvo {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr std::uint8_t kFirstTrail = 0x40, kLastTrail = 0xFC, kNotTrail = 0x7F;
constexpr int kTrailsPerLead = kLastTrail - kFirstTrail + 1;
constexpr std::uint8_t kFirstHalfWidthKatakana = 0xA1, kLastHalfWidthKatakana = 0xDF;
constexpr char32_t kHalfWidthKatakanaBase = 0xFF61;  // the character of byte 0xA1

// Characters that the desktop code page writes with the code of another character (the older
// mappings of the same symbols). They encode, and decode as the code's own character.
struct OneWayMapping {
    char32_t character;
    std::uint16_t code;
};
constexpr OneWayMapping kOneWayMappings[] = {
    {0x00A2, 0x8191},  // cent sign -> full-width cent sign
    {0x00A3, 0x8192},  // pound sign -> full-width pound sign
    {0x2016, 0x8161},  // double vertical line -> parallel to
    {0x2212, 0x817C},  // minus sign -> full-width hyphen-minus
    {0x301C, 0x8160},  // wave dash -> full-width tilde
};

bool isLeadByte(std::uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool isTrailByte(std::uint8_t b) { return b >= kFirstTrail && b <= kLastTrail && b != kNotTrail; }

// The character of a two-byte code, or 0 when the code page assigns none.
char32_t characterOfCode(std::uint8_t lead, std::uint8_t trail) {
    if (!isLeadByte(lead) || !isTrailByte(trail)) return 0;
    const int leadRow = lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + (0x9F - 0x81 + 1);
    const std::size_t offset = 2 * (static_cast<std::size_t>(leadRow) * kTrailsPerLead + (trail - kFirstTrail));
    return readU16BE(embedded::sjisUnicode(), offset).value_or(0);
}

// The two-byte code of every BMP character (0 = none), built once. A table code claims its
// character first, so that the kanji of the 0xED and 0xEE rows keep their codes; every other
// character takes its lowest code, the code page's own choice.
const std::vector<std::uint16_t>& codeOfCharacter() {
    static const std::vector<std::uint16_t> codes = [] {
        std::vector<std::uint16_t> result(0x10000, 0);
        auto claim = [&](std::uint16_t code) {
            const char32_t c = characterOfCode(static_cast<std::uint8_t>(code >> 8), static_cast<std::uint8_t>(code));
            if (c != 0 && result[c] == 0) result[c] = code;
        };
        for (int n = 0; n < kJisCodeCount; ++n) {
            const auto code = codeAtIndex(n);
            claim(static_cast<std::uint16_t>(code[0] << 8 | code[1]));
        }
        for (int code = 0x8100; code <= 0xFCFF; ++code) claim(static_cast<std::uint16_t>(code));
        for (const auto& mapping : kOneWayMappings) {
            if (result[mapping.character] == 0) result[mapping.character] = mapping.code;
        }
        return result;
    }();
    return codes;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The character starting at `pos` (advanced past it); U+FFFD for a malformed sequence, which
// then covers only its first byte.
char32_t nextUtf8(std::string_view text, std::size_t& pos) {
    const auto first = static_cast<std::uint8_t>(text[pos++]);
    if (first < 0x80) return first;
    int length = 0;
    char32_t c = 0, minimum = 0;
    if ((first & 0xE0) == 0xC0) {
        length = 1, c = first & 0x1F, minimum = 0x80;
    } else if ((first & 0xF0) == 0xE0) {
        length = 2, c = first & 0x0F, minimum = 0x800;
    } else if ((first & 0xF8) == 0xF0) {
        length = 3, c = first & 0x07, minimum = 0x10000;
    } else {
        return kReplacement;
    }
    if (text.size() - pos < static_cast<std::size_t>(length)) return kReplacement;
    for (int i = 0; i < length; ++i) {
        const auto next = static_cast<std::uint8_t>(text[pos + i]);
        if ((next & 0xC0) != 0x80) return kReplacement;
        c = (c << 6) | (next & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kReplacement;
    pos += length;
    return c;
}

}  // namespace

std::string decodeShiftJis(ByteSpan bytes) {
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::uint8_t b = bytes[i];
        if (b < 0x80) {
            out += static_cast<char>(b);
            i += 1;
        } else if (b >= kFirstHalfWidthKatakana && b <= kLastHalfWidthKatakana) {
            appendUtf8(out, kHalfWidthKatakanaBase + (b - kFirstHalfWidthKatakana));
            i += 1;
        } else if (isLeadByte(b) && i + 1 < bytes.size()) {
            const std::uint8_t trail = bytes[i + 1];
            const char32_t c = characterOfCode(b, trail);
            appendUtf8(out, c != 0 ? c : kReplacement);
            // An ASCII byte after a lead byte that starts no character is read again as itself.
            i += (c != 0 || trail >= 0x80) ? 2 : 1;
        } else {
            appendUtf8(out, kReplacement);
            i += 1;
        }
    }
    return out;
}

EncodeResult encodeShiftJis(std::string_view utf8) {
    EncodeResult result;
    const auto& codes = codeOfCharacter();
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t c = nextUtf8(utf8, pos);
        if (c < 0x80) {
            result.bytes.push_back(static_cast<std::uint8_t>(c));
        } else if (c >= kHalfWidthKatakanaBase &&
                   c <= kHalfWidthKatakanaBase + (kLastHalfWidthKatakana - kFirstHalfWidthKatakana)) {
            result.bytes.push_back(static_cast<std::uint8_t>(kFirstHalfWidthKatakana + (c - kHalfWidthKatakanaBase)));
        } else if (c < codes.size() && codes[c] != 0) {
            result.bytes.push_back(static_cast<std::uint8_t>(codes[c] >> 8));
            result.bytes.push_back(static_cast<std::uint8_t>(codes[c]));
        } else {
            result.bytes.clear();
            result.refused = c;
            return result;
        }
    }
    return result;
}

std::string refusalMessage(char32_t c) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(c));
    std::string shown;
    if (c >= 0x20 && !(c >= 0x7F && c < 0xA0)) appendUtf8(shown, c);  // control characters show nothing
    return "the character " + (shown.empty() ? std::string() : shown + " ") + "(" + hex + ") has no Shift-JIS code";
}

}  // namespace tarvo
