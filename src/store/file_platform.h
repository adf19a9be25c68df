#pragma once
// The few calls the standard library does not offer: 64-bit seeks, flushing a file and a folder
// to the disk, opening a file by a path that may hold non-ASCII characters, and opening a file
// without following a symbolic link.

#include <cstdint>
#include <cstdio>
#include <filesystem>

namespace tarvo::platform {

std::FILE* openFile(const std::filesystem::path& file, const char* mode);

enum class NoFollow { Read, ReadWrite, CreateNew };
// Opens the regular file at `file` itself, never what a symbolic link there points to (ELOOP), nor
// a folder or a device. CreateNew makes a new file and fails (EEXIST) when anything is there, a
// dangling link included. nullptr with errno set when not.
std::FILE* openFileNoFollow(const std::filesystem::path& file, NoFollow mode);
bool seekFile(std::FILE* file, std::uint64_t position);
std::uint64_t tellFile(std::FILE* file);
// Writes the system's buffers of the file to the disk.
bool syncFile(std::FILE* file);
// Makes the folder's list of names durable (a new or removed file survives a power loss). True
// also where the platform or the file system has no such flush; false with errno set when it failed.
bool syncFolder(const std::filesystem::path& folder);

}  // namespace tarvo::platform
