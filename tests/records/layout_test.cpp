// Where the game keeps its data: every expected offset, size and bit position is written out from
// the description of the game's data, never taken from the code's constants. Then the record
// codecs and rules, random edits, and verifying a source.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>
#include <random>
#include <tuple>

#include "player/player_file.h"
#include "records/bit_record.h"
#include "records/formation.h"
#include "records/player.h"
#include "records/player_tables.h"
#include "records/team.h"
#include "records/verify.h"
#include "support/sample.h"
#include "support/test_blocks.h"
#include "team/team_file.h"

namespace tarvo {
namespace {

enum class In { Boot, Parameter, Select };

// Blocks of the smallest sizes the game's tables need: the end of the short name array, of the
// last club name copy and of the call number copies.
struct Blocks {
    Bytes boot = Bytes(2500484, 0);
    Bytes parameter = Bytes(227410, 0);
    Bytes select = Bytes(413596, 0);
    GameBlocks view() { return {boot, parameter, select}; }
    Bytes& operator[](In in) { return in == In::Boot ? boot : in == In::Parameter ? parameter : select; }
};

struct Placed {
    In in;
    std::size_t offset;
    Bytes bytes;
};

std::string nameOf(In in) { return in == In::Boot ? "boot" : in == In::Parameter ? "parameter" : "select"; }

// The blocks hold exactly the placed bytes and zeros elsewhere; the blocks are scratch (the placed
// bytes are cleared on the way), and the differences are listed by offset.
void expectOnly(Blocks& actual, const std::vector<Placed>& placed) {
    for (const auto& p : placed) {
        const auto at = actual[p.in].begin() + static_cast<long>(p.offset);
        EXPECT_EQ(test::hex(ByteSpan(&*at, p.bytes.size())), test::hex(p.bytes)) << nameOf(p.in) << " " << p.offset;
        std::fill_n(at, p.bytes.size(), 0);
    }
    for (In in : {In::Boot, In::Parameter, In::Select}) {
        std::vector<std::size_t> differ;
        for (auto it = actual[in].begin(); differ.size() < 8;) {
            it = std::find_if(it, actual[in].end(), [](std::uint8_t b) { return b != 0; });
            if (it == actual[in].end()) break;
            differ.push_back(static_cast<std::size_t>(it - actual[in].begin()));
            ++it;
        }
        EXPECT_TRUE(differ.empty()) << "also written in " << nameOf(in) << " at " << testing::PrintToString(differ);
    }
}

Bytes text(std::string_view s) { return Bytes(s.begin(), s.end()); }
Bytes u16(std::uint16_t v) { return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)}; }
Bytes counting(std::size_t n, std::uint8_t first = 1) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(first + i);
    return b;
}

struct TableCase {
    std::string what;
    std::function<void(const GameBlocks&)> write;
    std::vector<Placed> expected;
};

TEST(Layout, EveryTableOfTheBlockMapAtTheGamesOffsets) {
    // Each case writes into zeroed blocks and finds its bytes, and nothing else, where expected.
    const auto check = [](const TableCase& c) {
        SCOPED_TRACE(c.what);
        Blocks b;
        c.write(b.view());
        expectOnly(b, c.expected);
    };
    // Per-player tables, first and last player: primary copy and second copy.
    for (std::uint32_t id : {1u, 2197u}) {
        const std::size_t n = id - 1;
        check({"full name " + std::to_string(id),
               [id](const GameBlocks& b) { ASSERT_TRUE(writePlayerName(b, PlayerName::Full, id, text("Ab"))); },
               {{In::Parameter, 1615 + 31 * n, text("Ab")}, {In::Select, 303471 + 31 * n, text("Ab")}}});
        check({"back name " + std::to_string(id),
               [id](const GameBlocks& b) { ASSERT_TRUE(writePlayerName(b, PlayerName::Back, id, text("Cd"))); },
               {{In::Parameter, 71360 + 16 * n, text("Cd")}, {In::Select, 373216 + 16 * n, text("Cd")}}});
        check({"call number " + std::to_string(id),
               [id](const GameBlocks& b) { writeCallNumber(b, id, 0x1234); },
               {{In::Parameter, 107634 + 2 * n, u16(0x1234)}, {In::Select, 409202 + 2 * n, u16(0x1234)}}});
        check({"player record " + std::to_string(id),
               [id](const GameBlocks& b) { writePlayerRecordBytes(b, id, counting(44)); },
               {{In::Parameter, 112188 + 44 * n, counting(44)}, {In::Boot, 2041052 + 44 * n, counting(44)}}});
    }
    // Shirts (stored as the shown number - 1) and squads, at the first and last slot of each kind.
    const struct {
        int row, slot;
        std::size_t shirt, squad, squadCopy;  // squadCopy 0: clubs have none
    } slots[] = {{0, 0, 211152, 214624, 2146864},
                 {64, 22, 211152 + 23 * 64 + 22, 214624 + 46 * 64 + 44, 2146864 + 80 * 64 + 44},
                 {65, 0, 212864, 218032, 0},
                 {105, 39, 212864 + 40 * 40 + 39, 218032 + 80 * 40 + 78, 0}};
    for (const auto& s : slots) {
        const std::string at = " row " + std::to_string(s.row) + " slot " + std::to_string(s.slot);
        check({"shirt" + at,
               [s](const GameBlocks& b) { storeShirt(b, s.row, s.slot, 10); },
               {{In::Parameter, s.shirt, {9}}}});
        std::vector<Placed> squad{{In::Parameter, s.squad, u16(0x0123)}};
        if (s.squadCopy) squad.push_back({In::Boot, s.squadCopy, u16(0x0123)});
        check({"squad" + at, [s](const GameBlocks& b) { ASSERT_FALSE(setSquadId(b, s.row, s.slot, 0x0123)); }, squad});
    }
    for (const auto& [row, at] : {std::pair{65, 221552}, {104, 227324}})
        check({"club name row " + std::to_string(row),
               [row = row](const GameBlocks& b) { ASSERT_TRUE(storeClubName(b, row, text("Club"))); },
               {{In::Parameter, std::size_t(at), text("Club")}, {In::Parameter, std::size_t(at) + 65, text("Club")}}});
    // Team names: a sample of rows of every slot length; a text of length - 1 bytes fills a slot.
    for (const auto& [row, at, length] : {std::tuple{0, 2357448, 16},
                                          {10, 2357728, 8},
                                          {36, 2358368, 24},
                                          {58, 2359056, 32},
                                          {64, 2359456, 32},
                                          {65, 2359528, 8},
                                          {104, 2360624, 16},
                                          {105, 624, 2}}) {
        const Bytes name(std::size_t(length) - 1, 'N');
        check({"team name row " + std::to_string(row),
               [row = row, name](const GameBlocks& b) {
                   Bytes tooLong = name;
                   tooLong.push_back('N');
                   ASSERT_FALSE(storeTeamName(b, row, tooLong));
                   ASSERT_TRUE(storeTeamName(b, row, name));
               },
               {{In::Boot, std::size_t(at), name}}});
    }
    for (int row : {0, 105})
        check({"short name row " + std::to_string(row),
               [row](const GameBlocks& b) { ASSERT_TRUE(storeShortName(b, row, text("ABC"))); },
               {{In::Boot, 2500060 + 4 * std::size_t(row), text("ABC")}}});
    for (const auto& [row, k] : {std::pair{0, 0}, {104, 4}})
        check({"tactics row " + std::to_string(row),
               [row = row, k = k](const GameBlocks& b) { storeTactics(b, row, k, 13); },
               {{In::Boot, 2140944 + 5 * std::size_t(row) + std::size_t(k), {65}}}});
    for (const auto& [row, k] : {std::pair{0, 0}, {105, 5}})
        check({"set piece row " + std::to_string(row),
               [row = row, k = k](const GameBlocks& b) { storeSetPiece(b, row, k, 7); },
               {{In::Boot, 2141472 + 6 * std::size_t(row) + std::size_t(k), {7}}}});
    for (int row : {0, 105})
        check({"formation row " + std::to_string(row),
               [row](const GameBlocks& b) {
                   FormationRecord f;
                   std::ranges::copy(counting(30), f.begin());
                   storeFormation(b, row, f);
               },
               {{In::Boot, 2495312 + 30 * std::size_t(row), counting(30)}}});
}

