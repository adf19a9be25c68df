// The commands of `tarvo`, run as a program on copies of the sample disc: the same work on the
// image and the exported files, refusals that write nothing, and changes that land where named.

#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <regex>

#include "records/player.h"
#include "store/backups.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "store/iso_file.h"
#include "store/source_lock.h"
#include "support/csv_sheet.h"
#include "support/platform.h"
#include "support/sample.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

using CommandRun = test::ProgramRun;
CommandRun runTarvo(const std::vector<std::string>& args) { return test::runCaptured(TARVO_CLI_PATH, args); }

// A private copy of the image or of the exported folder, and a folder for the command's files.
struct Source {
    explicit Source(bool image) : path(image ? test::copySampleImage(dir) : test::copySampleExportDir(dir)) {
        fs::create_directory(files);
    }
    std::vector<std::uint64_t> checksums() const { return test::sourceChecksums(path); }
    // Runs tarvo with `args`, "{S}" standing for the source and "{D}" for the folder of files.
    CommandRun run(std::vector<std::string> args) const {
        for (std::string& a : args)
            for (const auto& [key, value] : {std::pair{"{S}", path}, {"{D}", files}})
                if (const auto at = a.find(key); at != std::string::npos) a.replace(at, 3, utf8Path(value));
        return runTarvo(args);
    }
    json jsonOf(const std::vector<std::string>& args) const {
        const CommandRun r = run(args);
        EXPECT_EQ(r.status, 0) << r.err;
        return json::parse(r.out, nullptr, false);
    }
    test::TempDir dir;
    fs::path path, files = dir / "files";
};

// Every command that reads or changes a source, run in turn on the image and on the exported
// files: the same output, the same files written, and in the end the same three blocks.
TEST(CliCommands, WorkAlikeOnTheImageAndTheExportedFiles) {
    const std::vector<std::vector<std::string>> commands{{"info", "{S}"},
                                                         {"teams", "{S}", "--json"},
                                                         {"team", "{S}", "105", "--json"},
                                                         {"player", "{S}", "2197", "--json"},
                                                         {"export-team", "{S}", "70", "{D}/team.dat"},
                                                         {"export-player", "{S}", "7", "{D}/player.dat"},
                                                         {"set-player", "{S}", "12", "speed=99", "back name=RIVAZ"},
                                                         {"find", "{S}", "rivaz", "--json"},
                                                         {"set-team", "{S}", "70", "offense=19", "slot 24 id=0"},
                                                         {"import-player", "{S}", "40", "{D}/player.dat"},
                                                         {"import-team", "{S}", "{D}/team.dat"},
                                                         {"universal", "{S}", "speed", "33%"},
                                                         {"player", "{S}", "40", "--json"},
                                                         {"team", "{S}", "70", "--json"}};
    const Source image(true), directory(false);
    for (const auto& args : commands) {
        SCOPED_TRACE(args[0] + " " + args.back());
        const CommandRun a = image.run(args), b = directory.run(args);
        EXPECT_TRUE(a.status == 0 && b.status == 0) << a.err << b.err;
        EXPECT_TRUE(args[0] == "info" || a.out == b.out) << a.out << "\n" << b.out;
    }
    for (const char* file : {"team.dat", "player.dat"})
        EXPECT_EQ(test::fileChecksum(image.files / file), test::fileChecksum(directory.files / file)) << file;
    MessageLog log;
    DataStore fromImage(log), fromDirectory(log);
    ASSERT_TRUE(fromImage.LoadFromImage(image.path) && fromDirectory.LoadFromDirectory(directory.path));
    EXPECT_TRUE(std::ranges::equal(fromImage.boot(), fromDirectory.boot()) &&
                std::ranges::equal(fromImage.parameter(), fromDirectory.parameter()) &&
                std::ranges::equal(fromImage.select(), fromDirectory.select()));
}

// find: a back name in another case gives the player with the team slots holding it (the search
// itself: the player search tests). Slots are numbered as the squad list numbers them: the sample's
// player 12 is the twelfth of 1.Ireland (row 0), the window tests find the same.
TEST(CliFind, ListsMatchesWithTheirTeamSlots) {
    const Source source(false);
    ASSERT_EQ(source.run({"set-player", "{S}", "12", "back name=RIVAZ"}).status, 0);
    const json found = source.jsonOf({"find", "{S}", "Rivaz", "--json"});
    ASSERT_TRUE(found.is_array() && !found.empty());
    EXPECT_EQ(found[0]["id"], 12);
    EXPECT_EQ(found[0]["back name"], "RIVAZ");
    EXPECT_FALSE(found[0]["places"].empty());
    const json byId = source.jsonOf({"find", "{S}", "12", "--json"});
    ASSERT_TRUE(byId.is_array() && byId.size() == 1);
    EXPECT_EQ(byId[0]["places"][0], (json{{"row", 0}, {"team", "1.Ireland"}, {"slot", 12}}));
    EXPECT_NE(source.run({"find", "{S}", "12"}).out.find("\t1.Ireland slot 12"), std::string::npos);
}

