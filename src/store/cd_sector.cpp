#include "store/cd_sector.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>

namespace tarvo::cdsector {

namespace {

constexpr std::uint32_t kEdcPolynomial = 0xD8018001;  // the reflected product polynomial
constexpr std::size_t kEdcRangeSize = kEdcOffset - kSubheaderOffset;

// The P and Q codes work on the sector from the header on, as 16-bit words split into two
// byte planes; P protects columns, Q diagonals (GF(2^8), field polynomial x^8+x^4+x^3+x^2+1).
constexpr std::size_t kParityDataOffset = kHeaderOffset;
constexpr std::size_t kPColumns = 86, kPRows = 24;
constexpr std::size_t kQDiagonals = 26, kQRows = 43;  // each diagonal one word: two byte planes
constexpr std::size_t kQWords = 1118;                 // the words Q covers, P parity included

// Sixteen tables, so that the CRC takes sixteen bytes per step (table k: a byte followed by k zeros).
using EdcTables = std::array<std::array<std::uint32_t, 256>, 16>;

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
};

constexpr GaloisTables makeGaloisTables() {
    GaloisTables t;
    for (unsigned i = 0; i < 256; ++i) {
        const unsigned doubled = (i << 1) ^ ((i & 0x80) ? 0x11D : 0);
        t.times2[i] = static_cast<std::uint8_t>(doubled);
        t.divide3[i ^ doubled] = static_cast<std::uint8_t>(i);
    }
    return t;
}

// Q's diagonal d takes, in row m, the word (43 d + 44 m) mod 1118 of the covered words.
constexpr std::array<std::array<std::uint16_t, kQDiagonals>, kQRows> makeQWords() {
    std::array<std::array<std::uint16_t, kQDiagonals>, kQRows> words{};
    for (std::size_t m = 0; m < kQRows; ++m)
        for (std::size_t d = 0; d < kQDiagonals; ++d)
            words[m][d] = static_cast<std::uint16_t>((43 * d + 44 * m) % kQWords);
    return words;
}

constexpr auto kEdcTables = makeEdcTables();
constexpr auto kGalois = makeGaloisTables();
constexpr auto kQWordOf = makeQWords();

// Eight GF(2^8) values side by side, so that one step works on eight parity vectors at once.
using Lanes = std::uint64_t;
constexpr Lanes kHighBits = 0x8080808080808080;
constexpr Lanes times2(Lanes x) { return ((x & ~kHighBits) << 1) ^ (((x & kHighBits) >> 7) * 0x1D); }

Lanes load(const std::uint8_t* bytes) {
    Lanes x;
    std::memcpy(&x, bytes, sizeof x);
    return x;
}

// The two parity bytes of each vector, from its Horner sum h = sum of v[i] * alpha^(n-1-i) and its
// plain sum b: the pair (a, a ^ b) with a * (alpha + 1) = alpha^2 h + b makes the code word's
// syndromes zero. Stored at parity[k] and parity[k + count].
void storeParity(const std::uint8_t* horner, const std::uint8_t* sum, std::size_t count, std::uint8_t* parity) {
    for (std::size_t k = 0; k < count; ++k) {
        const std::uint8_t a = kGalois.divide3[kGalois.times2[kGalois.times2[horner[k]]] ^ sum[k]];
        parity[k] = a;
        parity[k + count] = static_cast<std::uint8_t>(a ^ sum[k]);
    }
}

// P: column c of the 24 rows of 86 bytes; eight neighbouring columns per step. The last step of
// the last row reads two bytes past the rows (the start of the P parity, inside the sector);
// their lanes are not used.
void computeP(const std::uint8_t* data, std::uint8_t* parity) {
    constexpr std::size_t kSteps = (kPColumns + 7) / 8;
    std::array<Lanes, kSteps> horner{}, sum{};
    for (std::size_t row = 0; row < kPRows; ++row)
        for (std::size_t k = 0; k < kSteps; ++k) {
            const Lanes v = load(data + row * kPColumns + 8 * k);
            horner[k] = times2(horner[k]) ^ v;
            sum[k] ^= v;
        }
    std::array<std::uint8_t, kSteps * 8> h, b;
    std::memcpy(h.data(), horner.data(), h.size());
    std::memcpy(b.data(), sum.data(), b.size());
    storeParity(h.data(), b.data(), kPColumns, parity);
}

// Q: the diagonals, four words (eight byte planes) per step, gathered word by word.
void computeQ(const std::uint8_t* data, std::uint8_t* parity) {
    constexpr std::size_t kSteps = (kQDiagonals + 3) / 4;
    std::array<Lanes, kSteps> horner{}, sum{};
    for (std::size_t row = 0; row < kQRows; ++row)
        for (std::size_t k = 0; k < kSteps; ++k) {
            Lanes v = 0;
            for (std::size_t d = 4 * k; d < std::min(4 * k + 4, kQDiagonals); ++d) {
                const std::uint8_t* word = data + 2 * std::size_t{kQWordOf[row][d]};
                v |= (Lanes{word[0]} | Lanes{word[1]} << 8) << (16 * (d % 4));
            }
            horner[k] = times2(horner[k]) ^ v;
            sum[k] ^= v;
        }
    std::array<std::uint8_t, 2 * kQDiagonals> h, b;  // by byte plane: word d's bytes are vectors 2d, 2d + 1
    for (std::size_t d = 0; d < kQDiagonals; ++d)
        for (std::size_t plane = 0; plane < 2; ++plane) {
            const int shift = static_cast<int>(16 * (d % 4) + 8 * plane);
            h[2 * d + plane] = static_cast<std::uint8_t>(horner[d / 4] >> shift);
            b[2 * d + plane] = static_cast<std::uint8_t>(sum[d / 4] >> shift);
        }
    storeParity(h.data(), b.data(), 2 * kQDiagonals, parity);
}

std::uint8_t bcd(std::uint32_t value) { return static_cast<std::uint8_t>(((value / 10) << 4) | (value % 10)); }

}  // namespace

std::uint32_t edc(ByteSpan data) {
    const auto u32 = [](const std::uint8_t* p) {
        return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
    };
    std::uint32_t value = 0;
    const std::uint8_t* p = data.data();
    const std::uint8_t* const end = p + data.size();
    const auto& t = kEdcTables;
    for (; end - p >= 16; p += 16) {
        const std::uint32_t a = value ^ u32(p), b = u32(p + 4), c = u32(p + 8), d = u32(p + 12);
        value = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^ t[11][b & 0xFF] ^
                t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24] ^ t[7][c & 0xFF] ^
                t[6][(c >> 8) & 0xFF] ^ t[5][(c >> 16) & 0xFF] ^ t[4][c >> 24] ^ t[3][d & 0xFF] ^
                t[2][(d >> 8) & 0xFF] ^ t[1][(d >> 16) & 0xFF] ^ t[0][d >> 24];
    }
    for (; p != end; ++p) value = (value >> 8) ^ t[0][(value ^ *p) & 0xFF];
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
    computeP(data, sector.data() + kPParityOffset);
    computeQ(data, sector.data() + kQParityOffset);
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
