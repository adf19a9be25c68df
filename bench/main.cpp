// The benchmarks' main: `tarvo_bench [--sample DIR] [benchmark options]`. Without --sample, an
// unpadded sample disc is made in a temporary folder for the run and removed afterwards.

#include <cstring>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

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
    return 0;
}
