#pragma once
// What the benchmarks share: the folder of the sample disc they run on (sample.bin and
// exported/), given with --sample DIR or made once per run by bench/main.cpp.

#include <filesystem>

namespace tarvo::bench {

const std::filesystem::path& benchSampleDir();

}  // namespace tarvo::bench
