#pragma once
// The checks of a source before it is loaded: a CD image must be readable and as long as a whole
// disc (700000000 bytes raw; a cooked image holds 2048 of each 2352 bytes, so 609523810); a folder
// of exported files must hold the three files. A CHD image is measured by the sectors it holds.

#include <cstdint>
#include <filesystem>

namespace tarvo {

inline constexpr std::uint64_t kMinImageSize = 700000000;
inline constexpr std::uint64_t kMinCookedImageSize = (kMinImageSize * 2048 + 2351) / 2352;

enum class ImageCheck { Ok, CannotRead, TooSmall };
ImageCheck checkImageFile(const std::filesystem::path& image);

// True when the folder holds "select.ovl", "parameter.ovl" and "QXRT_418.27" or "QXRZ_730.56".
bool isExportDirectory(const std::filesystem::path& folder);

}  // namespace tarvo
