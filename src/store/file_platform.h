#pragma once
// The few calls the standard library does not offer: 64-bit seeks, flushing a file and a folder
// to the disk, and opening a file by a path that may hold non-ASCII characters.

#include <cstdint>
#include <cstdio>
#include <filesystem>

namespace tarvo::platform {

std::FILE* openFile(const std::filesystem::path& file, const char* mode);
bool seekFile(std::FILE* file, std::uint64_t position);
std::uint64_t tellFile(std::FILE* file);
// Writes the system's buffers of the file to the disk.
bool syncFile(std::FILE* file);
// Makes the folder's list of names durable (a new or removed file survives a power loss).
bool syncFolder(const std::filesystem::path& folder);

}  // namespace tarvo::platform
