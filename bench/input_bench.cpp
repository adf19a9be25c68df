// Reading a hostile 64 MiB patch or spreadsheet: the time to refuse (or accept) it and the most
// memory taken meanwhile, beyond the file's own bytes. A program of its own, as it counts every
// allocation: `tarvo_input_bench`. For the 64 MiB files the counter "peak/file" must stay below 3
// (the file itself making the fourth) and "peak MiB" below 192.

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include <benchmark/benchmark.h>

#include "edits/csv_import.h"
#include "edits/patch.h"
#include "records/player_fields.h"
#include "sample/sample_disc.h"

namespace {

std::atomic<std::size_t> g_live{0}, g_peak{0};

// Each block carries its size in front, so that delete knows what it gives back.
constexpr std::size_t kHead = alignof(std::max_align_t);

void* allocate(std::size_t size) {
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHead));
    if (!block) throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(block) = size;
    const std::size_t live = g_live.fetch_add(size) + size;
    for (std::size_t peak = g_peak.load(); live > peak && !g_peak.compare_exchange_weak(peak, live);) {}
    return block + kHead;
}

void release(void* pointer) {
    if (!pointer) return;
    auto* block = static_cast<unsigned char*>(pointer) - kHead;
    g_live.fetch_sub(*reinterpret_cast<std::size_t*>(block));
    std::free(block);
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* pointer) noexcept { release(pointer); }
void operator delete[](void* pointer) noexcept { release(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { release(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { release(pointer); }

namespace tarvo {
namespace {

constexpr std::size_t kFileSize = 64u << 20;

// `head`, then `line` again and again up to 64 MiB.
std::string filled(std::string head, const std::string& line) {
    head.reserve(kFileSize);
    while (head.size() + line.size() <= kFileSize) head += line;
    return head;
}

// A patch of every player value once (each line distinct, so all are kept), then the same again.
std::string everyPlayerValue() {
    std::string lines;
    for (int id = 1; id <= 2197; ++id)
        for (const PlayerField& field : kPlayerFields)
            lines += "player," + std::to_string(id) + "," + std::string(field.name) + ",1,2\n";
    return lines;
}

// A spreadsheet row for every player once, each changing the speed, then the same again.
std::string everyPlayerRow() {
    std::string rows;
    for (int id = 1; id <= 2197; ++id) rows += std::to_string(id) + "," + std::to_string(id % 90 + 5) + "\n";
    return rows;
}

template <typename Read>
void measure(benchmark::State& state, const std::string& text, Read read) {
    std::size_t peak = 0;
    for (auto _ : state) {
        const std::size_t before = g_live.load();
        g_peak = before;
        benchmark::DoNotOptimize(read(text));
        peak = std::max(peak, g_peak.load() - before);
    }
    state.counters["peak MiB"] = static_cast<double>(peak) / (1 << 20);
    state.counters["peak/file"] = static_cast<double>(peak) / static_cast<double>(text.size());
}

void BM_Patch(benchmark::State& state, const std::string& text) {
    measure(state, text, [](const std::string& t) { return parsePatch(t).error.size(); });
}

void BM_Csv(benchmark::State& state, const std::string& text) {
    sample::SampleBlocks blocks = sample::makeSampleBlocks();
    const GameBlocks view{blocks.boot, blocks.parameter, blocks.select};
    measure(state, text, [&view](const std::string& t) { return importCsv(view, t).changes.size(); });
}

const std::string kPatchHead = "tarvo patch 2\n";

BENCHMARK_CAPTURE(BM_Patch, commas, filled(kPatchHead, ","))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Patch, short_lines, filled(kPatchHead, "a\n"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Patch, every_value_then_again, filled(kPatchHead, everyPlayerValue()))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Csv, commas, filled("id\n", ","))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Csv, every_row_then_again, filled("id,speed\n", everyPlayerRow()))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Csv, whole_export_accepted,
                  [] {
                      sample::SampleBlocks blocks = sample::makeSampleBlocks();
                      return playersCsv({blocks.boot, blocks.parameter, blocks.select});
                  }())
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvo

BENCHMARK_MAIN();