// Refused commands: exit 1, one line on stderr, and not one byte of the source changed.
TEST(CliRefusals, WriteNothing) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"set-player", "{S}", "0", "speed=50"}, "ID should be 1--2197"},
        {{"set-player", "{S}", "1", "speed=50", "height=206"}, "\"height\" = 206"},
        {{"set-player", "{S}", "1", "skin=3", "face=27"}, "1 to 26 for skin 3"},
        {{"set-player", "{S}", "1", "full name=\xe2\x82\xac uro"}, "no Shift-JIS code"},
        {{"set-team", "{S}", "70", "slot 24 id=2198"}, "ID should be 0--2197"},
        {{"set-team", "{S}", "70", "slot 0 id=5"}, "row 70 has slots 1 to 40"},
        {{"set-team", "{S}", "3", "slot 24 id=5"}, "row 3 has slots 1 to 23"},
        {{"set-team", "{S}", "106", "captain=1"}, "ROW should be 0 to 105"},
        {{"import-player", "{S}", "5", "{D}/none.dat"}, "Can not read file"},
        {{"import-team", "{S}", "{D}/short.dat"}, "unknown format!"},
        {{"import-player", "{S}", "5", "{D}/nation.dat"}, "nation.dat: nation = 255 ("},
        {{"universal", "{S}", "nation", "+1"}, "not one of the 25 abilities"},
    };
    for (const bool image : {true, false}) {
        const Source source(image);
        test::writeFile(source.files / "short.dat", Bytes{'P', 'L', 'A', 'Y', 'E', 'R'});
        Bytes nation(103, 0);  // "PLAYERDATA", empty names, a record of zeros but nation (byte 32) 255
        std::ranges::copy(std::string_view("PLAYERDATA"), nation.begin());
        nation[59 + 32] = 0xFF;
        test::writeFile(source.files / "nation.dat", nation);
        const auto before = source.checksums();
        for (const auto& [args, message] : cases) {
            SCOPED_TRACE(args[0] + " " + args.back());
            const CommandRun r = source.run(args);
            EXPECT_EQ(r.status, 1);
            EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        }
        EXPECT_EQ(source.checksums(), before);
    }
}

// The exit status tells a script what went wrong: 2 for a command line that was not understood
// (with the --help that explains it), 1 for a refused input, 0 for success; every message line
// starts with "tarvo: ".
TEST(CliConventions, ExitStatusAndMessageLines) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string inErr;
    };
    const std::vector<Case> cases{
        {{"--version"}, 0, ""},
        {{"info", "{S}"}, 0, ""},
        {{"frobnicate", "{S}"}, 2, "; see 'tarvo --help'"},
        {{"info"}, 2, "; see 'tarvo info --help'"},
        {{"info", "{S}", "--jsn"}, 2, "; see 'tarvo info --help'"},
        {{"info", "{S}", "extra"}, 2, "; see 'tarvo info --help'"},
        {{"voice", "{S}", "first", "{D}/call.wav"}, 2, "; see 'tarvo voice --help'"},
        {{"set-player", "{S}", "12"}, 2, "; see 'tarvo set-player --help'"},
        {{"info", "{D}/none.bin"}, 1, "No such file or directory"},
        {{"set-player", "{S}", "1", "speed=100"}, 1, "speed"},
        // A word where a number goes is not understood; a number out of range is refused.
        {{"set-player", "{S}", "1", "speed=abc"}, 2, "\"speed\" takes a whole number, not \"abc\""},
        {{"set-player", "{S}", "1", "speed=5e1"}, 2, "; see 'tarvo set-player --help'"},
        {{"set-player", "{S}", "x1", "speed=50"}, 2, "ID takes a whole number"},
        {{"set-team", "{S}", "70", "slot 4 id=0x32"}, 2, "; see 'tarvo set-team --help'"},
        {{"set-player", "{S}", "1", "speed=200"}, 1, "outside what the editor allows"},
    };
    const Source source(true);
    const auto before = source.checksums();
    for (const auto& [args, status, inErr] : cases) {
        SCOPED_TRACE(args[0] + " " + args.back());
        const CommandRun r = source.run(args);
        EXPECT_EQ(r.status, status) << r.err;
        EXPECT_NE(r.err.find(inErr), std::string::npos) << r.err;
        for (std::size_t at = 0; at < r.err.size(); at = r.err.find('\n', at) + 1)
            EXPECT_EQ(r.err.compare(at, 7, "tarvo: "), 0) << r.err;
        if (status == 2) {
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        }
    }
    EXPECT_EQ(source.checksums(), before);

    const CommandRun version = runTarvo({"--version"});
    EXPECT_TRUE(version.out.starts_with("tarvo 1.") && version.out.ends_with("\n")) << version.out;
    // Alone, tarvo lists its commands, and a script that forgot the command fails.
    const CommandRun alone = runTarvo({});
    EXPECT_EQ(alone.status, 2);
    for (const char* command : {"info", "set-player", "make-sample", "restore"})
        EXPECT_NE(alone.err.find(std::string("\n  ") + command + " "), std::string::npos) << alone.err;
}

