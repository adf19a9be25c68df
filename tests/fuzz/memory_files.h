#pragma once
// Files kept in memory, reached through the store's file interface as it reaches the disk, so that
// a fuzz input loads and writes back a disc image at memory speed. A file is a stated size and the
// pages written into it; a range never written reads as zeros. Copies of a file share its pages
// until one of them writes one.

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "fuzz_support.h"
#include "store/file_access.h"

// The memory files are the fuzz targets' disk, not what they test: their branches would only add
// noise to the fuzzer's coverage, and tracing them costs a load's time. None of their functions,
// lambdas included, is traced.
#define FUZZ_NO_COVERAGE __attribute__((no_sanitize("coverage")))
#pragma clang attribute push(FUZZ_NO_COVERAGE, apply_to = function)

namespace tarvo::fuzz {

class MemoryFile {
public:
    static constexpr std::size_t kPageSize = 65536;

    std::uint64_t size() const { return m_size; }
    // A smaller size drops what lies past it; a larger one reads as zeros.
    void resize(std::uint64_t size) {
        m_lastPage = kNoPage;
        m_pages.erase(m_pages.lower_bound((size + kPageSize - 1) / kPageSize), m_pages.end());
        if (const std::size_t tail = size % kPageSize; tail != 0)
            if (const auto last = m_pages.find(size / kPageSize); last != m_pages.end())
                std::fill(ownPage(last).begin() + static_cast<long>(tail), ownPage(last).end(), 0);
        m_size = size;
    }

    void read(std::uint64_t position, MutableByteSpan destination) const {
        FUZZ_CHECK(fitsIn(m_size, position, destination.size()));
        forEachPiece(position, destination.size(),
                     [&](std::uint64_t page, std::size_t in, std::size_t at, std::size_t n) {
                         if (page != m_lastPage) {
                             const auto found = m_pages.find(page);
                             m_lastPage = page;
                             m_lastBytes = found == m_pages.end() ? nullptr : found->second.get();
                         }
                         if (!m_lastBytes) std::memset(destination.data() + at, 0, n);
                         else std::memcpy(destination.data() + at, m_lastBytes->data() + in, n);
                     });
    }

    // Grows the file when the bytes pass its end.
    void write(std::uint64_t position, ByteSpan source) {
        m_lastPage = kNoPage;
        forEachPiece(position, source.size(), [&](std::uint64_t page, std::size_t in, std::size_t at, std::size_t n) {
            auto found = m_pages.find(page);
            if (found == m_pages.end()) found = m_pages.emplace(page, std::make_shared<Bytes>(kPageSize)).first;
            std::memcpy(ownPage(found).data() + in, source.data() + at, n);
        });
        m_size = std::max<std::uint64_t>(m_size, position + source.size());
    }

    // Whether the file holds exactly `data`.
    bool holds(ByteSpan data) const {
        static const Bytes zeros(kPageSize);
        bool same = data.size() == m_size;
        forEachPiece(0, same ? data.size() : 0, [&](std::uint64_t page, std::size_t in, std::size_t at, std::size_t n) {
            const auto found = m_pages.find(page);
            same = same &&
                   std::memcmp(data.data() + at, (found == m_pages.end() ? zeros : *found->second).data() + in, n) == 0;
        });
        return same;
    }

    // The positions of the pages where this file and `other` may differ (a page neither wrote since
    // they were one file is the same page).
    template <typename Each>
    void forEachChangedPage(const MemoryFile& other, Each each) const {
        auto a = m_pages.begin(), b = other.m_pages.begin();
        while (a != m_pages.end() || b != other.m_pages.end()) {
            const std::uint64_t pa = a != m_pages.end() ? a->first : UINT64_MAX;
            const std::uint64_t pb = b != other.m_pages.end() ? b->first : UINT64_MAX;
            const std::uint64_t page = std::min(pa, pb);
            if (pa != pb || a->second != b->second) each(page * kPageSize);
            if (pa == page) ++a;
            if (pb == page) ++b;
        }
    }

private:
    using Pages = std::map<std::uint64_t, std::shared_ptr<Bytes>>;

    Bytes& ownPage(Pages::iterator page) {
        if (page->second.use_count() > 1) page->second = std::make_shared<Bytes>(*page->second);
        return *page->second;
    }

    template <typename Piece>
    static void forEachPiece(std::uint64_t position, std::size_t count, Piece piece) {
        for (std::size_t at = 0; at < count;) {
            const std::uint64_t page = (position + at) / kPageSize;
            const auto in = static_cast<std::size_t>((position + at) % kPageSize);
            const std::size_t n = std::min(count - at, kPageSize - in);
            piece(page, in, at, n);
            at += n;
        }
    }

    std::uint64_t m_size = 0;
    Pages m_pages;
    // The page read last, looked up once for all the pieces read from it (nullptr: zeros).
    static constexpr std::uint64_t kNoPage = UINT64_MAX;
    mutable std::uint64_t m_lastPage = kNoPage;
    mutable const Bytes* m_lastBytes = nullptr;
};

// A folder of memory files by path. A path that names a file here must name a file or folder on
// the disk too where the store asks the disk (a source's identity for its lock): the fuzz targets
// keep an empty one there.
class MemoryFiles : public FileAccess {
public:
    std::map<std::filesystem::path, std::shared_ptr<MemoryFile>> files;

    std::unique_ptr<OpenFile> open(const std::filesystem::path& path, OpenMode mode, std::string& error) override {
        auto found = files.find(path);
        if (mode == OpenMode::CreateNew) {
            if (found != files.end()) {
                error = "the file exists already";
                return nullptr;
            }
            found = files.emplace(path, std::make_shared<MemoryFile>()).first;
        } else if (found == files.end()) {
            error = "No such file or directory";
            return nullptr;
        }
        return std::make_unique<Open>(found->second);
    }
    bool remove(const std::filesystem::path& path) override {
        files.erase(path);
        return true;
    }
    bool syncFolder(const std::filesystem::path&, std::string&) override { return true; }

private:
    class Open : public OpenFile {
    public:
        explicit Open(std::shared_ptr<MemoryFile> file) : m_file(std::move(file)) {}
        bool read(std::uint64_t position, MutableByteSpan destination) override {
            if (fitsIn(m_file->size(), position, destination.size())) {
                m_file->read(position, destination);
                return true;
            }
            m_error = "the range passes the end of the file";
            return false;
        }
        // Straight from the pages, as the disk's reads go straight into the destination.
        bool readPieces(std::uint64_t position, std::size_t stride, std::size_t pieceSize,
                        MutableByteSpan destination) override {
            if (pieceSize == 0 || stride < pieceSize) return false;
            for (std::size_t done = 0; done < destination.size(); done += pieceSize, position += stride)
                if (!read(position, destination.subspan(done, std::min(pieceSize, destination.size() - done))))
                    return false;
            return true;
        }
        bool write(std::uint64_t position, ByteSpan source) override {
            m_file->write(position, source);
            return true;
        }
        bool flush() override { return true; }
        std::uint64_t size() const override { return m_file->size(); }

    private:
        std::shared_ptr<MemoryFile> m_file;
    };
};

}  // namespace tarvo::fuzz

#pragma clang attribute pop
