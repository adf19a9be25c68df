// The spreadsheet import through the tool: the unchanged export imports without changing a byte,
// a dry run prints the change and writes nothing, a refusal is one line naming the line and column.

#include <gtest/gtest.h>

#include <algorithm>

#include "store/file_io.h"
#include "support/csv_sheet.h"
#include "support/platform.h"
#include "support/sample.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using test::Sheet;

// On the image and on the exported files.
TEST(TeamCsv, ThroughTheTool) {
    for (const bool image : {true, false}) {
        SCOPED_TRACE(image ? "image" : "directory");
        test::TempDir dir;
        const fs::path source = image ? test::copySampleImage(dir) : test::copySampleExportDir(dir);
        const auto checksums = [&] { return test::sourceChecksums(source); };
        const auto run = [&](std::vector<std::string> args) {
            args.insert(args.begin() + 1, utf8Path(source));
            const test::ProgramRun r = test::runCaptured(TARVO_CLI_PATH, args);
            return std::tuple{r.status, r.out, r.err};
        };
        const auto before = checksums();
        const std::string file = utf8Path(dir / "teams.csv");
        ASSERT_EQ(std::get<0>(run({"teams", "--csv", file})), 0);
        const auto [toStdout, text, unused] = run({"teams", "--csv"});
        const Bytes written = test::readFile(dir / "teams.csv");
        EXPECT_EQ(text, std::string(written.begin(), written.end()));
        const auto [unchanged, out, err] = run({"import-csv", file});
        EXPECT_EQ(unchanged, 0) << err;
        EXPECT_EQ(checksums(), before);

        Sheet sheet(text);
        const std::string old = sheet.cell(7, "offense");
        sheet.cell(7, "offense") = old == "12" ? "13" : "12";
        sheet.write(dir / "one.csv");
        const auto [dryStatus, dryOut, dryErr] = run({"import-csv", utf8Path(dir / "one.csv"), "--dry-run"});
        EXPECT_EQ(dryStatus, 0) << dryErr;
        EXPECT_EQ(dryOut, "team 8.France offense: " + old + " -> " + sheet.cell(7, "offense") + "\n");
        EXPECT_EQ(checksums(), before);

        sheet.cell(3, "club name") = "Club";
        sheet.write(dir / "bad.csv");
        const auto [badStatus, badOut, badErr] = run({"import-csv", utf8Path(dir / "bad.csv")});
        EXPECT_EQ(badStatus, 1);
        EXPECT_NE(badErr.find("line 5, column 3 (\"club name\"): only clubs"), std::string::npos) << badErr;
        EXPECT_EQ(std::count(badErr.begin(), badErr.end(), '\n'), 1) << badErr;
        EXPECT_EQ(checksums(), before);

        EXPECT_EQ(std::get<0>(run({"import-csv", utf8Path(dir / "one.csv")})), 0);
        EXPECT_NE(checksums(), before);
        const auto [again, after, unused2] = run({"teams", "--csv"});
        EXPECT_EQ(Sheet(after).cell(7, "offense"), sheet.cell(7, "offense"));
    }
}

}  // namespace
}  // namespace tarvo