// Presets are read only: roles from bytes 1 to 10 of 11-byte entries, coordinates from 20-byte ones.
TEST(Layout, PresetFormationsAtTheGamesOffsets) {
    for (int preset : {1, 21}) {
        SCOPED_TRACE("preset " + std::to_string(preset));
        Blocks b;
        const std::size_t n = std::size_t(preset) - 1;
        b.boot[2385088 + 11 * n] = 0xEE;  // byte 0 of a role entry is not a role
        std::ranges::copy(counting(10, 1), b.boot.begin() + static_cast<long>(2385088 + 11 * n + 1));
        std::ranges::copy(counting(20, 11), b.boot.begin() + static_cast<long>(2385456 + 20 * n));
        const FormationRecord f = presetFormation(b.view(), preset);
        EXPECT_EQ(test::hex(f), test::hex(counting(30)));
    }
}

// The player record's 70 fields, each written at its limits and at a value with unlike ends (top
// bit clear, low bit set, so that a reversed bit order fails) onto a patterned record whose second
// copy differs: only the field's bits change, and the second copy becomes the primary. The 25
// abilities also by their index in the ability order.
TEST(Layout, PlayerFieldsAtTheGamesBitPositions) {
    struct Field {
        std::string_view name;
        int position, width, offset;
    };
    // clang-format off
    const Field fields[] = {
        {"head V", 2, 3, 0}, {"shoes tongue color", 29, 3, 0}, {"sleeves", 32, 2, 0},
        {"shoes design color", 34, 3, 0}, {"shoes color", 37, 3, 0}, {"eye iris", 40, 4, 0}, {"eye globe", 44, 2, 0},
        {"shoot tech", 47, 7, 0}, {"weight", 54, 7, 0}, {"head H", 61, 3, 0}, {"injury", 66, 2, 0},
        {"outside", 68, 1, 0}, {"feints", 69, 1, 0}, {"PK keeper", 70, 1, 0}, {"1vs1 GK", 71, 1, 0},
        {"feed kick", 72, 1, 0}, {"defense line", 75, 1, 0}, {"man mark", 76, 1, 0}, {"direct play", 77, 1, 0},
        {"long throw", 78, 1, 0}, {"1vs1 shoot", 79, 1, 0}, {"PK kicker", 80, 1, 0}, {"passer", 81, 1, 0},
        {"game maker", 82, 1, 0}, {"striker", 83, 1, 0}, {"running out", 84, 1, 0}, {"positioning", 85, 1, 0},
        {"post player", 86, 1, 0}, {"dribbling", 87, 1, 0}, {"nation", 88, 8, 0}, {"teamwork", 100, 7, 0},
        {"aggressive", 107, 7, 0}, {"curve", 114, 7, 0}, {"jump power", 121, 7, 0}, {"header acc", 128, 7, 0},
        {"technique", 135, 7, 0}, {"free kick skill", 142, 7, 0}, {"long pass speed", 149, 7, 0},
        {"position3", 156, 4, 0}, {"long pass acc", 160, 7, 0}, {"short pass speed", 167, 7, 0},
        {"short pass acc", 174, 7, 0}, {"mentality", 181, 7, 0}, {"position2", 188, 4, 0}, {"stability", 192, 7, 0},
        {"shoot acc", 199, 7, 0}, {"shoot power", 206, 7, 0}, {"defense", 213, 7, 0}, {"position1", 220, 4, 0},
        {"offense", 224, 7, 0}, {"acceleration", 231, 7, 0}, {"speed", 238, 7, 0}, {"dribble speed", 245, 7, 0},
        {"foot", 254, 2, 0}, {"dribble acc", 256, 7, 0}, {"stamina", 263, 7, 0}, {"balance", 270, 7, 0},
        {"response", 277, 7, 0}, {"shoes model", 284, 4, 0}, {"free kick", 288, 3, 0}, {"hair type", 299, 7, 0},
        {"build", 306, 3, 0}, {"accessory", 309, 3, 0}, {"face", 313, 7, 1}, {"height", 320, 6, 148},
        {"beardcolor", 326, 6, 0}, {"beard type", 333, 6, 0}, {"hair color", 339, 6, 0}, {"age", 345, 5, 15},
        {"skin", 350, 2, 0}};
    // clang-format on
    const std::string_view abilityOrder[25] = {
        "offense",          "defense",       "balance",         "stamina",         "speed",
        "acceleration",     "response",      "dribble acc",     "dribble speed",   "short pass acc",
        "short pass speed", "long pass acc", "long pass speed", "shoot acc",       "shoot power",
        "shoot tech",       "header acc",    "jump power",      "technique",       "curve",
        "aggressive",       "mentality",     "stability",       "free kick skill", "teamwork"};
    Bytes pattern(44);
    for (std::size_t i = 0; i < 44; ++i) pattern[i] = static_cast<std::uint8_t>(0x93 + 0x4D * i);

    // `pattern` holding `stored` in field f: character k of the record's bit string is bit 7 - k % 8
    // of byte 43 - k / 8, the field's last character its low bit.
    const auto recordWith = [&](const Field& f, std::uint32_t stored) {
        Bytes record = pattern;
        for (int j = 0; j < f.width; ++j) {
            const int k = f.position + f.width - 1 - j;
            const auto bit = static_cast<std::uint8_t>(1u << (7 - k % 8));
            auto& byte = record[std::size_t(43 - k / 8)];
            byte = static_cast<std::uint8_t>((stored >> j) & 1 ? byte | bit : byte & ~bit);
        }
        return record;
    };
    const auto check = [&](const Field& f, std::uint32_t stored, std::uint32_t id, int abilityIndex) {
        SCOPED_TRACE(std::string(f.name) + " stored " + std::to_string(stored) + " player " + std::to_string(id) +
                     (abilityIndex >= 0 ? " as ability " + std::to_string(abilityIndex) : ""));
        Blocks b;
        std::ranges::copy(pattern, b.parameter.begin() + long(112188 + 44 * (id - 1)));
        std::fill_n(b.boot.begin() + long(2041052 + 44 * (id - 1)), 44, 0xA5);
        Player player;
        player.load(b.view(), id);
        if (abilityIndex >= 0) {
            player.setAbility(abilityIndex, stored);
        } else {
            const auto field = fieldByName(f.name);
            ASSERT_TRUE(field);
            player.write(*field, stored + std::uint32_t(f.offset));
            EXPECT_EQ(player.read(*field), stored + std::uint32_t(f.offset));
        }
        const Bytes record = recordWith(f, stored);
        expectOnly(b, {{In::Parameter, 112188 + 44 * (id - 1), record}, {In::Boot, 2041052 + 44 * (id - 1), record}});
    };
    // The record holds these fields and no other; the 47 bits they leave are the spare ones.
    ASSERT_EQ(kPlayerFields.size(), std::size(fields));
    for (const Field& f : fields) {
        const std::uint32_t all = (1u << f.width) - 1, uneven = ((0x5Au >> (8 - f.width)) & (all >> 1)) | 1u;
        for (std::uint32_t stored : {0u, all, uneven})
            for (std::uint32_t id : {1u, 2197u}) check(f, stored, id, -1);
        const auto ability = std::ranges::find(abilityOrder, f.name);
        if (ability != std::end(abilityOrder)) check(f, uneven, 2197, int(ability - std::begin(abilityOrder)));
    }
}

