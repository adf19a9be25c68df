#include "store/cd_sector.h"

#include <algorithm>
#include <array>
#include <cassert>

namespace tarvo::cdsector {

namespace {

constexpr std::uint32_t kEdcPolynomial = 0xD8018001;  // the reflected product polynomial
constexpr std::size_t kEdcRangeSize = kEdcOffset - kSubheaderOffset;

// The P and Q codes work on the sector from the header on, as 16-bit words split into two
// byte planes; P protects columns, Q diagonals (GF(2^8), field polynomial x^8+x^4+x^3+x^2+1).
constexpr std::size_t kParityDataOffset = kHeaderOffset;
constexpr std::size_t kPColumns = 86, kPRows = 24;
constexpr std::size_t kQDiagonals = 52, kQRows = 43;

// Four tables, so that the CRC takes four bytes per step (table k: a byte followed by k zeros).
using EdcTables = std::array<std::array<std::uint32_t, 256>, 4>;

constexpr EdcTables makeEdcTables() {
    EdcTables tables{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t value = i;
        for (int bit = 0; bit < 8; ++bit) value = (value >> 1) ^ ((value & 1) ? kEdcPolynomial : 0);
        tables[0][i] = value;
    }
    for (std::size_t k = 1; k < tables.size(); ++k)
        for (std::size_t i = 0; i < 256; ++i)
            tables[k][i] = (tables[k - 1][i] >> 8) ^ tables[0][tables[k - 1][i] & 0xFF];
    return tables;
}

struct GaloisTables {
    std::array<std::uint8_t, 256> times2{};   // x -> x * alpha
    std::array<std::uint8_t, 256> divide3{};  // x * (alpha + 1) -> x
    // powers[p][x] = x * alpha^p: each parity byte is a sum of such products, one per data byte,
    // which (unlike the step-by-step product) lets the processor work on many bytes at once.
    std::array<std::array<std::uint8_t, 256>, kQRows + 1> powers{};
};

constexpr GaloisTables makeGaloisTables() {
    GaloisTables t;
    for (unsigned i = 0; i < 256; ++i) {
        const unsigned doubled = (i << 1) ^ ((i & 0x80) ? 0x11D : 0);
        t.times2[i] = static_cast<std::uint8_t>(doubled);
        t.divide3[i ^ doubled] = static_cast<std::uint8_t>(i);
        t.powers[0][i] = static_cast<std::uint8_t>(i);
    }
    for (std::size_t p = 1; p < t.powers.size(); ++p)
        for (std::size_t i = 0; i < 256; ++i) t.powers[p][i] = t.times2[t.powers[p - 1][i]];
    return t;
}

constexpr auto kEdcTables = makeEdcTables();
constexpr auto kGalois = makeGaloisTables();

// One Reed-Solomon product code pass over `data` (majorCount * minorCount bytes): for each of
// the majorCount vectors, two parity bytes stored at parity[major] and parity[major + majorCount].
void computeParity(const std::uint8_t* data, std::size_t majorCount, std::size_t minorCount, std::size_t majorStep,
                   std::size_t minorStep, std::uint8_t* parity) {
    const std::size_t size = majorCount * minorCount;
    for (std::size_t major = 0; major < majorCount; ++major) {
        std::size_t index = (major >> 1) * majorStep + (major & 1);
        std::uint8_t a = 0, b = 0;
        for (std::size_t minor = 0; minor < minorCount; ++minor) {
            const std::uint8_t value = data[index];
            index += minorStep;
            if (index >= size) index -= size;
            a ^= kGalois.powers[minorCount - minor][value];
            b ^= value;
        }
        a = kGalois.divide3[kGalois.times2[a] ^ b];
        parity[major] = a;
        parity[major + majorCount] = static_cast<std::uint8_t>(a ^ b);
    }
}

std::uint8_t bcd(std::uint32_t value) { return static_cast<std::uint8_t>(((value / 10) << 4) | (value % 10)); }

}  // namespace

std::uint32_t edc(ByteSpan data) {
    std::uint32_t value = 0;
    std::size_t i = 0;
    for (; i + 4 <= data.size(); i += 4) {
        value ^= *readU32LE(data, i);
        value = kEdcTables[3][value & 0xFF] ^ kEdcTables[2][(value >> 8) & 0xFF] ^ kEdcTables[1][(value >> 16) & 0xFF] ^
                kEdcTables[0][value >> 24];
    }
    for (; i < data.size(); ++i) value = (value >> 8) ^ kEdcTables[0][(value ^ data[i]) & 0xFF];
    return value;
}

bool hasValidEdc(ByteSpan sector) {
    if (sector.size() < kSectorSize) return false;
    return readU32LE(sector, kEdcOffset) == edc(sector.subspan(kSubheaderOffset, kEdcRangeSize));
}

void encodeTail(MutableByteSpan sector) {
    assert(sector.size() >= kSectorSize);
    writeU32LE(sector, kEdcOffset, edc(sector.subspan(kSubheaderOffset, kEdcRangeSize)));
    std::array<std::uint8_t, kHeaderSize> head{};
    std::copy_n(sector.begin() + kHeaderOffset, kHeaderSize, head.begin());
    std::fill_n(sector.begin() + kHeaderOffset, kHeaderSize, 0);
    std::uint8_t* data = sector.data() + kParityDataOffset;
    computeParity(data, kPColumns, kPRows, 2, kPColumns, sector.data() + kPParityOffset);
    computeParity(data, kQDiagonals, kQRows, kPColumns, kPColumns + 2, sector.data() + kQParityOffset);
    std::copy(head.begin(), head.end(), sector.begin() + kHeaderOffset);
}

void writeHead(MutableByteSpan sector, std::uint32_t lba) {
    assert(sector.size() >= kSectorSize);
    sector[0] = 0;
    std::fill_n(sector.begin() + 1, kSyncSize - 2, 0xFF);
    sector[kSyncSize - 1] = 0;
    const std::uint32_t frames = lba + kLeadInFrames;
    sector[kHeaderOffset] = bcd(frames / (kFramesPerSecond * 60));
    sector[kHeaderOffset + 1] = bcd((frames / kFramesPerSecond) % 60);
    sector[kHeaderOffset + 2] = bcd(frames % kFramesPerSecond);
    sector[kHeaderOffset + 3] = 2;
}

}  // namespace tarvo::cdsector
