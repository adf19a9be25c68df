// The team rows as a spreadsheet: exported and imported unchanged they change no byte; one changed
// cell changes exactly that value where the game keeps it (both copies where there are two); one
// bad cell anywhere refuses the whole file with its line and column; a dry run writes nothing.

#include <gtest/gtest.h>

#include <algorithm>

#include "edits/csv_import.h"
#include "sample/sample_disc.h"
#include "store/file_io.h"
#include "support/csv_sheet.h"
#include "support/platform.h"
#include "support/sample.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using test::Cells;
using test::Sheet;

struct SampleBlocks {
    sample::SampleBlocks data = sample::makeSampleBlocks();
    GameBlocks view() { return {data.boot, data.parameter, data.select}; }
};

// "boot 123" for every byte that differs.
std::vector<std::string> changedBytes(const sample::SampleBlocks& a, const sample::SampleBlocks& b) {
    std::vector<std::string> changed;
    for (const auto& [name, x, y] : {std::tuple{"boot", &a.boot, &b.boot},
                                     {"parameter", &a.parameter, &b.parameter},
                                     {"select", &a.select, &b.select}})
        for (std::size_t i = 0; i < x->size(); ++i)
            if ((*x)[i] != (*y)[i]) changed.push_back(std::string(name) + " " + std::to_string(i));
    return changed;
}

std::vector<std::string> byteRange(const std::string& block, std::size_t from, std::size_t count) {
    std::vector<std::string> names;
    for (std::size_t i = from; i < from + count; ++i) names.push_back(block + " " + std::to_string(i));
    return names;
}

TEST(TeamCsv, ColumnsAndTheCellsOfValuesARowDoesNotHold) {
    SampleBlocks sample;
    Sheet sheet(teamsCsv(sample.view()));
    ASSERT_EQ(sheet.rows.size(), 107u);
    Cells header{"row",       "team name",    "club name",   "short name",   "offense",
                 "defense",   "teamwork",     "speed",       "technique",    "short kick",
                 "long kick", "right corner", "left corner", "penalty kick", "captain"};
    for (int slot = 1; slot <= 40; ++slot)  // slots named from 1, as the squad list numbers them
        for (const char* value : {" id", " shirt"}) header.push_back("slot " + std::to_string(slot) + value);
    EXPECT_EQ(sheet.rows.front(), header);
    const struct {
        int row;
        std::string column;
        bool empty;
    } cases[] = {
        {3, "club name", true},        {65, "club name", false}, {104, "club name", false},   {105, "club name", true},
        {105, "offense", true},        {105, "technique", true}, {104, "technique", false},   {105, "captain", false},
        {64, "slot 23 id", false},     {64, "slot 24 id", true}, {64, "slot 40 shirt", true}, {65, "slot 40 id", false},
        {105, "slot 40 shirt", false},
    };
    for (const auto& c : cases) EXPECT_EQ(sheet.cell(c.row, c.column).empty(), c.empty) << c.row << " " << c.column;
    for (int row = 0; row < 106; ++row) EXPECT_EQ(sheet.cell(row, "row"), std::to_string(row));
}

