#include "store/file_access.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#include "store/file_platform.h"

namespace tarvo {

namespace fs = std::filesystem;

std::string systemErrorText() { return std::strerror(errno); }

bool FileAccess::syncFolder(const fs::path& folder, std::string& error) {
    if (platform::syncFolder(folder)) return true;
    error = systemErrorText();
    return false;
}

namespace {

class DiskFile : public OpenFile {
public:
    DiskFile(std::FILE* file, std::uint64_t size) : m_file(file), m_size(size) {}
    ~DiskFile() override { std::fclose(m_file); }
    DiskFile(const DiskFile&) = delete;
    DiskFile& operator=(const DiskFile&) = delete;

    bool read(std::uint64_t position, MutableByteSpan destination) override {
        if (!fitsIn(m_size, position, destination.size())) return fail("the range passes the end of the file");
        if (!platform::seekFile(m_file, position)) return fail(systemErrorText());
        if (std::fread(destination.data(), 1, destination.size(), m_file) != destination.size())
            return fail(std::ferror(m_file) ? systemErrorText() : "the file ends early");
        return true;
    }

    bool write(std::uint64_t position, ByteSpan source) override {
        // Handed to the system at once, so that a full disk shows at this write and not later.
        if (!platform::seekFile(m_file, position) ||
            std::fwrite(source.data(), 1, source.size(), m_file) != source.size() || std::fflush(m_file) != 0)
            return fail(systemErrorText());
        m_size = std::max(m_size, position + source.size());
        return true;
    }

    bool flush() override { return platform::syncFile(m_file) || fail(systemErrorText()); }
    std::uint64_t size() const override { return m_size; }

private:
    bool fail(std::string reason) {
        std::clearerr(m_file);
        m_error = std::move(reason);
        return false;
    }

    std::FILE* m_file;
    std::uint64_t m_size;
};

class DiskAccess : public FileAccess {
public:
    std::unique_ptr<OpenFile> open(const fs::path& file, OpenMode mode, std::string& error) override {
        const bool noFollow = mode != OpenMode::Read && mode != OpenMode::ReadWrite;
        std::error_code ec;
        const auto status = noFollow ? fs::symlink_status(file, ec) : fs::status(file, ec);
        if (mode == OpenMode::CreateNew) {
            if (fs::exists(status)) {
                error = fs::is_symlink(status) ? "a symbolic link is there already" : "the file exists already";
                return nullptr;
            }
        } else if (!fs::is_regular_file(status)) {
            error = fs::is_symlink(status) ? "it is a symbolic link"
                    : fs::exists(status)   ? "it is not a regular file"
                                           : "No such file or directory";
            return nullptr;
        }
        // The checks above name the usual cases; the open itself refuses what changed meanwhile
        // (created exclusively, so that a file made by another program is not taken).
        std::FILE* handle = nullptr;
        switch (mode) {
        case OpenMode::Read: handle = platform::openFile(file, "rb"); break;
        case OpenMode::ReadWrite: handle = platform::openFile(file, "r+b"); break;
        case OpenMode::CreateNew: handle = platform::openFileNoFollow(file, platform::NoFollow::CreateNew); break;
        case OpenMode::ReadNoFollow: handle = platform::openFileNoFollow(file, platform::NoFollow::Read); break;
        case OpenMode::ReadWriteNoFollow:
            handle = platform::openFileNoFollow(file, platform::NoFollow::ReadWrite);
            break;
        }
        if (!handle) {
            error = errno == ELOOP ? "it is a symbolic link" : systemErrorText();
            return nullptr;
        }
        std::uint64_t size = 0;
        if (std::fseek(handle, 0, SEEK_END) == 0) size = platform::tellFile(handle);
        return std::make_unique<DiskFile>(handle, size);
    }

    bool remove(const fs::path& file) override {
        std::error_code ec;
        fs::remove(file, ec);
        return !fs::exists(fs::symlink_status(file, ec));
    }
};

}  // namespace

FileAccess& diskAccess() {
    static DiskAccess access;
    return access;
}

}  // namespace tarvo
