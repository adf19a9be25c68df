#include "store/file_platform.h"

#include <cerrno>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tarvo::platform {

#ifdef _WIN32

std::FILE* openFile(const std::filesystem::path& file, const char* mode) {
    std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(file.c_str(), wideMode.c_str());
}

namespace {

int errnoOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return EACCES;
    case ERROR_DISK_FULL: return ENOSPC;
    default: return EIO;
    }
}

}  // namespace

std::FILE* openFileNoFollow(const std::filesystem::path& file, NoFollow mode) {
    const bool readOnly = mode == NoFollow::Read;
    // FILE_FLAG_OPEN_REPARSE_POINT opens a link (or a junction) itself, which is then refused below.
    HANDLE handle = CreateFileW(file.c_str(), readOnly ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                mode == NoFollow::CreateNew ? CREATE_NEW : OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = errnoOf(GetLastError());
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        CloseHandle(handle);
        errno = ELOOP;
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), (readOnly ? _O_RDONLY : _O_RDWR) | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* opened = _fdopen(fd, readOnly ? "rb" : "r+b");
    if (!opened) _close(fd);
    return opened;
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

std::FILE* openFileNoFollow(const std::filesystem::path& file, NoFollow mode) {
    // O_NONBLOCK: opening a FIFO put at the path must not wait for a writer; it is refused below.
    int flags = O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;
    flags |= mode == NoFollow::Read ? O_RDONLY : mode == NoFollow::ReadWrite ? O_RDWR : O_RDWR | O_CREAT | O_EXCL;
    const int fd = open(file.c_str(), flags, 0666);
    if (fd < 0) return nullptr;
    struct stat info {};
    const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    const int status = fcntl(fd, F_GETFL);
    std::FILE* opened = nullptr;
    if (regular && status != -1 && fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != -1)
        opened = fdopen(fd, mode == NoFollow::Read ? "rb" : "r+b");  // "w" would not truncate either
    if (!opened) {
        const int error = regular ? errno : S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        close(fd);
        errno = error;
    }
    return opened;
}

bool seekFile(std::FILE* file, std::uint64_t position) {
    return fseeko(file, static_cast<off_t>(position), SEEK_SET) == 0;
}

std::uint64_t tellFile(std::FILE* file) { return static_cast<std::uint64_t>(ftello(file)); }

bool syncFile(std::FILE* file) { return std::fflush(file) == 0 && fsync(fileno(file)) == 0; }

bool syncFolder(const std::filesystem::path& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    // EINVAL: a file system that keeps no folder to flush (some network and FUSE ones).
    const bool synced = fsync(fd) == 0 || errno == EINVAL;
    const int error = errno;
    close(fd);
    errno = error;
    return synced;
}

#endif

}  // namespace tarvo::platform
