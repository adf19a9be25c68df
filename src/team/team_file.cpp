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

// Where each part of a team file lies, for a team name slot of L bytes and N squad slots: the
// magic, the row and L, then the row's values of the field table in its order, N, each squad value
// for all slots, and the squad's players' full names, back names, call numbers and records.
struct TeamFileLayout {
    std::size_t nameLength;
    std::size_t squadSize;

    static constexpr std::size_t kRowAt = 8, kNameLengthAt = 12, kValuesAt = 16;

    std::size_t sizeOf(TeamFieldId field) const {
        return field == TeamFieldId::TeamName ? nameLength : teamField(field).size;
    }
    // The first byte of a value of the row, or of a squad value's first slot.
    std::size_t at(TeamFieldId field) const {
        const bool perSlot = teamField(field).perSlot;
        std::size_t offset = perSlot ? idsAt() : kValuesAt;
        for (std::size_t i = 0; i < static_cast<std::size_t>(field); ++i) {
            const TeamField& f = kTeamFields[i];
            if (f.inTeamFile && f.perSlot == perSlot)
                offset += sizeOf(static_cast<TeamFieldId>(i)) * (perSlot ? squadSize : 1);
        }
        return offset;
    }
    std::size_t squadSizeAt() const { return at(TeamFieldId::SquadId) - 4; }
    std::size_t idsAt() const {
        std::size_t offset = kValuesAt;
        for (std::size_t i = 0; i < kTeamFields.size(); ++i)
            if (kTeamFields[i].inTeamFile && !kTeamFields[i].perSlot) offset += sizeOf(static_cast<TeamFieldId>(i));
        return offset + 4;
    }
    std::size_t fullNamesAt() const {
        std::size_t offset = idsAt();
        for (const TeamField& f : kTeamFields)
            if (f.inTeamFile && f.perSlot) offset += f.size * squadSize;
        return offset;
    }
    std::size_t backNamesAt() const { return fullNamesAt() + kFullNameSize * squadSize; }
    std::size_t callNumbersAt() const { return backNamesAt() + kBackNameSize * squadSize; }
    std::size_t recordsAt() const { return callNumbersAt() + kCallNumberSize * squadSize; }
    std::size_t size() const { return recordsAt() + kRecordSize * squadSize; }
};

TeamFileLayout layoutOfRow(int row) {
    return {TeamTable[static_cast<std::size_t>(row)].teamNameLength, static_cast<std::size_t>(squadSize(row))};
}

// The fields the team file carries, in its order: the row's values, then the squad's.
template <typename Visit>
void forEachFileField(bool perSlot, Visit visit) {
    for (std::size_t i = 0; i < kTeamFields.size(); ++i)
        if (kTeamFields[i].inTeamFile && kTeamFields[i].perSlot == perSlot) visit(static_cast<TeamFieldId>(i));
}

std::uint16_t squadIdInFile(ByteSpan file, const TeamFileLayout& layout, std::size_t slot) {
    return readU16LE(file, layout.at(TeamFieldId::SquadId) + 2 * slot).value_or(0);
}

// Every value the file would store into the row and onto its squad's players. The tactics of a
// row without them (row 105) are not stored, so not checked; neither are the zeros of an empty slot.
void checkTeamFileValues(ByteSpan file, int row, const TeamFileLayout& layout, ValueCheck& check) {
    forEachFileField(false, [&](TeamFieldId f) {
        if (rowIsIn(row, teamField(f).rows))
            checkTeamValue(f, row, 0, file.subspan(layout.at(f), layout.sizeOf(f)), check);
    });
    forEachFileField(true, [&](TeamFieldId f) {
        for (std::size_t s = 0; s < layout.squadSize; ++s)
            checkTeamValue(f, row, static_cast<int>(s),
                           file.subspan(layout.at(f) + layout.sizeOf(f) * s, layout.sizeOf(f)), check);
    });
    for (std::size_t s = 0; s < layout.squadSize; ++s) {
        const auto id = squadIdInFile(file, layout, s);
        if (id == 0 || id > kPlayerCount) continue;  // refused above, or no player
        checkPlayerData(file.subspan(layout.fullNamesAt() + kFullNameSize * s, kFullNameSize),
                        file.subspan(layout.backNamesAt() + kBackNameSize * s, kBackNameSize),
                        readU16LE(file, layout.callNumbersAt() + kCallNumberSize * s).value_or(0),
                        file.subspan(layout.recordsAt() + kRecordSize * s, kRecordSize),
                        slotName(static_cast<int>(s)) + " player " + std::to_string(id) + " ", check);
    }
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
    appendU32LE(out, static_cast<std::uint32_t>(row));
    appendU32LE(out, static_cast<std::uint32_t>(layout.nameLength));
    // A value the row does not hold (row 105's tactics) is carried as zeros.
    forEachFileField(false, [&](TeamFieldId f) { appendFixed(out, teamFieldSlot(blocks, f, row), layout.sizeOf(f)); });
    const int n = squadSize(row);
    appendU32LE(out, static_cast<std::uint32_t>(n));
    forEachFileField(true, [&](TeamFieldId f) {
        for (int s = 0; s < n; ++s) appendFixed(out, teamFieldSlot(blocks, f, row, s), layout.sizeOf(f));
    });
    // An empty slot (and an ID that names no player) carries zero bytes.
    for (int s = 0; s < n; ++s)
        appendFixed(out, playerNameSlot(blocks, PlayerName::Full, readSquadId(blocks, row, s)), kFullNameSize);
    for (int s = 0; s < n; ++s)
        appendFixed(out, playerNameSlot(blocks, PlayerName::Back, readSquadId(blocks, row, s)), kBackNameSize);
    for (int s = 0; s < n; ++s) {
        const auto id = readSquadId(blocks, row, s);
        appendU16LE(out, id == 0 ? 0 : readCallNumber(blocks, id));
    }
    for (int s = 0; s < n; ++s) appendFixed(out, playerRecordBytes(blocks, readSquadId(blocks, row, s)), kRecordSize);
    return out;
}