// The team file and the player file: each field found at the file offsets of the game's exports.
TEST(Layout, TeamAndPlayerFileOffsets) {
    Blocks b;
    const GameBlocks v = b.view();
    for (const auto& [row, length, squad] : {std::tuple{0, 16, 23}, {66, 16, 40}, {105, 2, 40}}) {
        SCOPED_TRACE("row " + std::to_string(row));
        const std::size_t L = std::size_t(length), N = std::size_t(squad), last = N - 1;
        storeTeamName(v, row, Bytes(L - 1, 'T'));
        storeShortName(v, row, text("SN"));
        if (row != 105) storeTactics(v, row, 4, 9);
        storeSetPiece(v, row, 5, 10);
        FormationRecord f;
        std::ranges::copy(counting(30, 100), f.begin());
        storeFormation(v, row, f);
        ASSERT_FALSE(setSquadId(v, row, squad - 1, 2197));
        storeShirt(v, row, squad - 1, 99);
        writePlayerName(v, PlayerName::Full, 2197, text("Full"));
        writePlayerName(v, PlayerName::Back, 2197, text("Back"));
        writeCallNumber(v, 2197, 0xBEEF);
        writePlayerRecordBytes(v, 2197, counting(44, 50));

        const Bytes file = buildTeamFile(v, row);
        ASSERT_EQ(file.size(), 65 + L + 96 * N);
        const auto at = [&](std::size_t offset, std::size_t n) { return test::hex(ByteSpan(file).subspan(offset, n)); };
        EXPECT_EQ(at(0, 16), test::hex(Bytes{'T', 'E', 'A', 'M', 'D', 'A', 'T', 'A', std::uint8_t(row), 0, 0, 0,
                                             std::uint8_t(L), 0, 0, 0}));
        EXPECT_EQ(at(16, L - 1), test::hex(Bytes(L - 1, 'T')));
        EXPECT_EQ(at(16 + L, 4), test::hex(Bytes{'S', 'N', 0, 0}));
        EXPECT_EQ(at(20 + L + 4, 1), test::hex(Bytes{std::uint8_t(row == 105 ? 0 : 45)}));
        EXPECT_EQ(at(25 + L + 5, 1), test::hex(Bytes{10}));
        EXPECT_EQ(at(31 + L, 30), test::hex(counting(30, 100)));
        EXPECT_EQ(at(61 + L, 4), test::hex(Bytes{std::uint8_t(N), 0, 0, 0}));
        EXPECT_EQ(at(65 + L + 2 * last, 2), test::hex(u16(2197)));
        EXPECT_EQ(at(65 + L + 2 * N + last, 1), test::hex(Bytes{98}));
        EXPECT_EQ(at(65 + L + 3 * N + 31 * last, 5), test::hex(Bytes{'F', 'u', 'l', 'l', 0}));
        EXPECT_EQ(at(65 + L + 34 * N + 16 * last, 5), test::hex(Bytes{'B', 'a', 'c', 'k', 0}));
        EXPECT_EQ(at(65 + L + 50 * N + 2 * last, 2), test::hex(u16(0xBEEF)));
        EXPECT_EQ(at(65 + L + 52 * N + 44 * last, 44), test::hex(counting(44, 50)));
    }
    const Bytes player = buildPlayerFile(v, 2197);
    ASSERT_EQ(player.size(), 103u);
    EXPECT_EQ(test::hex(ByteSpan(player).first(10)), test::hex(text("PLAYERDATA")));
    EXPECT_EQ(test::hex(ByteSpan(player).subspan(10, 5)), test::hex(Bytes{'F', 'u', 'l', 'l', 0}));
    EXPECT_EQ(test::hex(ByteSpan(player).subspan(41, 5)), test::hex(Bytes{'B', 'a', 'c', 'k', 0}));
    EXPECT_EQ(test::hex(ByteSpan(player).subspan(57, 2)), test::hex(u16(0xBEEF)));
    EXPECT_EQ(test::hex(ByteSpan(player).subspan(59, 44)), test::hex(counting(44, 50)));
}

