#include "support/sample.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "sample/sample_disc.h"
#include "store/messages.h"
#include "support/platform.h"

namespace tarvo::test {

namespace fs = std::filesystem;

const fs::path& sampleDir() {
    static const fs::path dir = [] {
        if (const char* env = std::getenv("TARVO_SAMPLE_DIR"); env && fs::exists(fs::path(env) / "sample.bin"))
            return fs::path(env);
        // Run alone: make a private sample for this process.
        fs::path made = fs::temp_directory_path() / ("tarvo-sample-" + std::to_string(std::random_device{}()));
        MessageLog log;
        if (!sample::makeSample(made, sample::SampleOptions{.padImage = false}, log))
            throw std::runtime_error("could not make the sample disc in " + made.string());
        return made;
    }();
    return dir;
}

fs::path sampleImage() { return sampleDir() / "sample.bin"; }
fs::path sampleExportDir() { return sampleDir() / "exported"; }
fs::path testDataDir() { return TARVO_TEST_DATA_DIR; }

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device rd;
    m_path = fs::temp_directory_path() / ("tarvo-test-" + std::to_string(rd()) + "-" + std::to_string(counter++));
    fs::create_directories(m_path);
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

fs::path copySampleImage(const TempDir& dir) {
    fs::path target = dir / "sample.bin";
    fs::copy_file(sampleImage(), target, fs::copy_options::overwrite_existing);
    return target;
}

fs::path copySampleExportDir(const TempDir& dir) {
    fs::path target = dir / "exported";
    fs::copy(sampleExportDir(), target, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    return target;
}

Bytes readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& file, ByteSpan data) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::uint64_t fileChecksum(const fs::path& file) {
    std::uint64_t hash = 1469598103934665603ull;
    for (const std::uint8_t b : readFile(file)) hash = (hash ^ b) * 1099511628211ull;
    return hash;
}

std::string hex(ByteSpan data) {
    std::string out;
    for (const std::uint8_t b : data) {
        if (!out.empty()) out += ' ';
        out += "0123456789abcdef"[b >> 4];
        out += "0123456789abcdef"[b & 15];
    }
    return out;
}

std::vector<std::uint64_t> sourceChecksums(const fs::path& source) {
    if (!fs::is_directory(source)) return {fileChecksum(source)};
    return {fileChecksum(source / "QXRT_418.27"), fileChecksum(source / "parameter.ovl"),
            fileChecksum(source / "select.ovl")};
}

ProgramRun runCaptured(const fs::path& program, const std::vector<std::string>& arguments) {
    TempDir dir;
    const int status = runProgram(program, arguments, dir / "out", dir / "err");
    const Bytes out = readFile(dir / "out"), err = readFile(dir / "err");
    return {status, std::string(out.begin(), out.end()), std::string(err.begin(), err.end())};
}

}  // namespace tarvo::test
