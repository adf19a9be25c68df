// A seeded sequence of 10000 random edits through the public operations on the sample disc's
// data. After each: every second copy equals its primary, the 47 bits of each player record that
// no field covers are as loaded (or as a file import brought them), and no byte outside the
// tables changed. At the end, after a write-back and a fresh load, everything reads back as the
// test's own model predicts. A failure names the seed and the step (TARVO_EDIT_SEED=<seed> runs
// that sequence again).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "player/player_file.h"
#include "player/universal_edit.h"
#include "records/player.h"
#include "records/team.h"
#include "store/block_map.h"
#include "store/data_store.h"
#include "support/sample.h"
#include "team/team_file.h"

namespace tarvo {
namespace {

using namespace blockmap;
using Record = std::array<std::uint8_t, 44>;

// The model's own reading of a field: character k of the record's bit string is bit 7 - k % 8 of
// byte 43 - k / 8, and a field's last character is its low bit.
std::uint32_t modelField(const Record& r, const PlayerField& f) {
    std::uint32_t v = 0;
    for (int k = f.position; k < f.position + f.width; ++k)
        v = v << 1 | ((r[std::size_t(43 - k / 8)] >> (7 - k % 8)) & 1u);
    return v;
}
void modelSetField(Record& r, const PlayerField& f, std::uint32_t stored) {
    for (int j = 0; j < f.width; ++j) {
        const int k = f.position + f.width - 1 - j;
        auto& byte = r[std::size_t(43 - k / 8)];
        const auto bit = std::uint8_t(1u << (7 - k % 8));
        byte = (stored >> j) & 1 ? byte | bit : byte & ~bit;
    }
}

struct Model {
    std::vector<Record> records;
    std::vector<Bytes> full, back;
    std::vector<std::uint16_t> call;
    struct Team {
        Bytes name, shortName, club;
        std::array<std::uint8_t, 5> tactics{};
        std::array<std::uint8_t, 6> setPieces{};
        FormationRecord formation{};
        std::vector<std::uint16_t> squad;
        std::vector<std::uint8_t> shirts;
    };
    std::vector<Team> teams;

    explicit Model(const GameBlocks& b) {
        for (std::uint32_t id = 1; id <= kPlayerCount; ++id) {
            Record r;
            std::ranges::copy(playerRecordBytes(b, id), r.begin());
            records.push_back(r);
            const auto f = playerNameSlot(b, PlayerName::Full, id), k = playerNameSlot(b, PlayerName::Back, id);
            full.emplace_back(f.begin(), f.end());
            back.emplace_back(k.begin(), k.end());
            call.push_back(readCallNumber(b, id));
        }
        for (int row = 0; row < kTeamRows; ++row) {
            Team t;
            const auto name = teamNameSlot(b, row), shortName = shortNameSlot(b, row);
            t.name.assign(name.begin(), name.end());
            t.shortName.assign(shortName.begin(), shortName.end());
            t.club = readClubName(b, row);
            for (int k = 0; k < 5; ++k) t.tactics[std::size_t(k)] = readTacticsByte(b, row, k);
            for (int k = 0; k < 6; ++k) t.setPieces[std::size_t(k)] = std::uint8_t(readSetPiece(b, row, k));
            t.formation = readFormation(b, row);
            for (int s = 0; s < squadSize(row); ++s) {
                t.squad.push_back(readSquadId(b, row, s));
                t.shirts.push_back(readShirtByte(b, row, s));
            }
            teams.push_back(t);
        }
    }
};

// A name slot holding `text`: the text, then NULs.
Bytes slotOf(const Bytes& text, std::size_t size) {
    Bytes slot(size, 0);
    std::ranges::copy(text, slot.begin());
    return slot;
}

// Places of the blocks that belong to some table; bytes elsewhere never change.
struct Coverage {
    std::vector<bool> boot, parameter, select;
    explicit Coverage(const GameBlocks& b)
        : boot(b.boot.size()), parameter(b.parameter.size()), select(b.select.size()) {
        const auto mark = [](std::vector<bool>& in, std::size_t at, std::size_t n) {
            std::fill_n(in.begin() + long(at), n, true);
        };
        mark(parameter, kFullNameOffset, 31 * kPlayerCount);
        mark(select, kFullNameCopyOffset, 31 * kPlayerCount);
        mark(parameter, kBackNameOffset, 16 * kPlayerCount);
        mark(select, kBackNameCopyOffset, 16 * kPlayerCount);
        mark(parameter, kCallNumberOffset, 2 * kPlayerCount);
        mark(select, kCallNumberCopyOffset, 2 * kPlayerCount);
        mark(parameter, kRecordOffset, 44 * kPlayerCount);
        mark(boot, kRecordCopyOffset, 44 * kPlayerCount);
        mark(parameter, kNationalShirtsOffset, 23 * 65);
        mark(parameter, kClubShirtsOffset, 40 * 41);
        mark(parameter, kNationalSquadOffset, 46 * 65);
        for (std::size_t row = 0; row < 65; ++row) mark(boot, kNationalSquadCopyOffset + 80 * row, 46);
        mark(parameter, kClubSquadOffset, 80 * 41);
        for (std::size_t club = 0; club < 40; ++club) {
            mark(parameter, 221552 + 148 * club, 21);
            mark(parameter, 221552 + 148 * club + 65, 21);
        }
        for (int row = 0; row < kTeamRows; ++row) {
            const auto slot = teamNameSlot(b, row);
            mark(boot, std::size_t(slot.data() - b.boot.data()), slot.size());
        }
        mark(boot, kTacticsOffset, 5 * 105);
        mark(boot, kSetPiecesOffset, 6 * 106);
        mark(boot, kFormationsOffset, 30 * 106);
        mark(boot, kShortNamesOffset, 4 * 106);
    }
    // The uncovered ranges [from, to) of a block, for quick comparison.
    static std::vector<std::pair<std::size_t, std::size_t>> gaps(const std::vector<bool>& covered) {
        std::vector<std::pair<std::size_t, std::size_t>> out;
        for (std::size_t i = 0; i < covered.size(); ++i) {
            if (covered[i]) continue;
            if (out.empty() || out.back().second != i) out.emplace_back(i, i);
            out.back().second = i + 1;
        }
        return out;
    }
};

class RandomEdits {
public:
    RandomEdits(GameBlocks blocks, std::uint32_t seed)
        : m_b(blocks),
          m_model(blocks),
          m_random(seed),
          m_initial{copy(blocks.boot), copy(blocks.parameter), copy(blocks.select)} {
        const Coverage coverage(blocks);
        m_gaps = {Coverage::gaps(coverage.boot), Coverage::gaps(coverage.parameter), Coverage::gaps(coverage.select)};
        for (const auto& f : kPlayerFields)
            for (int k = f.position; k < f.position + f.width; ++k)
                m_fieldBits[std::size_t(43 - k / 8)] |= std::uint8_t(1u << (7 - k % 8));
    }

