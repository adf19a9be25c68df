// Verifying a source: a clean sample verifies clean; a broken second copy (player data, national
// squad, club name) is named by player or team row and field; a sector whose codes no longer match
// its data is named by file and sector; a left journal and a short block are reported.

#include <gtest/gtest.h>

#include <tuple>

#include "records/verify.h"
#include "support/sample.h"

namespace tarvo {
namespace {

using test::TempDir;

std::vector<std::tuple<std::string, std::string, std::string>> summary(const std::vector<VerifyFinding>& findings) {
    std::vector<std::tuple<std::string, std::string, std::string>> out;
    for (const auto& f : findings) out.emplace_back(f.kind, f.where, f.field);
    return out;
}

TEST(Verify, CleanSampleVerifiesClean) {
    for (const auto& source : {test::sampleImage(), test::sampleExportDir()}) {
        SCOPED_TRACE(source.string());
        const auto findings = verifySource(source);
        EXPECT_TRUE(findings.empty()) << (findings.empty() ? "" : findings.front().text);
    }
}

// One byte of a second copy changed in the exported files, for each value kept twice.
TEST(Verify, BrokenSecondCopyInExportedFiles) {
    struct Case {
        std::string file;
        std::size_t offset;
        std::string where, field;
    };
    const std::vector<Case> cases{
        {"select.ovl", 303471 + 31 * 9, "player 10", "full name"},
        {"select.ovl", 373216 + 16 * 2196 + 15, "player 2197", "back name"},
        {"select.ovl", 409202 + 2 * 99 + 1, "player 100", "call number"},
        {"QXRT_418.27", 2041052 + 44 * 499 + 43, "player 500", "record"},
        {"QXRT_418.27", 2146864 + 80 * 64 + 2 * 22, "team row 64 (65.Classic Argentina) slot 22", "id"},
        {"parameter.ovl", 221552 + 148 * (104 - 65) + 65 + 20, "team row 104 (105.Boca Juniors)", "club name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where + " " + c.field);
        TempDir dir;
        const auto exported = test::copySampleExportDir(dir);
        Bytes bytes = test::readFile(exported / c.file);
        bytes[c.offset] ^= 0x5A;
        test::writeFile(exported / c.file, bytes);
        const auto findings = verifySource(exported);
        ASSERT_EQ(findings.size(), 1u);
        EXPECT_EQ(summary(findings).front(), std::tuple("mirror", c.where, c.field));
        EXPECT_NE(findings.front().text.find(c.where), std::string::npos);
    }
}

// In an image: a player record's second copy and a national squad's copy changed through a
// write-back (so their sectors carry valid codes), and a byte of a sector's user data changed in the
// image file without new codes.
TEST(Verify, ImageWithBrokenMirrorsAndADamagedSector) {
    TempDir dir;
    const auto image = test::copySampleImage(dir);
    std::uint64_t damagedAt = 0;
    {
        MessageLog log;
        DataStore store(log);
        ASSERT_TRUE(store.LoadFromImage(image));
        store.setBackups(false);
        store.blocks().boot[2041052 + 44 * 1233 + 7] ^= 0x01;   // player 1234's record copy
        store.blocks().boot[2146864 + 80 * 3 + 2 * 4] ^= 0x01;  // row 3's squad copy, slot 4
        ASSERT_TRUE(store.SaveToImage());
        // Parameter data byte 100 (no value kept twice lies there): user data byte 100 of the
        // entry's first sector.
        const std::uint64_t sector = store.archiveFile().startSector() + store.archive().GetOffset(16253) / 2048;
        damagedAt = sector * 2352 + 24 + 100;
    }
    Bytes raw = test::readFile(image);
    raw[damagedAt] ^= 0x10;
    test::writeFile(image, raw);
    const auto findings = verifySource(image);
    const std::vector<std::tuple<std::string, std::string, std::string>> expected{
        {"mirror", "player 1234", "record"},
        {"mirror", "team row 3 (4.Wales) slot 4", "id"},
        {"sector", "parameter.ovl sector 0", "EDC and ECC"},
    };
    EXPECT_EQ(summary(findings), expected);
}

TEST(Verify, LeftJournalAndShortBlock) {
    TempDir dir;
    const auto image = test::copySampleImage(dir);
    const auto journal = std::filesystem::path(image) += ".tarvo-journal";
    test::writeFile(journal, Bytes{'T', 'A', 'R'});  // cut short in its first bytes
    auto findings = verifySource(image);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings.front().kind + " " + findings.front().field, "journal interrupted");
    EXPECT_NE(findings.front().text.find(journal.string()), std::string::npos);

    const auto exported = test::copySampleExportDir(dir);
    Bytes select = test::readFile(exported / "select.ovl");
    select.resize(413596 - 1);  // one byte short of the end of the call number copies
    test::writeFile(exported / "select.ovl", select);
    findings = verifySource(exported);
    ASSERT_FALSE(findings.empty());
    EXPECT_EQ(findings.front().kind, "load");
    EXPECT_NE(findings.front().text.find("select.ovl holds 413595 bytes"), std::string::npos);
}

}  // namespace
}  // namespace tarvo
