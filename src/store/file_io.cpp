#include "store/file_io.h"

#include <algorithm>
#include <mutex>
#include <random>
#include <system_error>
#include <vector>

#include "store/backups.h"
#include "store/file_access.h"

namespace tarvo {

namespace fs = std::filesystem;

fs::path pathFromUtf8(std::string_view text) { return fs::path(std::u8string(text.begin(), text.end())); }

std::string utf8Path(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

namespace {

std::mutex g_protectedMutex;
std::vector<fs::path>& protectedPaths() {
    static std::vector<fs::path> paths;
    return paths;
}

// True when `file` is `guarded` or lies inside it (the guarded folder of backups).
bool isWithin(const fs::path& file, const fs::path& guarded) {
    std::error_code ec;
    for (fs::path at = file; !at.empty(); at = at.parent_path()) {
        if (fs::exists(at, ec) && fs::equivalent(at, guarded, ec)) return true;
        if (at == at.parent_path()) break;
    }
    return false;
}

}  // namespace

namespace {

template <typename Buffer>
bool readWholeInto(FileAccess& access, const fs::path& file, std::uint64_t maxSize, Buffer& data, std::string& error) {
    auto open = access.open(file, OpenMode::Read, error);
    if (!open) return false;
    if (open->size() > maxSize) {
        error = utf8Path(file) + " holds " + std::to_string(open->size()) + " bytes; the limit for this file is " +
                std::to_string(maxSize) + " bytes";
        return false;
    }
    data.resize(static_cast<std::size_t>(open->size()));
    if (open->read(0, data)) return true;
    error = open->error();
    return false;
}

}  // namespace

bool readWholeFile(FileAccess& access, const fs::path& file, std::uint64_t maxSize, BlockBytes& data,
                   std::string& error) {
    return readWholeInto(access, file, maxSize, data, error);
}

std::optional<Bytes> readWholeFile(FileAccess& access, const fs::path& file, std::uint64_t maxSize,
                                   std::string& error) {
    Bytes data;
    if (!readWholeInto(access, file, maxSize, data, error)) return std::nullopt;
    return data;
}

std::optional<Bytes> readWholeFile(const fs::path& file, std::uint64_t maxSize, std::string& error) {
    return readWholeFile(diskAccess(), file, maxSize, error);
}

void protectFromOutput(const fs::path& path) {
    std::lock_guard lock(g_protectedMutex);
    protectedPaths().push_back(fs::absolute(path));
}

void unprotectFromOutput(const fs::path& path) {
    std::lock_guard lock(g_protectedMutex);
    auto& paths = protectedPaths();
    const auto at = std::find(paths.begin(), paths.end(), fs::absolute(path));
    if (at != paths.end()) paths.erase(at);
}

std::optional<std::string> outputRefusal(const fs::path& file) {
    std::error_code ec;
    {
        std::lock_guard lock(g_protectedMutex);
        // The backups are guarded whether or not a source is loaded: a command that loads none
        // (decoding a voice file) must not write among them either.
        std::vector<fs::path> guardedPaths = protectedPaths();
        guardedPaths.push_back(backupsRoot());
        for (const fs::path& guarded : guardedPaths)
            if (fs::exists(guarded, ec) && isWithin(fs::absolute(file), guarded))
                return utf8Path(file) + " is " + (fs::is_directory(guarded, ec) ? "inside " : "") + utf8Path(guarded) +
                       ", which the program must not overwrite";
    }
    const auto status = fs::status(file, ec);
    if (fs::exists(status) && !fs::is_regular_file(status)) return utf8Path(file) + " exists and is not a regular file";
    const fs::path folder = fs::absolute(file).parent_path();
    if (!fs::is_directory(folder, ec)) return "the folder " + utf8Path(folder) + " does not exist";
    return std::nullopt;
}

WriteResult writeWholeFile(const fs::path& file, ByteSpan data, std::string& error) {
    if (const auto refusal = outputRefusal(file)) {
        error = *refusal;
        return WriteResult::Refused;
    }
    FileAccess& access = diskAccess();
    const fs::path temporary = fs::absolute(file).parent_path() / (file.filename().string() + ".tarvo-tmp-" +
                                                                   std::to_string(std::random_device{}() % 1000000));
    auto out = access.open(temporary, OpenMode::CreateNew, error);
    if (!out) return WriteResult::CannotCreate;
    const bool written = out->write(0, data) && out->flush();
    if (!written) error = out->error();
    out.reset();
    std::error_code ec;
    if (written) fs::rename(temporary, file, ec);
    if (!written || ec) {
        if (ec) error = ec.message();
        access.remove(temporary);
        return WriteResult::CannotWrite;
    }
    return WriteResult::Ok;
}

std::optional<Bytes> readFileReporting(const fs::path& file, std::uint64_t maxSize, MessageService& messages) {
    std::string error;
    auto data = readWholeFile(file, maxSize, error);
    // The system's reasons are left out of the message; the program's own refusal is given.
    std::error_code ec;
    const bool tooLarge = fs::is_regular_file(file, ec) && fs::file_size(file, ec) > maxSize;
    if (!data) messages.fileError("Can not read file " + utf8Path(file) + " !" + (tooLarge ? "\n" + error : ""));
    return data;
}

bool writeFileReporting(const fs::path& file, ByteSpan data, MessageService& messages) {
    std::string error;
    switch (writeWholeFile(file, data, error)) {
    case WriteResult::Ok: return true;
    case WriteResult::Refused: messages.fileError("Can not create file " + utf8Path(file) + " !\n" + error); break;
    case WriteResult::CannotCreate: messages.fileError("Can not create file " + utf8Path(file) + " !"); break;
    case WriteResult::CannotWrite: messages.fileError("Can not write file " + utf8Path(file) + " !"); break;
    }
    return false;
}

}  // namespace tarvo