    // One random edit; returns what it was.
    std::string step() {
        const int op = pick(0, 99);
        if (op < 35) return fieldWrite();
        if (op < 43) return nameWrite();
        if (op < 48) return callWrite();
        if (op < 58) return squadWrite();
        if (op < 66) return shirtWrite();
        if (op < 72) return tacticsWrite();
        if (op < 78) return setPieceWrite();
        if (op < 83) return formationWrite();
        if (op < 87) return teamNameWrite();
        if (op < 92) return teamFileImport();
        if (op < 97) return playerFileImport();
        if (op < 98) return universal();
        return refusedTeamFile();
    }

    // What must hold after every step; the first breach, or empty.
    std::string invariantBreach() const {
        if (!m_wrong.empty()) return m_wrong;
        const auto differ = [](ByteSpan a, ByteSpan b) { return !std::ranges::equal(a, b); };
        for (std::uint32_t n = 0; n < kPlayerCount; ++n) {
            if (differ(m_b.parameter.subspan(kFullNameOffset + 31 * n, 31),
                       m_b.select.subspan(kFullNameCopyOffset + 31 * n, 31)) ||
                differ(m_b.parameter.subspan(kBackNameOffset + 16 * n, 16),
                       m_b.select.subspan(kBackNameCopyOffset + 16 * n, 16)) ||
                differ(m_b.parameter.subspan(kCallNumberOffset + 2 * n, 2),
                       m_b.select.subspan(kCallNumberCopyOffset + 2 * n, 2)) ||
                differ(m_b.parameter.subspan(kRecordOffset + 44 * n, 44),
                       m_b.boot.subspan(kRecordCopyOffset + 44 * n, 44)))
                return "second copy of player " + std::to_string(n + 1) + " differs";
            const auto record = m_b.parameter.subspan(kRecordOffset + 44 * n, 44);
            // Only a file import brings other uncovered bits, and the model has them.
            const Record& expected = m_model.records[n];
            for (std::size_t i = 0; i < 44; ++i)
                if ((record[i] & ~m_fieldBits[i]) != (expected[i] & ~m_fieldBits[i]))
                    return "an uncovered bit of player " + std::to_string(n + 1) + " changed in byte " +
                           std::to_string(i);
        }
        for (std::size_t row = 0; row < 65; ++row)
            if (differ(m_b.parameter.subspan(kNationalSquadOffset + 46 * row, 46),
                       m_b.boot.subspan(kNationalSquadCopyOffset + 80 * row, 46)))
                return "squad copy of row " + std::to_string(row) + " differs";
        for (std::size_t club = 0; club < 40; ++club)
            if (differ(m_b.parameter.subspan(221552 + 148 * club, 21),
                       m_b.parameter.subspan(221552 + 148 * club + 65, 21)))
                return "club name copy of row " + std::to_string(65 + club) + " differs";
        const ByteSpan now[3] = {m_b.boot, m_b.parameter, m_b.select};
        const char* names[3] = {"boot", "parameter", "select"};
        for (int k = 0; k < 3; ++k)
            for (const auto& [from, to] : m_gaps[std::size_t(k)])
                if (differ(now[k].subspan(from, to - from),
                           ByteSpan(m_initial[std::size_t(k)]).subspan(from, to - from)))
                    return std::string("a byte outside the tables changed in ") + names[k] + " between " +
                           std::to_string(from) + " and " + std::to_string(to);
        return {};
    }

