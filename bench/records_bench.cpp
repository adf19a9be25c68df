// The record operations that run once per control change or per player of the bulk change: one
// field write (expand, write, pack, copy to the second copy), the universal edit of all players,
// the search of all players by name and the change list.

#include <benchmark/benchmark.h>

#include "player/universal_edit.h"
#include "records/player.h"
#include "store/block_map.h"
#include "edits/change_list.h"
#include "team/player_search.h"

namespace tarvo {
namespace {

struct MemoryBlocks {
    Bytes boot = Bytes(blockmap::kMinBootSize, 0x5A);
    Bytes parameter = Bytes(blockmap::kMinParameterSize, 0x3C);
    Bytes select = Bytes(blockmap::kMinSelectSize, 0);
    GameBlocks view() { return {boot, parameter, select}; }
};

// What the player editor does for one control change of a freshly opened player.
void BM_LoadAndWriteOneField(benchmark::State& state) {
    MemoryBlocks blocks;
    Player player;
    std::uint32_t value = 1;
    for (auto _ : state) {
        player.load(blocks.view(), 1099);
        player.write(PlayerFieldId::Speed, value);
        value = value % 99 + 1;
        benchmark::DoNotOptimize(blocks.parameter.data());
    }
}
BENCHMARK(BM_LoadAndWriteOneField);

// A field write on a loaded player: write, pack, copy to the second copy.
void BM_WriteOneField(benchmark::State& state) {
    MemoryBlocks blocks;
    Player player;
    player.load(blocks.view(), 1099);
    std::uint32_t value = 1;
    for (auto _ : state) {
        player.write(PlayerFieldId::Speed, value);
        value = value % 99 + 1;
        benchmark::DoNotOptimize(blocks.boot.data());
    }
}
BENCHMARK(BM_WriteOneField);

void BM_UniversalEdit(benchmark::State& state) {
    MemoryBlocks blocks;
    Player player;
    for (auto _ : state) {
        universalEdit(blocks.view(), player, 4, UniversalMethod::Percent, 101);
        benchmark::DoNotOptimize(blocks.parameter.data());
    }
}
BENCHMARK(BM_UniversalEdit)->Unit(benchmark::kMillisecond);

// A search of all 2197 players' names that every player matches (the worst case: each one's team
// slots are looked up too), and one that none matches.
void BM_FindPlayers(benchmark::State& state) {
    MemoryBlocks blocks;
    const char* text = state.range(0) ? "<<<" : "nobody";
    for (auto _ : state) benchmark::DoNotOptimize(findPlayers(blocks.view(), text));
}
BENCHMARK(BM_FindPlayers)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The list the changes window makes when it opens and after each revert: with nothing changed, and
// after a universal edit has changed one ability of every player.
void BM_ChangeList(benchmark::State& state) {
    MemoryBlocks base, now;
    Player player;
    if (state.range(0)) universalEdit(now.view(), player, 4, UniversalMethod::Add, 5);
    for (auto _ : state) benchmark::DoNotOptimize(listChanges(readOnly(base.view()), readOnly(now.view())));
}
BENCHMARK(BM_ChangeList)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvo
