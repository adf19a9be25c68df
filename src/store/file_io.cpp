#include "store/file_io.h"

#include <fstream>
#include <system_error>

namespace tarvo {

namespace fs = std::filesystem;

fs::path pathFromUtf8(std::string_view text) { return fs::path(std::u8string(text.begin(), text.end())); }

std::string utf8Path(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::optional<Bytes> readWholeFile(const fs::path& file) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return std::nullopt;
    const auto size = fs::file_size(file, ec);
    if (ec) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    Bytes data(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (static_cast<std::uint64_t>(in.gcount()) != size) return std::nullopt;
    return data;
}

WriteResult writeWholeFile(const fs::path& file, ByteSpan data) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) return WriteResult::CannotCreate;
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    out.close();
    if (!out) {
        std::error_code ec;
        fs::remove(file, ec);
        return WriteResult::CannotWrite;
    }
    return WriteResult::Ok;
}

std::optional<Bytes> readFileReporting(const fs::path& file, MessageService& messages) {
    auto data = readWholeFile(file);
    if (!data) messages.fileError("Can not read file " + utf8Path(file) + " !");
    return data;
}

bool writeFileReporting(const fs::path& file, ByteSpan data, MessageService& messages) {
    switch (writeWholeFile(file, data)) {
    case WriteResult::Ok: return true;
    case WriteResult::CannotCreate: messages.fileError("Can not create file " + utf8Path(file) + " !"); break;
    case WriteResult::CannotWrite: messages.fileError("Can not write file " + utf8Path(file) + " !"); break;
    }
    return false;
}

}  // namespace tarvo
