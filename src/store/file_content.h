#pragma once
// The bytes of one file, read and written in place by offset: what the archive reads its tables
// and entries through. IsoFile gives a file located in the CD image; tests give one in memory.

#include <cstdint>
#include <string>

#include "store/bytes.h"

namespace tarvo {

class FileContent {
public:
    enum class Mode { Read, ReadWrite };

    virtual ~FileContent() = default;
    // Opens the underlying file for a series of transfers; shows why not on failure.
    virtual bool Open(Mode mode) = 0;
    virtual void Close() = 0;
    // Copies bytes of the file; false (nothing transferred) when the range passes its end.
    virtual bool Read(std::uint64_t offset, MutableByteSpan destination) = 0;
    // Stores bytes into the file in place; the file must be open for reading and writing.
    virtual bool Write(std::uint64_t offset, ByteSpan source) = 0;
    // True when the whole file can be read (shows why not otherwise).
    virtual bool checkFileInImage() = 0;
    virtual std::uint64_t contentSize() const = 0;
    // How messages name the file ("FILEDATA.AFS in /discs/game.bin").
    virtual std::string contentName() const = 0;
};

}  // namespace tarvo
