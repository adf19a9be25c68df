// `tarvo diff` and `tarvo apply`, run as a program on copies of the sample disc: the patch of
// one copy's edits applied to another copy gives the same data blocks byte for byte, in any mix
// of image and folder; a refused patch names its line and changes no byte.

#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "store/data_store.h"
#include "store/file_io.h"
#include "support/platform.h"
#include "support/sample.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

using ToolRun = test::ProgramRun;
ToolRun tarvo(const std::vector<std::string>& args) { return test::runCaptured(TARVO_CLI_PATH, args); }

std::string text(const fs::path& path) { return utf8Path(path); }

struct Blocks {
    Bytes boot, parameter, select;
    bool operator==(const Blocks&) const = default;
};

Blocks blocksOf(const fs::path& source) {
    MessageLog log;
    DataStore store(log);
    EXPECT_TRUE(fs::is_directory(source) ? store.LoadFromDirectory(source) : store.LoadFromImage(source));
    const auto copy = [](ByteSpan b) { return Bytes(b.begin(), b.end()); };
    return {copy(store.boot()), copy(store.parameter()), copy(store.select())};
}

void putByte(const fs::path& file, std::size_t offset, std::uint8_t value) {
    Bytes data = test::readFile(file);
    data.at(offset) = value;
    test::writeFile(file, data);
}

// Edits of players, names, squads, a formation and a universal edit, made on an exported folder.
void edit(const fs::path& folder) {
    const std::vector<std::vector<std::string>> commands{
        {"set-player", text(folder), "12", "speed=99", "full name=Rivaz, \"Q\"", "back name=リバス", "skin=3",
         "face=20"},
        {"set-player", text(folder), "2197", "call number=12000"},
        {"set-team", text(folder), "43", "slot 4 id=1040", "team name=BRASIL", "captain=4"},
        {"set-team", text(folder), "70", "slot 24 id=0", "slot 24 shirt=99", "club name=REDS"},
        {"universal", text(folder), "stamina", "+3"},
    };
    for (const auto& args : commands) {
        const ToolRun r = tarvo(args);
        ASSERT_EQ(r.status, 0) << args[0] << ": " << r.err;
    }
    // The formation of row 9 (boot file offset 2495312 + 30 * 9): role 0 and x of position 2.
    putByte(folder / "QXRT_418.27", 2495312 + 30 * 9 + 0, 30);
    putByte(folder / "QXRT_418.27", 2495312 + 30 * 9 + 12, 35);
}

