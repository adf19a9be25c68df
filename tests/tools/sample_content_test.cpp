// The sample disc's invented data: the same on every run, every second copy equal to its
// primary, every player field and team value inside the range its editor control allows, and
// plausible shapes for names and formations.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "records/formation.h"
#include "records/player.h"
#include "records/player_tables.h"
#include "records/team.h"
#include "sample/sample_disc.h"
#include "store/block_map.h"
#include "store/team_table.h"
#include "support/sample.h"

namespace tarvo::sample {
namespace {

namespace bm = blockmap;

struct SampleData {
    SampleBlocks blocks = makeSampleBlocks();
    GameBlocks view() { return {blocks.boot, blocks.parameter, blocks.select}; }
};

SampleData& sample() {
    static SampleData data;
    return data;
}

TEST(SampleContent, IsTheSameOnEveryRun) {
    const SampleBlocks again = makeSampleBlocks();
    EXPECT_TRUE(again.boot == sample().blocks.boot);
    EXPECT_TRUE(again.parameter == sample().blocks.parameter);
    EXPECT_TRUE(again.select == sample().blocks.select);
}

TEST(SampleContent, EverySecondCopyEqualsItsPrimary) {
    const SampleBlocks& b = sample().blocks;
    struct Table {
        const char* name;
        const Bytes& primaryBlock;
        std::size_t primary;
        const Bytes& copyBlock;
        std::size_t copy;
        std::size_t entrySize;
        std::size_t copyStride;
        std::size_t entries;
    };
    const std::vector<Table> tables{
        {"full names", b.parameter, bm::kFullNameOffset, b.select, bm::kFullNameCopyOffset, bm::kFullNameSize, bm::kFullNameSize, bm::kPlayerCount},
        {"back names", b.parameter, bm::kBackNameOffset, b.select, bm::kBackNameCopyOffset, bm::kBackNameSize, bm::kBackNameSize, bm::kPlayerCount},
        {"call numbers", b.parameter, bm::kCallNumberOffset, b.select, bm::kCallNumberCopyOffset, 2, 2, bm::kPlayerCount},
        {"player records", b.parameter, bm::kRecordOffset, b.boot, bm::kRecordCopyOffset, bm::kRecordSize, bm::kRecordSize, bm::kPlayerCount},
        {"national squads", b.parameter, bm::kNationalSquadOffset, b.boot, bm::kNationalSquadCopyOffset, 46, bm::kNationalSquadCopyStride, bm::kNationalRows},
    };
    for (const Table& t : tables) {
        for (std::size_t i = 0; i < t.entries; ++i) {
            const auto first = ByteSpan(t.primaryBlock).subspan(t.primary + i * t.entrySize, t.entrySize);
            const auto second = ByteSpan(t.copyBlock).subspan(t.copy + i * t.copyStride, t.entrySize);
            if (!std::ranges::equal(first, second)) {
                ADD_FAILURE() << t.name << " entry " << i << ": " << test::hex(first) << " / " << test::hex(second);
                break;
            }
        }
    }
    for (int row = bm::kNationalRows; row < bm::kDefaultTeamRow; ++row) {
        const auto offset = TeamTable[static_cast<std::size_t>(row)].clubNameOffset;
        const auto first = ByteSpan(b.parameter).subspan(offset, bm::kClubNameSize);
        const auto second = ByteSpan(b.parameter).subspan(offset + bm::kClubNameCopyDistance, bm::kClubNameSize);
        EXPECT_TRUE(std::ranges::equal(first, second)) << "club name of row " << row;
    }
}

// What the editor's controls can set, field by field (face is checked against the skin apart).
struct Range {
    std::uint32_t min, max;
};
const std::map<PF, Range>& controlRanges() {
    static const std::map<PF, Range> ranges = [] {
        std::map<PF, Range> r{
            {PF::Height, {148, 205}}, {PF::Weight, {40, 123}}, {PF::Age, {15, 46}}, {PF::Face, {1, 125}},
            {PF::Skin, {0, 3}}, {PF::HairType, {0, 102}}, {PF::HairColor, {0, 63}}, {PF::BeardType, {0, 59}},
            {PF::BeardColor, {0, 63}}, {PF::EyeIris, {0, 11}}, {PF::EyeGlobe, {0, 2}}, {PF::Sleeves, {0, 2}},
            {PF::Foot, {0, 2}}, {PF::FreeKick, {0, 4}}, {PF::Build, {0, 4}}, {PF::ShoesModel, {0, 9}},
            {PF::HeadV, {0, 7}}, {PF::HeadH, {0, 7}}, {PF::Accessory, {0, 7}}, {PF::ShoesColor, {0, 7}},
            {PF::ShoesDesignColor, {0, 7}}, {PF::ShoesTongueColor, {0, 7}}, {PF::Position1, {0, 10}},
            {PF::Position2, {0, 11}}, {PF::Position3, {0, 11}}, {PF::Injury, {0, 2}}, {PF::Nation, {0, 240}}};
        for (PF f : kAbilityFields) r[f] = {1, 99};
        for (PF f : kSpecialAbilityFields) r[f] = {0, 1};
        return r;
    }();
    return ranges;
}

TEST(SampleContent, EveryPlayerFieldLiesInItsControlsRange) {
    std::map<PF, std::set<std::uint32_t>> seen;
    Player player;
    for (std::uint32_t id = 1; id <= bm::kPlayerCount; ++id) {
        player.load(sample().view(), id);
        SCOPED_TRACE("player " + std::to_string(id) + " record " + test::hex(playerRecordBytes(sample().view(), id)));
        for (std::size_t f = 0; f < kPlayerFieldCount; ++f) {
            const PF field = static_cast<PF>(f);
            const auto range = controlRanges().find(field);
            ASSERT_NE(range, controlRanges().end()) << kPlayerFields[f].name << " has no range here";
            const std::uint32_t value = player.read(field);
            EXPECT_TRUE(value >= range->second.min && value <= range->second.max) << kPlayerFields[f].name << " = " << value;
            seen[field].insert(value);
        }
        EXPECT_LE(player.read(PF::Face), faceBoundOfSkin(player.read(PF::Skin)));
        EXPECT_NE(player.read(PF::HairColor), 62u);  // 0 to 61, or 63 for bald
        EXPECT_TRUE(nationEntryOfCode(player.read(PF::Nation)).has_value()) << player.read(PF::Nation);
        if (::testing::Test::HasFailure()) break;
    }
    // Invented, but not all alike: every field takes several values across the players.
    for (const auto& [field, values] : seen) EXPECT_GE(values.size(), 2u) << fieldOf(field).name;
    EXPECT_TRUE(seen[PF::HairColor].count(kBaldHairColor));
    EXPECT_TRUE(seen[PF::BeardColor].count(kNoBeardColor));
}

// A name slot's text in valid Shift-JIS: ASCII, or a lead byte 0x81-0x9F / 0xE0-0xEF followed by
// a trail byte 0x40-0xFC other than 0x7F. Counts the two-byte characters.
bool validShiftJis(const Bytes& text, int& wide) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::uint8_t c = text[i];
        if (c >= 0x20 && c < 0x7F) continue;
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xEF);
        if (!lead || i + 1 == text.size()) return false;
        const std::uint8_t t = text[++i];
        if (t < 0x40 || t > 0xFC || t == 0x7F) return false;
        ++wide;
    }
    return true;
}