// make-sample writes the disc twice, raw and cooked; info tells them apart and finds the same data.
TEST(CliInfo, SaysWhichKindOfImage) {
    const CommandRun raw = runTarvo({"info", utf8Path(test::sampleDir() / "sample.bin")});
    const CommandRun cooked = runTarvo({"info", utf8Path(test::sampleDir() / "sample.iso")});
    ASSERT_TRUE(raw.status == 0 && cooked.status == 0) << raw.err << cooked.err;
    EXPECT_NE(raw.out.find("\nsectors: raw, 2352 bytes\n"), std::string::npos) << raw.out;
    EXPECT_NE(cooked.out.find("\nsectors: cooked ISO, 2048 bytes\n"), std::string::npos) << cooked.out;
    const auto withoutKind = [](const std::string& out) { return out.substr(out.find("\nboot file")); };
    EXPECT_EQ(withoutKind(raw.out), withoutKind(cooked.out));
}

// The players as a spreadsheet: rows by player ID (line = ID + 1), cells by column name.
struct PlayerSheet : test::Sheet {
    explicit PlayerSheet(const fs::path& file) : Sheet(fileText(file)) {}
    static std::string fileText(const fs::path& file) {
        const Bytes bytes = test::readFile(file);
        return {bytes.begin(), bytes.end()};
    }
    std::string& cell(std::uint32_t id, const std::string& name) { return Sheet::cell(static_cast<int>(id) - 1, name); }
};

// Exported and imported unchanged, no byte of the source changes; one changed cell changes that
// field of that player and nothing else, on the image and the exported files.
TEST(CliCsv, RoundTripChangesExactlyTheChangedCells) {
    for (const bool image : {true, false}) {
        SCOPED_TRACE(image ? "image" : "exported files");
        const Source source(image);
        const auto before = source.checksums();
        ASSERT_EQ(source.run({"players", "{S}", "--csv", "{D}/players.csv"}).status, 0);
        PlayerSheet sheet(source.files / "players.csv");
        ASSERT_EQ(sheet.rows.size(), 2198u);
        ASSERT_EQ(sheet.rows.front().size(), 74u);  // id, two names, call number, 70 fields
        const CommandRun unchanged = source.run({"import-csv", "{S}", "{D}/players.csv"});
        EXPECT_EQ(unchanged.status, 0) << unchanged.err;
        EXPECT_EQ(source.checksums(), before);

        json expected = source.jsonOf({"player", "{S}", "1500", "--json"});
        const std::uint32_t speed = expected["speed"] == 98 ? 97 : 98;
        sheet.cell(1500, "speed") = std::to_string(speed);
        sheet.write(source.files / "one.csv");
        ASSERT_EQ(source.run({"import-csv", "{S}", "{D}/one.csv"}).status, 0);
        expected["speed"] = speed;
        EXPECT_EQ(source.jsonOf({"player", "{S}", "1500", "--json"}), expected);
        ASSERT_EQ(source.run({"players", "{S}", "--csv", "{D}/after.csv"}).status, 0);
        EXPECT_EQ(PlayerSheet(source.files / "after.csv").rows, sheet.rows);
    }
}

