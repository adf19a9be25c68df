#include "edits/csv.h"

#include <algorithm>

namespace tarvo {

namespace {
constexpr std::string_view kByteOrderMark = "\xef\xbb\xbf";
}  // namespace

std::string csvRecord(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += ',';
        const std::string& field = fields[i];
        // A byte order mark opening the text would be taken for the encoding's and dropped.
        if (field.find_first_of(",\"\r\n") == std::string::npos && !field.starts_with(kByteOrderMark)) {
            line += field;
            continue;
        }
        line += '"';
        for (const char c : field) {
            if (c == '"') line += '"';
            line += c;
        }
        line += '"';
    }
    return line + "\r\n";
}

CsvReader::CsvReader(std::string_view text) : m_text(text) {
    if (m_text.starts_with(kByteOrderMark)) m_text.remove_prefix(kByteOrderMark.size());
}

std::optional<CsvRecord> CsvReader::fail(std::size_t line, const std::string& reason) {
    m_error = "line " + std::to_string(line) + ": " + reason;
    m_at = m_text.size();
    return std::nullopt;
}

std::optional<CsvRecord> CsvReader::next() {
    const std::string_view text = m_text;
    while (m_at < text.size()) {
        CsvRecord record{m_line, {}};
        const std::size_t start = m_at;
        // Every cell below ends at a limit of the record, so no scan runs past it.
        const std::size_t limit = std::min(text.size(), start + kMaxCsvRecordBytes);
        const auto tooLong = [&] {
            return fail(record.line, "the record is longer than " + std::to_string(kMaxCsvRecordBytes) + " bytes");
        };
        std::string field;
        std::size_t& at = m_at;
        for (bool ended = false; !ended;) {
            if (at < limit && text[at] == '"') {
                const std::size_t opened = m_line;
                for (++at;; ++at) {
                    if (at >= limit) {
                        if (limit < text.size()) return tooLong();
                        return fail(opened, "a quoted field is never closed");
                    }
                    if (text[at] == '"') {
                        if (at + 1 < text.size() && text[at + 1] == '"') {
                            field += '"';
                            ++at;
                            continue;
                        }
                        ++at;
                        break;
                    }
                    if (text[at] == '\n') ++m_line;
                    field += text[at];
                }
            }
            while (at < limit && text[at] != ',' && text[at] != '\n' && text[at] != '\r') {
                if (text[at] == '"') return fail(m_line, "a quote inside a field that is not quoted");
                field += text[at++];
            }
            if (at >= limit && limit < text.size()) return tooLong();
            record.fields.push_back(std::move(field));
            field.clear();
            if (at < text.size() && text[at] == ',') {
                ++at;
                continue;
            }
            if (at < text.size() && text[at] == '\r') ++at;
            if (at < text.size() && text[at] == '\n') ++at;
            ++m_line;
            ended = true;
        }
        const bool blank = record.fields.size() == 1 && record.fields.front().empty();
        if (!blank) return record;
    }
    return std::nullopt;
}

CsvTable parseCsv(std::string_view text) {
    CsvTable table;
    CsvReader reader(text);
    while (auto record = reader.next()) table.records.push_back(std::move(*record));
    table.error = reader.error();
    return table;
}

}  // namespace tarvo
