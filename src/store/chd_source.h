#pragma once
// What editing a CHD image needs besides the raw image it holds: Debian's chdman (package
// mame-tools) run as a program, a private working folder under the cache folder for the raw image
// it extracts, and the progress of its slow steps for a front end to show.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarvo {

inline constexpr const char* kChdmanMissing = "Opening a CHD image needs chdman (Debian package mame-tools)";

// Whether the path names a CHD image (by its extension, any case).
bool isChdPath(const std::filesystem::path& path);

// chdman as found on the PATH; nullopt when it is not there.
std::optional<std::filesystem::path> findChdman();

// Told the step ("Extracting", "Compressing") and how far chdman is with it, in percent, as often
// as chdman says, and the step runChdman names with 100 when it succeeded. One for the process: the
// front end that wants to show progress sets it.
using ChdProgress = std::function<void(const std::string& step, double percent)>;
void setChdProgress(ChdProgress progress);

// Runs chdman with `arguments`; false with `failure` ("<step> failed: <chdman's last words>") when
// it could not be run or exited other than 0.
bool runChdman(const std::vector<std::string>& arguments, const std::string& step, std::string& failure);

// The sectors the CHD holds (the frames of all its tracks, as `chdman info` lists them).
std::optional<std::uint64_t> chdSectorCount(const std::filesystem::path& chd, std::string& error);

// $XDG_CACHE_HOME (or ~/.cache; on Windows the local application data folder) +
// "/Tarvo_Riviza_Editor".
std::filesystem::path cacheRoot();

// A folder of its own under cacheRoot(), "chd-<process>-<n>", holding the process ID so that a
// later run can tell it was left by a program that stopped and remove it (made() does so). Removed
// with everything in it when the object goes.
class ChdWorkFolder {
public:
    ChdWorkFolder() = default;
    ~ChdWorkFolder();
    ChdWorkFolder(const ChdWorkFolder&) = delete;
    ChdWorkFolder& operator=(const ChdWorkFolder&) = delete;
    // Makes the folder (once); false with `error` when it can not be made.
    bool make(std::string& error);
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// Whether two files hold the same bytes, by their SHA-256 (read in pieces: a disc is large).
// nullopt with `error` when one can not be read.
std::optional<bool> sameContent(const std::filesystem::path& a, const std::filesystem::path& b, std::string& error);

}  // namespace tarvo
