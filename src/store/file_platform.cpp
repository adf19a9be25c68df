#include "store/file_platform.h"

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tarvo::platform {

#ifdef _WIN32

std::FILE* openFile(const std::filesystem::path& file, const char* mode) {
    std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(file.c_str(), wideMode.c_str());
}

bool seekFile(std::FILE* file, std::uint64_t position) {
    return _fseeki64(file, static_cast<long long>(position), SEEK_SET) == 0;
}

std::uint64_t tellFile(std::FILE* file) { return static_cast<std::uint64_t>(_ftelli64(file)); }

bool syncFile(std::FILE* file) { return std::fflush(file) == 0 && _commit(_fileno(file)) == 0; }

// NTFS keeps its directory entries in its own journal; there is nothing to flush.
bool syncFolder(const std::filesystem::path&) { return true; }

#else

std::FILE* openFile(const std::filesystem::path& file, const char* mode) { return std::fopen(file.c_str(), mode); }

bool seekFile(std::FILE* file, std::uint64_t position) {
    return fseeko(file, static_cast<off_t>(position), SEEK_SET) == 0;
}

std::uint64_t tellFile(std::FILE* file) { return static_cast<std::uint64_t>(ftello(file)); }

bool syncFile(std::FILE* file) { return std::fflush(file) == 0 && fsync(fileno(file)) == 0; }

bool syncFolder(const std::filesystem::path& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    const bool synced = fsync(fd) == 0;
    close(fd);
    return synced;
}

#endif

}  // namespace tarvo::platform
