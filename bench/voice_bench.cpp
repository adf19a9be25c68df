// The ADX decoder's own speed, without files: one minute of stereo 44.1 kHz sound decoded in the
// steps the file decoder takes. The whole-process comparison is bench/adx_vs_ffmpeg.sh.

#include <benchmark/benchmark.h>

#include "voice/adx.h"

namespace tarvo {
namespace {

void BM_DecodeOneMinuteOfStereo(benchmark::State& state) {
    const AdxHeader header{2, 44100, 44100 * 60};
    const std::size_t units = (header.sampleCount + 31) / 32;
    Bytes audio(units * 36);
    std::uint32_t x = 1;
    for (std::size_t i = 0; i < audio.size(); ++i) {
        x = x * 1664525u + 1013904223u;
        // Modest scales, as real sound has them, and random codes.
        audio[i] = static_cast<std::uint8_t>(i % 18 == 0 ? 0 : x >> 24);
    }
    Bytes pcm(std::size_t{header.sampleCount} * 4);
    for (auto _ : state) {
        AdxDecoder decoder(header);
        benchmark::DoNotOptimize(decoder.decode(audio, pcm));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pcm.size()));
}
BENCHMARK(BM_DecodeOneMinuteOfStereo)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvo
