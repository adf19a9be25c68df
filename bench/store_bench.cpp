// Loading the three blocks from the sample image and writing them back, on a private copy.

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "player/universal_edit.h"
#include "records/player.h"
#include "store/block_map.h"
#include "store/cd_sector.h"
#include "store/data_store.h"
#include "store/file_platform.h"
#include "store/sha256.h"

namespace tarvo::bench {
namespace {

namespace fs = std::filesystem;

// A copy of the sample image (or of the exported folder) that the benchmark may write.
class PrivateCopy {
public:
    explicit PrivateCopy(const fs::path& source) {
        m_dir = fs::temp_directory_path() / ("tarvo-bench-copy-" + std::to_string(std::random_device{}()));
        fs::create_directories(m_dir);
        m_path = m_dir / source.filename();
        fs::copy(source, m_path, fs::copy_options::recursive);
        // On the disk before timing starts: the first write-back's flush would write it all.
        for (const auto& file : fs::recursive_directory_iterator(m_dir))
            if (file.is_regular_file())
                if (std::FILE* f = platform::openFile(file.path(), "r+b")) {
                    platform::syncFile(f);
                    std::fclose(f);
                }
    }
    ~PrivateCopy() {
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_dir;
    fs::path m_path;
};

// Loads the copy; a benchmark that cannot is skipped with the reason.
bool loaded(benchmark::State& state, DataStore& store, const PrivateCopy& image) {
    if (store.LoadFromImage(image.path())) return true;
    state.SkipWithError("the sample image does not load");
    return false;
}

void LoadFromImage(benchmark::State& state) {
    const PrivateCopy image(benchSampleDir() / "sample.bin");
    MessageLog log;
    for (auto _ : state) {
        DataStore store(log);
        if (!store.LoadFromImage(image.path())) state.SkipWithError("the sample image does not load");
        benchmark::DoNotOptimize(store.boot().data());
    }
}
BENCHMARK(LoadFromImage)->Unit(benchmark::kMillisecond);

// The byte ranges of the tables the editor writes, by block (0 boot file, 1 parameter data,
// 2 select data): the primary copies and the second copies of every player and team table. A
// write-back after every value the editor shows has changed writes the sectors of these.
struct TableRange {
    int block;
    std::size_t begin, end;
};
constexpr TableRange kTables[] = {
    {1, blockmap::kFullNameOffset, blockmap::kMinParameterSize},
    {2, blockmap::kFullNameCopyOffset, blockmap::kMinSelectSize},
    {0, blockmap::kRecordCopyOffset, blockmap::kRecordCopyOffset + blockmap::kPlayerCount* blockmap::kRecordSize},
    {0, blockmap::kTacticsOffset,
     blockmap::kNationalSquadCopyOffset + blockmap::kNationalRows* blockmap::kNationalSquadCopyStride},
    {0, blockmap::kPresetRolesOffset,
     blockmap::kPresetPositionsOffset + blockmap::kPresetCount* blockmap::kPresetPositionsStride},
    {0, blockmap::kFormationsOffset, blockmap::kMinBootSize},
};

// Sectors the tables' bytes lie in (a table may share a sector with the next).
std::size_t tableSectors() {
    std::size_t sectors = 0;
    for (const TableRange& table : kTables)
        sectors += (table.end - 1) / kUserDataSize - table.begin / kUserDataSize + 1;
    return sectors;
}

// Argument: 0 = no edit, 1 = one byte changed in each block, 2 = a universal edit (one ability of
// every player), 3 = every byte of every table changed (every value the editor can change),
// 4 = every byte of the three files changed (no edit can do that: the boot file is mostly the
// game's program). The edit is not timed. The first write-back of a source also backs it up;
// that one is made before timing starts.
void WriteBack(benchmark::State& state) {
    const PrivateCopy image(benchSampleDir() / "sample.bin");
    MessageLog log;
    DataStore store(log);
    if (!loaded(state, store, image)) return;
    const GameBlocks blocks = store.blocks();
    const MutableByteSpan byNumber[] = {blocks.boot, blocks.parameter, blocks.select};
    blocks.parameter[0] ^= 1;
    if (!store.WriteBack()) state.SkipWithError("write-back failed");
    Player player;
    int edits = 0;
    for (auto _ : state) {
        state.PauseTiming();
        switch (state.range(0)) {
        case 1:
            for (MutableByteSpan block : byNumber) block[block.size() / 2] ^= 1;
            break;
        case 2: universalEdit(blocks, player, 4, UniversalMethod::Add, (++edits % 2) ? 1 : -1); break;
        case 3:
            for (const TableRange& table : kTables)
                for (auto& b : byNumber[table.block].subspan(table.begin, table.end - table.begin)) b ^= 0xFF;
            break;
        case 4:
            for (MutableByteSpan block : byNumber)
                for (auto& b : block) b ^= 0xFF;
            break;
        }
        state.ResumeTiming();
        if (!store.WriteBack()) state.SkipWithError("write-back failed");
        log.messages.clear();
    }
}
BENCHMARK(WriteBack)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

// The yardstick for the two above: the same file operations done plainly, with no checks, no
// sector codes and no checksum, on as many raw sectors at the archive's place in the image.
// First argument: 0 = read as many sectors as loading reads (the three blocks and the archive's
// entry table); 1 = write the sectors of every table (as write-back 3 writes); 2 = write every
// sector of the three files (as write-back 4 writes). Second argument, for writes: 0 = write and
// flush once; 1 = what a write that can be undone needs at the least, as the write-back does it:
// read the files' sectors (to find what changed), write the old sectors into a new file and flush
// it and its folder, write the new ones and flush, remove the new file.
void PlainFileIo(benchmark::State& state) {
    const PrivateCopy image(benchSampleDir() / "sample.bin");
    MessageLog log;
    DataStore store(log);
    if (!loaded(state, store, image)) return;
    std::size_t fileSectors = 0;
    for (const ByteSpan block : {store.boot(), store.parameter(), store.select()})
        fileSectors += (block.size() + kUserDataSize - 1) / kUserDataSize;
    const std::size_t table =
        afs::kEntryTableOffset + std::size_t{afs::kEntryTableEntrySize} * store.archive().entryCount();
    const std::size_t sectors = state.range(0) == 0   ? fileSectors + (table + kUserDataSize - 1) / kUserDataSize
                                : state.range(0) == 1 ? tableSectors()
                                                      : fileSectors;
    // At the archive's place, or as near it as the image's end allows (an unpadded sample's
    // archive is shorter than the three files).
    std::error_code ec;
    const std::uint64_t imageSectors = fs::file_size(image.path(), ec) / kSectorSize;
    const std::size_t span = std::max(sectors, fileSectors);
    if (ec || imageSectors < span) return state.SkipWithError("the image is smaller than the yardstick's sectors");
    const std::uint64_t position =
        std::min<std::uint64_t>(store.source()->archiveFile()->startSector(), imageSectors - span) * kSectorSize;
    const bool write = state.range(0) > 0, journaled = state.range(1) == 1;
    const fs::path journal = fs::path(image.path()) += ".plain-journal";
    const auto transfer = [](const fs::path& path, const char* mode, std::uint64_t at, Bytes& bytes, bool flush) {
        std::FILE* file = platform::openFile(path, mode);
        bool ok = file && platform::seekFile(file, at);
        if (ok && mode[0] == 'r' && mode[1] != '+')
            ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
        else if (ok)
            ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
                 (!flush || platform::syncFile(file));
        if (file) std::fclose(file);
        return ok;
    };
    for (auto _ : state) {
        Bytes raw(sectors * kSectorSize);
        bool ok = true;
        if (!write) ok = transfer(image.path(), "rb", position, raw, false);
        else if (!journaled) ok = transfer(image.path(), "r+b", position, raw, true);
        else {
            constexpr std::size_t kSectorsPerRead = 48;  // as the write-back reads, a few dozen at a time
            Bytes chunk;
            for (std::size_t at = 0; ok && at < fileSectors; at += kSectorsPerRead) {
                chunk.resize(std::min(kSectorsPerRead, fileSectors - at) * kSectorSize);
                ok = transfer(image.path(), "rb", position + at * kSectorSize, chunk, false);
            }
            ok = ok && transfer(journal, "wb", 0, raw, true) && platform::syncFolder(journal.parent_path()) &&
                 transfer(image.path(), "r+b", position, raw, true);
            fs::remove(journal);
        }
        if (!ok) state.SkipWithError("plain file I/O failed");
        benchmark::DoNotOptimize(raw.data());
    }
}
BENCHMARK(PlainFileIo)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({2, 0})
    ->Args({2, 1})
    ->Unit(benchmark::kMillisecond);

// The two computations a write-back does per changed sector: the check of its old EDC and the new
// EDC, P and Q parity.
void SectorCodes(benchmark::State& state) {
    Bytes sector(cdsector::kSectorSize);
    std::minstd_rand random(7);
    for (auto& b : sector) b = static_cast<std::uint8_t>(random());
    for (auto _ : state) {
        benchmark::DoNotOptimize(cdsector::hasValidEdc(sector));
        cdsector::encodeTail(sector);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(SectorCodes)->Unit(benchmark::kMicrosecond);

// The journal's checksum over as many bytes as a write-back of every sector saves.
void JournalChecksum(benchmark::State& state) {
    Bytes bytes(4u << 20);
    std::minstd_rand random(7);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    for (auto _ : state) benchmark::DoNotOptimize(Sha256::of(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(JournalChecksum)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvo::bench
