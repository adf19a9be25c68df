// teams, team, set-team, export-team, import-team: the team rows of a SOURCE, shown and changed.

#include <iostream>
#include <memory>
#include <variant>

#include "edit_support.h"
#include "records/team.h"
#include "store/team_table.h"
#include "team/team_file.h"
#include "text/sjis.h"

namespace tarvo::cli {
namespace {

using json = nlohmann::ordered_json;

constexpr int kShirtMin = 1, kShirtMax = 99;

std::string_view kindName(TeamKind kind) {
    switch (kind) {
    case TeamKind::National: return "national";
    case TeamKind::Club: return "club";
    case TeamKind::Default: return "default";
    }
    return "";
}

json textOf(const Bytes& bytes) { return decodeShiftJis(bytes); }

json clubNameOf(const GameBlocks& blocks, int row) {
    return isClub(row) ? textOf(readClubName(blocks, row)) : json(nullptr);
}

json teamSummary(const GameBlocks& blocks, int row) {
    json team;
    team["row"] = row;
    team["label"] = TeamTable[static_cast<std::size_t>(row)].label;
    team["team name"] = textOf(readTeamName(blocks, row));
    team["short name"] = textOf(readShortName(blocks, row));
    team["club name"] = clubNameOf(blocks, row);
    return team;
}

json teamDetails(const GameBlocks& blocks, int row) {
    json team;
    team["row"] = row;
    team["label"] = TeamTable[static_cast<std::size_t>(row)].label;
    team["kind"] = kindName(teamKind(row));
    team["team name"] = textOf(readTeamName(blocks, row));
    team["team name bytes"] = hexBytes(teamNameSlot(blocks, row));
    team["club name"] = clubNameOf(blocks, row);
    team["short name"] = textOf(readShortName(blocks, row));
    if (hasTactics(row)) {
        json tactics;
        for (int k = 0; k < kTacticsCount; ++k) tactics[std::string(kTacticsNames[k])] = readTactics(blocks, row, k);
        team["tactics"] = tactics;
    } else {
        team["tactics"] = nullptr;
    }
    json setPieces;
    for (int k = 0; k < kSetPieceCount; ++k) setPieces[std::string(kSetPieceNames[k])] = readSetPiece(blocks, row, k);
    team["set pieces"] = setPieces;
    const FormationRecord f = readFormation(blocks, row);
    const auto part = [&f](int from) {
        return std::vector<int>(f.begin() + from, f.begin() + from + kFormationPositions);
    };
    team["formation"] =
        json{{"roles", part(0)}, {"x", part(kFormationPositions)}, {"y", part(2 * kFormationPositions)}};
    json squad = json::array();
    for (int slot = 0; slot < squadSize(row); ++slot)
        squad.push_back(
            json{{"slot", slot}, {"id", readSquadId(blocks, row, slot)}, {"shirt", readShirt(blocks, row, slot)}});
    team["squad"] = squad;
    return team;
}

std::optional<int> parseRow(const std::string& text) {
    const auto row = parseInRange(text, 0, blockmap::kTeamRows - 1);
    return row ? std::optional<int>(static_cast<int>(*row)) : std::nullopt;
}

// One checked change of a team; applied only after every change of the command has been checked.
using TeamChange = std::function<void(const GameBlocks&)>;

// Checks NAME=VALUE for the row: the change, or the refusal text.
std::variant<TeamChange, std::string> checkTeamChange(int row, const Assignment& a) {
    const bool defaultRow = row == blockmap::kDefaultTeamRow;
    const auto nameChange = [&](std::size_t slotSize, auto store) -> std::variant<TeamChange, std::string> {
        if (defaultRow) return "the names of row 105 are not edited";
        auto encoded = encodeName(a.name, a.value, slotSize - 1);
        if (!encoded.refusal.empty()) return encoded.refusal;
        return TeamChange(
            [row, bytes = std::move(encoded.bytes), store](const GameBlocks& b) { store(b, row, bytes); });
    };
    if (a.name == "team name")
        return nameChange(TeamTable[static_cast<std::size_t>(row)].teamNameLength, storeTeamName);
    if (a.name == "short name") return nameChange(blockmap::kShortNameSize, storeShortName);
    if (a.name == "club name") {
        if (!isClub(row)) return "only clubs (rows 65 to 104) have a club name";
        return nameChange(blockmap::kClubNameSize, storeClubName);
    }
    for (int k = 0; k < kTacticsCount; ++k) {
        if (a.name != kTacticsNames[k]) continue;
        if (!hasTactics(row)) return "row 105 has no tactics";
        const auto v = parseInRange(a.value, kTacticsShownMin, kTacticsShownMax);
        if (!v)
            return a.name + " should be " + std::to_string(kTacticsShownMin) + " to " +
                   std::to_string(kTacticsShownMax);
        return TeamChange([row, k, v = static_cast<int>(*v)](const GameBlocks& b) { storeTactics(b, row, k, v); });
    }
    for (int k = 0; k < kSetPieceCount; ++k) {
        if (a.name != kSetPieceNames[k]) continue;
        const auto v = parseInRange(a.value, 0, kSetPieceChoices - 1);
        if (!v) return a.name + " should be 0 to " + std::to_string(kSetPieceChoices - 1);
        return TeamChange([row, k, v = static_cast<int>(*v)](const GameBlocks& b) { storeSetPiece(b, row, k, v); });
    }
    // "slot N id" and "slot N shirt", slots numbered from 0.
    constexpr std::string_view kSlot = "slot ";
    if (a.name.starts_with(kSlot)) {
        const auto space = a.name.find(' ', kSlot.size());
        const std::string what = space == std::string::npos ? "" : a.name.substr(space + 1);
        const auto slot =
            parseInRange(std::string_view(a.name).substr(kSlot.size(), space - kSlot.size()), 0, squadSize(row) - 1);
        if (!slot) return "row " + std::to_string(row) + " has slots 0 to " + std::to_string(squadSize(row) - 1);
        const int s = static_cast<int>(*slot);
        if (what == "id") {
            const auto id = parseInteger(a.value);
            if (!id) return "ID should be a whole number";
            if (const auto refusal = squadIdRefusal(row, s, *id)) return std::string(*refusal);
            return TeamChange([row, s, id = *id](const GameBlocks& b) { setSquadId(b, row, s, id); });
        }
        if (what == "shirt") {
            const auto v = parseInRange(a.value, kShirtMin, kShirtMax);
            if (!v) return "shirt numbers are 1 to 99";
            return TeamChange([row, s, v = static_cast<int>(*v)](const GameBlocks& b) { storeShirt(b, row, s, v); });
        }
    }
    return "unknown team value \"" + a.name + "\"";
}

struct TeamArgs {
    std::string source, row, file;
    std::vector<std::string> assignments;
    bool json = false;
};

int teamsCommand(const TeamArgs& args) {
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source)) return *refused;
    const auto blocks = source.store.blocks();
    json teams = json::array();
    for (int row = 0; row < blockmap::kTeamRows; ++row) teams.push_back(teamSummary(blocks, row));
    if (args.json) {
        std::cout << teams.dump(2) << '\n';
        return 0;
    }
    for (const auto& t : teams)
        std::cout << t["row"].get<int>() << '\t' << t["label"].get<std::string>() << '\t'
                  << t["team name"].get<std::string>() << '\t' << t["short name"].get<std::string>() << '\t'
                  << (t["club name"].is_null() ? "" : t["club name"].get<std::string>()) << '\n';
    return 0;
}