TEST(CliDiffApply, PatchOfOneCopyMakesAnotherTheSame) {
    test::TempDir dir;
    const fs::path a = test::copySampleExportDir(dir);
    test::TempDir dirB;
    const fs::path b = test::copySampleExportDir(dirB);
    edit(b);
    const fs::path patch = dir / "edits.patch";

    const ToolRun diff = tarvo({"diff", text(a), text(b), "--patch", text(patch)});
    ASSERT_EQ(diff.status, 0) << diff.err;
    for (const char* line :
         {"player 12 speed: ", " -> 99\n", "player 12 full name: \"", "\" -> \"Rivaz, \"Q\"\"\n",
          "player 12 back name: ", "\" -> \"リバス\"\n",
          "player 2197 call number: ", "team 44.Brazil slot 4 id: ", " -> 1040\n",
          "team 44.Brazil team name: ", "team 71.Liverpool slot 24 shirt: ", "team 71.Liverpool club name: ",
          "team 10.Netherlands formation role 0: ", "team 10.Netherlands formation x 2: "})
        EXPECT_NE(diff.out.find(line), std::string::npos) << line;
    EXPECT_EQ(diff.out.find("other byte"), std::string::npos);
    EXPECT_EQ(std::count(diff.out.begin(), diff.out.end(), '\n'), std::count(diff.out.begin(), diff.out.end(), '>'));

    // The patch: its first line, then one CSV line per value, names with commas and quotes quoted.
    const Bytes patchBytes = test::readFile(patch);
    const std::string patchText(patchBytes.begin(), patchBytes.end());
    EXPECT_TRUE(patchText.starts_with("tarvo patch 2\r\n")) << patchText.substr(0, 40);
    EXPECT_NE(patchText.find("\r\nteam,43,slot 4 id,"), std::string::npos);
    EXPECT_NE(patchText.find(",\"Rivaz, \"\"Q\"\"\"\r\n"), std::string::npos);

    // JSON: the same list, values in their units.
    const json list = json::parse(tarvo({"diff", text(a), text(b), "--json"}).out, nullptr, false);
    ASSERT_TRUE(list.is_array());
    EXPECT_EQ(list.size(), static_cast<std::size_t>(std::count(diff.out.begin(), diff.out.end(), '\n')));
    const auto squad = std::ranges::find_if(list, [](const json& c) { return c.value("field", "") == "slot 4 id"; });
    ASSERT_NE(squad, list.end());
    EXPECT_EQ((*squad)["kind"], "team");
    EXPECT_EQ((*squad)["row"], 43);
    EXPECT_EQ((*squad)["new"], 1040);
    EXPECT_TRUE((*squad)["text"].get<std::string>().starts_with("team 44.Brazil slot 4 id: "));

    // Applied to a copy of A, as an image and as a folder: B's blocks byte for byte.
    test::TempDir dirC;
    for (const fs::path& target : {test::copySampleImage(dirC), test::copySampleExportDir(dirC)}) {
        SCOPED_TRACE(text(target));
        const auto before = test::fileChecksum(fs::is_directory(target) ? target / "parameter.ovl" : target);
        const ToolRun dry = tarvo({"apply", text(target), text(patch), "--dry-run"});
        EXPECT_EQ(dry.status, 0) << dry.err;
        EXPECT_EQ(dry.out, diff.out);
        EXPECT_EQ(test::fileChecksum(fs::is_directory(target) ? target / "parameter.ovl" : target), before);

        const ToolRun apply = tarvo({"apply", text(target), text(patch), "--no-backup"});
        ASSERT_EQ(apply.status, 0) << apply.err;
        EXPECT_EQ(apply.out, diff.out);
        EXPECT_TRUE(blocksOf(target) == blocksOf(b));
        EXPECT_EQ(tarvo({"diff", text(target), text(b)}).out, "");
        // Every line holds already: applying again is no change.
        const ToolRun again = tarvo({"apply", text(target), text(patch), "--no-backup"});
        EXPECT_EQ(again.status, 0) << again.err;
        EXPECT_EQ(again.out, "");
    }
}

// Bytes that no value covers cannot go into a patch: the values still do, with a warning, exit 1.
TEST(CliDiffApply, PatchLeavingBytesOutSaysSo) {
    test::TempDir dir;
    const fs::path a = test::copySampleExportDir(dir);
    test::TempDir dirB;
    const fs::path b = test::copySampleExportDir(dirB);
    ASSERT_EQ(tarvo({"set-player", text(b), "5", "speed=98"}).status, 0);
    const Bytes parameter = test::readFile(b / "parameter.ovl");
    putByte(b / "parameter.ovl", 0, static_cast<std::uint8_t>(parameter[0] ^ 0xFF));
    putByte(b / "parameter.ovl", 1, static_cast<std::uint8_t>(parameter[1] ^ 0xFF));

    const ToolRun plain = tarvo({"diff", text(a), text(b)});
    EXPECT_EQ(plain.status, 0);
    EXPECT_NE(plain.out.find("\n2 other bytes of the parameter data differ\n"), std::string::npos) << plain.out;
    const ToolRun withPatch = tarvo({"diff", text(a), text(b), "--patch", text(dir / "p")});
    EXPECT_EQ(withPatch.status, 1);
    EXPECT_NE(withPatch.err.find("2 differing bytes are no value of a player or a team"), std::string::npos)
        << withPatch.err;
    const Bytes written = test::readFile(dir / "p");
    EXPECT_EQ(std::string(written.begin(), written.end()).find("player,5,speed,"), 15u);
}

