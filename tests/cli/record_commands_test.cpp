// The team and player commands of `tarvo`, run as a program on copies of the sample disc: the
// same answers from the image and the exported files, refusals that write nothing, and changes
// that land where the core puts them.

#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "player/universal_edit.h"
#include "records/player.h"
#include "store/data_store.h"
#include "support/sample.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

struct CommandRun {
    int status;
    std::string out, err;
};

std::string quoted(const std::string& arg) {
    std::string q = "'";
    for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string readText(const fs::path& file) {
    const Bytes b = test::readFile(file);
    return std::string(b.begin(), b.end());
}

CommandRun tarvo(const std::vector<std::string>& args) {
    test::TempDir out;
    std::string command = quoted(TARVO_CLI_PATH);
    for (const auto& a : args) command += " " + quoted(a);
    command += " >" + quoted((out / "out").string()) + " 2>" + quoted((out / "err").string());
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readText(out / "out"), readText(out / "err")};
}

// A private copy of one source, the image or the exported folder, and the checksums of its files.
struct Source {
    explicit Source(bool image) : path(image ? test::copySampleImage(dir) : test::copySampleExportDir(dir)) {}
    std::vector<std::uint64_t> checksums() const {
        std::vector<std::uint64_t> sums;
        if (fs::is_directory(path))
            for (const auto& name : {"QXRT_418.27", "parameter.ovl", "select.ovl"})
                sums.push_back(test::fileChecksum(path / name));
        else
            sums.push_back(test::fileChecksum(path));
        return sums;
    }
    test::TempDir dir;
    fs::path path;
};

json jsonOf(const std::vector<std::string>& args) {
    const CommandRun r = tarvo(args);
    EXPECT_EQ(r.status, 0) << r.err;
    return json::parse(r.out);
}

TEST(CliReading, ImageAndDirectoryAgree) {
    const std::string image = test::sampleImage().string(), dir = test::sampleExportDir().string();
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"teams", "--json"}, {"team", "0", "--json"}, {"team", "70", "--json"}, {"team", "105", "--json"},
             {"player", "1", "--json"}, {"player", "2197", "--json"}}) {
        SCOPED_TRACE(args[0] + " " + args[1]);
        std::vector<std::string> fromImage{args[0], image}, fromDir{args[0], dir};
        fromImage.insert(fromImage.end(), args.begin() + 1, args.end());
        fromDir.insert(fromDir.end(), args.begin() + 1, args.end());
        EXPECT_EQ(jsonOf(fromImage), jsonOf(fromDir));
    }
    const json teams = jsonOf({"teams", image, "--json"});
    ASSERT_EQ(teams.size(), 106u);
    EXPECT_EQ(teams[43]["label"], "44.Brazil");
    EXPECT_TRUE(teams[0]["club name"].is_null());
    EXPECT_TRUE(teams[65]["club name"].is_string());

    const json row105 = jsonOf({"team", image, "105", "--json"});
    EXPECT_EQ(row105["kind"], "default");
    EXPECT_TRUE(row105["tactics"].is_null());
    EXPECT_EQ(row105["squad"].size(), 40u);
    EXPECT_EQ(row105["team name bytes"].get<std::string>().size(), 4u);  // the 2-byte slot
    const json player = jsonOf({"player", image, "1", "--json"});
    EXPECT_EQ(player.size(), 6u + 70u);
    EXPECT_GE(player["height"].get<int>(), 148);
}

// Refused commands: exit 1, one line on stderr, and not one byte of the source changed.
TEST(CliRefusals, NothingIsWritten) {
    Source source(false);
    test::TempDir files;
    test::writeFile(files / "short.dat", Bytes{'P', 'L', 'A', 'Y', 'E', 'R', 'D', 'A', 'T', 'A', 0});
    const std::string s = source.path.string();
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases{
        {{"set-player", s, "0", "speed=50"}, "ID should be 1--2197"},
        {{"set-player", s, "1", "speed=50", "height=206"}, "\"height\" = 206"},
        {{"set-player", s, "1", "speed=0"}, "\"speed\" = 0"},
        {{"set-player", s, "1", "skin=3", "face=27"}, "1 to 26 for skin 3"},
        {{"set-player", s, "1", "nation=60"}, "nation"},
        {{"set-player", s, "1", "hair type=103"}, "hair type"},
        {{"set-player", s, "1", "call number=11577"}, "call number"},
        {{"set-player", s, "1", "injury=3"}, "injury"},
        {{"set-player", s, "1", "dribbling=2"}, "dribbling"},
        {{"set-player", s, "1", "back name=ABCDEFGHIJKLMNOP"}, "at most 15 bytes"},
        {{"set-player", s, "1", "full name=\xe2\x82\xac uro"}, "no Shift-JIS code"},
        {{"set-player", s, "1", "speed=5x"}, "speed"},
        {{"set-player", s, "1", "colour=1"}, "unknown player value"},
        {{"set-team", s, "0", "slot 3 id=0"}, "ID should be 1--2197"},
        {{"set-team", s, "70", "slot 22 id=0"}, "ID should be 1--2197"},
        {{"set-team", s, "70", "slot 23 id=2198"}, "ID should be 0--2197"},
        {{"set-team", s, "70", "slot 40 id=1"}, "slots 0 to 39"},
        {{"set-team", s, "105", "offense=10"}, "no tactics"},
        {{"set-team", s, "105", "team name=X"}, "row 105"},
        {{"set-team", s, "3", "club name=X"}, "only clubs"},
        {{"set-team", s, "3", "offense=20"}, "4 to 19"},
        {{"set-team", s, "3", "captain=11"}, "0 to 10"},
        {{"set-team", s, "3", "slot 0 shirt=100"}, "1 to 99"},
        {{"set-team", s, "10", "team name=ABCDEFGH"}, "at most 7 bytes"},
        {{"set-team", s, "106", "captain=1"}, "ROW should be 0 to 105"},
        {{"import-player", s, "5", (files / "short.dat").string()}, "unknown format!"},
        {{"import-player", s, "5", (files / "none.dat").string()}, "Can not read file"},
        {{"import-team", s, (files / "short.dat").string()}, "unknown format!"},
        {{"universal", s, "speed", "+100"}, "METHOD"},
        {{"universal", s, "speed", "0%"}, "METHOD"},
        {{"universal", s, "speed", "201%"}, "METHOD"},
        {{"universal", s, "speed", "5"}, "METHOD"},
        {{"universal", s, "nation", "+1"}, "not one of the 25 abilities"},
    };
    const auto before = source.checksums();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args.back());
        const CommandRun r = tarvo(c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(source.checksums(), before);
    }
}