int teamCommand(const TeamArgs& args) {
    const auto row = parseRow(args.row);
    if (!row) return refuse("ROW should be 0 to 105");
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source)) return *refused;
    printJson(teamDetails(source.store.blocks(), *row), args.json);
    return 0;
}

int setTeamCommand(const TeamArgs& args) {
    const auto row = parseRow(args.row);
    if (!row) return refuse("ROW should be 0 to 105");
    std::vector<TeamChange> changes;
    for (const auto& text : args.assignments) {
        const auto assignment = parseAssignment(text);
        if (!assignment) return refuse("\"" + text + "\" is not NAME=VALUE");
        auto checked = checkTeamChange(*row, *assignment);
        if (auto* refusal = std::get_if<std::string>(&checked)) return refuse(*refusal);
        changes.push_back(std::get<TeamChange>(std::move(checked)));
    }
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source)) return *refused;
    for (const auto& change : changes) change(source.store.blocks());
    return writeBack(source);
}

int exportTeamCommand(const TeamArgs& args) {
    const auto row = parseRow(args.row);
    if (!row) return refuse("ROW should be 0 to 105");
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source)) return *refused;
    return runOperation(
        source, [&] { return exportTeamTo(source.store.blocks(), *row, pathFromUtf8(args.file), source.messages); });
}

int importTeamCommand(const TeamArgs& args) {
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source)) return *refused;
    const int status = runOperation(source, [&] {
        return importTeam(source.store.blocks(), pathFromUtf8(args.file), source.messages).has_value();
    });
    return status != 0 ? status : writeBack(source);
}

}  // namespace

void registerTeamCommands(CLI::App& app, int& status) {
    {
        auto args = std::make_shared<TeamArgs>();
        auto* c = addSourceCommand(
            app, "teams", "Lists the 106 team rows: row, label, team name, short name, club name", args->source);
        c->add_flag("--json", args->json, "print a JSON array");
        c->callback([args, &status] { status = teamsCommand(*args); });
    }
    {
        auto args = std::make_shared<TeamArgs>();
        auto* c = addSourceCommand(app, "team", "Shows one team row: names, tactics, set pieces, formation and squad",
                                   args->source);
        c->add_option("ROW", args->row, "team row, 0 to 105")->required();
        c->add_flag("--json", args->json, "print one JSON object");
        c->callback([args, &status] { status = teamCommand(*args); });
    }
    {
        auto args = std::make_shared<TeamArgs>();
        auto* c = addSourceCommand(
            app, "set-team",
            "Changes a team row and writes SOURCE back. NAME is \"team name\", \"club name\", "
            "\"short name\", a tactics name (4 to 19), a set-piece name (0 to 10), \"slot N id\" or "
            "\"slot N shirt\" (1 to 99), slots from 0. Every assignment is checked before any is stored",
            args->source);
        c->add_option("ROW", args->row, "team row, 0 to 105")->required();
        c->add_option("ASSIGNMENTS", args->assignments, "NAME=VALUE ...")->required();
        c->callback([args, &status] { status = setTeamCommand(*args); });
    }
    {
        auto args = std::make_shared<TeamArgs>();
        auto* c = addSourceCommand(app, "export-team", "Writes a team row with its players' data to a team file",
                                   args->source);
        c->add_option("ROW", args->row, "team row, 0 to 105")->required();
        c->add_option("FILE", args->file, "the team file to write")->required();
        c->callback([args, &status] { status = exportTeamCommand(*args); });
    }
    {
        auto args = std::make_shared<TeamArgs>();
        auto* c =
            addSourceCommand(app, "import-team",
                             "Loads a team file into the row it was saved from and writes SOURCE back", args->source);
        c->add_option("FILE", args->file, "a team file")->required();
        c->callback([args, &status] { status = importTeamCommand(*args); });
    }
}

}  // namespace tarvo::cli
