#pragma once
// What tests share: the sample disc (generated once by ctest's fixture, or here when a test
// program runs alone), private copies of it for tests that write, and temporary folders.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "store/bytes.h"

namespace tarvo::test {

// The folder of the unpadded sample disc: sample.bin and exported/.
const std::filesystem::path& sampleDir();
std::filesystem::path sampleImage();
std::filesystem::path sampleExportDir();
// The committed test data (tests/data).
std::filesystem::path testDataDir();

// A fresh temporary folder, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// Private copies of the sample for tests that write: the image file, or the exported folder.
std::filesystem::path copySampleImage(const TempDir& dir);
std::filesystem::path copySampleExportDir(const TempDir& dir);

Bytes readFile(const std::filesystem::path& file);
void writeFile(const std::filesystem::path& file, ByteSpan data);
inline Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }
// A hash of a whole file (FNV-1a 64), to show that a file is unchanged byte for byte.
std::uint64_t fileChecksum(const std::filesystem::path& file);
std::string hex(ByteSpan data);
// The checksums of a source's files: the image, or the three exported files of a folder.
std::vector<std::uint64_t> sourceChecksums(const std::filesystem::path& source);

// A program's exit status and what it printed on stdout and stderr.
struct ProgramRun {
    int status;
    std::string out, err;
};
ProgramRun runCaptured(const std::filesystem::path& program, const std::vector<std::string>& arguments);

}  // namespace tarvo::test
