// Where the game keeps its data, checked against the game's own numbers: every expected offset,
// size and bit position below is written out from the description of the game's data, never taken
// from the code's constants, so that a wrong constant fails here. Each case writes a known value
// through the public operation into zeroed blocks and finds it, and nothing else, at the literal
// place in the raw block.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "player/player_file.h"
#include "records/formation.h"
#include "records/player.h"
#include "records/team.h"
#include "support/sample.h"
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

// The player record's fields: every ability in the ability order, and at least one field of each
// width (1 to 8) with the three value offsets. The value written has unlike ends (its top bit clear,
// its low bit set), so a reversed bit order fails as well as a moved or resized field.
TEST(Layout, PlayerFieldsAtTheGamesBitPositions) {
    struct Field {
        std::string_view name;
        int position, width, offset;
    };
    // The 25 abilities in the ability order, each 7 bits wide with no value offset.
    const std::string_view abilityNames[25] = {
        "offense",          "defense",       "balance",         "stamina",         "speed",
        "acceleration",     "response",      "dribble acc",     "dribble speed",   "short pass acc",
        "short pass speed", "long pass acc", "long pass speed", "shoot acc",       "shoot power",
        "shoot tech",       "header acc",    "jump power",      "technique",       "curve",
        "aggressive",       "mentality",     "stability",       "free kick skill", "teamwork"};
    const int abilityPositions[25] = {224, 213, 270, 263, 238, 231, 277, 256, 245, 174, 167, 160, 149,
                                      199, 206, 47,  128, 121, 135, 114, 107, 181, 192, 142, 100};
    const Field others[] = {{"outside", 68, 1, 0},    {"dribbling", 87, 1, 0},   {"foot", 254, 2, 0},
                            {"injury", 66, 2, 0},     {"build", 306, 3, 0},      {"head V", 2, 3, 0},
                            {"position1", 220, 4, 0}, {"position3", 156, 4, 0},  {"age", 345, 5, 15},
                            {"height", 320, 6, 148},  {"beardcolor", 326, 6, 0}, {"weight", 54, 7, 0},
                            {"face", 313, 7, 1},      {"hair type", 299, 7, 0},  {"nation", 88, 8, 0}};

    // The 44 record bytes holding `stored` in field (position, width): character k of the record's
    // bit string is bit 7 - k % 8 of byte 43 - k / 8, the field's last character its low bit.
    const auto recordWith = [](const Field& f, std::uint32_t stored) {
        Bytes record(44, 0);
        for (int j = 0; j < f.width; ++j)
            if ((stored >> j) & 1) {
                const int k = f.position + f.width - 1 - j;
                record[std::size_t(43 - k / 8)] |= std::uint8_t(1u << (7 - k % 8));
            }
        return record;
    };
    const auto check = [&](const Field& f, int abilityIndex) {
        SCOPED_TRACE(std::string(f.name) + (abilityIndex >= 0 ? " as ability " + std::to_string(abilityIndex) : ""));
        const std::uint32_t stored = ((0x5Au >> (8 - f.width)) & ~(1u << (f.width - 1))) | 1u;
        for (std::uint32_t id : {1u, 2197u}) {
            Blocks b;
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
            expectOnly(b,
                       {{In::Parameter, 112188 + 44 * (id - 1), record}, {In::Boot, 2041052 + 44 * (id - 1), record}});
        }
    };
    for (int i = 0; i < 25; ++i) {
        check({abilityNames[i], abilityPositions[i], 7, 0}, i);
        check({abilityNames[i], abilityPositions[i], 7, 0}, -1);
    }
    for (const auto& f : others) check(f, -1);
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

}  // namespace
}  // namespace tarvo
