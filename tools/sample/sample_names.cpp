#include "sample_names.h"

#include <array>
#include <cctype>
#include <string>
#include <string_view>
#include <utility>

#include "store/team_table.h"

namespace tarvo::sample {
namespace {

constexpr std::uint8_t kKatakanaLead = 0x83;
// Trail bytes of full-size katakana (lead byte 0x83), from ア to ン.
constexpr std::array<std::uint8_t, 64> kKatakana{
    0x41, 0x43, 0x45, 0x47, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F, 0x50, 0x51, 0x52, 0x53, 0x54,
    0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F, 0x60, 0x63, 0x65, 0x66, 0x67,
    0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F, 0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77,
    0x78, 0x79, 0x7A, 0x7B, 0x7C, 0x7D, 0x7E, 0x80, 0x81, 0x82, 0x84, 0x86, 0x88, 0x89, 0x8A, 0x93};
constexpr std::uint8_t kKatakanaN = 0x93;                      // ン, never first
constexpr std::array<std::uint8_t, 2> kMiddleDot{0x81, 0x45};  // ・ between given and family name
constexpr std::array<std::uint8_t, 2> kWideSpace{0x81, 0x40};

constexpr std::array<std::string_view, 22> kOnsets{"b", "br", "d", "f",  "g", "gr", "h", "k", "l", "m", "n",
                                                   "p", "r",  "s", "st", "t", "tr", "v", "z", "j", "c", "w"};
constexpr std::array<std::string_view, 9> kVowelParts{"a", "e", "i", "o", "u", "ei", "ou", "ia", "ai"};
constexpr std::array<std::string_view, 10> kCodas{"", "", "", "n", "r", "s", "l", "m", "nd", "rt"};

void append(Bytes& out, std::string_view text) { out.insert(out.end(), text.begin(), text.end()); }
template <std::size_t N>
void append(Bytes& out, const std::array<std::uint8_t, N>& code) {
    out.insert(out.end(), code.begin(), code.end());
}

std::string latinWord(SampleRandom& rng, int syllables) {
    std::string word;
    for (int i = 0; i < syllables; ++i) {
        word += kOnsets[static_cast<std::size_t>(rng.range(0, kOnsets.size() - 1))];
        word += kVowelParts[static_cast<std::size_t>(rng.range(0, kVowelParts.size() - 1))];
        if (i + 1 == syllables) word += kCodas[static_cast<std::size_t>(rng.range(0, kCodas.size() - 1))];
    }
    word[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(word[0])));
    return word;
}

Bytes katakanaWord(SampleRandom& rng, int length) {
    Bytes word;
    for (int i = 0; i < length; ++i) {
        std::uint8_t trail = kKatakana[static_cast<std::size_t>(rng.range(0, kKatakana.size() - 1))];
        if (i == 0 && trail == kKatakanaN) trail = kKatakana[0];
        word.push_back(kKatakanaLead);
        word.push_back(trail);
    }
    return word;
}

// A kanji of JIS X 0208 level 1 from the fully assigned rows (lead bytes 0x89 to 0x97).
void appendKanji(Bytes& out, SampleRandom& rng) {
    out.push_back(static_cast<std::uint8_t>(rng.range(0x89, 0x97)));
    int trail = rng.range(0x40, 0xFB);
    if (trail >= 0x7F) ++trail;  // 0x7F is never a trail byte
    out.push_back(static_cast<std::uint8_t>(trail));
}

std::string_view labelName(int row) {
    std::string_view label = TeamTable[static_cast<std::size_t>(row)].label;
    return label.substr(label.find('.') + 1);
}

// Team names that need a shorter or a Japanese form in their slot.
Bytes japaneseOrShortName(int row) {
    switch (row) {
    case 1: return Bytes{'N', '.', ' ', 'I', 'r', 'e', 'l', 'a', 'n', 'd'};
    case 10: return Bytes{0x83, 0x58, 0x83, 0x43, 0x83, 0x58};              // スイス
    case 11: return Bytes{0x83, 0x43, 0x83, 0x5E, 0x83, 0x8A, 0x83, 0x41};  // イタリア
    case 12: return Bytes{0x83, 0x60, 0x83, 0x46, 0x83, 0x52};              // チェコ
    case 13: return Bytes{0x83, 0x68, 0x83, 0x43, 0x83, 0x63};              // ドイツ
    case 36: return Bytes{'S', 'o', 'u', 't', 'h', ' ', 'A', 'f', 'r', 'i', 'c', 'a'};
    case 43: return Bytes{0x83, 0x75, 0x83, 0x89, 0x83, 0x57, 0x83, 0x8B};  // ブラジル
    case 50: return Bytes{0x93, 0xFA, 0x96, 0x7B};                          // 日本
    case 51: return Bytes{0x8A, 0xD8, 0x8D, 0x91};                          // 韓国
    case 52: return Bytes{0x92, 0x86, 0x8D, 0x91};                          // 中国
    case 67: return Bytes{'M', 'a', 'n', 'c', 'h', 'e', 's', 't', 'e', 'r', ' ', 'U', 't', 'd'};
    case 73: return Bytes{'N', 'e', 'w', 'c', 'a', 's', 't', 'l', 'e', ' ', 'U', 't', 'd'};
    case 78: return Bytes{'D', 'e', 'p', 'o', 'r', 't', 'i', 'v', 'o'};
    case 81: return Bytes{'P', 'a', 'r', 'i', 's', ' ', 'S', 'G'};
    case 86: return Bytes{'I', 'n', 't', 'e', 'r'};
    case 95: return Bytes{'L', 'e', 'v', 'e', 'r', '.'};
    default: return {};
    }
}

}  // namespace

