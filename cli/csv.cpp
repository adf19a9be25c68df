#include "csv.h"

namespace tarvo::cli {

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

CsvTable parseCsv(std::string_view text) {
    CsvTable table;
    if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
    std::size_t line = 1, at = 0;
    while (at < text.size()) {
        CsvRecord record{line, {}};
        std::string field;
        bool ended = false;
        while (!ended) {
            if (at < text.size() && text[at] == '"') {
                const std::size_t opened = line;
                for (++at;; ++at) {
                    if (at >= text.size()) {
                        table.error = "line " + std::to_string(opened) + ": a quoted field is never closed";
                        return table;
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
                    if (text[at] == '\n') ++line;
                    field += text[at];
                }
            }
            while (at < text.size() && text[at] != ',' && text[at] != '\n' && text[at] != '\r') {
                if (text[at] == '"') {
                    table.error = "line " + std::to_string(line) + ": a quote inside a field that is not quoted";
                    return table;
                }
                field += text[at++];
            }
            record.fields.push_back(std::move(field));
            field.clear();
            if (at < text.size() && text[at] == ',') {
                ++at;
                continue;
            }
            if (at < text.size() && text[at] == '\r') ++at;
            if (at < text.size() && text[at] == '\n') ++at;
            ++line;
            ended = true;
        }
        const bool blank = record.fields.size() == 1 && record.fields.front().empty();
        if (!blank) table.records.push_back(std::move(record));
    }
    return table;
}

}  // namespace tarvo::cli