// Numbers are compared by value ("+60" is 60), so a patch written by hand holds once applied.
TEST(CliDiffApply, PatchAppliedTwiceHoldsTheSecondTime) {
    test::TempDir dir;
    const fs::path target = test::copySampleExportDir(dir);
    const json player = json::parse(tarvo({"player", text(target), "12", "--json"}).out);
    const int speed = player["speed"].get<int>();
    const std::string patch = "tarvo patch 2\nplayer,12,speed,+" + std::to_string(speed) + ",+" +
                              std::to_string(speed == 60 ? 61 : 60) + "\n";
    test::writeFile(dir / "p", Bytes(patch.begin(), patch.end()));
    for (int run = 0; run < 2; ++run) {
        const ToolRun r = tarvo({"apply", text(target), text(dir / "p"), "--no-backup"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, run == 0 ? "player 12 speed: " + std::to_string(speed) + " -> " +
                                        std::to_string(speed == 60 ? 61 : 60) + "\n"
                                  : "");
    }
}

// A patch of version 1 names the squad slots from 0, one of version 2 from 1: both change the
// fourth slot (squad index 3) here.
TEST(CliDiffApply, Version1PatchesCountSlotsFromZero) {
    for (const auto& [header, slot] : {std::pair{"tarvo patch 1", "3"}, {"tarvo patch 2", "4"}}) {
        SCOPED_TRACE(header);
        test::TempDir dir;
        const fs::path target = test::copySampleExportDir(dir);
        const int shirt = json::parse(tarvo({"team", text(target), "9", "--json"}).out)["squad"][3]["shirt"];
        const std::string was = std::to_string(shirt), now = std::to_string(shirt == 7 ? 8 : 7);
        const std::string patch = std::string(header) + "\nteam,9,slot " + slot + " shirt," + was + "," + now + "\n";
        test::writeFile(dir / "p", Bytes(patch.begin(), patch.end()));
        const ToolRun r = tarvo({"apply", text(target), text(dir / "p"), "--no-backup"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "team 10.Netherlands slot 4 shirt: " + was + " -> " + now + "\n");
        const json squad = json::parse(tarvo({"team", text(target), "9", "--json"}).out)["squad"];
        EXPECT_EQ(squad[3]["slot"], 4);
        EXPECT_EQ(squad[3]["shirt"].get<int>(), shirt == 7 ? 8 : 7);
    }
}

TEST(CliDiffApply, RefusedPatchNamesItsLineAndWritesNothing) {
    test::TempDir dir;
    const fs::path target = test::copySampleImage(dir);
    // OLD must match what the disc holds before NEW is checked: take the values it holds.
    const json player = json::parse(tarvo({"player", text(target), "12", "--json"}).out);
    const json team = json::parse(tarvo({"team", text(target), "9", "--json"}).out);
    const std::string speed = std::to_string(player["speed"].get<int>());
    const std::string x2 = std::to_string(team["formation"]["x"][2].get<int>());
    const std::string id3 = std::to_string(team["squad"][3]["id"].get<int>());
    const std::string shirt3 = std::to_string(team["squad"][3]["shirt"].get<int>());
    const std::string nation = std::to_string(player["nation"].get<int>());
    const std::string captain = std::to_string(team["set pieces"]["captain"].get<int>());
    const std::string good = "team,9,captain," + captain + "," + (captain == "5" ? "6" : "5") + "\n";
    const std::string shortName = team["short name"].get<std::string>();
    const std::string wrongOld = speed == "1" ? "2" : "1";
    struct Case {
        std::string patch;
        std::string message;
    };
    const std::vector<Case> cases{
        {"tarvo patch 3\n" + good, "line 1: a patch starts with the line \"tarvo patch 2\" (or \"tarvo patch 1\")"},
        {"player,12,speed,1,2\n", "line 1: a patch starts with"},
        {"tarvo patch 2\n" + good + "player,12,speed,1\n", "line 3: 4 cells where a patch line has 5"},
        {"tarvo patch 2\n" + good + "\"player,12,speed,1,2\n", "line 3: a quoted field is never closed"},
        {"tarvo patch 2\n" + good + "coach,12,speed,1,2\n", "line 3: \"coach\" should be player or team"},
        {"tarvo patch 2\n" + good + "player,twelve,speed,1,2\n", "line 3: \"twelve\" should be a player ID"},
        {"tarvo patch 2\n" + good + "player,12,speeed,1,2\n", "line 3: unknown player value \"speeed\""},
        {"tarvo patch 2\n" + good + "player,2198,speed,1,2\n", "line 3: ID should be 1--2197"},
        {"tarvo patch 2\n" + good + "team,106,captain,0,1\n", "line 3: ROW should be 0 to 105"},
        // Slots from 1; from 0 in a patch of version 1.
        {"tarvo patch 2\n" + good + "team,9,slot 24 id,0,1\n", "line 3: team row 9 has no value \"slot 24 id\""},
        {"tarvo patch 2\n" + good + "team,9,slot 0 id,0,1\n", "line 3: team row 9 has no value \"slot 0 id\""},
        {"tarvo patch 1\n" + good + "team,9,slot 23 id,0,1\n", "line 3: team row 9 has no value \"slot 23 id\""},
        {"tarvo patch 1\n" + good + "team,9,slot 3 id," + id3 + ",0\n", "line 3: ID should be 1--2197"},
        {"tarvo patch 2\n" + good + "player,12,speed," + wrongOld + ",60\n",
         "line 3: player 12 speed is \"" + speed + "\" here, not \"" + wrongOld + "\" as the patch expects"},
        {"tarvo patch 2\n" + good + "player,12,speed," + speed + ",100\n",
         "line 3: \"speed\" = 100 is outside what the editor allows (1 to 99)"},
        {"tarvo patch 2\n" + good + "team,9,formation x 2," + x2 + ",48\n", "line 3: formation x should be 2 to 47"},
        {"tarvo patch 2\n" + good + "team,9,slot 4 id," + id3 + ",0\n", "line 3: ID should be 1--2197"},
        {"tarvo patch 2\n" + good + "team,9,slot 4 shirt," + shirt3 + ",256\n", "line 3: shirt numbers are 1 to 99"},
        {"tarvo patch 2\n" + good + "player,12,nation," + nation + ",255\n", "line 3: \"nation\" = 255 is outside"},
        {"tarvo patch 2\n" + good + "team,105,offense,0,10\n", "line 3: team row 105 has no value \"offense\""},
        {"tarvo patch 2\n" + good + good, "line 3: team 10.Netherlands captain is changed on line 2 already"},
        {"tarvo patch 2\n" + good + "team,9,short name," + shortName + ",A" + std::string(1, '\0') + "B\n",
         "line 3: short name: a name cannot hold a NUL character"},
        // Bounded input: a line, a number, a name; a value echoed is cut and made printable.
        {"tarvo patch 2\n" + good + "player,12,speed,1," + std::string(70000, '9') + "\n",
         "line 3: the record is longer than 65536 bytes"},
        {"tarvo patch 2\n" + good + "player,12,speed," + speed + ",+000000000099\n",
         "line 3: player 12 speed: \"+000000000099\" has 13 characters; a number has at most 12"},
        {"tarvo patch 2\n" + good + "team,9,short name," + shortName + "," + std::string(1, '\0') +
             std::string(50, 'A') + "\n",
         "line 3: team 10.Netherlands short name: \"\\x00" + std::string(39, 'A') + "...\" has 51 characters"},
        {"tarvo patch 2\n" + good + "player,12,speed," + speed + ",50\nplayer,12,speed," + speed + ",51\n",
         "line 4: player 12 speed is changed on line 3 already"},
    };
    const auto before = test::fileChecksum(target);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.patch);
        const fs::path file = dir / "refused.patch";
        test::writeFile(file, Bytes(c.patch.begin(), c.patch.end()));
        const ToolRun r = tarvo({"apply", text(target), text(file)});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("tarvo: " + text(file) + " " + c.message), std::string::npos) << r.err;
        EXPECT_EQ(test::fileChecksum(target), before);
    }
}

