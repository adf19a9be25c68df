#pragma once
// Comma-separated values as spreadsheets write and read them (RFC 4180): fields holding a comma,
// a quote or a line break are quoted, a quote inside doubled; records end with CRLF. Reading
// takes CRLF or LF and keeps the line each record starts on, for messages. Records are read one at
// a time, each at most kMaxCsvRecordBytes, so that a hostile file costs no more memory than a line.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

std::string csvRecord(const std::vector<std::string>& fields);

struct CsvRecord {
    std::size_t line;  // 1-based, where the record starts
    std::vector<std::string> fields;
};

// The most bytes of one record (a quoted cell may carry line breaks; the record counts them all).
inline constexpr std::size_t kMaxCsvRecordBytes = 64u << 10;

// Reads the records of `text` (UTF-8; a leading byte order mark is skipped) one by one; blank
// lines are skipped. `text` must outlive the reader.
class CsvReader {
public:
    explicit CsvReader(std::string_view text);
    // The next record; nullopt at the end or when the text is not CSV (error() then says why).
    std::optional<CsvRecord> next();
    // Why the text is not CSV, with its line; empty while it is.
    const std::string& error() const { return m_error; }

private:
    std::optional<CsvRecord> fail(std::size_t line, const std::string& reason);

    std::string_view m_text;
    std::size_t m_at = 0, m_line = 1;
    std::string m_error;
};

struct CsvTable {
    std::vector<CsvRecord> records;  // the header first
    std::string error;               // why the text is not CSV, with its line; empty when it is
};

// All records of `text`, as CsvReader reads them.
CsvTable parseCsv(std::string_view text);

}  // namespace tarvo
