#include "team/team_file.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "records/player.h"
#include "records/team.h"
#include "store/block_map.h"
#include "store/file_io.h"
#include "store/team_table.h"

namespace tarvo {

namespace fs = std::filesystem;

namespace {

using namespace blockmap;

constexpr std::string_view kTeamMagic = "TEAMDATA";

// Where each part of a team file lies, for a team name slot of L bytes and N squad slots.
struct TeamFileLayout {
    std::size_t nameLength;
    std::size_t squadSize;

    static constexpr std::size_t kRowAt = 8, kNameLengthAt = 12, kNameAt = 16;
    std::size_t shortNameAt() const { return kNameAt + nameLength; }
    std::size_t tacticsAt() const { return shortNameAt() + kShortNameSize; }
    std::size_t setPiecesAt() const { return tacticsAt() + kTacticsCount; }
    std::size_t formationAt() const { return setPiecesAt() + kSetPieceCount; }
    std::size_t squadSizeAt() const { return formationAt() + kFormationSize; }
    std::size_t idsAt() const { return squadSizeAt() + 4; }
    std::size_t shirtsAt() const { return idsAt() + 2 * squadSize; }
    std::size_t fullNamesAt() const { return shirtsAt() + squadSize; }
    std::size_t backNamesAt() const { return fullNamesAt() + kFullNameSize * squadSize; }
    std::size_t callNumbersAt() const { return backNamesAt() + kBackNameSize * squadSize; }
    std::size_t recordsAt() const { return callNumbersAt() + kCallNumberSize * squadSize; }
    std::size_t size() const { return recordsAt() + kRecordSize * squadSize; }
};

TeamFileLayout layoutOfRow(int row) {
    return {TeamTable[static_cast<std::size_t>(row)].teamNameLength, static_cast<std::size_t>(squadSize(row))};
}

void appendU32(Bytes& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void appendU16(Bytes& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

// Appends exactly `size` bytes: the data, or zeros where there is none (an empty slot).
void appendFixed(Bytes& out, ByteSpan data, std::size_t size) {
    if (data.size() == size) out.insert(out.end(), data.begin(), data.end());
    else out.insert(out.end(), size, 0);
}

bool startsWithMagic(ByteSpan file, std::string_view magic) {
    return file.size() >= magic.size() &&
           std::equal(magic.begin(), magic.end(), file.begin(),
                      [](char m, std::uint8_t b) { return static_cast<std::uint8_t>(m) == b; });
}

std::uint16_t squadIdInFile(ByteSpan file, const TeamFileLayout& layout, std::size_t slot) {
    return readU16LE(file, layout.idsAt() + 2 * slot).value_or(0);
}

}  // namespace

std::string teamFileName(int row) {
    char name[32];
    std::snprintf(name, sizeof name, "team%03d.dat", row);
    return name;
}

Bytes buildTeamFile(const GameBlocks& blocks, int row) {
    if (row < 0 || row >= kTeamRows) return {};
    const auto layout = layoutOfRow(row);
    Bytes out(kTeamMagic.begin(), kTeamMagic.end());
    out.reserve(layout.size());
    appendU32(out, static_cast<std::uint32_t>(row));
    appendU32(out, static_cast<std::uint32_t>(layout.nameLength));
    appendFixed(out, teamNameSlot(blocks, row), layout.nameLength);
    appendFixed(out, shortNameSlot(blocks, row), kShortNameSize);
    for (int k = 0; k < kTacticsCount; ++k) out.push_back(readTacticsByte(blocks, row, k));  // 0 for row 105
    for (int k = 0; k < kSetPieceCount; ++k) out.push_back(static_cast<std::uint8_t>(readSetPiece(blocks, row, k)));
    const auto formation = readFormation(blocks, row);
    out.insert(out.end(), formation.begin(), formation.end());
    const int n = squadSize(row);
    appendU32(out, static_cast<std::uint32_t>(n));
    for (int s = 0; s < n; ++s) appendU16(out, readSquadId(blocks, row, s));
    for (int s = 0; s < n; ++s) out.push_back(readShirtByte(blocks, row, s));
    // An empty slot (and an ID that names no player) carries zero bytes.
    for (int s = 0; s < n; ++s)
        appendFixed(out, playerNameSlot(blocks, PlayerName::Full, readSquadId(blocks, row, s)), kFullNameSize);
    for (int s = 0; s < n; ++s)
        appendFixed(out, playerNameSlot(blocks, PlayerName::Back, readSquadId(blocks, row, s)), kBackNameSize);
    for (int s = 0; s < n; ++s) {
        const auto id = readSquadId(blocks, row, s);
        appendU16(out, id == 0 ? 0 : readCallNumber(blocks, id));
    }
    for (int s = 0; s < n; ++s) appendFixed(out, playerRecordBytes(blocks, readSquadId(blocks, row, s)), kRecordSize);
    return out;
}

std::optional<int> checkTeamFile(ByteSpan file) {
    if (!startsWithMagic(file, kTeamMagic)) return std::nullopt;
    const auto row = readU32LE(file, TeamFileLayout::kRowAt);
    const auto nameLength = readU32LE(file, TeamFileLayout::kNameLengthAt);
    if (!row || !nameLength || *row >= static_cast<std::uint32_t>(kTeamRows)) return std::nullopt;
    const int r = static_cast<int>(*row);
    const auto layout = layoutOfRow(r);
    if (*nameLength != layout.nameLength) return std::nullopt;
    const auto n = readU32LE(file, layout.squadSizeAt());
    if (!n || *n != layout.squadSize || file.size() < layout.size()) return std::nullopt;
    // Storing player data under an ID that names no player would land outside the player tables.
    for (std::size_t s = 0; s < layout.squadSize; ++s)
        if (squadIdInFile(file, layout, s) > kPlayerCount) return std::nullopt;
    return r;
}

std::optional<int> applyTeamFile(const GameBlocks& blocks, ByteSpan file) {
    const auto checked = checkTeamFile(file);
    if (!checked) return std::nullopt;
    const int row = *checked;
    const auto layout = layoutOfRow(row);
    const auto name = teamNameSlot(blocks, row);
    const auto nameBytes = file.subspan(TeamFileLayout::kNameAt, layout.nameLength);
    if (name.size() == nameBytes.size()) std::copy(nameBytes.begin(), nameBytes.end(), name.begin());
    const auto shortName = shortNameSlot(blocks, row);
    const auto shortBytes = file.subspan(layout.shortNameAt(), kShortNameSize);
    if (shortName.size() == shortBytes.size()) std::copy(shortBytes.begin(), shortBytes.end(), shortName.begin());
    for (int k = 0; k < kTacticsCount; ++k)  // nothing for row 105, which has no tactics
        storeTacticsByte(blocks, row, k, file[layout.tacticsAt() + static_cast<std::size_t>(k)]);
    for (int k = 0; k < kSetPieceCount; ++k)
        storeSetPiece(blocks, row, k, file[layout.setPiecesAt() + static_cast<std::size_t>(k)]);
    FormationRecord formation{};
    std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(layout.formationAt()), formation.size(), formation.begin());
    storeFormation(blocks, row, formation);
    for (std::size_t s = 0; s < layout.squadSize; ++s) {
        const int slot = static_cast<int>(s);
        const auto id = squadIdInFile(file, layout, s);
        storeSquadId(blocks, row, slot, id);
        storeShirtByte(blocks, row, slot, file[layout.shirtsAt() + s]);
        if (id == 0) continue;
        writePlayerNameSlot(blocks, PlayerName::Full, id,
                            file.subspan(layout.fullNamesAt() + kFullNameSize * s, kFullNameSize));
        writePlayerNameSlot(blocks, PlayerName::Back, id,
                            file.subspan(layout.backNamesAt() + kBackNameSize * s, kBackNameSize));
        writeCallNumber(blocks, id, readU16LE(file, layout.callNumbersAt() + kCallNumberSize * s).value_or(0));
        writePlayerRecordBytes(blocks, id, file.subspan(layout.recordsAt() + kRecordSize * s, kRecordSize));
    }
    return row;
}

bool exportTeam(const GameBlocks& blocks, int row, const fs::path& directory, MessageService& messages) {
    return exportTeamTo(blocks, row, directory / teamFileName(row), messages);
}

bool exportTeamTo(const GameBlocks& blocks, int row, const fs::path& file, MessageService& messages) {
    const Bytes data = buildTeamFile(blocks, row);
    if (data.empty()) {
        messages.warning("There is no team row " + std::to_string(row) + ".");
        return false;
    }
    if (!writeFileReporting(file, data, messages)) return false;
    messages.information("OK, team data saved as \n" + utf8Path(file));
    return true;
}

std::optional<int> importTeam(const GameBlocks& blocks, const fs::path& file, MessageService& messages) {
    const auto data = readFileReporting(file, messages);
    if (!data) return std::nullopt;
    const auto row = applyTeamFile(blocks, *data);
    if (!row) {
        messages.warning("unknown format!");
        return std::nullopt;
    }
    char text[64];
    std::snprintf(text, sizeof text, "data of team %03d load OK.", *row + 1);
    messages.information(text);
    return row;
}

std::optional<FormationRecord> readFormationFromTeamFile(const fs::path& file, MessageService& messages) {
    const auto data = readFileReporting(file, messages);
    if (!data) return std::nullopt;
    const auto row = checkTeamFile(*data);
    if (!row) {
        messages.warning("unknown format!");
        return std::nullopt;
    }
    FormationRecord formation{};
    const auto at = static_cast<std::ptrdiff_t>(layoutOfRow(*row).formationAt());
    std::copy_n(data->begin() + at, formation.size(), formation.begin());
    return formation;
}

}  // namespace tarvo
