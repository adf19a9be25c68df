// The commands of `tarvo`, run as a program on copies of the sample disc: the same work on the
// image and the exported files, refusals that write nothing, and changes that land where named.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <nlohmann/json.hpp>

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

// A private copy of the image or of the exported folder, and a folder for the command's files.
struct Source {
    explicit Source(bool image) : path(image ? test::copySampleImage(dir) : test::copySampleExportDir(dir)) {
        fs::create_directory(files);
    }
    std::vector<std::uint64_t> checksums() const {
        if (!fs::is_directory(path)) return {test::fileChecksum(path)};
        return {test::fileChecksum(path / "QXRT_418.27"), test::fileChecksum(path / "parameter.ovl"),
                test::fileChecksum(path / "select.ovl")};
    }
    // Runs tarvo with `args`, "{S}" standing for the source and "{D}" for the folder of files.
    CommandRun run(std::vector<std::string> args) const {
        test::TempDir out;
        std::string command = TARVO_CLI_PATH;
        for (std::string a : args) {
            for (const auto& [key, value] : {std::pair{"{S}", path}, {"{D}", files}})
                if (const auto at = a.find(key); at != std::string::npos) a.replace(at, 3, value.string());
            command += " '" + a + "'";
        }
        const int raw = std::system((command + " >" + (out / "out").string() + " 2>" + (out / "err").string()).c_str());
        const Bytes o = test::readFile(out / "out"), e = test::readFile(out / "err");
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, std::string(o.begin(), o.end()),
                std::string(e.begin(), e.end())};
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
                                                         {"set-team", "{S}", "70", "offense=19", "slot 23 id=0"},
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

// Refused commands: exit 1, one line on stderr, and not one byte of the source changed.
TEST(CliRefusals, WriteNothing) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"set-player", "{S}", "0", "speed=50"}, "ID should be 1--2197"},
        {{"set-player", "{S}", "1", "speed=50", "height=206"}, "\"height\" = 206"},
        {{"set-player", "{S}", "1", "skin=3", "face=27"}, "1 to 26 for skin 3"},
        {{"set-player", "{S}", "1", "full name=\xe2\x82\xac uro"}, "no Shift-JIS code"},
        {{"set-team", "{S}", "70", "slot 23 id=2198"}, "ID should be 0--2197"},
        {{"set-team", "{S}", "106", "captain=1"}, "ROW should be 0 to 105"},
        {{"import-player", "{S}", "5", "{D}/none.dat"}, "Can not read file"},
        {{"import-team", "{S}", "{D}/short.dat"}, "unknown format!"},
        {{"universal", "{S}", "nation", "+1"}, "not one of the 25 abilities"},
    };
    for (const bool image : {true, false}) {
        const Source source(image);
        test::writeFile(source.files / "short.dat", Bytes{'P', 'L', 'A', 'Y', 'E', 'R'});
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
    for (const auto& args : {std::vector<std::string>{"voice", "{S}", "11578", "{D}/none.wav"},
                             {"voice", "{S}", "16257", "{D}/none.wav"}}) {
        const CommandRun r = (args[2] == "11578" ? directory : image).run(args);
        EXPECT_EQ(r.status, 1) << r.err;
    }
    EXPECT_FALSE(fs::exists(image.files / "again.wav") || fs::exists(image.files / "none.wav") ||
                 fs::exists(directory.files / "none.wav"));
}

}  // namespace
}  // namespace tarvo
