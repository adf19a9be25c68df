#pragma once
// The few calls the standard library does not offer: 64-bit seeks, flushing a file and a folder
// to the disk, opening a file by a path that may hold non-ASCII characters or without following a
// symbolic link, the identity of a file, an exclusive lock that the system drops when the process
// ends, and memory in large pages.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarvo::platform {

std::FILE* openFile(const std::filesystem::path& file, const char* mode);

enum class NoFollow { Read, ReadWrite, CreateNew };
// Opens the regular file at `file` itself, never what a symbolic link there points to (ELOOP), nor
// a folder or a device. CreateNew makes a new file and fails (EEXIST) when anything is there, a
// dangling link included. nullptr with errno set when not.
std::FILE* openFileNoFollow(const std::filesystem::path& file, NoFollow mode);
bool seekFile(std::FILE* file, std::uint64_t position);
std::uint64_t tellFile(std::FILE* file);
// Reads `destination` from pieces of the file: `pieceSize` bytes at `position`, the next
// `stride` bytes further on, and so on (the last piece as long as what is left), straight into
// `destination` without a buffer between. nullopt where the platform has no such read (Windows);
// false with errno set, or errno 0 when the file ends early.
std::optional<bool> readPieces(std::FILE* file, std::uint64_t position, std::size_t stride, std::size_t pieceSize,
                               std::span<std::uint8_t> destination);
// Writes the system's buffers of the file to the disk.
bool syncFile(std::FILE* file);
// Makes the folder's list of names durable (a new or removed file survives a power loss). True
// also where the platform or the file system has no such flush; false with errno set when it failed.
bool syncFolder(const std::filesystem::path& folder);

// What names a file or folder whatever the path that reaches it (symlinks followed): device and
// inode, on Windows the volume serial number and the file index.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    bool operator==(const FileIdentity&) const = default;
};
std::optional<FileIdentity> fileIdentity(const std::filesystem::path& path);

// Memory for a large buffer filled at once (the game's blocks, the archive's table): on Linux, from
// 128 KB on, taken aligned to the 2 MB pages of the system and marked for them, since each fresh
// small page costs a fault on first touch, and a load of 3 MB would spend most of its time on 800
// of them. Smaller sizes, and other systems, take ordinary memory. freeLarge takes the size given
// to allocateLarge.
void* allocateLarge(std::size_t bytes);
void freeLarge(void* memory, std::size_t bytes) noexcept;

std::uint64_t processId();
// Whether a process with this ID runs now (one of another user's counts as running).
bool processRuns(std::uint64_t id);

// Runs `program` with `arguments` as they are (no shell: no word of them is ever read as a
// command), its standard error (and its standard output when `withOutput`, else discarded) given
// to `onText` in pieces as they come. The exit status, or nullopt with `error` when it could not
// be started or did not end by exiting.
std::optional<int> runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                              bool withOutput, const std::function<void(const std::string&)>& onText,
                              std::string& error);

// A lock file, opened (made when missing) and locked exclusively against every other open of it,
// in this process or another: flock on Linux, LockFileEx on Windows (on a byte far past the text,
// so that the text stays readable). The lock goes when the object does, or with the process.
class LockFile {
public:
    enum class Result { Locked, Busy, Failed };
    LockFile() = default;
    ~LockFile();
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;
    // Opens `file` and tries once to lock it; Failed with `error` when it can not be opened.
    Result lock(const std::filesystem::path& file, std::string& error);
    // Replaces the file's text (the holder's process ID, the journal being written).
    bool setText(const std::string& text);
    void unlock();

private:
    std::intptr_t m_handle = -1;
};

}  // namespace tarvo::platform