    // Everything as the model has it, read through the public operations of `b`.
    std::string modelBreach(const GameBlocks& b) const {
        for (std::uint32_t id = 1; id <= kPlayerCount; ++id) {
            const std::size_t n = id - 1;
            const auto record = playerRecordBytes(b, id);
            if (!std::ranges::equal(record, m_model.records[n])) return "record of player " + std::to_string(id);
            Player player;
            player.load(b, id);
            for (std::size_t f = 0; f < kPlayerFields.size(); ++f)
                if (player.read(PF(f)) != modelField(m_model.records[n], kPlayerFields[f]) + kPlayerFields[f].offset)
                    return std::string(kPlayerFields[f].name) + " of player " + std::to_string(id);
            if (!std::ranges::equal(playerNameSlot(b, PlayerName::Full, id), m_model.full[n]) ||
                !std::ranges::equal(playerNameSlot(b, PlayerName::Back, id), m_model.back[n]) ||
                readCallNumber(b, id) != m_model.call[n])
                return "names or call number of player " + std::to_string(id);
        }
        for (int row = 0; row < kTeamRows; ++row) {
            const auto& t = m_model.teams[std::size_t(row)];
            const std::string at = " of row " + std::to_string(row);
            if (!std::ranges::equal(teamNameSlot(b, row), t.name) ||
                !std::ranges::equal(shortNameSlot(b, row), t.shortName) || readClubName(b, row) != t.club)
                return "names" + at;
            for (int k = 0; k < 5; ++k)
                if (readTacticsByte(b, row, k) != t.tactics[std::size_t(k)]) return "tactics" + at;
            for (int k = 0; k < 6; ++k)
                if (readSetPiece(b, row, k) != t.setPieces[std::size_t(k)]) return "set pieces" + at;
            if (readFormation(b, row) != t.formation) return "formation" + at;
            for (int s = 0; s < squadSize(row); ++s)
                if (readSquadId(b, row, s) != t.squad[std::size_t(s)] ||
                    readShirtByte(b, row, s) != t.shirts[std::size_t(s)])
                    return "squad slot " + std::to_string(s) + at;
        }
        return {};
    }

private:
    static Bytes copy(ByteSpan b) { return Bytes(b.begin(), b.end()); }
    // An operation that did not do what the model says it does.
    std::string wrong(const std::string& what) {
        m_wrong = what;
        return what;
    }
    int pick(int from, int to) { return std::uniform_int_distribution<int>(from, to)(m_random); }
    std::uint32_t anyId() { return std::uint32_t(pick(1, int(kPlayerCount))); }
    int anyRow() { return pick(0, kTeamRows - 1); }
    Bytes text(std::size_t maxLength) {
        Bytes t(std::size_t(pick(0, int(maxLength))));
        for (auto& c : t) c = std::uint8_t(pick(0x20, 0x7E));
        return t;
    }

