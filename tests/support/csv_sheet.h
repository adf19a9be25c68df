#pragma once
// A CSV text as rows of cells, for tests that change a cell of an export and import it back.

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "edits/csv.h"
#include "support/sample.h"

namespace tarvo::test {

using Cells = std::vector<std::string>;

// The sheet as rows of cells: the header first, then record r (team row r) as rows[r + 1].
struct Sheet {
    explicit Sheet(const std::string& text) {
        for (const CsvRecord& r : parseCsv(text).records) rows.push_back(r.fields);
    }
    std::size_t column(const std::string& name) const {
        return static_cast<std::size_t>(std::ranges::find(rows.front(), name) - rows.front().begin());
    }
    std::string& cell(int row, const std::string& name) { return rows.at(std::size_t(row) + 1).at(column(name)); }
    std::string text() const {
        std::string t;
        for (const Cells& row : rows) t += csvRecord(row);
        return t;
    }
    void write(const std::filesystem::path& file) const {
        const std::string t = text();
        writeFile(file, Bytes(t.begin(), t.end()));
    }
    std::vector<Cells> rows;
};

}  // namespace tarvo::test
