// The CSV reader and the spreadsheet import. Any text parses without reading past its end; cells
// written by csvRecord read back as the same cells, and so do the records of any text that
// parses. Imported into the sample's blocks, a text is refused and leaves them byte for byte as
// they were, or changes only bytes of the players and team rows its changes name, with every
// second copy equal to its primary.

#include <algorithm>

#include "edits/csv.h"
#include "edits/csv_import.h"
#include "fuzz_support.h"
#include "records/team.h"
#include "sample/sample_disc.h"

namespace {

using namespace tarvo;

struct Region {
    int block;  // 0 boot, 1 parameter, 2 select
    std::size_t begin, end;
};

struct SampleBlocks {
    std::vector<Bytes> data;
    GameBlocks view() { return {data[0], data[1], data[2]}; }
};

// Where the bytes of player `id` lie, the primary and then the second copy of each value.
std::vector<Region> playerRegions(std::uint32_t id) {
    using namespace blockmap;
    const std::size_t k = id - 1u;
    return {{1, kFullNameOffset + kFullNameSize * k, kFullNameOffset + kFullNameSize * (k + 1)},
            {2, kFullNameCopyOffset + kFullNameSize * k, kFullNameCopyOffset + kFullNameSize * (k + 1)},
            {1, kBackNameOffset + kBackNameSize * k, kBackNameOffset + kBackNameSize * (k + 1)},
            {2, kBackNameCopyOffset + kBackNameSize * k, kBackNameCopyOffset + kBackNameSize * (k + 1)},
            {1, kCallNumberOffset + kCallNumberSize * k, kCallNumberOffset + kCallNumberSize * (k + 1)},
            {2, kCallNumberCopyOffset + kCallNumberSize * k, kCallNumberCopyOffset + kCallNumberSize * (k + 1)},
            {1, kRecordOffset + kRecordSize * k, kRecordOffset + kRecordSize * (k + 1)},
            {0, kRecordCopyOffset + kRecordSize * k, kRecordCopyOffset + kRecordSize * (k + 1)}};
}

Region regionOf(SampleBlocks& blocks, MutableByteSpan span) {
    for (int b = 0; b < 3; ++b) {
        const Bytes& block = blocks.data[static_cast<std::size_t>(b)];
        if (span.data() >= block.data() && span.data() < block.data() + block.size()) {
            const auto begin = static_cast<std::size_t>(span.data() - block.data());
            return {b, begin, begin + span.size()};
        }
    }
    FUZZ_CHECK(false);
    return {};
}

// Every value of team row `row` a spreadsheet may change, primary and copy in turn (an empty
// copy where there is none).
std::vector<std::pair<Region, Region>> teamRegions(SampleBlocks& blocks, int row) {
    std::vector<std::pair<Region, Region>> regions;
    for (std::size_t i = 0; i < kTeamFields.size(); ++i) {
        const auto field = static_cast<TeamFieldId>(i);
        if (field == TeamFieldId::Formation) continue;
        const int slots = kTeamFields[i].perSlot ? squadSize(row) : 1;
        for (int slot = 0; slot < slots; ++slot) {
            const MutableByteSpan primary = teamFieldSlot(blocks.view(), field, row, slot);
            const MutableByteSpan copy = teamFieldCopySlot(blocks.view(), field, row, slot);
            if (primary.empty()) continue;
            regions.push_back({regionOf(blocks, primary), copy.empty() ? Region{} : regionOf(blocks, copy)});
        }
    }
    return regions;
}

bool sameBytes(const SampleBlocks& blocks, const Region& a, const Region& b) {
    const Bytes& x = blocks.data[static_cast<std::size_t>(a.block)];
    const Bytes& y = blocks.data[static_cast<std::size_t>(b.block)];
    return a.end - a.begin == b.end - b.begin &&
           std::equal(x.begin() + long(a.begin), x.begin() + long(a.end), y.begin() + long(b.begin));
}

void checkRoundTrip(std::string_view text) {
    const CsvTable table = parseCsv(text);
    if (!table.error.empty()) return;
    std::string written;
    for (const CsvRecord& record : table.records) written += csvRecord(record.fields);
    const CsvTable back = parseCsv(written);
    FUZZ_CHECK(back.error.empty());
    FUZZ_CHECK(back.records.size() == table.records.size());
    for (std::size_t i = 0; i < back.records.size(); ++i) FUZZ_CHECK(back.records[i].fields == table.records[i].fields);
}

// The input cut at NUL bytes into cells, written as one record and read back.
void checkRecord(std::string_view text) {
    std::vector<std::string> cells{""};
    for (const char c : text) {
        if (c == '\0') cells.emplace_back();
        else cells.back() += c;
    }
    const std::string written = csvRecord(cells);
    if (written.size() > kMaxCsvRecordBytes) return;  // refused by its length
    const CsvTable table = parseCsv(written);
    FUZZ_CHECK(table.error.empty());
    if (cells.size() == 1 && cells[0].empty()) {  // a blank line, which a reader skips
        FUZZ_CHECK(table.records.empty());
        return;
    }
    FUZZ_CHECK(table.records.size() == 1 && table.records[0].fields == cells);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkRoundTrip(text);
    checkRecord(text);

    static const SampleBlocks original = [] {
        auto sample = sample::makeSampleBlocks();
        return SampleBlocks{{std::move(sample.boot), std::move(sample.parameter), std::move(sample.select)}};
    }();
    static SampleBlocks blocks{{Bytes(), Bytes(), Bytes()}};  // reused: see fuzz::Blocks
    for (std::size_t b = 0; b < 3; ++b) assignBytes(blocks.data[b], original.data[b]);
    const CsvImport result = importCsv(blocks.view(), text);
    if (result.refusal) {
        FUZZ_CHECK(result.changes.empty());
        FUZZ_CHECK(blocks.data == original.data);
        return 0;
    }
    std::vector<Region> allowed;
    for (const CsvChange& change : result.changes) {
        const auto space = change.record.find(' ');
        const std::string kind = change.record.substr(0, space);
        const int number = std::stoi(change.record.substr(space + 1));
        if (kind == "player") {
            const auto regions = playerRegions(static_cast<std::uint32_t>(number));
            allowed.insert(allowed.end(), regions.begin(), regions.end());
            for (std::size_t i = 0; i < regions.size(); i += 2)
                FUZZ_CHECK(sameBytes(blocks, regions[i], regions[i + 1]));
        } else {
            FUZZ_CHECK(kind == "team");
            for (const auto& [primary, copy] : teamRegions(blocks, number)) {
                allowed.push_back(primary);
                if (copy.end == 0) continue;
                allowed.push_back(copy);
                FUZZ_CHECK(sameBytes(blocks, primary, copy));
            }
        }
    }
    for (int b = 0; b < 3; ++b) {
        const Bytes& now = blocks.data[static_cast<std::size_t>(b)];
        const Bytes& was = original.data[static_cast<std::size_t>(b)];
        FUZZ_CHECK(now.size() == was.size());
        for (auto at = std::ranges::mismatch(now, was).in1; at != now.end();
             at = std::mismatch(at + 1, now.end(), was.begin() + (at + 1 - now.begin())).first) {
            const auto offset = static_cast<std::size_t>(at - now.begin());
            FUZZ_CHECK(std::ranges::any_of(
                allowed, [&](const Region& r) { return r.block == b && offset >= r.begin && offset < r.end; }));
        }
    }
    return 0;
}
