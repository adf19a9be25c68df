#include "store/file_access.h"

#include <algorithm>
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

bool OpenFile::readPieces(std::uint64_t position, std::size_t stride, std::size_t pieceSize,
                          MutableByteSpan destination) {
    // Runs of whole strides, few enough that the buffer stays in the processor's cache while the
    // pieces are copied out of it.
    constexpr std::size_t kPiecesPerRead = 48;
    if (pieceSize == 0 || stride < pieceSize) return false;
    const auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(kPiecesPerRead * stride);
    for (std::size_t done = 0; done < destination.size();) {
        const std::size_t pieces = std::min(kPiecesPerRead, (destination.size() - done + pieceSize - 1) / pieceSize);
        const std::size_t last = std::min(pieceSize, destination.size() - done - (pieces - 1) * pieceSize);
        const std::uint64_t at = position + done / pieceSize * stride;
        if (!read(at, MutableByteSpan(buffer.get(), (pieces - 1) * stride + last))) return false;
        for (std::size_t k = 0; k < pieces; ++k) {
            const std::size_t n = k + 1 < pieces ? pieceSize : last;
            copyBytes(ByteSpan(buffer.get() + k * stride, n), destination.subspan(done));
            done += n;
        }
    }
    return true;
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

    bool readPieces(std::uint64_t position, std::size_t stride, std::size_t pieceSize,
                    MutableByteSpan destination) override {
        if (pieceSize == 0 || stride < pieceSize) return fail("the pieces overlap");
        const std::size_t before = destination.empty() ? 0 : (destination.size() - 1) / pieceSize;
        if (!fitsIn(m_size, position, std::uint64_t{before} * stride + destination.size() - before * pieceSize))
            return fail("the range passes the end of the file");
        const auto read = platform::readPieces(m_file, position, stride, pieceSize, destination);
        if (!read) return OpenFile::readPieces(position, stride, pieceSize, destination);
        return *read || fail(errno != 0 ? systemErrorText() : "the file ends early");
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
