#include "store/chd_source.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "store/file_io.h"
#include "store/file_platform.h"
#include "store/messages.h"
#include "store/sha256.h"

namespace tarvo {

namespace fs = std::filesystem;

namespace {

ChdProgress& progressHook() {
    static ChdProgress progress;
    return progress;
}

std::string lower(std::string text) {
    std::ranges::transform(text, text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

#ifdef _WIN32
constexpr char kPathSeparator = ';';
constexpr const char* kChdmanName = "chdman.exe";
#else
constexpr char kPathSeparator = ':';
constexpr const char* kChdmanName = "chdman";
#endif

constexpr const char* kPidFileName = "pid";

// chdman's standard error cut into lines: its progress ("Compressing, 56.1% complete...") is
// rewritten in place with carriage returns. Progress goes to the hook; the last other line is kept
// to say why a step failed.
// What is kept of chdman's output: its lines are short, and a CHD made to make them long must not
// take the program's memory.
constexpr std::size_t kChdmanLineLimit = 4096;
constexpr std::size_t kChdmanInfoLimit = 1 << 20;

class ChdmanOutput {
public:
    void add(const std::string& piece) {
        for (const char c : piece) {
            if (c != '\r' && c != '\n') {
                if (m_line.size() < kChdmanLineLimit) m_line += c;
                continue;
            }
            finishLine();
        }
    }
    std::string lastWords() {
        finishLine();
        return m_said;
    }

private:
    void finishLine() {
        const auto first = m_line.find_first_not_of(' ');
        const std::string line =
            first == std::string::npos ? "" : m_line.substr(first, m_line.find_last_not_of(' ') - first + 1);
        m_line.clear();
        if (line.empty()) return;
        const auto percent = line.find("% complete");
        const auto comma = line.find(", ");
        if (percent != std::string::npos && comma != std::string::npos && comma < percent) {
            if (progressHook()) progressHook()(line.substr(0, comma), std::strtod(line.c_str() + comma + 2, nullptr));
            return;
        }
        if (line.find("complete") == std::string::npos) m_said = line;
    }

    std::string m_line;
    std::string m_said;
};

}  // namespace

bool isChdPath(const fs::path& path) { return lower(path.extension().string()) == ".chd"; }

std::optional<fs::path> findChdman() {
    const char* paths = std::getenv("PATH");
    if (!paths) return std::nullopt;
    const std::string list = paths;
    for (std::size_t start = 0; start <= list.size();) {
        std::size_t end = list.find(kPathSeparator, start);
        if (end == std::string::npos) end = list.size();
        if (end > start) {
            const fs::path candidate = fs::path(list.substr(start, end - start)) / kChdmanName;
            std::error_code ec;
            if (fs::is_regular_file(candidate, ec)) return candidate;
        }
        start = end + 1;
    }
    return std::nullopt;
}

void setChdProgress(ChdProgress progress) { progressHook() = std::move(progress); }

bool runChdman(const std::vector<std::string>& arguments, const std::string& step, std::string& failure) {
    const auto chdman = findChdman();
    if (!chdman) {
        failure = step + " failed: " + kChdmanMissing;
        return false;
    }
    ChdmanOutput output;
    std::string error;
    const auto status = platform::runProgram(
        *chdman, arguments, false, [&](const std::string& piece) { output.add(piece); }, error);
    const std::string said = output.lastWords();
    if (status && *status == 0) {
        if (progressHook()) progressHook()(step, 100.0);
        return true;
    }
    failure =
        step + " failed: " +
        (!status ? "chdman could not be run (" + error + ")"
                 : "chdman exited with status " + std::to_string(*status) + (said.empty() ? "" : " (" + said + ")"));
    return false;
}

std::optional<std::uint64_t> chdSectorCount(const fs::path& chd, std::string& error) {
    const auto chdman = findChdman();
    if (!chdman) {
        error = kChdmanMissing;
        return std::nullopt;
    }
    std::string said;
    const auto status = platform::runProgram(
        *chdman, {"info", "-i", utf8Path(chd)}, true, [&](const std::string& piece) {
            if (said.size() < kChdmanInfoLimit) said += piece;
        },
        error);
    if (!status || *status != 0) {
        if (status) error = "chdman can not read " + utf8Path(chd);
        return std::nullopt;
    }
    std::uint64_t frames = 0;
    bool found = false;
    for (std::size_t at = said.find("FRAMES:"); at != std::string::npos; at = said.find("FRAMES:", at + 1)) {
        frames += std::strtoull(said.c_str() + at + 7, nullptr, 10);
        found = true;
    }
    if (!found) {
        error = utf8Path(chd) + " holds no CD tracks";
        return std::nullopt;
    }
    return frames;
}

fs::path cacheRoot() {
#ifdef _WIN32
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    const fs::path base = local && *local ? fs::path(local) / kAppName / "cache" : fs::temp_directory_path() / kAppName;
    return base;
#else
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache && *cache == '/') return fs::path(cache) / kAppName;
    const char* home = std::getenv("HOME");
    return (home && *home ? fs::path(home) / ".cache" : fs::temp_directory_path()) / kAppName;
#endif
}

namespace {

// Removes the working folders whose program stopped without removing them.
void removeStaleFolders(const fs::path& root) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(root, ec)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with("chd-") || !entry.is_directory(ec) || entry.is_symlink(ec)) continue;
        std::ifstream pidFile(entry.path() / kPidFileName);
        std::uint64_t pid = 0;
        // A folder without its process ID yet may be one another program is making this moment.
        if (!(pidFile >> pid)) continue;
        pidFile.close();
        if (pid != platform::processId() && !platform::processRuns(pid)) fs::remove_all(entry.path(), ec);
    }
}

}  // namespace

