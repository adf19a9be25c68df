// A PPF read from any bytes: an accepted patch's records lie inside the file, it writes back as a
// 3.0 that reads to the same records, and once it fits an image (of a size taken from the input)
// its writes, new or undo, stay inside that image.

#include <algorithm>

#include "fuzz_support.h"
#include "store/ppf.h"

namespace {

// An image in memory that counts every access outside it as a failure.
class MemoryImage : public tarvo::OpenFile {
public:
    explicit MemoryImage(std::size_t size) : m_bytes(size, 0x5A) {}
    bool read(std::uint64_t position, tarvo::MutableByteSpan destination) override {
        FUZZ_CHECK(tarvo::fitsIn(m_bytes.size(), position, destination.size()));
        std::copy_n(m_bytes.begin() + static_cast<std::ptrdiff_t>(position), destination.size(), destination.begin());
        return true;
    }
    bool write(std::uint64_t position, tarvo::ByteSpan source) override {
        FUZZ_CHECK(tarvo::fitsIn(m_bytes.size(), position, source.size()));
        std::ranges::copy(source, m_bytes.begin() + static_cast<std::ptrdiff_t>(position));
        return true;
    }
    bool flush() override { return true; }
    std::uint64_t size() const override { return m_bytes.size(); }

private:
    tarvo::Bytes m_bytes;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvo;
    if (size < 2) return 0;
    const std::size_t imageSize = std::size_t{data[0]} << 8 | data[1];
    const ByteSpan file(data + 2, size - 2);
    std::string error;
    const auto patch = ppf::parse(file, error);
    if (!patch) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    for (const ppf::Record& r : patch->records) {
        FUZZ_CHECK(fitsIn(file.size(), r.newAt, r.length));
        FUZZ_CHECK(!patch->hasUndo || fitsIn(file.size(), r.oldAt, r.length));
    }
    const auto again = ppf::parse(ppf::write(*patch), error);
    FUZZ_CHECK(again && again->records.size() == patch->records.size() && again->hasUndo == patch->hasUndo);
    for (std::size_t i = 0; i < patch->records.size(); ++i) {
        const ppf::Record &a = patch->records[i], &b = again->records[i];
        FUZZ_CHECK(a.offset == b.offset && std::ranges::equal(patch->newBytes(a), again->newBytes(b)));
        FUZZ_CHECK(std::ranges::equal(patch->oldBytes(a), again->oldBytes(b)));
    }
    MemoryImage image(imageSize);
    if (ppf::refusalFor(*patch, image)) return 0;
    for (const bool undo : {false, true})
        for (const FilePatch& w : ppf::imageWrites(*patch, undo)) image.write(w.position, w.bytes);
    return 0;
}
