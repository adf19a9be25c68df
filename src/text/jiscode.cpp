#include "text/jiscode.h"

#include <vector>

#include "text/embedded_resources.h"

namespace tarvo {

namespace {

constexpr std::size_t kTableSize = 2 * kJisCodeCount;
constexpr std::int16_t kNoEntry = -1;

// Entry number of every two-byte value (lead * 256 + trail), built once.
const std::vector<std::int16_t>& codeIndex() {
    static const std::vector<std::int16_t> index = [] {
        std::vector<std::int16_t> result(65536, kNoEntry);
        const ByteSpan table = JISCODE();
        for (std::size_t n = table.size() / 2; n-- > 0;) {  // backwards, so the first entry wins
            result[table[2 * n] << 8 | table[2 * n + 1]] = static_cast<std::int16_t>(n);
        }
        return result;
    }();
    return index;
}

}  // namespace

ByteSpan JISCODE() {
    const ByteSpan table = embedded::jiscode();
    return table.size() == kTableSize ? table : ByteSpan{};
}

std::array<std::uint8_t, 2> codeAtIndex(int n) {
    const ByteSpan table = JISCODE();
    if (n < 0 || static_cast<std::size_t>(n) * 2 + 2 > table.size()) return {0x81, 0x40};
    return {table[2 * n], table[2 * n + 1]};
}

std::optional<int> indexOfCode(std::uint8_t lead, std::uint8_t trail) {
    const std::int16_t n = codeIndex()[lead << 8 | trail];
    if (n == kNoEntry) return std::nullopt;
    return n;
}

}  // namespace tarvo