using Record = std::array<std::uint8_t, 44>;

Record randomRecord(std::uint32_t seed) {
    std::mt19937 rng(seed);
    Record r{};
    for (auto& b : r) b = static_cast<std::uint8_t>(rng());
    return r;
}

// Every position and width from 1 to 8 on a random record: the field reads back the value's low
// bits and no other character moves; packing the expansion gives the record back.
TEST(BitRecord, WriteChangesOnlyItsFieldAndDropsHighBits) {
    const Record r = randomRecord(9);
    const BitRecord original = expandRecord(r);
    Record packed{};
    packRecord(original, packed);
    EXPECT_EQ(packed, r) << test::hex(packed);
    for (std::size_t w = 1; w <= 8; ++w)
        for (std::size_t p = 0; p + w <= 352; ++p) {
            BitRecord bits = original;
            const std::int32_t value = (p % 3 == 0 ? -1 : 1) * static_cast<std::int32_t>(0x5A5 ^ (p * 7));
            writeField(bits, p, w, value);
            ASSERT_EQ(readField(bits, p, w), static_cast<std::uint32_t>(value) & ((1u << w) - 1)) << p << "," << w;
            BitRecord unchanged = bits;
            unchanged.replace(p, w, original, p, w);
            ASSERT_EQ(unchanged, original) << "outside field " << p << "," << w;
        }
}

TEST(BitRecord, ReadsWritesAndPacksStayInsideTheString) {
    const BitRecord bits = "01101";
    EXPECT_EQ(readField(bits, 6, 1), std::nullopt);
    EXPECT_EQ(readField(bits, 3, 8), 1u);              // cut at the end: "01"
    EXPECT_EQ(readField("01x1", 0, 4), std::nullopt);  // not a bit
    BitRecord small = "0000";
    writeField(small, 2, 3, 7);
    writeField(small, 5, 1, 1);
    EXPECT_EQ(small, "0000");

    Record r = randomRecord(4);
    const Record before = r;
    packRecord(BitRecord(351, '1'), r);
    BitRecord stray(352, '1');
    stray[200] = '2';
    packRecord(stray, r);
    EXPECT_EQ(r, before);
}

using namespace blockmap;
using test::TestBlocks;

TEST(PlayerCopies, NoPlayerBehindIdZeroOrBeyondTheLast) {
    for (std::uint32_t id : {0u, kPlayerCount + 1, 0xFFFFFFFFu}) {
        TestBlocks b;
        b.fillPattern(5);
        const TestBlocks before = b;
        Player player;
        player.load(b.view(), id);
        EXPECT_FALSE(player.loaded());
        player.write(PlayerFieldId::Nation, 3);
        EXPECT_FALSE(writePlayerName(b.view(), PlayerName::Full, id, Bytes{'A'}));
        writeCallNumber(b.view(), id, 12000);
        writePlayerRecordBytes(b.view(), id, Bytes(kRecordSize, 1));
        player.load(b.view(), 7);
        player.setAbility(25, 50);  // abilities are 0 to 24
        player.setAbility(-1, 50);
        EXPECT_TRUE(b == before) << "id " << id;
    }
}

TEST(TeamSquad, SlotRule) {
    const std::string from1 = "ID should be 1--2197", from0 = "ID should be 0--2197";
    const std::vector<std::tuple<int, int, std::int64_t, std::optional<std::string>>> cases{
        {0, 0, 1, {}},   {64, 22, 2197, {}},     {3, 5, 0, from1},           {3, 5, 2198, from1}, {65, 22, 0, from1},
        {65, 23, 0, {}}, {104, 30, 2198, from0}, {105, 0, 65536 + 5, from1},  // would wrap to 5 in 16 bits
        {0, 23, 5, ""},                                                       // national teams have 23 slots
    };
    for (const auto& [row, slot, id, refusal] : cases) {
        SCOPED_TRACE("row " + std::to_string(row) + " slot " + std::to_string(slot) + " id " + std::to_string(id));
        TestBlocks b;
        b.fillPattern(11);
        const TestBlocks before = b;
        const auto refused = setSquadId(b.view(), row, slot, id);
        EXPECT_EQ(refused.has_value(), refusal.has_value());
        if (refusal && !refusal->empty()) {
            EXPECT_EQ(refused, *refusal);
        }
        // (Where an ID and its copy are stored: the layout test.)
        EXPECT_TRUE(refusal ? b == before : readSquadId(b.view(), row, slot) == id);
    }
}

