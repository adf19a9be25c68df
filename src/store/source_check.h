#pragma once
// The checks of a source before it is loaded: a CD image must be readable and at least
// 700000000 bytes long; a folder of exported files must hold the three files.

#include <cstdint>
#include <filesystem>

namespace tarvo {

inline constexpr std::uint64_t kMinImageSize = 700000000;

enum class ImageCheck { Ok, CannotRead, TooSmall };
ImageCheck checkImageFile(const std::filesystem::path& image);

// True when the folder holds "select.ovl", "parameter.ovl" and "QXRT_418.27" or "QXRZ_730.56".
bool isExportDirectory(const std::filesystem::path& folder);

}  // namespace tarvo