// Each changed cell lands on the bytes the game keeps it in, and on nothing else; exported again,
// the sheet differs in that cell alone. Its preview lists the same change and stores nothing.
TEST(TeamCsv, OneChangedCellChangesExactlyThatValue) {
    using Places = std::vector<std::string>;
    const struct {
        int row;
        std::string column, value;
        Places where;  // the bytes that may change
    } cases[] = {
        // Tactics: boot 2140944 + 5 r + k, stored 5 x shown.
        {7, "offense", "", byteRange("boot", 2140944 + 5 * 7, 1)},
        {104, "technique", "", byteRange("boot", 2140944 + 5 * 104 + 4, 1)},
        // Set pieces: boot 2141472 + 6 r + k, an index 0 to 10.
        {105, "captain", "", byteRange("boot", 2141472 + 6 * 105 + 5, 1)},
        // A national squad slot s (named s + 1): parameter 214624 + 46 r + 2 s and its copy boot
        // 2146864 + 80 r + 2 s.
        {3, "slot 6 id", "",
         [] {
             Places b = byteRange("boot", 2146864 + 80 * 3 + 10, 2);
             for (const auto& p : byteRange("parameter", 214624 + 46 * 3 + 10, 2)) b.push_back(p);
             return b;
         }()},
        // A club slot: parameter 218032 + 80 (r - 65) + 2 s only.
        {70, "slot 31 id", "", byteRange("parameter", 218032 + 80 * 5 + 60, 2)},
        // Shirts: parameter 211152 + 23 r + s (national), 212864 + 40 (r - 65) + s (clubs), stored shown - 1.
        {64, "slot 23 shirt", "", byteRange("parameter", 211152 + 23 * 64 + 22, 1)},
        {105, "slot 40 shirt", "", byteRange("parameter", 212864 + 40 * 40 + 39, 1)},
        // Club name: parameter 221552 + 148 (r - 65), 21 bytes, and its copy 65 bytes on.
        {104, "club name", "NEW CLUB",
         [] {
             Places b = byteRange("parameter", 227324, 21);
             for (const auto& p : byteRange("parameter", 227389, 21)) b.push_back(p);
             return b;
         }()},
        // Short name: boot 2500060 + 4 r.
        {12, "short name", "QRZ", byteRange("boot", 2500060 + 4 * 12, 4)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.row) + " " + c.column);
        SampleBlocks sample;
        const sample::SampleBlocks before = sample.data;
        const Sheet exported(teamsCsv(sample.view()));
        Sheet sheet = exported;
        std::string& cell = sheet.cell(c.row, c.column);
        const std::string old = cell;
        // Numbers: a neighbour of the present value within every range (IDs, shirts, tactics, set pieces).
        std::string value = c.value;
        if (value.empty()) value = std::to_string(std::stoi(old) == 5 ? 6 : 5);
        cell = value;
        // The preview says the same and changes nothing.
        const CsvPreview preview = previewCsv(sample.view(), sheet.text());
        EXPECT_EQ(changedBytes(before, sample.data), std::vector<std::string>{});
        const CsvImport result = importCsv(sample.view(), sheet.text());
        ASSERT_FALSE(result.refusal) << refusalText(*result.refusal);
        ASSERT_EQ(result.changes.size(), 1u);
        ASSERT_EQ(preview.changes.size(), 1u);
        EXPECT_EQ(preview.changes[0].subject, c.row);
        EXPECT_EQ(preview.changes[0].field, c.column);
        const CsvChange& change = result.changes[0];
        EXPECT_EQ(change.record + " " + change.column + ": " + change.before + " -> " + change.after,
                  "team " + std::to_string(c.row) + " " + c.column + ": " + old + " -> " + value);
        const std::vector<std::string> changed = changedBytes(before, sample.data);
        EXPECT_FALSE(changed.empty());
        for (const std::string& at : changed) EXPECT_NE(std::ranges::find(c.where, at), c.where.end()) << at;
        EXPECT_EQ(Sheet(teamsCsv(sample.view())).rows, sheet.rows);
    }
}

// The stored codes of a changed value, and both copies kept equal.
TEST(TeamCsv, StoresTheGamesCodes) {
    SampleBlocks sample;
    Sheet sheet(teamsCsv(sample.view()));
    sheet.cell(7, "offense") = "19";
    sheet.cell(64, "slot 23 shirt") = "99";
    sheet.cell(64, "slot 23 id") = "2197";
    sheet.cell(104, "club name") = "Boca";
    const CsvImport result = importCsv(sample.view(), sheet.text());
    ASSERT_FALSE(result.refusal) << refusalText(*result.refusal);
    const auto& boot = sample.data.boot;
    const auto& parameter = sample.data.parameter;
    EXPECT_EQ(boot[2140944 + 5 * 7], 95);
    EXPECT_EQ(parameter[211152 + 23 * 64 + 22], 98);
    EXPECT_EQ(readU16LE(parameter, 214624 + 46 * 64 + 44), 2197);
    EXPECT_EQ(readU16LE(boot, 2146864 + 80 * 64 + 44), 2197);
    for (const std::size_t at : {227324u, 227389u}) {
        SCOPED_TRACE(at);
        EXPECT_EQ(std::string(parameter.begin() + long(at), parameter.begin() + long(at) + 5),
                  std::string("Boca\0", 5));
        EXPECT_TRUE(std::all_of(parameter.begin() + long(at) + 5, parameter.begin() + long(at) + 21,
                                [](std::uint8_t b) { return b == 0; }));
    }
}

