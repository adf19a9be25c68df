#pragma once
// Comma-separated values as spreadsheets write and read them (RFC 4180): fields holding a comma,
// a quote or a line break are quoted, a quote inside doubled; records end with CRLF. Reading
// takes CRLF or LF and keeps the line each record starts on, for messages.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::cli {

std::string csvRecord(const std::vector<std::string>& fields);

struct CsvRecord {
    std::size_t line;  // 1-based, where the record starts
    std::vector<std::string> fields;
};

struct CsvTable {
    std::vector<CsvRecord> records;  // the header first
    std::string error;               // why the text is not CSV, with its line; empty when it is
};

// The records of `text` (UTF-8; a leading byte order mark is skipped). Blank lines are skipped.
CsvTable parseCsv(std::string_view text);

}  // namespace tarvo::cli
