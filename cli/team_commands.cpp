// teams, team, set-team, export-team, import-team: the team rows of a SOURCE, shown and changed;
// find: the players matching a name part or an ID, with the team slots that hold them.

#include <functional>
#include <iostream>
#include <limits>
#include <memory>
#include <variant>

#include "edit_support.h"
#include "edits/csv_import.h"
#include "edits/value_edits.h"
#include "record_json.h"
#include "records/name_slot.h"
#include "records/team.h"
#include "store/team_table.h"
#include "team/player_search.h"
#include "team/team_file.h"
#include "text/sjis.h"

namespace tarvo::cli {

using json = nlohmann::ordered_json;

namespace {

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

}  // namespace

// Every value of the field table under its own name; tactics and set pieces grouped, the squad
// as one object per slot.
json teamDetails(const GameBlocks& blocks, int row) {
    json team;
    team["row"] = row;
    team["label"] = TeamTable[static_cast<std::size_t>(row)].label;
    team["kind"] = rowKind(teamKind(row)).name;
    json squad = json::array();
    for (int slot = 0; slot < squadSize(row); ++slot) squad.push_back(json{{"slot", slotNumber(slot)}});
    for (std::size_t i = 0; i < kTeamFields.size(); ++i) {
        const auto field = static_cast<TeamFieldId>(i);
        const TeamField& f = kTeamFields[i];
        const std::string key(f.name);
        switch (f.kind) {
        case TeamFieldKind::Name:
            team[key] = field == TeamFieldId::ClubName ? clubNameOf(blocks, row)
                                                       : textOf(readNameSlot(teamFieldSlot(blocks, field, row)));
            if (field == TeamFieldId::TeamName) team["team name bytes"] = hexBytes(teamNameSlot(blocks, row));
            break;
        case TeamFieldKind::Tactics:
            if (hasTactics(row)) team["tactics"][key] = readTeamValue(blocks, field, row);
            else team["tactics"] = nullptr;
            break;
        case TeamFieldKind::SetPiece: team["set pieces"][key] = readTeamValue(blocks, field, row); break;
        case TeamFieldKind::Formation: {
            const FormationRecord formation = readFormation(blocks, row);
            const auto part = [&formation](int from) {
                return std::vector<int>(formation.begin() + from, formation.begin() + from + kFormationPositions);
            };
            team[key] =
                json{{"roles", part(0)}, {"x", part(kFormationPositions)}, {"y", part(2 * kFormationPositions)}};
            break;
        }
        case TeamFieldKind::SquadId:
        case TeamFieldKind::Shirt:
            for (int slot = 0; slot < squadSize(row); ++slot)
                squad[static_cast<std::size_t>(slot)][key] = readTeamValue(blocks, field, row, slot);
            break;
        }
    }
    team["squad"] = squad;
    return team;
}

namespace {

std::optional<int> parseRow(const std::string& text) {
    const auto row = parseInRange(text, kFirstTeamRow, kLastTeamRow);
    return row ? std::optional<int>(static_cast<int>(*row)) : std::nullopt;
}

// The exit status for a ROW that is none: out of range is refused, no number not understood.
int badRow(const std::string& text, const std::string& command) {
    if (isWholeNumber(text)) return refuse(teamRowRefusal("ROW"));
    return usageError("ROW takes a whole number, not \"" + shownValue(text) + "\"", command);
}

// "Changes a team row ... NAME is "team name", ...": the settable values of the field table.
std::string setTeamHelp() {
    std::string names, slotNames;
    for (const TeamField& f : kTeamFields) {
        if (f.kind == TeamFieldKind::Formation) continue;
        std::string name = "\"" + std::string(f.perSlot ? "slot N " : "") + std::string(f.name) + "\"";
        if (f.kind != TeamFieldKind::Name && f.kind != TeamFieldKind::SquadId)
            name += " (" + std::to_string(f.min) + " to " + std::to_string(f.max) + ")";
        (f.perSlot ? slotNames : names) += name + ", ";
    }
    return "Changes a team row and writes SOURCE back. NAME is " + names + slotNames +
           "slots from 1 as the squad list numbers them. Every assignment is checked before any is stored";
}

struct TeamArgs : SourceArgs {
    std::string row, file, text;
    std::vector<std::string> assignments;
    bool json = false;
    bool csv = false;
};

int teamsCommand(const TeamArgs& args) {
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source)) return *refused;
    const auto blocks = source.store.blocksForReading();
    if (args.csv) return writeText(teamsCsv(blocks), args.file, source.messages);
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
    if (!row) return badRow(args.row, "team");
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source)) return *refused;
    printJson(teamDetails(source.store.blocksForReading(), *row), args.json);
    return 0;
}