// One bad cell anywhere refuses the whole file, naming its line and column, and nothing is
// written, though other rows hold good changes; a dry run says what would change and writes nothing.
TEST(CliCsv, ABadCellRefusesTheWholeFileAndADryRunWritesNothing) {
    const Source source(true);
    ASSERT_EQ(source.run({"players", "{S}", "--csv", "{D}/players.csv"}).status, 0);
    const PlayerSheet exported(source.files / "players.csv");
    const auto before = source.checksums();
    const struct {
        std::uint32_t id;
        std::string column, value, message;
    } cases[] = {
        {1, "speed", "100", "line 2, column " + std::to_string(exported.column("speed") + 1) + " (\"speed\")"},
        {2197, "face", "0", "line 2198, column " + std::to_string(exported.column("face") + 1) + " (\"face\")"},
        {900, "id", "2198", "line 901, column 1 (\"id\"): ID should be 1--2197"},
        {7, "full name", "\xe2\x82\xac", "line 8, column 2 (\"full name\")"},
        {30, "call number", "x", "line 31, column 4 (\"call number\")"},
        {8, "full name", std::string(45, 'A'),
         "line 9, column 2 (\"full name\"): \"" + std::string(40, 'A') + "...\" has 45"},
        {9, "full name", "A\tB" + std::string(28, 'C'), "\"A\\x09B"},
        {10, "speed", "0000000000050", "13 characters; a number has at most 12"},
        {11, "back name", std::string(70000, 'A'), "line 12: the record is longer than 65536 bytes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.column + "=" + c.value);
        PlayerSheet sheet = exported;
        sheet.cell(12, "speed") = sheet.cell(12, "speed") == "50" ? "51" : "50";  // a good change elsewhere
        sheet.cell(c.id, c.column) = c.value;
        sheet.write(source.files / "bad.csv");
        const CommandRun r = source.run({"import-csv", "{S}", "{D}/bad.csv"});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    PlayerSheet twice = exported;
    twice.rows.push_back(twice.rows[12]);
    twice.write(source.files / "twice.csv");
    EXPECT_NE(source.run({"import-csv", "{S}", "{D}/twice.csv"})
                  .err.find("line 2199, column 1 (\"id\"): player 12 is "
                            "on line 13 already"),
              std::string::npos);
    PlayerSheet unknown = exported;
    unknown.rows.front()[10] = "shoe size";
    unknown.write(source.files / "unknown.csv");
    EXPECT_EQ(source.run({"import-csv", "{S}", "{D}/unknown.csv"}).status, 1);
    EXPECT_EQ(source.checksums(), before);

    PlayerSheet changed = exported;
    changed.cell(12, "back name") = "RIVAZ";
    changed.write(source.files / "changed.csv");
    const CommandRun dry = source.run({"import-csv", "{S}", "{D}/changed.csv", "--dry-run"});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.out, "player 12 back name: \"" + exported.rows[12][2] + "\" -> \"RIVAZ\"\n");
    EXPECT_EQ(source.checksums(), before);
}

TEST(CliChanges, SetPlayerChangesOnlyWhatItNames) {
    const Source from(true);
    json expected = from.jsonOf({"player", "{S}", "12", "--json"});
    const CommandRun r =
        from.run({"set-player", "{S}", "12", "full name=\xe3\x82\xbf\xe3\x83\xab\xe3\x83\x9c", "back name=RIVAZ",
                  "height=205", "skin=2", "face=32", "nation=240", "speed=99", "call number=11085"});
    ASSERT_EQ(r.status, 0) << r.err;
    expected.update(json{{"full name", "\xe3\x82\xbf\xe3\x83\xab\xe3\x83\x9c"},
                         {"full name bytes", "835e838b837b"},
                         {"back name", "RIVAZ"},
                         {"back name bytes", "524956415a"},
                         {"height", 205},
                         {"skin", 2},
                         {"face", 32},
                         {"nation", 240},
                         {"speed", 99},
                         {"call number", 11085}});
    EXPECT_EQ(from.jsonOf({"player", "{S}", "12", "--json"}), expected);
}

// Voice calls: an entry of the image's archive becomes a WAV file; a directory has no archive,
// and a file that is not ADX is refused without a file written.
TEST(CliVoice, DecodesArchiveEntriesOfAnImageOnly) {
    const Source image(true), directory(false);
    ASSERT_EQ(image.run({"voice", "{S}", "2834", "{D}/call.wav"}).status, 0);
    const Bytes wav = test::readFile(image.files / "call.wav");
    EXPECT_TRUE(wav.size() > 44 && std::equal(wav.begin(), wav.begin() + 4, "RIFF"));
    ASSERT_EQ(image.run({"adx2wav", "{D}/call.wav", "{D}/again.wav"}).status, 1);
    // No output goes among the backups, whether or not a source is loaded.
    const fs::path backup = backupsRoot() / "some-source-20260101-000000";
    fs::create_directories(backup);
    const CommandRun intoBackups = image.run({"adx2wav", "{D}/call.wav", utf8Path(backup / "call.wav")});
    EXPECT_EQ(intoBackups.status, 1);
    EXPECT_NE(intoBackups.err.find("which the program must not overwrite"), std::string::npos) << intoBackups.err;
    EXPECT_FALSE(fs::exists(backup / "call.wav"));
    for (const auto& args : {std::vector<std::string>{"voice", "{S}", "11578", "{D}/none.wav"},
                             {"voice", "{S}", "16257", "{D}/none.wav"}}) {
        const CommandRun r = (args[2] == "11578" ? directory : image).run(args);
        EXPECT_EQ(r.status, 1) << r.err;
    }
    EXPECT_FALSE(fs::exists(image.files / "again.wav") || fs::exists(image.files / "none.wav") ||
                 fs::exists(directory.files / "none.wav"));
}

// Text and paths on the command line are UTF-8 on every system: a name in Japanese and in the
// Latin-1 signs that Shift-JIS holds, folders and files named in Japanese and Latin-1, both in
// (the files land under their exact names) and out (the paths printed are the bytes given).
TEST(CliText, NonAsciiNamesAndPathsRoundTrip) {
    const std::string name = "\xe3\x82\xbf\xe3\x83\xab\xe3\x83\x9c\xc2\xb1\xc2\xa7";  // katakana ta ru bo, ± §
    test::TempDir dir;
    const fs::path folder = dir.path() / pathFromUtf8("M\xc3\xbcller \xe3\x82\xbf\xe3\x83\xab\xe3\x83\x9c");
    const CommandRun made = runTarvo({"make-sample", utf8Path(folder), "--no-padding"});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.out, utf8Path(folder / "sample.bin") + "\n" + utf8Path(folder / "sample.iso") + "\n" +
                            utf8Path(folder / "exported") + "\n");
    ASSERT_TRUE(fs::is_regular_file(folder / "sample.bin") && fs::is_directory(folder / "exported"));

    const fs::path teamFile = folder / pathFromUtf8("\xe3\x83\x81\xe3\x83\xbc\xe3\x83\xa0 \xc3\xa9.dat");
    const fs::path missing = folder / pathFromUtf8("\xc3\xb1.dat");
    for (const fs::path& source : {folder / "sample.bin", folder / "sample.iso", folder / "exported"}) {
        SCOPED_TRACE(utf8Path(source));
        const std::string s = utf8Path(source);
        ASSERT_EQ(runTarvo({"set-player", s, "12", "full name=" + name}).status, 0);
        const CommandRun shown = runTarvo({"player", s, "12", "--json"});
        const json player = json::parse(shown.out, nullptr, false);
        EXPECT_EQ(player.value("full name", ""), name);
        EXPECT_EQ(player.value("full name bytes", ""), "835e838b837b817d8198");

        fs::remove(teamFile);
        EXPECT_EQ(runTarvo({"export-team", s, "70", utf8Path(teamFile)}).status, 0);
        EXPECT_TRUE(fs::is_regular_file(teamFile));
        EXPECT_EQ(runTarvo({"import-team", s, utf8Path(teamFile)}).status, 0);
        const CommandRun refused = runTarvo({"import-player", s, "5", utf8Path(missing)});
        EXPECT_EQ(refused.err, "tarvo: Can not read file " + utf8Path(missing) + " !\n");
    }
}