    std::string fieldWrite() {
        const std::uint32_t id = anyId();
        const auto f = std::size_t(pick(0, int(kPlayerFields.size()) - 1));
        const auto& field = kPlayerFields[f];
        const auto stored = std::uint32_t(pick(0, (1 << field.width) - 1));
        Player player;
        player.load(m_b, id);
        player.write(PF(f), stored + field.offset);
        modelSetField(m_model.records[id - 1], field, stored);
        return std::string("field ") + std::string(field.name) + " of player " + std::to_string(id);
    }
    std::string nameWrite() {
        const std::uint32_t id = anyId();
        const bool isFull = pick(0, 1) == 1;
        const std::size_t size = isFull ? 31 : 16;
        const Bytes t = text(size);  // one in 32 or 17 has no room for its NUL
        const bool stored = writePlayerName(m_b, isFull ? PlayerName::Full : PlayerName::Back, id, t);
        if (stored != (t.size() < size)) return wrong("name refusal wrong");
        if (stored) (isFull ? m_model.full : m_model.back)[id - 1] = slotOf(t, size);
        return "name of player " + std::to_string(id);
    }
    std::string callWrite() {
        const std::uint32_t id = anyId();
        const auto number = std::uint16_t(pick(0, 65535));
        writeCallNumber(m_b, id, number);
        m_model.call[id - 1] = number;
        return "call number of player " + std::to_string(id);
    }
    std::string squadWrite() {
        const int row = anyRow(), slot = pick(0, squadSize(row) - 1), id = pick(-2, int(kPlayerCount) + 2);
        const int lowest = row >= kNationalRows && slot >= 23 ? 0 : 1;
        const bool accepted = id >= lowest && id <= int(kPlayerCount);
        if (setSquadId(m_b, row, slot, id).has_value() == accepted) return wrong("squad rule wrong");
        if (accepted) m_model.teams[std::size_t(row)].squad[std::size_t(slot)] = std::uint16_t(id);
        return "squad slot " + std::to_string(slot) + " of row " + std::to_string(row);
    }
    std::string shirtWrite() {
        const int row = anyRow(), slot = pick(0, squadSize(row) - 1), shown = pick(1, 99);
        storeShirt(m_b, row, slot, shown);
        m_model.teams[std::size_t(row)].shirts[std::size_t(slot)] = std::uint8_t(shown - 1);
        return "shirt of row " + std::to_string(row);
    }
    std::string tacticsWrite() {
        const int row = anyRow(), k = pick(0, 4), shown = pick(4, 19);
        storeTactics(m_b, row, k, shown);
        if (row < 105) m_model.teams[std::size_t(row)].tactics[std::size_t(k)] = std::uint8_t(5 * shown);
        return "tactics of row " + std::to_string(row);
    }
    std::string setPieceWrite() {
        const int row = anyRow(), k = pick(0, 5), index = pick(0, 10);
        storeSetPiece(m_b, row, k, index);
        m_model.teams[std::size_t(row)].setPieces[std::size_t(k)] = std::uint8_t(index);
        return "set piece of row " + std::to_string(row);
    }
    std::string formationWrite() {
        const int row = anyRow();
        FormationRecord f;
        for (auto& b : f) b = std::uint8_t(pick(0, 255));
        storeFormation(m_b, row, f);
        m_model.teams[std::size_t(row)].formation = f;
        return "formation of row " + std::to_string(row);
    }
    std::string teamNameWrite() {
        const int row = anyRow(), which = pick(0, 2);
        auto& t = m_model.teams[std::size_t(row)];
        const Bytes name = text(which == 0 ? t.name.size() - 1 : which == 1 ? 3 : 20);
        const bool club = row >= kNationalRows && row < 105;
        if (which == 0 && !storeTeamName(m_b, row, name)) return wrong("team name refused");
        if (which == 1 && !storeShortName(m_b, row, name)) return wrong("short name refused");
        if (which == 2 && storeClubName(m_b, row, name) != club) return wrong("club name rule wrong");
        if (which == 0) t.name = slotOf(name, t.name.size());
        if (which == 1) t.shortName = slotOf(name, 4);
        if (which == 2 && club) t.club = name;
        return "names of row " + std::to_string(row);
    }
    // A team's file with changed tactics, set pieces, shirts and one slot's player, loaded back.
    std::string teamFileImport() {
        const int row = anyRow();
        const std::size_t L = teamNameSlot(m_b, row).size(), N = std::size_t(squadSize(row));
        Bytes file = buildTeamFile(m_b, row);
        // Random values the game reads (tactics 20 to 99, set pieces 0 to 10, role codes 2 to 34,
        // shirts 0 to 98), so that the file is stored; the refusals have a test of their own.
        for (std::size_t k = 0; k < 5; ++k) file[20 + L + k] = std::uint8_t(pick(20, 99));
        for (std::size_t k = 0; k < 6; ++k) file[25 + L + k] = std::uint8_t(pick(0, 10));
        for (std::size_t k = 0; k < 10; ++k) file[31 + L + k] = std::uint8_t(pick(2, 34));
        const std::size_t slot = std::size_t(pick(0, int(N) - 1));
        const int lowest = row >= kNationalRows && slot >= 23 ? 0 : 1;
        const auto id = std::uint16_t(pick(lowest, int(kPlayerCount)));
        writeU16LE(file, 65 + L + 2 * slot, id);
        for (std::size_t s = 0; s < N; ++s) file[65 + L + 2 * N + s] = std::uint8_t(pick(0, 98));
        for (std::size_t k = 0; k < 44; ++k) file[65 + L + 52 * N + 44 * slot + k] = std::uint8_t(pick(0, 255));
        for (std::size_t s = 0; s < N; ++s)
            if (readU16LE(file, 65 + L + 2 * s) != 0) readableRecord(file, 65 + L + 52 * N + 44 * s);
        if (!applyTeamFile(m_b, file).stored()) return wrong("team file refused");

        auto& t = m_model.teams[std::size_t(row)];
        t.name.assign(file.begin() + 16, file.begin() + long(16 + L));
        t.shortName.assign(file.begin() + long(16 + L), file.begin() + long(20 + L));
        if (row < 105) std::copy_n(file.begin() + long(20 + L), 5, t.tactics.begin());
        std::copy_n(file.begin() + long(25 + L), 6, t.setPieces.begin());
        std::copy_n(file.begin() + long(31 + L), 30, t.formation.begin());
        for (std::size_t s = 0; s < N; ++s) {
            const std::uint16_t sid = readU16LE(file, 65 + L + 2 * s).value();
            t.squad[s] = sid;
            t.shirts[s] = file[65 + L + 2 * N + s];
            if (sid == 0) continue;
            const auto from = file.begin() + long(65 + L);
            m_model.full[sid - 1u].assign(from + long(3 * N + 31 * s), from + long(3 * N + 31 * s + 31));
            m_model.back[sid - 1u].assign(from + long(34 * N + 16 * s), from + long(34 * N + 16 * s + 16));
            m_model.call[sid - 1u] = readU16LE(file, 65 + L + 50 * N + 2 * s).value();
            std::copy_n(from + long(52 * N + 44 * s), 44, m_model.records[sid - 1u].begin());
        }
        return "team file of row " + std::to_string(row);
    }
    // A record's nation (byte 32) made a code of the table and its hair type (whose bit 6 is bit 4
    // of byte 6) below 64: what a field write may have left there, the files refuse.
    void readableRecord(Bytes& file, std::size_t at) {
        file[at + 32] = std::uint8_t(pick(0, 55));
        file[at + 6] &= 0xEF;
    }
    std::string playerFileImport() {
        const std::uint32_t from = anyId(), to = anyId();
        Bytes file = buildPlayerFile(m_b, from);
        readableRecord(file, 59);
        if (!applyPlayerFile(m_b, to, file)) return wrong("player file refused");
        m_model.full[to - 1] = m_model.full[from - 1];
        m_model.back[to - 1] = m_model.back[from - 1];
        m_model.call[to - 1] = m_model.call[from - 1];
        std::copy_n(file.begin() + 59, 44, m_model.records[to - 1].begin());
        return "player file of " + std::to_string(from) + " onto " + std::to_string(to);
    }
    std::string universal() {
        const int ability = pick(0, 24);
        const bool add = pick(0, 1) == 1;
        const int amount = add ? pick(-99, 99) : pick(1, 200);
        Player player;
        universalEdit(m_b, player, ability, add ? UniversalMethod::Add : UniversalMethod::Percent, amount);
        const auto& field = fieldOf(kAbilityFields[std::size_t(ability)]);
        for (auto& r : m_model.records) {
            const auto v = std::int32_t(modelField(r, field));
            modelSetField(r, field, std::uint32_t(std::clamp(add ? v + amount : v * amount / 100, 1, 99)));
        }
        return "universal edit of ability " + std::to_string(ability);
    }
    std::string refusedTeamFile() {
        Bytes file = buildTeamFile(m_b, anyRow());
        file.resize(std::size_t(pick(0, int(file.size()) - 1)));
        if (applyTeamFile(m_b, file).known) return wrong("a cut team file was taken");
        return "cut team file";
    }

    GameBlocks m_b;
    Model m_model;
    std::mt19937 m_random;
    std::array<Bytes, 3> m_initial;
    std::array<std::vector<std::pair<std::size_t, std::size_t>>, 3> m_gaps;
    Record m_fieldBits{};
    std::string m_wrong;
};

TEST(RandomEdits, TenThousandEditsKeepTheCopiesAndTheModel) {
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
    const std::string breach = edits.modelBreach(reloaded.blocks());
    EXPECT_TRUE(breach.empty()) << "seed " << seed << ", after the write-back: " << breach;
}

}  // namespace
}  // namespace tarvo
