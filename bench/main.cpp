// The benchmarks' main: `tarvo_bench [--sample DIR] [benchmark options]`. Without --sample, an
// unpadded sample disc is made in a temporary folder for the run and removed afterwards. The
// backups the write-back benchmarks make go to a temporary data folder, removed afterwards too.

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "bench_support.h"
#include "sample/sample_disc.h"
#include "store/messages.h"

namespace tarvo::bench {
namespace {

std::filesystem::path g_sampleDir;

}  // namespace

const std::filesystem::path& benchSampleDir() { return g_sampleDir; }

}  // namespace tarvo::bench

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
#ifdef __GLIBC__
    // Every large buffer is fresh memory from the system, as in a program that has just started:
    // otherwise the C library would keep what one iteration freed for the next, for some buffer
    // sizes and not for others, and a benchmark would measure that rather than its work.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
    // Take --sample DIR (or --sample=DIR) out of the arguments before the library sees them.
    std::vector<char*> rest{argv[0]};
    fs::path given;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--sample") == 0 && i + 1 < argc) {
            given = argv[++i];
        } else if (std::strncmp(argv[i], "--sample=", 9) == 0) {
            given = argv[i] + 9;
        } else {
            rest.push_back(argv[i]);
        }
    }

    const fs::path dataHome =
        fs::temp_directory_path() / ("tarvo-bench-data-" + std::to_string(std::random_device{}()));
    setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    fs::path made;
    if (given.empty()) {
        made = fs::temp_directory_path() / ("tarvo-bench-" + std::to_string(std::random_device{}()));
        tarvo::MessageLog log;
        if (!tarvo::sample::makeSample(made, tarvo::sample::SampleOptions{.padImage = false}, log)) {
            std::cerr << "tarvo_bench: could not make a sample disc in " << made << '\n';
            for (const auto& message : log.messages) std::cerr << message.text << '\n';
            return 1;
        }
        given = made;
    }
    std::error_code ec;
    if (!fs::is_regular_file(given / "sample.bin", ec) || !fs::is_directory(given / "exported", ec)) {
        std::cerr << "tarvo_bench: " << given << " holds no sample disc (sample.bin and exported/)\n";
        return 1;
    }
    tarvo::bench::g_sampleDir = given;

    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    if (benchmark::ReportUnrecognizedArguments(restCount, rest.data())) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    if (!made.empty()) fs::remove_all(made, ec);
    fs::remove_all(dataHome, ec);
    return 0;
}