// Sets the current folder for as long as it lives.
class CurrentFolder {
public:
    explicit CurrentFolder(const fs::path& folder) : m_before(fs::current_path()) { fs::current_path(folder); }
    ~CurrentFolder() { fs::current_path(m_before); }

private:
    fs::path m_before;
};

// verify exits 0 on the clean sample and 1 once a second copy differs, naming the player and
// the field in its text and JSON; it writes nothing.
TEST(CliVerify, ExitStatusAndReport) {
    const Source source(false);
    const json clean = source.jsonOf({"verify", "{S}", "--json"});
    EXPECT_TRUE(clean["clean"] == true && clean["findings"].empty()) << clean;
    // Player 7's call number: its copy lies in the select data, 409202 + 2 * 6.
    Bytes select = test::readFile(source.path / "select.ovl");
    select[409202 + 2 * 6] ^= 1;
    test::writeFile(source.path / "select.ovl", select);
    const auto before = source.checksums();
    const CommandRun broken = source.run({"verify", "{S}"});
    EXPECT_EQ(broken.status, 1);
    EXPECT_NE(broken.out.find("player 7: the second copy of the call number differs"), std::string::npos) << broken.out;
    const json report = json::parse(source.run({"verify", "{S}", "--json"}).out, nullptr, false);
    ASSERT_EQ(report["findings"].size(), 1u);
    EXPECT_EQ(report["findings"][0]["where"], "player 7");
    EXPECT_EQ(report["findings"][0]["field"], "call number");
    EXPECT_EQ(source.checksums(), before);
    EXPECT_EQ(runTarvo({"verify", "no-such-source.bin"}).status, 1);

    // A cooked image has no sector codes to check; its second copies are checked as a raw one's.
    test::TempDir dir;
    const fs::path iso = dir / "sample.iso";
    fs::copy_file(test::sampleDir() / "sample.iso", iso);
    const CommandRun cleanIso = runTarvo({"verify", utf8Path(iso)});
    EXPECT_EQ(cleanIso.status, 0) << cleanIso.out << cleanIso.err;
    MessageLog log;
    IsoFile boot(log);
    ASSERT_TRUE(boot.Find(iso, "QXRT_418.27"));
    // Player 7's record copy: boot file offset 2041052 + 44 * 6, in 2048-byte sectors.
    Bytes image = test::readFile(iso);
    image.at(std::size_t{boot.startSector()} * 2048 + 2041052 + 44 * 6) ^= 1;
    test::writeFile(iso, image);
    const CommandRun brokenIso = runTarvo({"verify", utf8Path(iso)});
    EXPECT_EQ(brokenIso.status, 1);
    EXPECT_TRUE(brokenIso.out.starts_with("player 7: the second copy of the record differs\n" + utf8Path(iso) + ": 1 "))
        << brokenIso.out;
}

// make-sample replaces nothing unless told to, and never writes through a link.
TEST(CliSample, ReplacesOnlyWithForceAndNeverThroughALink) {
    test::TempDir dir;
    const fs::path target = dir / "elsewhere.bin";
    test::writeFile(target, Bytes{1, 2, 3});
    ASSERT_EQ(runTarvo({"make-sample", utf8Path(dir / "a"), "--no-padding"}).status, 0);
    const auto made = test::fileChecksum(dir / "a" / "sample.bin");
    test::writeFile(dir / "a" / "exported" / "select.ovl", Bytes{9});
    const CommandRun again = runTarvo({"make-sample", utf8Path(dir / "a"), "--no-padding"});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("exists already"), std::string::npos) << again.err;
    EXPECT_EQ(test::readFile(dir / "a" / "exported" / "select.ovl"), Bytes{9});
    ASSERT_EQ(runTarvo({"make-sample", utf8Path(dir / "a"), "--no-padding", "--force"}).status, 0);
    EXPECT_GT(fs::file_size(dir / "a" / "exported" / "select.ovl"), 1u);

    fs::create_directories(dir / "b");
    std::error_code ec;
    fs::create_symlink(target, dir / "b" / "sample.iso", ec);
    if (ec) return;  // no links without the right to make them (Windows)
    EXPECT_EQ(runTarvo({"make-sample", utf8Path(dir / "b"), "--no-padding"}).status, 1);
    ASSERT_EQ(runTarvo({"make-sample", utf8Path(dir / "b"), "--no-padding", "--force"}).status, 0);
    EXPECT_EQ(test::readFile(target), (Bytes{1, 2, 3}));
    EXPECT_FALSE(fs::is_symlink(dir / "b" / "sample.iso"));
    EXPECT_EQ(test::fileChecksum(dir / "b" / "sample.bin"), made);
}

// The plain text of player and team says what their JSON says, a line a value; teams is a line a
// row and find a line a player, with the slots counted from 1.
TEST(CliOutput, PlainTextSaysWhatTheJsonSays) {
    const Source source(true);
    for (const auto& args : {std::vector<std::string>{"player", "{S}", "12"}, {"team", "{S}", "0"}}) {
        std::vector<std::string> withJson = args;
        withJson.push_back("--json");
        const auto values = nlohmann::ordered_json::parse(source.run(withJson).out);
        std::string expected;
        for (const auto& [key, value] : values.items())
            expected += key + ": " + (value.is_string() ? value.get<std::string>() : value.dump()) + "\n";
        EXPECT_EQ(source.run(args).out, expected);
    }
    const std::string teams = source.run({"teams", "{S}"}).out;
    EXPECT_EQ(std::ranges::count(teams, '\n'), 106);
    EXPECT_TRUE(teams.starts_with("0\t1.Ireland\tIreland\tIRE\t\n")) << teams.substr(0, 80);
    const std::string found = source.run({"find", "{S}", "12"}).out;
    EXPECT_TRUE(found.starts_with("12\tDukesor Vais\tVAIS\t1.Ireland slot 12\t")) << found;
}

