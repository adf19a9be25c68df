#include "store/source_check.h"

#include "store/cue_sheet.h"
#include "store/data_store.h"
#include "store/file_access.h"
#include "store/file_io.h"
#include "store/iso_file.h"

namespace tarvo {

namespace fs = std::filesystem;

ImageCheck checkImageFile(const fs::path& image) {
    std::error_code error;
    if (!fs::is_regular_file(image, error)) return ImageCheck::CannotRead;
    std::string reason;
    const auto file = diskAccess().open(image, OpenMode::Read, reason);
    if (!file) return ImageCheck::CannotRead;
    const std::uint64_t minSize = sectorLayoutOf(*file).cooked() ? kMinCookedImageSize : kMinImageSize;
    return file->size() >= minSize ? ImageCheck::Ok : ImageCheck::TooSmall;
}

std::optional<SourcePath> resolveSourcePath(const fs::path& path, std::string& error) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) return SourcePath{true, path, {}, false};
    if (!isCueSheetPath(path)) return SourcePath{false, path, {}, false};
    SourcePath source{false, {}, path, false};
    const auto image = cueDataFile(path, source.cooked, error);
    if (!image) return std::nullopt;
    source.path = *image;
    return source;
}

std::optional<std::string> cueLayoutMismatch(const SourcePath& source, const DataStore& store) {
    if (source.cueSheet.empty()) return std::nullopt;
    const bool cooked = store.archiveFile().layout().cooked();
    if (cooked == source.cooked) return std::nullopt;
    return "The cue sheet " + utf8Path(source.cueSheet) + " says " + (source.cooked ? "MODE1/2048" : "MODE2/2352") +
           ", but " + utf8Path(source.path) + " holds " + (cooked ? "2048" : "2352") + "-byte sectors";
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
