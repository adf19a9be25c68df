// The CSV codec: what a spreadsheet writes reads back as the same cells, and the line a record
// starts on is the one a person sees in an editor (a quoted line break counts).

#include "edits/csv.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

using Cells = std::vector<std::string>;

TEST(Csv, WritesAndReadsBackEveryKindOfCell) {
    const std::vector<Cells> records{{"id", "full name", "call number"},
                                     {"12", "Vais, Dukesor", ""},
                                     {"13", "say \"hi\"", "two\r\nlines"},
                                     {"14", "\xe3\x82\xbf\xe3\x83\xab\xe3\x83\x9c", "x"}};
    std::string text;
    for (const Cells& r : records) text += csvRecord(r);
    EXPECT_EQ(csvRecord(records[2]), "13,\"say \"\"hi\"\"\",\"two\r\nlines\"\r\n");
    // A first cell that opens with a byte order mark keeps it: quoted, it is no longer the file's.
    const Cells marked{"\xef\xbb\xbfid", "x"};
    EXPECT_EQ(parseCsv(csvRecord(marked)).records.at(0).fields, marked);
    const CsvTable table = parseCsv(text);
    ASSERT_EQ(table.error, "");
    ASSERT_EQ(table.records.size(), records.size());
    const std::size_t lines[] = {1, 2, 3, 5};
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(table.records[i].fields, records[i]) << i;
        EXPECT_EQ(table.records[i].line, lines[i]) << i;
    }
}

TEST(Csv, ReadsWhatOtherWritersWriteAndRefusesBrokenQuotes) {
    const struct {
        std::string text;
        std::vector<Cells> cells;
        std::string error;
    } cases[] = {
        {"\xef\xbb\xbfid,a\nb,\n", {{"id", "a"}, {"b", ""}}, ""},  // byte order mark, LF, empty last cell
        {"id\r\n\r\n3", {{"id"}, {"3"}}, ""},                      // blank line, no final line break
        {"id,\"open\nstill", {}, "line 1: a quoted field is never closed"},
        {"id\nab\"c", {}, "line 2: a quote inside a field that is not quoted"},
    };
    for (const auto& c : cases) {
        const CsvTable table = parseCsv(c.text);
        EXPECT_EQ(table.error, c.error) << c.text;
        if (!c.error.empty()) continue;
        std::vector<Cells> cells;
        for (const CsvRecord& r : table.records) cells.push_back(r.fields);
        EXPECT_EQ(cells, c.cells) << c.text;
    }
}

}  // namespace
}  // namespace tarvo