// What the editor offers for each field (the pages and the game's data): both ends of a range
// are allowed, one past them is not; then the rules beyond a range.
TEST(PlayerFieldRanges, EachFieldAllowsItsEndsAndNothingPast) {
    struct Range {
        std::string_view name;
        std::uint32_t min, max;
    };
    // clang-format off
    const Range listsAndNumbers[] = {
        {"position1", 0, 10}, {"position2", 0, 11}, {"position3", 0, 11}, {"height", 148, 205}, {"weight", 40, 123},
        {"build", 0, 4}, {"age", 15, 46}, {"skin", 0, 3}, {"face", 1, 125}, {"head V", 0, 7}, {"head H", 0, 7},
        {"eye globe", 0, 2}, {"eye iris", 0, 11}, {"hair type", 0, 102}, {"accessory", 0, 7}, {"beard type", 0, 59},
        {"beardcolor", 0, 63}, {"sleeves", 0, 2}, {"shoes model", 0, 9}, {"shoes color", 0, 7},
        {"shoes design color", 0, 7}, {"shoes tongue color", 0, 7}, {"foot", 0, 2}, {"free kick", 0, 4},
        {"injury", 0, 2}};
    // clang-format on
    const auto expectRange = [](std::string_view name, std::uint32_t min, std::uint32_t max) {
        SCOPED_TRACE(std::string(name));
        const auto field = fieldByName(name);
        ASSERT_TRUE(field);
        EXPECT_TRUE(editorAllows(*field, min, 0));
        EXPECT_TRUE(editorAllows(*field, max, 0));
        if (min > 0) {
            EXPECT_FALSE(editorAllows(*field, min - 1, 0));
        }
        EXPECT_FALSE(editorAllows(*field, max + 1, 0));
    };
    for (const Range& r : listsAndNumbers) expectRange(r.name, r.min, r.max);
    int abilities = 0, checkBoxes = 0;
    for (const PlayerField& f : kPlayerFields) {
        if (f.page == PlayerPage::Abilities) {
            ++abilities;
            expectRange(f.name, 1, 99);
        } else if (f.page == PlayerPage::SpecialAbilities && f.name != "injury") {
            ++checkBoxes;
            expectRange(f.name, 0, 1);
        }
    }
    EXPECT_EQ(abilities, 25);
    EXPECT_EQ(checkBoxes, 18);
    EXPECT_EQ(editorRangeText(*fieldByName("speed"), 0), "1 to 99");
    EXPECT_EQ(editorRangeText(*fieldByName("height"), 0), "148 to 205");

    // Nations only with a code of the nation table; hair colour 62 is no colour, 63 bald; the face's
    // bound follows the skin.
    const std::tuple<std::string_view, std::uint32_t, std::uint32_t, bool> rules[] = {
        {"nation", 0, 0, true},       {"nation", 55, 0, true},      {"nation", 56, 0, false},
        {"nation", 104, 0, false},    {"nation", 105, 0, true},     {"nation", 128, 0, true},
        {"nation", 129, 0, false},    {"nation", 240, 0, true},     {"nation", 241, 0, false},
        {"hair color", 61, 0, true},  {"hair color", 62, 0, false}, {"hair color", 63, 0, true},
        {"hair color", 64, 0, false}, {"face", 106, 1, true},       {"face", 107, 1, false},
        {"face", 32, 2, true},        {"face", 33, 2, false},       {"face", 26, 3, true},
        {"face", 27, 3, false},       {"face", 0, 0, false}};
    for (const auto& [name, value, skin, allowed] : rules)
        EXPECT_EQ(editorAllows(*fieldByName(name), value, skin), allowed)
            << name << " " << value << " with skin " << skin;
}

