#pragma once
// The small file interface through which the store reaches the disc image, the exported files and
// the journal: open, read, write, flush, size (and, for the journal, remove and flush its folder). The disk's own
// implementation is diskAccess(); tests put one in front of it that fails a chosen write.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "store/bytes.h"

namespace tarvo {

class OpenFile {
public:
    virtual ~OpenFile() = default;
    // Exactly destination.size() bytes at `position`, or false.
    virtual bool read(std::uint64_t position, MutableByteSpan destination) = 0;
    // `destination` filled from pieces of the file: `pieceSize` bytes at `position`, the next
    // `stride` bytes further on, and so on, the last as long as what is left (the user bytes of
    // consecutive CD sectors). This one reads runs of pieces through a buffer; the disk's reads
    // them straight into `destination` where the system can.
    virtual bool readPieces(std::uint64_t position, std::size_t stride, std::size_t pieceSize,
                            MutableByteSpan destination);
    // All of `source` at `position`, handed to the system, or false.
    virtual bool write(std::uint64_t position, ByteSpan source) = 0;
    // Everything written so far is on the disk (fsync where the platform has it).
    virtual bool flush() = 0;
    virtual std::uint64_t size() const = 0;
    // Why the last call failed ("No space left on device").
    const std::string& error() const { return m_error; }

protected:
    std::string m_error;
};

enum class OpenMode {
    Read,       // an existing file
    ReadWrite,  // an existing file, never created nor truncated
    CreateNew,  // a file that must not exist yet; a link by its name, even a dangling one, refuses it
    // The same as Read and ReadWrite for a file whose path comes from no user (the journal): the
    // regular file at that very path, never what a symbolic link there points to.
    ReadNoFollow,
    ReadWriteNoFollow,
};

class FileAccess {
public:
    virtual ~FileAccess() = default;
    // The open file, or nullptr with `error` saying why.
    virtual std::unique_ptr<OpenFile> open(const std::filesystem::path& file, OpenMode mode, std::string& error) = 0;
    // Removes a file the program made; false when it is still there.
    virtual bool remove(const std::filesystem::path& file) = 0;
    // Makes the folder's list of names durable where the platform can; false with `error` saying why.
    virtual bool syncFolder(const std::filesystem::path& folder, std::string& error);
};

// The files on the disk.
FileAccess& diskAccess();

// The text of the system's last error (errno), as "No space left on device".
std::string systemErrorText();

}  // namespace tarvo