std::optional<int> checkTeamFile(ByteSpan file) {
    if (!startsWith(file, kTeamMagic)) return std::nullopt;
    const auto row = readU32LE(file, TeamFileLayout::kRowAt);
    const auto nameLength = readU32LE(file, TeamFileLayout::kNameLengthAt);
    if (!row || !nameLength || *row >= static_cast<std::uint32_t>(kTeamRows)) return std::nullopt;
    const int r = static_cast<int>(*row);
    const auto layout = layoutOfRow(r);
    if (*nameLength != layout.nameLength) return std::nullopt;
    const auto n = readU32LE(file, layout.squadSizeAt());
    if (!n || *n != layout.squadSize || file.size() < layout.size()) return std::nullopt;
    return r;
}

FileImport applyTeamFile(const GameBlocks& blocks, ByteSpan file) {
    FileImport result;
    result.row = checkTeamFile(file);
    if (!result.row) return result;
    result.known = true;
    const int row = *result.row;
    const auto layout = layoutOfRow(row);
    checkTeamFileValues(file, row, layout, result.values);
    if (!result.stored()) return result;
    forEachFileField(false, [&](TeamFieldId f) {
        storeTeamFieldBytes(blocks, f, row, 0, file.subspan(layout.at(f), layout.sizeOf(f)));
    });
    forEachFileField(true, [&](TeamFieldId f) {
        for (std::size_t s = 0; s < layout.squadSize; ++s)
            storeTeamFieldBytes(blocks, f, row, static_cast<int>(s),
                                file.subspan(layout.at(f) + layout.sizeOf(f) * s, layout.sizeOf(f)));
    });
    for (std::size_t s = 0; s < layout.squadSize; ++s) {
        const auto id = squadIdInFile(file, layout, s);
        if (id == 0) continue;
        writePlayerNameSlot(blocks, PlayerName::Full, id,
                            file.subspan(layout.fullNamesAt() + kFullNameSize * s, kFullNameSize));
        writePlayerNameSlot(blocks, PlayerName::Back, id,
                            file.subspan(layout.backNamesAt() + kBackNameSize * s, kBackNameSize));
        writeCallNumber(blocks, id, readU16LE(file, layout.callNumbersAt() + kCallNumberSize * s).value_or(0));
        writePlayerRecordBytes(blocks, id, file.subspan(layout.recordsAt() + kRecordSize * s, kRecordSize));
    }
    return result;
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

FileImport importTeam(const GameBlocks& blocks, const fs::path& file, MessageService& messages) {
    const auto data = readFileReporting(file, kMaxTeamFileSize, messages);
    if (!data) return {};
    FileImport result = applyTeamFile(blocks, *data);
    if (!result.known) {
        messages.warning("unknown format!");
        return result;
    }
    if (!reportValues(utf8Path(file), result.values, messages)) return result;
    char text[64];
    std::snprintf(text, sizeof text, "data of team %03d load OK.", *result.row + 1);
    messages.information(text);
    return result;
}

std::optional<FormationRecord> readFormationFromTeamFile(const fs::path& file, MessageService& messages) {
    const auto data = readFileReporting(file, kMaxTeamFileSize, messages);
    if (!data) return std::nullopt;
    // Only the magic, L and the formation bytes are needed: the formation of any team's file loads,
    // whatever its squad holds.
    const auto nameLength = readU32LE(*data, TeamFileLayout::kNameLengthAt);
    std::optional<std::size_t> at;
    if (nameLength && startsWith(*data, kTeamMagic)) at = TeamFileLayout{*nameLength, 0}.at(TeamFieldId::Formation);
    FormationRecord formation{};
    if (!at || *at > data->size() || data->size() - *at < formation.size()) {
        messages.warning("unknown format!");
        return std::nullopt;
    }
    std::copy_n(data->begin() + static_cast<std::ptrdiff_t>(*at), formation.size(), formation.begin());
    return formation;
}

}  // namespace tarvo
