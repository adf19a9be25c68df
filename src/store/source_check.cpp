#include "store/source_check.h"

#include <fstream>

#include "store/data_store.h"

namespace tarvo {

namespace fs = std::filesystem;

ImageCheck checkImageFile(const fs::path& image) {
    std::error_code error;
    if (!fs::is_regular_file(image, error)) return ImageCheck::CannotRead;
    std::ifstream in(image, std::ios::binary);
    if (!in) return ImageCheck::CannotRead;
    const std::uintmax_t size = fs::file_size(image, error);
    if (error) return ImageCheck::CannotRead;
    return size >= kMinImageSize ? ImageCheck::Ok : ImageCheck::TooSmall;
}

bool isExportDirectory(const fs::path& folder) {
    const auto isFile = [&folder](const char* name) {
        std::error_code error;
        return fs::is_regular_file(folder / name, error);
    };
    return isFile(kSelectFileName) && isFile(kParameterFileName) &&
           (isFile(kBootFileName) || isFile(kBootFileNameSecondRelease));
}

}  // namespace tarvo