bool isKatakana(std::uint8_t lead, std::uint8_t trail) { return lead == 0x83 && trail >= 0x40 && trail <= 0x96 && trail != 0x7F; }

TEST(SampleContent, PlayerNamesAndCallsArePlausible) {
    int wideNames = 0, noCall = 0;
    std::set<std::uint16_t> calls;
    for (std::uint32_t id = 1; id <= bm::kPlayerCount; ++id) {
        const Bytes full = readPlayerName(sample().view(), PlayerName::Full, id);
        const Bytes back = readPlayerName(sample().view(), PlayerName::Back, id);
        SCOPED_TRACE("player " + std::to_string(id) + ": " + test::hex(full) + " / " + test::hex(back));
        EXPECT_FALSE(full.empty());
        EXPECT_FALSE(back.empty());
        EXPECT_LE(full.size(), 30u);
        EXPECT_LE(back.size(), 15u);
        int wide = 0;
        EXPECT_TRUE(validShiftJis(full, wide));
        wideNames += wide > 0;
        for (std::size_t i = 0; i < back.size(); ++i) {  // upper-case letters or katakana
            if (back[i] >= 'A' && back[i] <= 'Z') continue;
            ASSERT_TRUE(i + 1 < back.size() && isKatakana(back[i], back[i + 1]));
            ++i;
        }
        const std::uint16_t call = readCallNumber(sample().view(), id);
        if (call == kNoCallNumber) {
            ++noCall;
        } else {
            EXPECT_TRUE(call >= kCallNumberMin && call <= kCallNumberMax) << call;
            EXPECT_TRUE(calls.insert(call).second) << "call " << call << " given twice";
        }
    }
    EXPECT_GT(wideNames, 100);
    EXPECT_GT(noCall, 0);
    EXPECT_LT(noCall, 50);
}