// `backups --json`: newest first, each with the same keys in the same order; the backup holding
// what the source holds now says so, and one whose file is gone is damaged (plain text too).
// --no-backup makes none; `restore` of another source's backup says how to force it, and --force
// restores it.
TEST(CliBackups, NewestFirstDamagedMarkedAndAnotherSourcesBackupNeedsForce) {
    const Source source(false), other(false);
    const json speedBefore = source.jsonOf({"player", "{S}", "12", "--json"})["speed"];
    for (const char* speed : {"speed=99", "speed=98"})  // backups of the source as loaded, then with 99
        ASSERT_EQ(source.run({"set-player", "{S}", "12", speed}).status, 0);
    ASSERT_EQ(source.run({"set-player", "{S}", "12", "speed=99", "--no-backup"}).status, 0);
    const auto listing = [&] {
        const CommandRun r = source.run({"backups", "{S}", "--json"});
        EXPECT_EQ(r.status, 0) << r.err;
        return nlohmann::ordered_json::parse(r.out, nullptr, false);
    };
    const auto listed = listing();
    ASSERT_EQ(listed.size(), 2u);
    for (const auto& backup : listed) {
        std::vector<std::string> keys;
        for (const auto& [key, value] : backup.items()) keys.push_back(key);
        EXPECT_EQ(keys, (std::vector<std::string>{"folder", "time", "utc", "damaged", "damage", "matches source"}));
        EXPECT_TRUE(
            std::regex_match(backup["time"].get<std::string>(), std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d)")));
        EXPECT_TRUE(
            std::regex_match(backup["utc"].get<std::string>(), std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ)")));
        EXPECT_TRUE(backup["damaged"] == false && backup["damage"] == "");
    }
    EXPECT_TRUE(listed[0]["matches source"] == true && listed[1]["matches source"] == false);
    const std::string folder = listed[1]["folder"].get<std::string>();  // the source as loaded
    ASSERT_EQ(other.run({"set-player", "{S}", "12", "speed=50", "--no-backup"}).status, 0);
    const CommandRun refused = other.run({"restore", "{S}", folder});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("; add --force to restore it all the same"), std::string::npos) << refused.err;
    EXPECT_EQ(other.jsonOf({"player", "{S}", "12", "--json"})["speed"], 50);
    ASSERT_EQ(other.run({"restore", "{S}", folder, "--force"}).status, 0);
    EXPECT_EQ(other.jsonOf({"player", "{S}", "12", "--json"})["speed"], speedBefore);
    fs::remove(pathFromUtf8(folder) / "select.ovl");
    const auto damaged = listing();
    ASSERT_EQ(damaged.size(), 2u);
    EXPECT_EQ(damaged[0]["matches source"], true);
    EXPECT_TRUE(damaged[1]["damaged"] == true && damaged[1]["damage"] != "" && damaged[1]["matches source"] == false);
    EXPECT_NE(source.run({"backups", "{S}"}).out.find("  damaged: "), std::string::npos);
}

// The disk until `writes` writes are made; from then on every write, flush and removal fails, as
// when the process is killed there.
class StopsAfter : public FileAccess {
public:
    explicit StopsAfter(int writes) : m_left(writes) {}
    std::unique_ptr<OpenFile> open(const fs::path& file, OpenMode mode, std::string& error) override {
        auto inner = diskAccess().open(file, mode, error);
        return inner ? std::make_unique<File>(m_left, std::move(inner)) : nullptr;
    }
    bool remove(const fs::path& file) override { return m_left > 0 && diskAccess().remove(file); }

private:
    class File : public OpenFile {
    public:
        File(int& left, std::unique_ptr<OpenFile> inner) : m_left(left), m_inner(std::move(inner)) {}
        bool read(std::uint64_t at, MutableByteSpan out) override { return m_inner->read(at, out); }
        bool write(std::uint64_t at, ByteSpan data) override {
            return m_left > 0 && m_inner->write(at, data) && --m_left >= 0;
        }
        bool flush() override { return m_left > 0 && m_inner->flush(); }
        std::uint64_t size() const override { return m_inner->size(); }

    private:
        int& m_left;
        std::unique_ptr<OpenFile> m_inner;
    };
    int m_left;
};

// A write stopped part-way (its journal made, some of the data written) leaves the source
// refused with the advice to recover; `recover` gives back the source byte for byte and removes
// the journal, and then finds nothing more to undo.
TEST(CliRecover, UndoesAWriteStoppedPartWay) {
    for (const bool image : {true, false}) {
        SCOPED_TRACE(image ? "image" : "folder");
        const Source source(image);
        const auto before = source.checksums();
        const fs::path journal = journalPathOf(source.path);
        for (int writes = 1; writes < 50 && !(fs::exists(journal) && source.checksums() != before); ++writes) {
            MessageLog log;
            StopsAfter stops(writes);
            DataStore store(log, stops);
            store.setBackups(false);
            ASSERT_TRUE(store.load(source.path));
            Player player;
            player.load(store.blocks(), 1);
            player.write(PlayerFieldId::Speed, 1 + player.read(PlayerFieldId::Speed) % 99);  // its record and its copy,
            player.load(store.blocks(), 2197);                         // sectors apart
            player.write(PlayerFieldId::Speed, 1 + player.read(PlayerFieldId::Speed) % 99);
            EXPECT_FALSE(store.WriteBack());
            if (source.checksums() == before) fs::remove(journal);  // stopped before any data was written
        }
        ASSERT_TRUE(fs::exists(journal) && source.checksums() != before);
        const CommandRun refused = source.run({"set-player", "{S}", "12", "speed=50"});
        EXPECT_EQ(refused.status, 1);
        EXPECT_NE(refused.err.find("Run \"tarvo recover " + utf8Path(source.path) + "\" to undo it."),
                  std::string::npos)
            << refused.err;
        const CommandRun recovered = source.run({"recover", "{S}"});
        EXPECT_EQ(recovered.status, 0) << recovered.err;
        EXPECT_NE(recovered.err.find("Undid the interrupted write into " + utf8Path(source.path)), std::string::npos)
            << recovered.err;
        EXPECT_EQ(source.checksums(), before);
        EXPECT_FALSE(fs::exists(journal));
        const CommandRun again = source.run({"recover", "{S}"});
        EXPECT_EQ(again.status, 0);
        EXPECT_NE(again.err.find("There is no interrupted write to undo"), std::string::npos) << again.err;
    }
}

// An argument that starts with "/" is a path on every system, never an option written the Windows
// way ("/json"); on Windows it names a file on the current drive.
TEST(CliArguments, ASlashStartsAPath) {
    const fs::path image = fs::absolute(test::sampleImage());
    const CurrentFolder atRoot(image.root_path());
    const std::u8string relative = image.relative_path().generic_u8string();
    const std::string slashed = "/" + std::string(relative.begin(), relative.end());
    const CommandRun r = runTarvo({"info", slashed});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("kind: image\n")) << r.out;
    EXPECT_NE(runTarvo({"info", slashed, "/json"}).status, 0);
}

