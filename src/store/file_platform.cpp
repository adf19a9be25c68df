#include "store/file_platform.h"

#include <algorithm>
#include <cerrno>
#include <new>

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
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
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

std::optional<bool> readPieces(std::FILE*, std::uint64_t, std::size_t, std::size_t, std::span<std::uint8_t>) {
    return std::nullopt;
}

bool syncFile(std::FILE* file) { return std::fflush(file) == 0 && _commit(_fileno(file)) == 0; }

// NTFS keeps its directory entries in its own journal; there is nothing to flush.
bool syncFolder(const std::filesystem::path&) { return true; }

std::optional<FileIdentity> fileIdentity(const std::filesystem::path& path) {
    // Backup semantics opens a folder as well as a file.
    HANDLE handle = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(handle, &info) != 0;
    CloseHandle(handle);
    if (!known) return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (std::uint64_t{info.nFileIndexHigh} << 32) | std::uint64_t{info.nFileIndexLow}};
}

std::uint64_t processId() { return GetCurrentProcessId(); }

bool processRuns(std::uint64_t id) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
    if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
}

namespace {

// One argument quoted the way the C runtime splits a command line back into arguments.
std::wstring quotedArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

}  // namespace

std::optional<int> runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                              bool withOutput, const std::function<void(const std::string&)>& onText,
                              std::string& error) {
    std::wstring line = quotedArgument(program.wstring());
    for (const std::string& argument : arguments)
        line += L" " + quotedArgument(std::filesystem::path(std::u8string(argument.begin(), argument.end())).wstring());
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        error = "error " + std::to_string(GetLastError());
        return std::nullopt;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW start{};
    start.cb = sizeof(start);
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = nul;
    start.hStdOutput = withOutput ? writeEnd : nul;
    start.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                        nullptr, &start, &process);
    const DWORD startError = GetLastError();
    CloseHandle(writeEnd);
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
    if (!started) {
        CloseHandle(readEnd);
        error = "error " + std::to_string(startError);
        return std::nullopt;
    }
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got > 0) onText(std::string(buffer, got));
    CloseHandle(readEnd);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return static_cast<int>(code);
}

namespace {
HANDLE handleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
// The locked byte: far past any text the file holds.
constexpr DWORD kLockedByteHigh = 0x40000000;
}  // namespace

LockFile::Result LockFile::lock(const std::filesystem::path& file, std::string& error) {
    unlock();
    HANDLE handle =
        CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = "error " + std::to_string(GetLastError());
        return Result::Failed;
    }
    OVERLAPPED at{};
    at.OffsetHigh = kLockedByteHigh;
    if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        const DWORD code = GetLastError();
        CloseHandle(handle);
        if (code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING) return Result::Busy;
        error = "error " + std::to_string(code);
        return Result::Failed;
    }
    m_handle = reinterpret_cast<std::intptr_t>(handle);
    return Result::Locked;
}

bool LockFile::setText(const std::string& text) {
    if (m_handle == -1) return false;
    HANDLE handle = handleOf(m_handle);
    DWORD written = 0;
    return SetFilePointer(handle, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER && SetEndOfFile(handle) &&
           WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
}

void LockFile::unlock() {
    if (m_handle == -1) return;
    HANDLE handle = handleOf(m_handle);
    OVERLAPPED at{};
    at.OffsetHigh = kLockedByteHigh;
    UnlockFileEx(handle, 0, 1, 0, &at);
    CloseHandle(handle);
    m_handle = -1;
}

void* allocateLarge(std::size_t bytes) { return ::operator new(bytes); }

void freeLarge(void* memory, std::size_t) noexcept { ::operator delete(memory); }

#else

namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;

// From the size at which the C library maps memory afresh for each allocation anyway.
bool takesLargePages(std::size_t bytes) { return bytes >= std::size_t{128} << 10; }

}  // namespace

void* allocateLarge(std::size_t bytes) {
    if (!takesLargePages(bytes)) return ::operator new(bytes);
    if (bytes > SIZE_MAX - kLargePage) throw std::bad_alloc();
    const std::size_t rounded = (bytes + kLargePage - 1) / kLargePage * kLargePage;
    void* memory = std::aligned_alloc(kLargePage, rounded);
    if (!memory) throw std::bad_alloc();
    madvise(memory, rounded, MADV_HUGEPAGE);  // only advice: where the system has none, small pages
    return memory;
}