PlayerNames inventPlayerNames(SampleRandom& rng, NameStyle style) {
    PlayerNames names;
    switch (style) {
    case NameStyle::Latin: {
        const std::string given = latinWord(rng, rng.range(1, 3));
        const std::string family = latinWord(rng, rng.range(1, 3));
        std::string full = given + " " + family;
        if (full.size() > kMaxFullNameBytes || rng.chance(15)) full = given.substr(0, 1) + ". " + family;
        if (full.size() > kMaxFullNameBytes || rng.chance(8)) full = family;
        append(names.full, full.substr(0, kMaxFullNameBytes));
        for (char c : family.substr(0, kMaxBackNameBytes))
            names.back.push_back(static_cast<std::uint8_t>(std::toupper(static_cast<unsigned char>(c))));
        break;
    }
    case NameStyle::Katakana: {
        const Bytes given = katakanaWord(rng, rng.range(2, 5));
        const Bytes family = katakanaWord(rng, rng.range(2, 7));
        names.full = given;
        append(names.full, kMiddleDot);
        names.full.insert(names.full.end(), family.begin(), family.end());
        names.back = family;
        break;
    }
    case NameStyle::Kanji: {
        for (int i = 0, n = rng.range(1, 3); i < n; ++i) appendKanji(names.full, rng);
        append(names.full, kWideSpace);
        for (int i = 0, n = rng.range(1, 3); i < n; ++i) appendKanji(names.full, rng);
        names.back = katakanaWord(rng, rng.range(2, 7));
        break;
    }
    }
    return names;
}

Bytes teamNameOfRow(int row, std::size_t slotLength) {
    if (slotLength < 2) return {};
    const std::size_t limit = slotLength - 1;
    Bytes name = japaneseOrShortName(row);
    if (name.empty()) append(name, labelName(row).substr(0, 32));
    if (name.size() > limit) {  // cut at a word's end when there is one
        name.resize(limit);
        while (!name.empty() && name.back() == ' ') name.pop_back();
    }
    return name;
}

Bytes shortNameOfRow(int row) {
    Bytes name;
    for (char c : labelName(row)) {
        if (name.size() == 3) break;
        if (std::isalpha(static_cast<unsigned char>(c)))
            name.push_back(static_cast<std::uint8_t>(std::toupper(static_cast<unsigned char>(c))));
    }
    return name;
}

Bytes clubNameOfRow(int row) {
    Bytes name;
    append(name, labelName(row).substr(0, 20));
    return name;
}

}  // namespace tarvo::sample