// One bad cell, with good changes on other lines, refuses the whole file: its line and column, and
// not one byte changed.
TEST(TeamCsv, ABadCellRefusesTheWholeFile) {
    SampleBlocks sample;
    const Sheet exported(teamsCsv(sample.view()));
    const std::size_t offense = 5, clubName = 3, teamName = 2;  // columns from 1, as a spreadsheet counts
    const struct {
        std::string name;
        std::function<void(Sheet&)> edit;
        std::size_t line, column;
        std::string reason;
    } cases[] = {
        {"tactics above 19", [](Sheet& s) { s.cell(7, "offense") = "20"; }, 9, offense, "offense should be 4 to 19"},
        {"tactics no number", [](Sheet& s) { s.cell(7, "offense") = "x"; }, 9, offense, "offense should be 4 to 19"},
        {"tactics of row 105", [](Sheet& s) { s.cell(105, "offense") = "10"; }, 107, offense, "row 105 has no tactics"},
        {"name of row 105", [](Sheet& s) { s.cell(105, "team name") = "X"; }, 107, teamName,
         "the names of row 105 are not edited"},
        {"club name of a national row", [](Sheet& s) { s.cell(3, "club name") = "Club"; }, 5, clubName,
         "only clubs (rows 65 to 104) have a club name"},
        {"club name too long", [](Sheet& s) { s.cell(70, "club name") = std::string(21, 'A'); }, 72, clubName,
         "club name takes at most 20 bytes"},
        {"national slot empty", [](Sheet& s) { s.cell(0, "slot 1 id") = "0"; }, 2, 16, "ID should be 1--2197"},
        {"club slot 24 past the last player", [](Sheet& s) { s.cell(70, "slot 24 id") = "2198"; }, 72, 62,
         "ID should be 0--2197"},
        {"slot past a national squad", [](Sheet& s) { s.cell(3, "slot 24 id") = "5"; }, 5, 62,
         "row 3 has slots 1 to 23"},
        {"shirt 0", [](Sheet& s) { s.cell(70, "slot 2 shirt") = "0"; }, 72, 19, "shirt numbers are 1 to 99"},
        {"set piece 11", [](Sheet& s) { s.cell(1, "captain") = "11"; }, 3, 15, "captain should be 0 to 10"},
        {"row 106", [](Sheet& s) { s.cell(105, "row") = "106"; }, 107, 1, "row should be 0 to 105"},
        {"unknown column", [](Sheet& s) { s.rows[0][4] = "formation"; }, 1, 5, "\"formation\" is not a team column"},
        {"column twice", [](Sheet& s) { s.rows[0][6] = "offense"; }, 1, 7, "\"offense\" is there twice"},
        {"a cell short", [](Sheet& s) { s.rows[40].pop_back(); }, 41, 0, "94 cells where the header has 95"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Sheet sheet = exported;
        sheet.cell(50, "speed") = sheet.cell(50, "speed") == "10" ? "11" : "10";  // a good change first
        c.edit(sheet);
        const sample::SampleBlocks before = sample.data;
        const CsvImport result = importCsv(sample.view(), sheet.text());
        ASSERT_TRUE(result.refusal);
        EXPECT_EQ(result.refusal->line, c.line);
        EXPECT_EQ(result.refusal->column, c.column);
        EXPECT_NE(result.refusal->reason.find(c.reason), std::string::npos) << result.refusal->reason;
        EXPECT_TRUE(result.changes.empty());
        EXPECT_EQ(changedBytes(before, sample.data), std::vector<std::string>{});
    }
}

// Any subset of the columns, "row" required; a file of neither kind is refused as a whole.
TEST(TeamCsv, TakesAnySubsetOfColumns) {
    SampleBlocks sample;
    const auto before = sample.data;
    const struct {
        std::string text;
        std::string refusal;  // empty: applied
        std::size_t changes;
    } cases[] = {
        {"row,captain\r\n3,4\r\n", "", 1},
        {"captain,row\n4,3\n0,0\n", "", 2},
        {"row\n3\n", "", 0},
        {"captain\n4\n", "line 1: the header row has neither an \"id\" column (players) nor a \"row\" column", 0},
        {"row,\"open\n", "line 1: a quoted field is never closed", 0},
        {"", "there is no header row", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        sample.data = before;
        // Make sure each listed change is one: row 3's captain 4 and row 0's captain 0 differ from now.
        sample.data.boot[2141472 + 6 * 3 + 5] = 1;
        sample.data.boot[2141472 + 6 * 0 + 5] = 1;
        const CsvImport result = importCsv(sample.view(), c.text);
        EXPECT_EQ(result.refusal ? refusalText(*result.refusal).substr(0, c.refusal.size()) : "", c.refusal);
        EXPECT_EQ(result.changes.size(), c.changes);
    }
}

}  // namespace
}  // namespace tarvo
