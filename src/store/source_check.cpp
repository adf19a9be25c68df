#include "store/source_check.h"

#include "store/cd_sector.h"
#include "store/chd_source.h"
#include "store/file_access.h"
#include "store/iso_file.h"
#include "store/source.h"

namespace tarvo {

namespace fs = std::filesystem;

ImageCheck checkImageFile(const fs::path& image) {
    std::error_code error;
    if (!fs::is_regular_file(image, error)) return ImageCheck::CannotRead;
    if (isChdPath(image)) {
        std::string reason;
        const auto sectors = chdSectorCount(image, reason);
        // A CHD keeps whole sectors only: one made from an image of the least size holds the whole
        // sectors of it.
        if (!sectors) return ImageCheck::CannotRead;
        return *sectors >= kMinImageSize / cdsector::kSectorSize ? ImageCheck::Ok : ImageCheck::TooSmall;
    }
    std::string reason;
    const auto file = diskAccess().open(image, OpenMode::Read, reason);
    if (!file) return ImageCheck::CannotRead;
    const std::uint64_t minSize = sectorLayoutOf(*file).cooked() ? kMinCookedImageSize : kMinImageSize;
    return file->size() >= minSize ? ImageCheck::Ok : ImageCheck::TooSmall;
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