// A CUE sheet opens the image it names: the same output, every write into the image and none into
// the sheet; a sheet whose track is not this disc's kind of sectors is refused, naming what it says.
TEST(CliCueSheet, OpensTheImageItNamesAndNeverWritesTheSheet) {
    const Source bin(true);
    const fs::path sheet = bin.dir / "disc.cue";
    const auto writeSheet = [&](const std::string& mode) {
        const std::string text =
            "REM one data track\r\nFILE \"sample.bin\" BINARY\r\n  TRACK 01 " + mode + "\r\n    INDEX 01 00:00:00\r\n";
        test::writeFile(sheet, Bytes(text.begin(), text.end()));
    };
    writeSheet("MODE2/2352");
    const Bytes sheetBytes = test::readFile(sheet);
    const std::string s = utf8Path(sheet);
    EXPECT_EQ(bin.jsonOf({"player", s, "5", "--json"}), bin.jsonOf({"player", "{S}", "5", "--json"}));
    const CommandRun set = runTarvo({"set-player", s, "5", "speed=77"});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(bin.jsonOf({"player", "{S}", "5", "--json"})["speed"], 77);
    EXPECT_EQ(test::readFile(sheet), sheetBytes);
    const CommandRun info = runTarvo({"info", s});
    EXPECT_TRUE(info.out.starts_with("kind: image\ncue sheet: " + s + "\nimage: " + utf8Path(bin.path) + "\n"))
        << info.out;

    const auto image = bin.checksums();
    for (const auto& [mode, refusal] :
         {std::pair<std::string, std::string>{"MODE1/2352", "its first track is MODE1/2352"},
          {"MODE1/2048", "says MODE1/2048, but " + utf8Path(bin.path) + " holds 2352-byte sectors"}}) {
        writeSheet(mode);
        for (const char* command : {"info", "verify"}) {
            const CommandRun r = runTarvo({command, s});
            EXPECT_EQ(r.status, 1) << mode;
            EXPECT_NE((r.err + r.out).find(refusal), std::string::npos) << r.err << r.out;
        }
        EXPECT_EQ(runTarvo({"set-player", s, "5", "speed=1"}).status, 1) << mode;
    }
    EXPECT_EQ(bin.checksums(), image);
}

}  // namespace
}  // namespace tarvo
