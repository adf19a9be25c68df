#pragma once
// What tests need of the operating system, the same on Linux and on Windows: running a program
// without a shell between, and files the size of a disc that take no disk space.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tarvo::test {

// Runs `program` with `arguments` (UTF-8 text, passed as they are: no shell, no quoting to get
// right) in the current folder, its stdout and stderr written into the two files. Returns the
// exit status, or -1 when the program could not be started or did not end by exiting.
int runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
               const std::filesystem::path& out, const std::filesystem::path& err);

// Makes `file` `size` bytes long, all but its first byte a hole. False, with no file left, where the
// file system would write the bytes out instead (a test then skips its disc-sized case).
bool makeSparseFile(const std::filesystem::path& file, std::uint64_t size);

// Whether the file system of `dir` makes holes, so that a file the size of a disc takes no space.
bool makesHoles(const std::filesystem::path& dir);
// Whether a test may skip what this machine can not do (no sound server, no holes in files). Not
// where TARVO_REQUIRE_ALL is set (CI sets it): there every skip is a failure.
bool skipsAllowed();

// Skips a GoogleTest case, saying why, or fails it where skips are not allowed.
#define TARVO_SKIP(reason)                                                    \
    do {                                                                      \
        if (!::tarvo::test::skipsAllowed()) FAIL() << (reason);               \
        GTEST_SKIP() << (reason);                                             \
    } while (false)
// The same in a Qt Test function.
#define TARVO_QSKIP(reason)                                                   \
    do {                                                                      \
        if (!::tarvo::test::skipsAllowed()) QFAIL(std::string(reason).c_str()); \
        QSKIP(std::string(reason).c_str());                                   \
    } while (false)

// Whether the file system of `dir` takes "A" and "a" for the same name.
bool ignoresCase(const std::filesystem::path& dir);
// Points the program's data folder (backups), its settings and its cache at `folder`: XDG_DATA_HOME,
// XDG_CONFIG_HOME and XDG_CACHE_HOME, or on Windows LOCALAPPDATA, of this process.
void setDataHome(const std::filesystem::path& folder);
// Makes a FIFO (named pipe) at `file`; false where the system has none (Windows).
bool makeFifo(const std::filesystem::path& file);

}  // namespace tarvo::test
