#pragma once
// The checks of a source before it is loaded: a CD image must be readable and as long as a whole
// disc (700000000 bytes raw; a cooked image holds 2048 of each 2352 bytes, so 609523810); a folder
// of exported files must hold the three files.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace tarvo {

inline constexpr std::uint64_t kMinImageSize = 700000000;
inline constexpr std::uint64_t kMinCookedImageSize = (kMinImageSize * 2048 + 2351) / 2352;

enum class ImageCheck { Ok, CannotRead, TooSmall };
ImageCheck checkImageFile(const std::filesystem::path& image);

// What a SOURCE given by the user names: a folder of exported files, or a disc image, given as
// its file or as the CUE sheet that names it (then `cueSheet` is the sheet, `path` the image file
// beside it, and `cooked` what the sheet says its sectors are).
struct SourcePath {
    bool folder = false;
    std::filesystem::path path;
    std::filesystem::path cueSheet;
    bool cooked = false;
};
// The source a path names, told apart by what the path is; nullopt with `error` for a CUE sheet
// that names no data track beside it.
std::optional<SourcePath> resolveSourcePath(const std::filesystem::path& path, std::string& error);

class DataStore;
// For an image loaded through a CUE sheet: the refusal when the image's sectors are not those the
// sheet says (a tool reading the sheet would misread the disc), else nullopt.
std::optional<std::string> cueLayoutMismatch(const SourcePath& source, const DataStore& store);

// True when the folder holds "select.ovl", "parameter.ovl" and "QXRT_418.27" or "QXRZ_730.56".
bool isExportDirectory(const std::filesystem::path& folder);

}  // namespace tarvo