TEST(SampleContent, TeamsAreCompleteAndInRange) {
    GameBlocks view = sample().view();
    for (int row = 0; row < bm::kTeamRows; ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        const auto slot = teamNameSlot(view, row);
        const Bytes name = readTeamName(view, row);
        EXPECT_FALSE(name.empty());
        EXPECT_LT(name.size(), slot.size());
        EXPECT_TRUE(std::all_of(slot.begin() + static_cast<std::ptrdiff_t>(name.size()), slot.end(), [](auto c) { return c == 0; }));
        int wide = 0;
        EXPECT_TRUE(validShiftJis(name, wide));
        const Bytes shortName = readShortName(view, row);
        EXPECT_EQ(shortName.size(), 3u);
        EXPECT_TRUE(std::all_of(shortName.begin(), shortName.end(), [](auto c) { return c >= 'A' && c <= 'Z'; }));
        if (isClub(row)) {
            const Bytes club = readClubName(view, row);
            EXPECT_FALSE(club.empty());
            EXPECT_LE(club.size(), 20u);
        }

        std::set<int> shirts;
        for (int s = 0; s < squadSize(row); ++s) {
            const std::uint16_t id = readSquadId(view, row, s);
            const std::uint16_t lowest = (teamKind(row) == TeamKind::National || s < bm::kNationalSquadSize) ? 1 : 0;
            EXPECT_TRUE(id >= lowest && id <= bm::kPlayerCount) << "slot " << s << " holds " << id;
            const int shirt = readShirt(view, row, s);
            EXPECT_TRUE(shirt >= 1 && shirt <= 99) << "slot " << s << " shirt " << shirt;
            EXPECT_TRUE(id == 0 || shirts.insert(shirt).second) << "shirt " << shirt << " given twice";
        }
        if (hasTactics(row)) {
            for (int k = 0; k < kTacticsCount; ++k) {
                EXPECT_EQ(readTacticsByte(view, row, k) % 5, 0);
                EXPECT_GE(readTactics(view, row, k), kTacticsShownMin);
                EXPECT_LE(readTactics(view, row, k), kTacticsShownMax);
            }
        }
        for (int k = 0; k < kSetPieceCount; ++k) EXPECT_LT(readSetPiece(view, row, k), kSetPieceChoices);
        const FormationRecord f = readFormation(view, row);
        for (int k = 0; k < kFormationPositions; ++k) {
            EXPECT_TRUE(roleListIndex(f[k]).has_value()) << "role " << int(f[k]);
            EXPECT_TRUE(f[10 + k] >= kFormationXMin && f[10 + k] <= kFormationXMax) << "x " << int(f[10 + k]);
            EXPECT_TRUE(f[20 + k] >= kFormationYMin && f[20 + k] <= kFormationYMax) << "y " << int(f[20 + k]);
        }
    }
    // Some clubs leave slots empty, and some names are Japanese.
    int emptySlots = 0, japanese = 0;
    for (int row = bm::kNationalRows; row < bm::kTeamRows; ++row)
        for (int s = bm::kNationalSquadSize; s < bm::kClubSquadSize; ++s) emptySlots += readSquadId(view, row, s) == 0;
    for (int row = 0; row < bm::kTeamRows; ++row) {
        const Bytes name = readTeamName(view, row);
        japanese += !name.empty() && name[0] >= 0x81;
    }
    EXPECT_GT(emptySlots, 0);
    EXPECT_GT(japanese, 0);
    // Row 105's 2-byte slot and the slot shown for rows without a club name hold one byte each.
    EXPECT_EQ(readTeamName(view, bm::kDefaultTeamRow).size(), 1u);
    EXPECT_EQ(sample().blocks.parameter[49], 0);
    EXPECT_NE(sample().blocks.parameter[48], 0);
}

// Role codes 2 to 10 are backs, 28 and up forwards: "4-4-2-A" has four of the one and two of
// the other.
TEST(SampleContent, PresetsMatchTheirNames) {
    std::set<FormationRecord> distinct;
    for (int p = 1; p <= bm::kPresetCount; ++p) {
        const std::string_view name = kFormationNames[static_cast<std::size_t>(p)];
        const FormationRecord f = presetFormation(sample().view(), p);
        SCOPED_TRACE(std::string(name) + " " + test::hex(f));
        int backs = 0, forwards = 0;
        for (int k = 0; k < kFormationPositions; ++k) {
            EXPECT_TRUE(roleListIndex(f[k]).has_value());
            backs += f[k] <= 10;
            forwards += f[k] >= 28;
            EXPECT_TRUE(f[10 + k] >= kFormationXMin && f[10 + k] <= kFormationXMax);
            EXPECT_TRUE(f[20 + k] >= kFormationYMin && f[20 + k] <= kFormationYMax);
        }
        EXPECT_EQ(backs, name[0] - '0');
        EXPECT_EQ(forwards, name[4] - '0');
        distinct.insert(f);
    }
    EXPECT_EQ(distinct.size(), static_cast<std::size_t>(bm::kPresetCount));
}

// Bytes that no table covers carry a pattern: a round trip that drops bytes cannot hide in zeros.
TEST(SampleContent, NoLongRunOfZeroBytes) {
    for (const Bytes* block : {&sample().blocks.boot, &sample().blocks.parameter, &sample().blocks.select}) {
        std::size_t run = 0, longest = 0, at = 0;
        for (std::size_t i = 0; i < block->size(); ++i) {
            run = (*block)[i] == 0 ? run + 1 : 0;
            if (run > longest) {
                longest = run;
                at = i;
            }
        }
        EXPECT_LT(longest, 64u) << "ending at " << at << " of a block of " << block->size();
    }
}

}  // namespace
}  // namespace tarvo::sample
