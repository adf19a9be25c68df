#include "edits/input_text.h"

#include <algorithm>
#include <charconv>

#include "records/team.h"
#include "store/block_map.h"
#include "text/sjis.h"

namespace tarvo {

namespace {

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The bytes of the UTF-8 sequence at text[at], or 0 when none starts there.
std::size_t sequenceLength(std::string_view text, std::size_t at) {
    const auto c = static_cast<unsigned char>(text[at]);
    const std::size_t length = c < 0x80             ? 1
                               : (c & 0xE0) == 0xC0 ? 2
                               : (c & 0xF0) == 0xE0 ? 3
                               : (c & 0xF8) == 0xF0 ? 4
                                                    : 0;
    if (length == 0 || at + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k)
        if (!isContinuation(static_cast<unsigned char>(text[at + k]))) return 0;
    return length;
}

void appendEscaped(std::string& out, unsigned char c) {
    static const char* digits = "0123456789abcdef";
    out += "\\x";
    out += digits[c >> 4];
    out += digits[c & 15];
}

}  // namespace

bool isWholeNumber(std::string_view text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    return !text.empty() && std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; });
}

std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); ++count) at += std::max<std::size_t>(sequenceLength(text, at), 1);
    return count;
}

std::string shownValue(std::string_view text) {
    std::string out;
    std::size_t at = 0;
    for (std::size_t shown = 0; at < text.size() && shown < kShownCharacters; ++shown) {
        const auto c = static_cast<unsigned char>(text[at]);
        const std::size_t length = sequenceLength(text, at);
        if (length == 0 || c < 0x20 || c == 0x7F) {
            appendEscaped(out, c);
            ++at;
            continue;
        }
        out.append(text.substr(at, length));
        at += length;
    }
    if (at < text.size()) out += "...";
    return out;
}

// Built by appending: GCC 12 warns falsely (-Wrestrict) on "\"" + std::string at -O2.
std::string quoted(std::string_view text) {
    std::string out(1, '"');
    out.append(shownValue(text)).append(1, '"');
    return out;
}

std::optional<std::string> cellLengthRefusal(const std::optional<ValueRef>& value, std::string_view cell) {
    if (!value || !isTextValue(*value)) {
        if (cell.size() <= kMaxNumberCharacters) return std::nullopt;
        return quoted(cell) + " has " + std::to_string(cell.size()) + " characters; a number has at most " +
               std::to_string(kMaxNumberCharacters);
    }
    std::size_t slot = 0;
    // The whole slot: a disc's name may fill it without its NUL, and must still read back.
    if (value->what == ValueRef::What::FullName) slot = blockmap::kFullNameSize;
    else if (value->what == ValueRef::What::BackName) slot = blockmap::kBackNameSize;
    else slot = static_cast<std::size_t>(teamNameMaxBytes(static_cast<TeamFieldId>(value->index), value->subject) + 1);
    const std::size_t characters = characterCount(cell);
    if (characters <= slot) return std::nullopt;
    return quoted(cell) + " has " + std::to_string(characters) + " characters; its slot has " + std::to_string(slot) +
           " bytes";
}

std::optional<std::string> malformedNumber(ChangeKind kind, int number, std::string_view name, std::string_view value) {
    const auto named = valueNamed(kind, number, name);
    if (!named || isTextValue(*named) || isWholeNumber(value)) return std::nullopt;
    return quoted(name) + " takes a whole number, not " + quoted(value);
}

std::optional<std::int64_t> parseInteger(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.size() > 18) return std::nullopt;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<std::int64_t> parseInRange(std::string_view text, std::int64_t min, std::int64_t max) {
    const auto value = parseInteger(text);
    if (!value || *value < min || *value > max) return std::nullopt;
    return value;
}

std::optional<Assignment> parseAssignment(const std::string& text) {
    const auto eq = text.find('=');
    if (eq == std::string::npos) return std::nullopt;
    return Assignment{text.substr(0, eq), text.substr(eq + 1)};
}

EncodedName encodeName(const std::string& label, const std::string& text, std::size_t maxBytes) {
    // A name slot ends at its first NUL: the text after one would be lost.
    if (text.find('\0') != std::string::npos) return {{}, label + ": a name cannot hold a NUL character"};
    const EncodeResult encoded = encodeShiftJis(text);
    if (encoded.refused) return {{}, label + ": " + refusalMessage(*encoded.refused)};
    if (encoded.bytes.size() > maxBytes)
        return {{},
                label + " takes at most " + std::to_string(maxBytes) + " bytes of Shift-JIS text, \"" +
                    shownValue(text) + "\" has " + std::to_string(encoded.bytes.size())};
    return {encoded.bytes, {}};
}

}  // namespace tarvo