// PPF patches, read and written here from the format alone: "PPF" and two version digits, the
// encoding byte (version - 1), a 50-byte description; 2.0: u32 image size and the 1024 bytes at
// 0x9320; 3.0: image type, check block flag, undo flag, a spare byte, then the check block when
// flagged. Records: offset (u32, u64 in 3.0), u8 length, new bytes, old bytes with undo data.
void putLE(Bytes& out, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

Bytes ppfHeader(int version, ByteSpan check, bool undo = false, std::uint32_t imageSize = 0) {
    Bytes out = test::bytesOf("PPF" + std::to_string(version) + "0");
    out.push_back(static_cast<std::uint8_t>(version - 1));
    const std::string description(50, ' ');
    out.insert(out.end(), description.begin(), description.end());
    if (version == 2) putLE(out, imageSize, 4);
    if (version == 3) out.insert(out.end(), {0, check.empty() ? std::uint8_t{0} : std::uint8_t{1}, undo, 0});
    out.insert(out.end(), check.begin(), check.end());
    return out;
}

void putRecord(Bytes& out, int version, std::uint64_t offset, ByteSpan bytes, ByteSpan old = {}) {
    putLE(out, offset, version == 3 ? 8 : 4);
    out.push_back(static_cast<std::uint8_t>(bytes.size()));
    out.insert(out.end(), bytes.begin(), bytes.end());
    out.insert(out.end(), old.begin(), old.end());
}

constexpr std::size_t kCheckAt = 0x9320;

ByteSpan checkBlockOf(const Bytes& image) { return ByteSpan(image).subspan(kCheckAt, 1024); }

// `tarvo diff --ppf` of two copies, read by the reader above, turns A into B byte for byte and
// covers exactly the differing bytes; the tool's apply does the same, --undo gives A back.
TEST(CliPpf, DiffMakesAPatchThatTurnsAIntoBAndBack) {
    test::TempDir dir;
    const fs::path a = test::copySampleImage(dir);
    test::TempDir dirB;
    const fs::path b = test::copySampleImage(dirB);
    ASSERT_EQ(tarvo({"set-player", text(b), "12", "speed=99", "--no-backup"}).status, 0);
    ASSERT_EQ(tarvo({"set-team", text(b), "43", "team name=BRASIL", "--no-backup"}).status, 0);
    const Bytes imageA = test::readFile(a), imageB = test::readFile(b);
    const fs::path ppf = dir / "edits.ppf";
    const ToolRun diff = tarvo({"diff", text(a), text(b), "--ppf", text(ppf), "--description", "Brasil"});
    ASSERT_EQ(diff.status, 0) << diff.err;

    const Bytes patch = test::readFile(ppf);
    ASSERT_GE(patch.size(), 1084u);
    EXPECT_EQ(std::string(patch.begin(), patch.begin() + 12), std::string("PPF30\x02") + "Brasil");
    EXPECT_EQ(patch[55], ' ');
    EXPECT_EQ(Bytes(patch.begin() + 56, patch.begin() + 60), (Bytes{0, 1, 1, 0}));
    EXPECT_TRUE(std::ranges::equal(ByteSpan(patch).subspan(60, 1024), checkBlockOf(imageA)));
    Bytes image = imageA;
    std::size_t covered = 0;
    for (std::size_t at = 1084; at < patch.size();) {
        ASSERT_LE(at + 9, patch.size());
        std::uint64_t offset = 0;
        for (int i = 7; i >= 0; --i) offset = offset << 8 | patch[at + static_cast<std::size_t>(i)];
        const std::size_t length = patch[at + 8];
        ASSERT_LE(at + 9 + 2 * length, patch.size());
        ASSERT_LE(offset + length, image.size());
        for (std::size_t i = 0; i < length; ++i) {
            EXPECT_EQ(patch[at + 9 + length + i], image[offset + i]) << "undo byte at " << offset + i;
            EXPECT_NE(patch[at + 9 + i], image[offset + i]) << "unchanged byte at " << offset + i;
            image[offset + i] = patch[at + 9 + i];
        }
        covered += length;
        at += 9 + 2 * length;
    }
    EXPECT_TRUE(image == imageB);
    std::size_t differing = 0;
    for (std::size_t i = 0; i < imageA.size(); ++i) differing += imageA[i] != imageB[i];
    EXPECT_EQ(covered, differing);

    test::TempDir dirC;
    const fs::path c = test::copySampleImage(dirC);
    const ToolRun dry = tarvo({"apply", text(c), text(ppf), "--dry-run"});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_NE(dry.out.find(" -> 99\n"), std::string::npos) << dry.out;
    EXPECT_NE(dry.out.find("team name: "), std::string::npos) << dry.out;
    EXPECT_NE(dry.out.find(" bytes outside the game's data\n"), std::string::npos) << dry.out;
    EXPECT_TRUE(test::readFile(c) == imageA);
    const ToolRun apply = tarvo({"apply", text(c), text(ppf), "--no-backup"});
    EXPECT_EQ(apply.status, 0) << apply.err;
    EXPECT_EQ(apply.err.find("EDC"), std::string::npos) << apply.err;
    EXPECT_TRUE(test::readFile(c) == imageB);
    EXPECT_EQ(tarvo({"apply", text(c), text(ppf), "--undo", "--no-backup"}).status, 0);
    EXPECT_TRUE(test::readFile(c) == imageA);
}

// Records of each version, written by hand: the bytes land where they say, in the order written
// (a later record overwrites an earlier one); a 2.0 patch may end in a description file. A record
// made without the sector's codes is reported, and --fix-codes recomputes them.
TEST(CliPpf, HandWrittenPatchesOfEveryVersionApply) {
    test::TempDir dir;
    const fs::path target = test::copySampleImage(dir);
    const Bytes original = test::readFile(target);
    const auto size = static_cast<std::uint32_t>(original.size());
    constexpr std::uint64_t kAt = 40 * 2352 + 24 + 100;  // user data of image sector 40
    for (int version : {1, 2, 3}) {
        SCOPED_TRACE(version);
        test::writeFile(target, original);
        Bytes patch = ppfHeader(version, version == 1 ? ByteSpan() : checkBlockOf(original), false, size);
        putRecord(patch, version, kAt, test::bytesOf("ABCD"));
        putRecord(patch, version, kAt + 2, test::bytesOf("xy"));
        putRecord(patch, version, kAt + 9, {});
        if (version == 2) {
            const Bytes diz = test::bytesOf("@BEGIN_FILE_ID.DIZhello@END_FILE_ID.DIZ");
            patch.insert(patch.end(), diz.begin(), diz.end());
            putLE(patch, 5, 4);
        }
        test::writeFile(dir / "p.ppf", patch);
        const ToolRun r = tarvo({"apply", text(target), text(dir / "p.ppf"), "--no-backup"});
        EXPECT_EQ(r.status, 0) << r.err;
        const Bytes now = test::readFile(target);
        EXPECT_TRUE(std::ranges::equal(ByteSpan(now).subspan(kAt, 4), test::bytesOf("ABxy")));
        EXPECT_TRUE(std::ranges::equal(ByteSpan(now).first(kAt), ByteSpan(original).first(kAt)));
        EXPECT_NE(r.err.find("1 sector the patch touched carries an EDC or ECC that no longer matches"),
                  std::string::npos)
            << r.err;
    }
    EXPECT_EQ(tarvo({"apply", text(target), text(dir / "p.ppf"), "--fix-codes", "--no-backup"}).status, 0);
    EXPECT_EQ(tarvo({"verify", text(target)}).status, 0);
}

// Each refusal names its reason and leaves the image as it was.
TEST(CliPpf, RefusedPatchesChangeNothing) {
    test::TempDir dir;
    const fs::path target = test::copySampleImage(dir);
    const Bytes image = test::readFile(target);
    Bytes otherDisc(checkBlockOf(image).begin(), checkBlockOf(image).end());
    otherDisc[8] ^= 1;
    const Bytes one = test::bytesOf("Z");
    Bytes wrongDisc = ppfHeader(3, otherDisc);
    putRecord(wrongDisc, 3, 30000, one);
    Bytes wrongSize = ppfHeader(2, checkBlockOf(image), false, static_cast<std::uint32_t>(image.size() + 2352));
    putRecord(wrongSize, 2, 30000, one);
    Bytes pastEnd = ppfHeader(3, {});
    putRecord(pastEnd, 3, 30000, one);
    putRecord(pastEnd, 3, image.size() - 1, test::bytesOf("YZ"));
    Bytes cutShort = ppfHeader(1, {});
    putRecord(cutShort, 1, 30000, test::bytesOf("XYZ"));
    cutShort.pop_back();
    Bytes noUndo = ppfHeader(3, {});
    putRecord(noUndo, 3, 30000, one);
    const std::vector<std::tuple<Bytes, std::vector<std::string>, std::string>> cases{
        {wrongDisc, {}, "this patch is for another disc image"},
        {wrongSize, {}, "this patch is for an image of " + std::to_string(image.size() + 2352) + " bytes"},
        {pastEnd, {}, "record 2 (2 bytes at 0x"},
        {cutShort, {}, "it is cut short"},
        {noUndo, {"--undo"}, "carries no undo data"},
        {ppfHeader(3, {}), {text(test::copySampleExportDir(dir))}, "a PPF patches a raw disc image"},
    };
    for (const auto& [patch, extra, message] : cases) {
        SCOPED_TRACE(message);
        test::writeFile(dir / "p.ppf", patch);
        std::vector<std::string> args{"apply", text(target), text(dir / "p.ppf")};
        if (!extra.empty() && extra[0] != "--undo") args[1] = extra[0];
        else args.insert(args.end(), extra.begin(), extra.end());
        const ToolRun r = tarvo(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_TRUE(test::readFile(target) == image);
    }
}

}  // namespace
}  // namespace tarvo
