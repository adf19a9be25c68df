// Loading the three blocks from the sample image and writing them back, on a private copy.

#include <filesystem>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "store/cd_sector.h"
#include "store/data_store.h"
#include "store/file_platform.h"

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

// Argument: 0 = no edit, 1 = one byte changed in each block, 2 = every byte of every block
// changed (every sector's codes recomputed).
void WriteBack(benchmark::State& state) {
    const PrivateCopy image(benchSampleDir() / "sample.bin");
    MessageLog log;
    DataStore store(log);
    if (!loaded(state, store, image)) return;
    const GameBlocks blocks = store.blocks();
    for (auto _ : state) {
        for (MutableByteSpan block : {blocks.boot, blocks.parameter, blocks.select}) {
            if (state.range(0) == 1) block[block.size() / 2] ^= 1;
            if (state.range(0) == 2)
                for (auto& b : block) b ^= 0xFF;
        }
        if (!store.WriteBack()) state.SkipWithError("write-back failed");
        log.messages.clear();
    }
}
BENCHMARK(WriteBack)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The yardstick for the two above: plain reads, or writes flushed to the disk, of as many raw
// sectors as loading reads (the three blocks, and the archive's entry and name tables), at the
// archive's place in the image, with no journal, no checks and no sector codes.
// Argument: 0 = read, 1 = write.
void PlainFileIo(benchmark::State& state) {
    const PrivateCopy image(benchSampleDir() / "sample.bin");
    MessageLog log;
    DataStore store(log);
    if (!loaded(state, store, image)) return;
    std::size_t sectors = 0;
    for (const ByteSpan block : {store.boot(), store.parameter(), store.select()})
        sectors += (block.size() + kUserDataSize - 1) / kUserDataSize;
    const std::size_t tables = afs::kEntryTableOffset + std::size_t{afs::kEntryTableEntrySize + afs::kNameRecordSize} *
                                                            store.archive().entryCount();
    sectors += (tables + kUserDataSize - 1) / kUserDataSize;
    const std::uint64_t position = std::uint64_t{store.archiveFile().startSector()} * kSectorSize;
    const bool write = state.range(0) == 1;
    for (auto _ : state) {
        Bytes raw(sectors * kSectorSize);  // fresh, as a program that loads them has it
        std::FILE* file = platform::openFile(image.path(), write ? "r+b" : "rb");
        bool ok = file && platform::seekFile(file, position);
        if (ok && write) ok = std::fwrite(raw.data(), 1, raw.size(), file) == raw.size() && platform::syncFile(file);
        if (ok && !write) ok = std::fread(raw.data(), 1, raw.size(), file) == raw.size();
        if (file) std::fclose(file);
        if (!ok) state.SkipWithError("plain file I/O failed");
        benchmark::DoNotOptimize(raw.data());
    }
}
BENCHMARK(PlainFileIo)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvo::bench