bool ChdWorkFolder::make(std::string& error) {
    if (!m_path.empty()) return true;
    const fs::path root = cacheRoot();
    std::error_code ec;
    fs::create_directories(root, ec);
    if (ec) {
        error = "The working folder " + utf8Path(root) + " can not be made: " + ec.message();
        return false;
    }
    removeStaleFolders(root);
    static unsigned made = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const fs::path folder = root / ("chd-" + std::to_string(platform::processId()) + "-" + std::to_string(++made));
        if (!fs::create_directory(folder, ec)) {
            if (ec) break;
            continue;  // there already
        }
        std::ofstream pid(folder / kPidFileName);
        pid << platform::processId() << '\n';
        if (!pid.flush()) {
            fs::remove_all(folder, ec);
            break;
        }
        m_path = folder;
        return true;
    }
    error = "No working folder can be made in " + utf8Path(root) + (ec ? ": " + ec.message() : "");
    return false;
}

ChdWorkFolder::~ChdWorkFolder() {
    if (m_path.empty()) return;
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

namespace {

std::optional<Sha256::Digest> digestOf(const fs::path& file, std::string& error) {
    std::ifstream in(file, std::ios::binary);
    Sha256 hash;
    Bytes buffer(1 << 20);
    while (in) {
        in.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(buffer.size()));
        hash.add(ByteSpan(buffer.data(), static_cast<std::size_t>(in.gcount())));
    }
    if (!in.eof()) {
        error = utf8Path(file) + " can not be read";
        return std::nullopt;
    }
    return hash.finish();
}

}  // namespace

std::optional<bool> sameContent(const fs::path& a, const fs::path& b, std::string& error) {
    std::error_code ec;
    if (fs::file_size(a, ec) != fs::file_size(b, ec)) return ec ? std::nullopt : std::optional<bool>(false);
    const auto first = digestOf(a, error);
    if (!first) return std::nullopt;
    const auto second = digestOf(b, error);
    if (!second) return std::nullopt;
    return *first == *second;
}

}  // namespace tarvo