// Rows 0 to 64 are national teams, 65 to 104 clubs, 105 the default team row; no row past them.
TEST(TeamRows, EachKindAtItsEdges) {
    struct Case {
        int row;
        TeamKind kind;
        int slots;
        bool tactics, clubName, namesEdited;
    };
    const Case cases[] = {{0, TeamKind::National, 23, true, false, true},
                          {64, TeamKind::National, 23, true, false, true},
                          {65, TeamKind::Club, 40, true, true, true},
                          {104, TeamKind::Club, 40, true, true, true},
                          {105, TeamKind::Default, 40, false, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE("row " + std::to_string(c.row));
        EXPECT_EQ(teamKind(c.row), c.kind);
        EXPECT_EQ(squadSize(c.row), c.slots);
        EXPECT_EQ(hasTactics(c.row), c.tactics);
        EXPECT_EQ(isClub(c.row), c.clubName);
        EXPECT_EQ(!teamEditRefusal(TeamFieldId::ShortName, c.row), c.namesEdited);
        EXPECT_EQ(teamValueRefusal(TeamFieldId::Shirt, c.row, c.slots - 1, 99), std::nullopt);
        EXPECT_EQ(teamValueRefusal(TeamFieldId::Shirt, c.row, c.slots - 1, 100), "shirt numbers are 1 to 99");
        EXPECT_EQ(teamValueRefusal(TeamFieldId::Shirt, c.row, c.slots, 1), "no such squad slot");
    }
    for (int row : {-1, 106}) {
        EXPECT_FALSE(rowIsIn(row, TeamRows::All)) << row;
        EXPECT_EQ(teamEditRefusal(TeamFieldId::Captain, row), "there is no team row " + std::to_string(row));
    }
    EXPECT_EQ(teamRowRefusal("ROW"), "ROW should be 0 to 105");
    EXPECT_EQ(playerIdRefusal(), "ID should be 1--2197");
    EXPECT_EQ(maxPlayerNameBytes(PlayerName::Full), 30u);
    EXPECT_EQ(maxPlayerNameBytes(PlayerName::Back), 15u);
}

// Row 105 has no tactics: storing them must not reach row 0's set pieces. (Where tactics and both
// club name slots lie: the layout test.)
TEST(TeamValues, TacticsAndClubNames) {
    TestBlocks b;
    b.fillPattern(2);
    const TestBlocks expected = b;
    for (int k = 0; k < kTacticsCount; ++k) {
        storeTactics(b.view(), 105, k, 10);
        storeTacticsByte(b.view(), 105, k, 1);
        EXPECT_EQ(readTactics(b.view(), 105, k), 0);
    }
    EXPECT_FALSE(storeClubName(b.view(), 104, Bytes(21, 'x')));  // no room for the NUL
    EXPECT_TRUE(b == expected);
}

TEST(Formations, RoleLabelsAndPresets) {
    struct Case {
        std::uint32_t code;
        std::string_view label;
        std::optional<int> index;
    };
    for (const auto& c : {Case{4, "CB", 0}, Case{34, "RW", 32}, Case{2, "CB_L", 2}, Case{35, "", std::nullopt}}) {
        EXPECT_EQ(roleLabel(c.code), c.label) << c.code;
        EXPECT_EQ(roleListIndex(c.code), c.index) << c.code;
    }
    TestBlocks b;
    b.fillPattern(6);  // (where the 21 presets lie: the layout test)
    EXPECT_EQ(presetFormation(b.view(), 22), FormationRecord{});
}

// A seeded sequence of 10000 random edits through the public operations on the sample disc's
// data. After each: every second copy equals its primary, the 47 bits of each player record that
// no field covers are as loaded, no byte outside the tables changed, and each refusal follows its
// rule. At the end a write-back and a fresh load give the very bytes edited. (Where each table
// lies and what a value is stored as: the layout test.) A failure names the seed and the step
// (TARVO_EDIT_SEED=<seed> runs that sequence again).

// The game's tables, written out: {block, offset, entry size, entries, stride}; a second copy
// follows its primary.
enum Block { Boot, Parameter, Select };
struct Table {
    Block block;
    std::size_t offset, size, count, stride;
};
struct Copied {
    Table primary, copy;
};
const Copied kCopied[] = {
    {{Parameter, 1615, 31, 2197, 31}, {Select, 303471, 31, 2197, 31}},          // full names
    {{Parameter, 71360, 16, 2197, 16}, {Select, 373216, 16, 2197, 16}},         // back names
    {{Parameter, 107634, 2, 2197, 2}, {Select, 409202, 2, 2197, 2}},            // call numbers
    {{Parameter, 112188, 44, 2197, 44}, {Boot, 2041052, 44, 2197, 44}},         // player records
    {{Parameter, 214624, 46, 65, 46}, {Boot, 2146864, 46, 65, 80}},             // national squads
    {{Parameter, 221552, 21, 40, 148}, {Parameter, 221552 + 65, 21, 40, 148}},  // club names
};
const Table kOnce[] = {
    {Parameter, 211152, 23 * 65, 1, 0},        // national shirts
    {Parameter, 212864, 40 * 41, 1, 0},        // club shirts
    {Parameter, 218032, 80 * 41, 1, 0},        // club squads
    {Boot, 2357448, 2360640 - 2357448, 1, 0},  // team names, rows 0 to 104
    {Boot, 624, 2, 1, 0},                      // row 105's team name
    {Boot, 2140944, 5 * 105, 1, 0},            // tactics
    {Boot, 2141472, 6 * 106, 1, 0},            // set pieces
    {Boot, 2495312, 30 * 106, 1, 0},           // formations
    {Boot, 2500060, 4 * 106, 1, 0},            // short names
};
// The record's bits no field covers (character k of its bit string is bit 7 - k % 8 of byte 43 - k / 8).
const std::pair<int, int> kSpareBits[] = {{0, 1},   {5, 28},    {46, 46},   {64, 65},   {73, 74},
                                          {96, 99}, {252, 253}, {291, 298}, {312, 312}, {332, 332}};

class RandomEdits {
public:
    RandomEdits(GameBlocks blocks, std::uint32_t seed) : m_b(blocks), m_random(seed) {
        for (int k = 0; k < 3; ++k) m_initial[std::size_t(k)].assign(block(k).begin(), block(k).end());
        std::vector<bool> covered[3] = {std::vector<bool>(m_b.boot.size()), std::vector<bool>(m_b.parameter.size()),
                                        std::vector<bool>(m_b.select.size())};
        const auto mark = [&](const Table& t) {
            for (std::size_t n = 0; n < t.count; ++n)
                std::fill_n(covered[t.block].begin() + long(t.offset + t.stride * n), t.size, true);
        };
        for (const auto& c : kCopied) mark(c.primary), mark(c.copy);
        for (const auto& t : kOnce) mark(t);
        for (int k = 0; k < 3; ++k)
            for (std::size_t i = 0; i < covered[k].size(); ++i)
                if (!covered[k][i]) {
                    if (m_gaps[std::size_t(k)].empty() || m_gaps[std::size_t(k)].back().second != i)
                        m_gaps[std::size_t(k)].emplace_back(i, i);
                    m_gaps[std::size_t(k)].back().second = i + 1;
                }
        for (const auto& [from, to] : kSpareBits)
            for (int k = from; k <= to; ++k) m_spare[std::size_t(43 - k / 8)] |= std::uint8_t(1u << (7 - k % 8));
        for (std::size_t n = 0; n < 2197; ++n) m_spares.push_back(spareOf(n));
    }

    // One random edit; returns what it was, or the rule it broke.
    std::string step() {
        const int op = pick(0, 99);
        if (op < 40) return fieldWrite();
        if (op < 55) return nameWrite();
        if (op < 67) return squadWrite();
        if (op < 87) return teamValueWrite();
        if (op < 92) return formationWrite();
        return teamNameWrite();
    }

    // What must hold after every step; the first breach, or empty.
    std::string invariantBreach() const {
        if (!m_wrong.empty()) return m_wrong;
        for (const auto& c : kCopied)
            for (std::size_t n = 0; n < c.primary.count; ++n)
                if (!std::ranges::equal(entry(c.primary, n), entry(c.copy, n)))
                    return "second copy at " + std::to_string(c.copy.offset) + " entry " + std::to_string(n) +
                           " differs";
        for (std::size_t n = 0; n < 2197; ++n)
            if (spareOf(n) != m_spares[n]) return "a spare bit of player " + std::to_string(n + 1) + " changed";
        for (int k = 0; k < 3; ++k)
            for (const auto& [from, to] : m_gaps[std::size_t(k)])
                if (!std::ranges::equal(block(k).subspan(from, to - from),
                                        ByteSpan(m_initial[std::size_t(k)]).subspan(from, to - from)))
                    return "a byte outside the tables changed in block " + std::to_string(k) + " between " +
                           std::to_string(from) + " and " + std::to_string(to);
        return {};
    }

private:
    MutableByteSpan block(int k) const { return k == Boot ? m_b.boot : k == Parameter ? m_b.parameter : m_b.select; }
    ByteSpan entry(const Table& t, std::size_t n) const {
        return block(t.block).subspan(t.offset + t.stride * n, t.size);
    }
    Bytes spareOf(std::size_t n) const {
        Bytes bits(44);
        for (std::size_t i = 0; i < 44; ++i) bits[i] = m_b.parameter[112188 + 44 * n + i] & m_spare[i];
        return bits;
    }
    std::string wrong(const std::string& what) { return m_wrong = what; }
    int pick(int from, int to) { return std::uniform_int_distribution<int>(from, to)(m_random); }
    std::uint32_t anyId() { return std::uint32_t(pick(1, 2197)); }
    int anyRow() { return pick(0, 105); }
    Bytes text(std::size_t maxLength) {
        Bytes t(std::size_t(pick(0, int(maxLength))));
        for (auto& c : t) c = std::uint8_t(pick(0x20, 0x7E));
        return t;
    }

    std::string fieldWrite() {
        const std::uint32_t id = anyId();
        const auto f = std::size_t(pick(0, int(kPlayerFields.size()) - 1));
        const auto& field = kPlayerFields[f];
        Player player;
        player.load(m_b, id);
        player.write(PlayerFieldId(f), std::uint32_t(pick(0, (1 << field.width) - 1)) + field.offset);
        return std::string("field ") + std::string(field.name) + " of player " + std::to_string(id);
    }
    // A full name, a back name or a call number.
    std::string nameWrite() {
        const std::uint32_t id = anyId();
        const int which = pick(0, 2);
        if (which == 2) writeCallNumber(m_b, id, std::uint16_t(pick(0, 65535)));
        if (which == 2) return "call number of player " + std::to_string(id);
        const bool isFull = which == 1;
        const std::size_t size = isFull ? 31 : 16;
        const Bytes t = text(size);  // one in 32 or 17 has no room for its NUL
        if (writePlayerName(m_b, isFull ? PlayerName::Full : PlayerName::Back, id, t) != (t.size() < size))
            return wrong("name refusal wrong");
        return "name of player " + std::to_string(id);
    }
    // Clubs (rows 65 to 104) and the default row may leave their slots 23 to 39 empty (ID 0).
    std::string squadWrite() {
        const int row = anyRow(), slot = pick(0, row < 65 ? 22 : 39), id = pick(-2, 2199);
        const bool accepted = id >= (row >= 65 && slot >= 23 ? 0 : 1) && id <= 2197;
        if (setSquadId(m_b, row, slot, id).has_value() == accepted) return wrong("squad rule wrong");
        return "squad slot " + std::to_string(slot) + " of row " + std::to_string(row);
    }
    std::string teamValueWrite() {
        const int row = anyRow(), what = pick(0, 2);
        if (what == 0) storeShirt(m_b, row, pick(0, row < 65 ? 22 : 39), pick(1, 99));
        if (what == 1) storeTactics(m_b, row, pick(0, 4), pick(4, 19));
        if (what == 2) storeSetPiece(m_b, row, pick(0, 5), pick(0, 10));
        return "shirt, tactics or set piece of row " + std::to_string(row);
    }
    std::string formationWrite() {
        const int row = anyRow();
        FormationRecord f;
        for (auto& b : f) b = std::uint8_t(pick(0, 255));
        storeFormation(m_b, row, f);
        return "formation of row " + std::to_string(row);
    }
    // Only clubs have a club name.
    std::string teamNameWrite() {
        const int row = anyRow(), which = pick(0, 2);
        const Bytes name = text(which == 0 ? teamNameSlot(m_b, row).size() - 1 : which == 1 ? 3 : 20);
        if (which == 0 && !storeTeamName(m_b, row, name)) return wrong("team name refused");
        if (which == 1 && !storeShortName(m_b, row, name)) return wrong("short name refused");
        if (which == 2 && storeClubName(m_b, row, name) != (row >= 65 && row < 105))
            return wrong("club name rule wrong");
        return "names of row " + std::to_string(row);
    }

    GameBlocks m_b;
    std::mt19937 m_random;
    std::array<Bytes, 3> m_initial;
    std::array<std::vector<std::pair<std::size_t, std::size_t>>, 3> m_gaps;
    Bytes m_spare = Bytes(44, 0);
    std::vector<Bytes> m_spares;
    std::string m_wrong;
};

TEST(RandomEdits, TenThousandEditsKeepTheCopiesAndTheRest) {
    const char* given = std::getenv("TARVO_EDIT_SEED");
    const auto seed = given ? std::uint32_t(std::strtoul(given, nullptr, 10)) : 20261207u;
    test::TempDir dir;
    MessageLog log;
    DataStore store(log);
    const auto exported = test::copySampleExportDir(dir);
    ASSERT_TRUE(store.LoadFromDirectory(exported));
    RandomEdits edits(store.blocks(), seed);
    for (int step = 1; step <= 10000; ++step) {
        const std::string what = edits.step();
        const std::string breach = edits.invariantBreach();
        ASSERT_TRUE(breach.empty()) << "seed " << seed << ", step " << step << " (" << what << "): " << breach;
    }
    ASSERT_TRUE(store.SaveToDirectory());
    DataStore reloaded(log);
    ASSERT_TRUE(reloaded.LoadFromDirectory(exported));
    EXPECT_TRUE(test::sameBlocks(test::storeView(reloaded), test::storeView(store)));
}

// Verifying a source: a clean sample verifies clean; a broken second copy (player data, national
// squad, club name) is named by player or team row and field; a sector whose codes no longer match
// its data is named by file and sector; a left journal and a short block are reported.

using test::TempDir;

std::vector<std::tuple<std::string, std::string, std::string>> summary(const std::vector<VerifyFinding>& findings) {
    std::vector<std::tuple<std::string, std::string, std::string>> out;
    for (const auto& f : findings) out.emplace_back(f.kind, f.where, f.field);
    return out;
}

TEST(Verify, CleanSampleVerifiesClean) {
    for (const auto& source : {test::sampleImage(), test::sampleExportDir()}) {
        SCOPED_TRACE(source.string());
        const auto findings = verifySource(source);
        EXPECT_TRUE(findings.empty()) << (findings.empty() ? "" : findings.front().text);
    }
}

// One byte of a second copy changed in the exported files, for each value kept twice.
TEST(Verify, BrokenSecondCopyInExportedFiles) {
    struct Case {
        std::string file;
        std::size_t offset;
        std::string where, field;
    };
    const std::vector<Case> cases{
        {"select.ovl", 303471 + 31 * 9, "player 10", "full name"},
        {"select.ovl", 373216 + 16 * 2196 + 15, "player 2197", "back name"},
        {"select.ovl", 409202 + 2 * 99 + 1, "player 100", "call number"},
        {"QXRT_418.27", 2041052 + 44 * 499 + 43, "player 500", "record"},
        {"QXRT_418.27", 2146864 + 80 * 64 + 2 * 22, "team row 64 (65.Classic Argentina) slot 22", "id"},
        {"parameter.ovl", 221552 + 148 * (104 - 65) + 65 + 20, "team row 104 (105.Boca Juniors)", "club name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where + " " + c.field);
        TempDir dir;
        const auto exported = test::copySampleExportDir(dir);
        Bytes bytes = test::readFile(exported / c.file);
        bytes[c.offset] ^= 0x5A;
        test::writeFile(exported / c.file, bytes);
        const auto findings = verifySource(exported);
        ASSERT_EQ(findings.size(), 1u);
        EXPECT_EQ(summary(findings).front(), std::tuple("mirror", c.where, c.field));
        EXPECT_NE(findings.front().text.find(c.where), std::string::npos);
    }
}

// In an image: a player record's second copy and a national squad's copy changed through a
// write-back (so their sectors carry valid codes), and a byte of a sector's user data changed in the
// image file without new codes.
TEST(Verify, ImageWithBrokenMirrorsAndADamagedSector) {
    TempDir dir;
    const auto image = test::copySampleImage(dir);
    std::uint64_t damagedAt = 0;
    {
        MessageLog log;
        DataStore store(log);
        ASSERT_TRUE(store.LoadFromImage(image));
        store.setBackups(false);
        store.blocks().boot[2041052 + 44 * 1233 + 7] ^= 0x01;   // player 1234's record copy
        store.blocks().boot[2146864 + 80 * 3 + 2 * 4] ^= 0x01;  // row 3's squad copy, slot 4
        ASSERT_TRUE(store.SaveToImage());
        // Parameter data byte 100 (no value kept twice lies there): user data byte 100 of the
        // entry's first sector.
        const std::uint64_t sector =
            store.source()->archiveFile()->startSector() + store.archive().GetOffset(16253) / 2048;
        damagedAt = sector * 2352 + 24 + 100;
    }
    Bytes raw = test::readFile(image);
    raw[damagedAt] ^= 0x10;
    test::writeFile(image, raw);
    const auto findings = verifySource(image);
    const std::vector<std::tuple<std::string, std::string, std::string>> expected{
        {"mirror", "player 1234", "record"},
        {"mirror", "team row 3 (4.Wales) slot 4", "id"},
        {"sector", "parameter.ovl sector 0", "EDC and ECC"},
    };
    EXPECT_EQ(summary(findings), expected);
}

TEST(Verify, LeftJournalAndShortBlock) {
    TempDir dir;
    const auto image = test::copySampleImage(dir);
    const auto journal = std::filesystem::path(image) += ".tarvo-journal";
    test::writeFile(journal, Bytes{'T', 'A', 'R'});  // cut short in its first bytes
    auto findings = verifySource(image);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings.front().kind + " " + findings.front().field, "journal interrupted");
    EXPECT_NE(findings.front().text.find(journal.string()), std::string::npos);

    const auto exported = test::copySampleExportDir(dir);
    Bytes select = test::readFile(exported / "select.ovl");
    select.resize(413596 - 1);  // one byte short of the end of the call number copies
    test::writeFile(exported / "select.ovl", select);
    findings = verifySource(exported);
    ASSERT_FALSE(findings.empty());
    EXPECT_EQ(findings.front().kind, "load");
    EXPECT_NE(findings.front().text.find("select.ovl holds 413595 bytes"), std::string::npos);
}

}  // namespace
}  // namespace tarvo
