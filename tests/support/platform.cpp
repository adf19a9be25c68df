#include "support/platform.h"

#include <cstdlib>
#include <fstream>
#include <system_error>

#include "store/file_io.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <winioctl.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

extern char** environ;
#endif

namespace tarvo::test {

namespace fs = std::filesystem;

#ifdef _WIN32
namespace {

// Quotes one argument so that the C runtime's parser of the child gives it back unchanged:
// backslashes count only before a double quote, where each is doubled.
std::wstring quoted(const std::wstring& argument) {
    std::wstring result = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        result.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        result += c;
    }
    result.append(2 * backslashes, L'\\');
    return result + L"\"";
}

HANDLE createInherited(const fs::path& file) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

}  // namespace

int runProgram(const fs::path& program, const std::vector<std::string>& arguments, const fs::path& out,
               const fs::path& err) {
    std::wstring commandLine = quoted(program.wstring());
    for (const std::string& argument : arguments) commandLine += L" " + quoted(pathFromUtf8(argument).wstring());
    const HANDLE outFile = createInherited(out), errFile = createInherited(err);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outFile;
    startup.hStdError = errFile;
    PROCESS_INFORMATION process{};
    const bool started = outFile != INVALID_HANDLE_VALUE && errFile != INVALID_HANDLE_VALUE &&
                         CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    DWORD status = static_cast<DWORD>(-1);
    if (started) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &status);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    for (const HANDLE file : {outFile, errFile})
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return started ? static_cast<int>(status) : -1;
}

bool makeSparseFile(const fs::path& file, std::uint64_t size) {
    const HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    DWORD returned = 0;
    // NTFS makes holes only in files marked sparse; other file systems may refuse the mark.
    DeviceIoControl(handle, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    DWORD written = 0;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool sized = WriteFile(handle, "x", 1, &written, nullptr) &&
                       SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) && SetEndOfFile(handle);
    CloseHandle(handle);
    DWORD high = 0;
    const DWORD low = GetCompressedFileSizeW(file.c_str(), &high);
    const std::uint64_t allocated = (std::uint64_t{high} << 32) | low;
    if (sized && low != INVALID_FILE_SIZE && allocated < size / 2) return true;
    std::error_code ec;
    fs::remove(file, ec);
    return false;
}
#else
int runProgram(const fs::path& program, const std::vector<std::string>& arguments, const fs::path& out,
               const fs::path& err) {
    std::vector<std::string> texts{program.string()};
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : texts) argv.push_back(text.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool makeSparseFile(const fs::path& file, std::uint64_t size) {
    std::error_code ec;
    std::ofstream(file, std::ios::binary).put('x');
    fs::resize_file(file, size, ec);
    struct stat info {};
    if (!ec && stat(file.c_str(), &info) == 0 && static_cast<std::uint64_t>(info.st_blocks) * 512 < size / 2)
        return true;
    fs::remove(file, ec);
    return false;
}
#endif

bool makesHoles(const fs::path& dir) {
    const fs::path probe = dir / ".tarvo-hole-probe";
    const bool holes = makeSparseFile(probe, std::uint64_t{1} << 30);
    std::error_code ec;
    fs::remove(probe, ec);
    return holes;
}

bool skipsAllowed() {
    const char* required = std::getenv("TARVO_REQUIRE_ALL");
    return required == nullptr || std::string(required).empty() || std::string(required) == "0";
}

bool ignoresCase(const fs::path& dir) {
    const fs::path probe = dir / "case-probe.tmp";
    std::ofstream(probe).put('x');
    std::error_code ec;
    const bool ignores = fs::exists(dir / "CASE-PROBE.TMP", ec);
    fs::remove(probe, ec);
    return ignores;
}

void setDataHome(const fs::path& folder) {
#ifdef _WIN32
    _wputenv_s(L"LOCALAPPDATA", folder.wstring().c_str());
#else
    setenv("XDG_DATA_HOME", folder.c_str(), 1);
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);  // the desktop program's settings
    setenv("XDG_CACHE_HOME", (folder / "cache").c_str(), 1);  // CHD images' working folders
#endif
}

bool makeFifo(const fs::path& file) {
#ifdef _WIN32
    (void)file;
    return false;
#else
    return mkfifo(file.c_str(), 0600) == 0;
#endif
}

}  // namespace tarvo::test