int setTeamCommand(const TeamArgs& args) {
    const auto row = parseRow(args.row);
    if (!row) return badRow(args.row, "set-team");
    // The assignments up to the first that is not understood; one of them refused goes first.
    std::vector<Assignment> assignments;
    std::function<int()> notUnderstood;  // its message is shown only if no earlier one is refused
    for (const auto& text : args.assignments) {
        const auto assignment = parseAssignment(text);
        if (!assignment) {
            notUnderstood = [text] { return refuse("\"" + shownValue(text) + "\" is not NAME=VALUE"); };
            break;
        }
        if (auto malformed = malformedNumber(ChangeKind::Team, *row, assignment->name, assignment->value)) {
            notUnderstood = [m = *malformed] { return usageError(m, "set-team"); };
            break;
        }
        assignments.push_back(*assignment);
    }
    const CheckedChanges checked = checkTeamChanges(*row, assignments);
    if (checked.refusedAt) return refuse(checked.refusal);
    if (notUnderstood) return notUnderstood();
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source, Use::Write)) return *refused;
    checked.store(source.store.blocks());
    return writeBack(source, backupOf(args.noBackup));
}

int exportTeamCommand(const TeamArgs& args) {
    const auto row = parseRow(args.row);
    if (!row) return badRow(args.row, "export-team");
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source)) return *refused;
    return runOperation(
        source, [&] { return exportTeamTo(source.store.blocks(), *row, pathFromUtf8(args.file), source.messages); });
}

int importTeamCommand(const TeamArgs& args) {
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source, Use::Write)) return *refused;
    const int status = runOperation(
        source, [&] { return importTeam(source.store.blocks(), pathFromUtf8(args.file), source.messages).stored(); });
    return status != 0 ? status : writeBack(source, backupOf(args.noBackup));
}

int findCommand(const TeamArgs& args) {
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source)) return *refused;
    json found = json::array();
    for (const PlayerMatch& m : findPlayers(source.store.blocksForReading(), args.text)) {
        json places = json::array();
        for (const SquadPlace& p : m.places)
            places.push_back({{"row", p.row}, {"team", TeamTable[p.row].label}, {"slot", slotNumber(p.slot)}});
        found.push_back({{"id", m.id}, {"full name", m.fullName}, {"back name", m.backName}, {"places", places}});
    }
    if (args.json) {
        std::cout << found.dump(2) << '\n';
        return 0;
    }
    for (const auto& f : found) {
        std::cout << f["id"].get<std::uint32_t>() << '\t' << f["full name"].get<std::string>() << '\t'
                  << f["back name"].get<std::string>();
        for (const auto& p : f["places"])
            std::cout << '\t' << p["team"].get<std::string>() << " slot " << p["slot"].get<int>();
        std::cout << '\n';
    }
    return 0;
}

}  // namespace

void registerTeamCommands(CLI::App& app, int& status) {
    auto find =
        addCommandOnSource(app, "find",
                           "Lists the players whose ID is TEXT or whose full or back name holds TEXT (Latin letters "
                           "in any case), with the team slots that hold them, numbered from 1 as the squad list "
                           "numbers them",
                           findCommand, status);
    find.app->add_option("TEXT", find.args.text, "part of a name, or an ID")->required();
    find.app->add_flag("--json", find.args.json, "print a JSON array");

    auto teams =
        addCommandOnSource(app, "teams",
                           "Lists the 106 team rows: row, label, team name, short name, club name; with --csv every "
                           "value that set-team changes, one row a line",
                           teamsCommand, status);
    auto* asJson = teams.app->add_flag("--json", teams.args.json, "print a JSON array");
    auto* csv = teams.app->add_flag("--csv", teams.args.csv,
                                    "CSV (UTF-8, a header row): row, the names, tactics and set pieces by their "
                                    "set-team names, then \"slot N id\" and \"slot N shirt\" for slots 1 to 40");
    asJson->excludes(csv);
    teams.app->add_option("FILE", teams.args.file, "the CSV file to write (standard output when left out)")->needs(csv);

    auto team = addCommandOnSource(app, "team",
                                   "Shows one team row: names, tactics, set pieces, formation and squad (slots from 1)",
                                   teamCommand, status);
    team.app->add_option("ROW", team.args.row, "team row, 0 to 105")->required();
    team.app->add_flag("--json", team.args.json, "print one JSON object");

    auto set = addCommandOnSource(app, "set-team", setTeamHelp(), setTeamCommand, status);
    set.app->add_option("ROW", set.args.row, "team row, 0 to 105")->required();
    set.app->add_option("ASSIGNMENTS", set.args.assignments, "NAME=VALUE ...")->required();

    auto exportTeam = addCommandOnSource(app, "export-team", "Writes a team row with its players' data to a team file",
                                         exportTeamCommand, status);
    exportTeam.app->add_option("ROW", exportTeam.args.row, "team row, 0 to 105")->required();
    exportTeam.app->add_option("FILE", exportTeam.args.file, "the team file to write")->required();

    auto importTeam =
        addCommandOnSource(app, "import-team",
                           "Loads a team file into the row it was saved from and writes SOURCE back. Every value "
                           "is checked first: one the game could not read refuses the whole file; one outside what "
                           "set-team and set-player allow is kept and listed",
                           importTeamCommand, status);
    importTeam.app->add_option("FILE", importTeam.args.file, "a team file")->required();
}

}  // namespace tarvo::cli