TEST(CliChanges, SetPlayerChangesOnlyWhatItNames) {
    for (bool image : {true, false}) {
        SCOPED_TRACE(image ? "image" : "directory");
        Source source(image);
        const std::string s = source.path.string();
        json expected = jsonOf({"player", s, "12", "--json"});
        const CommandRun r =
            tarvo({"set-player", s, "12", "full name=\xe3\x82\xb8\xe3\x83\xbc\xe3\x82\xb3", "back name=ZICO",
                   "height=205", "age=15", "skin=2", "face=32", "nation=240", "speed=99", "call number=11085"});
        ASSERT_EQ(r.status, 0) << r.err;
        expected["full name"] = "\xe3\x82\xb8\xe3\x83\xbc\xe3\x82\xb3";
        expected["full name bytes"] = "8357815b8352";
        expected["back name"] = "ZICO";
        expected["back name bytes"] = "5a49434f";
        for (auto [name, value] : std::vector<std::pair<std::string, int>>{{"height", 205},
                                                                           {"age", 15},
                                                                           {"skin", 2},
                                                                           {"face", 32},
                                                                           {"nation", 240},
                                                                           {"speed", 99},
                                                                           {"call number", 11085}})
            expected[name] = value;
        EXPECT_EQ(jsonOf({"player", s, "12", "--json"}), expected);
    }
}

TEST(CliChanges, SetTeamAndTheTeamFileBetweenCopies) {
    Source from(true), to(false);
    const std::string a = from.path.string(), b = to.path.string();
    ASSERT_EQ(tarvo({"set-team", a, "70", "slot 23 id=0", "slot 23 shirt=99", "offense=19", "captain=10",
                     "short name=LFC", "club name=Reds"}).status, 0);
    const json team = jsonOf({"team", a, "70", "--json"});
    EXPECT_EQ(team["squad"][23], (json{{"slot", 23}, {"id", 0}, {"shirt", 99}}));
    EXPECT_EQ(team["tactics"]["offense"], 19);
    EXPECT_EQ(team["set pieces"]["captain"], 10);
    EXPECT_EQ(team["short name"], "LFC");
    EXPECT_EQ(team["club name"], "Reds");

    test::TempDir files;
    const fs::path file = files / "liverpool.dat";
    ASSERT_EQ(tarvo({"export-team", a, "70", file.string()}).status, 0);
    EXPECT_EQ(fs::file_size(file), 3905u + 16u);
    const CommandRun imported = tarvo({"import-team", b, file.string()});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_NE(imported.err.find("data of team 071 load OK."), std::string::npos);
    json copied = jsonOf({"team", b, "70", "--json"});
    EXPECT_NE(copied["club name"], "Reds");  // the club name is not in the file
    copied["club name"] = "Reds";
    EXPECT_EQ(copied, team);
    for (const auto& slot : team["squad"]) {
        if (slot["id"] == 0) continue;
        const std::string id = std::to_string(slot["id"].get<int>());
        EXPECT_EQ(jsonOf({"player", b, id, "--json"}), jsonOf({"player", a, id, "--json"})) << "player " << id;
    }

    ASSERT_EQ(tarvo({"export-team", a, "0", (files / "team000.dat").string()}).status, 0);
    EXPECT_EQ(fs::file_size(files / "team000.dat"), 2289u);
    const fs::path player = files / "p.dat";
    ASSERT_EQ(tarvo({"export-player", a, "7", player.string()}).status, 0);
    EXPECT_EQ(fs::file_size(player), 103u);
    ASSERT_EQ(tarvo({"import-player", b, "40", player.string()}).status, 0);
    json p40 = jsonOf({"player", b, "40", "--json"}), p7 = jsonOf({"player", a, "7", "--json"});
    p40["id"] = 7;
    EXPECT_EQ(p40, p7);
}

TEST(CliChanges, UniversalEditOfEveryPlayer) {
    Source source(false);
    MessageLog log;
    DataStore before(log);
    ASSERT_TRUE(before.LoadFromDirectory(source.path));
    const CommandRun r = tarvo({"universal", source.path.string(), "speed", "33%"});
    ASSERT_EQ(r.status, 0) << r.err;
    DataStore after(log);
    ASSERT_TRUE(after.LoadFromDirectory(source.path));
    // The same change made in memory gives the same three blocks.
    Player player;
    universalEdit(before.blocks(), player, 4, UniversalMethod::Percent, 33);
    EXPECT_TRUE(std::ranges::equal(before.boot(), after.boot()));
    EXPECT_TRUE(std::ranges::equal(before.parameter(), after.parameter()));
    EXPECT_TRUE(std::ranges::equal(before.select(), after.select()));
}

}  // namespace
}  // namespace tarvo