void freeLarge(void* memory, std::size_t bytes) noexcept {
    if (takesLargePages(bytes)) std::free(memory);
    else ::operator delete(memory);
}

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

std::optional<bool> readPieces(std::FILE* file, std::uint64_t position, std::size_t stride, std::size_t pieceSize,
                               std::span<std::uint8_t> destination) {
    // Each piece goes into its place in `destination`, each gap between two into one scratch buffer.
    constexpr std::size_t kPiecesPerCall = 256;  // two vectors a piece, well under IOV_MAX
    if (pieceSize == 0 || stride < pieceSize) return std::nullopt;
    std::vector<std::uint8_t> gap(stride - pieceSize);
    std::vector<iovec> vectors;
    vectors.reserve(2 * kPiecesPerCall);
    std::size_t done = 0;
    while (done < destination.size()) {
        vectors.clear();
        std::size_t wanted = 0, taken = done;
        for (std::size_t k = 0; k < kPiecesPerCall && taken < destination.size(); ++k) {
            if (k > 0 && !gap.empty()) {
                vectors.push_back({gap.data(), gap.size()});
                wanted += gap.size();
            }
            const std::size_t n = std::min(pieceSize, destination.size() - taken);
            vectors.push_back({destination.data() + taken, n});
            wanted += n;
            taken += n;
        }
        const auto at = static_cast<off_t>(position + done / pieceSize * stride);
        ssize_t got;
        do got = preadv(fileno(file), vectors.data(), static_cast<int>(vectors.size()), at);
        while (got < 0 && errno == EINTR);
        if (got < 0) return false;
        if (static_cast<std::size_t>(got) != wanted) {
            errno = 0;
            return false;
        }
        done = taken;
    }
    return true;
}

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

std::optional<FileIdentity> fileIdentity(const std::filesystem::path& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

std::uint64_t processId() { return static_cast<std::uint64_t>(getpid()); }

bool processRuns(std::uint64_t id) { return kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM; }

std::optional<int> runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                              bool withOutput, const std::function<void(const std::string&)>& onText,
                              std::string& error) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (withOutput) posix_spawn_file_actions_adddup2(&actions, ends[1], 1);
    else posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, ends[1], 2);
    std::vector<std::string> words{program.string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    if (spawned != 0) {
        close(ends[0]);
        error = std::strerror(spawned);
        return std::nullopt;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(ends[0], buffer, sizeof(buffer));
        if (got > 0) onText(std::string(buffer, static_cast<std::size_t>(got)));
        else if (got == 0 || errno != EINTR) break;
    }
    close(ends[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
        if (errno != EINTR) {
            error = std::strerror(errno);
            return std::nullopt;
        }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    error = "it was ended by signal " + std::to_string(WTERMSIG(status));
    return std::nullopt;
}

LockFile::Result LockFile::lock(const std::filesystem::path& file, std::string& error) {
    unlock();
    const int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        error = std::strerror(errno);
        return Result::Failed;
    }
    // flock, unlike fcntl's locks, also excludes a second open of the file in this process.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int code = errno;
        close(fd);
        if (code == EWOULDBLOCK || code == EINTR) return Result::Busy;
        error = std::strerror(code);
        return Result::Failed;
    }
    m_handle = fd;
    return Result::Locked;
}

bool LockFile::setText(const std::string& text) {
    if (m_handle == -1) return false;
    const int fd = static_cast<int>(m_handle);
    // Written over the old text, then cut to its length when that was longer. A file cut to nothing
    // and written again is flushed to the disk when it is closed (ext4 does so, to keep the data of
    // a file rewritten that way): every load would wait on the disk.
    struct stat status {};
    return pwrite(fd, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size()) && fstat(fd, &status) == 0 &&
           (status.st_size <= static_cast<off_t>(text.size()) || ftruncate(fd, static_cast<off_t>(text.size())) == 0);
}

void LockFile::unlock() {
    if (m_handle == -1) return;
    close(static_cast<int>(m_handle));  // drops the flock
    m_handle = -1;
}

#endif

LockFile::~LockFile() { unlock(); }

}  // namespace tarvo::platform
