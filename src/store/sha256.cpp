#include "store/sha256.h"

#include <algorithm>

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define TARVO_SHA_INSTRUCTIONS 1
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace tarvo {

namespace {

constexpr std::array<std::uint32_t, 64> kRound = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::uint32_t rotr(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

void portableBlock(std::array<std::uint32_t, 8>& state, const std::uint8_t* data) {
    std::array<std::uint32_t, 64> w;
    for (int i = 0; i < 16; ++i)
        w[i] = (std::uint32_t{data[4 * i]} << 24) | (std::uint32_t{data[4 * i + 1]} << 16) |
               (std::uint32_t{data[4 * i + 2]} << 8) | data[4 * i + 3];
    for (int i = 16; i < 64; ++i) {
        const std::uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const std::uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    auto [a, b, c, d, e, f, g, h] = state;
    for (int i = 0; i < 64; ++i) {
        const std::uint32_t t1 = h + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + kRound[i] + w[i];
        const std::uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    const std::array<std::uint32_t, 8> add = {a, b, c, d, e, f, g, h};
    for (int i = 0; i < 8; ++i) state[i] += add[i];
}

#ifdef TARVO_SHA_INSTRUCTIONS

bool processorHasShaInstructions() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
    const bool ssse3 = c & (1u << 9), sse41 = c & (1u << 19);
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
    return ssse3 && sse41 && (b & (1u << 29));
}

// The rounds with the processor's SHA instructions: the state is kept as the word pairs ABEF and
// CDGH, and each instruction pair does four rounds; the message schedule runs four words ahead.
__attribute__((target("sha,sse4.1,ssse3"))) void instructionBlocks(std::array<std::uint32_t, 8>& state,
                                                                   const std::uint8_t* data, std::size_t count) {
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[0]));
    __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[4]));
    const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);
    for (; count > 0; --count, data += 64) {
        const __m128i abefBefore = abef, cdghBefore = cdgh;
        __m128i message[4];
#pragma GCC unroll 16
        for (int group = 0; group < 16; ++group) {
            __m128i& now = message[group % 4];
            if (group < 4)
                now = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * group)), byteSwap);
            __m128i words = _mm_add_epi32(now, _mm_loadu_si128(reinterpret_cast<const __m128i*>(&kRound[4 * group])));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, words);
            if (group >= 3 && group <= 14) {
                __m128i& next = message[(group + 1) % 4];
                next = _mm_add_epi32(next, _mm_alignr_epi8(now, message[(group + 3) % 4], 4));
                next = _mm_sha256msg2_epu32(next, now);
            }
            words = _mm_shuffle_epi32(words, 0x0E);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, words);
            if (group >= 1 && group <= 12) {
                __m128i& later = message[(group + 3) % 4];
                later = _mm_sha256msg1_epu32(later, now);
            }
        }
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }
    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    dcba = _mm_blend_epi16(feba, dchg, 0xF0);
    hgfe = _mm_alignr_epi8(dchg, feba, 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[0]), dcba);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[4]), hgfe);
}

#else

bool processorHasShaInstructions() { return false; }

#endif

}  // namespace

Sha256::Sha256(Engine engine)
    : m_instructions(engine == Engine::Fastest &&
                     [] {
                         static const bool has = processorHasShaInstructions();
                         return has;
                     }()),
      m_state{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19} {}

void Sha256::blocks(const std::uint8_t* data, std::size_t count) {
#ifdef TARVO_SHA_INSTRUCTIONS
    if (m_instructions) {
        instructionBlocks(m_state, data, count);
        return;
    }
#endif
    for (; count > 0; --count, data += 64) portableBlock(m_state, data);
}

void Sha256::add(ByteSpan data) {
    m_length += data.size();
    std::size_t at = 0;
    if (m_buffered > 0) {
        const std::size_t n = std::min(data.size(), 64 - m_buffered);
        std::copy_n(data.begin(), n, m_buffer.begin() + static_cast<std::ptrdiff_t>(m_buffered));
        m_buffered += n;
        at = n;
        if (m_buffered < 64) return;
        blocks(m_buffer.data(), 1);
        m_buffered = 0;
    }
    const std::size_t whole = (data.size() - at) / 64;
    blocks(data.data() + at, whole);
    at += whole * 64;
    std::copy(data.begin() + static_cast<std::ptrdiff_t>(at), data.end(), m_buffer.begin());
    m_buffered = data.size() - at;
}

Sha256::Digest Sha256::finish() {
    const std::uint64_t bits = m_length * 8;
    const std::uint8_t one = 0x80;
    add(ByteSpan(&one, 1));
    const std::uint8_t zero = 0;
    while (m_buffered != 56) add(ByteSpan(&zero, 1));
    std::array<std::uint8_t, 8> length;
    for (int i = 0; i < 8; ++i) length[i] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
    add(length);
    Digest digest;
    for (int i = 0; i < 8; ++i)
        for (int k = 0; k < 4; ++k) digest[4 * i + k] = static_cast<std::uint8_t>(m_state[i] >> (24 - 8 * k));
    return digest;
}

Sha256::Digest Sha256::of(ByteSpan data) {
    Sha256 sha;
    sha.add(data);
    return sha.finish();
}

std::string Sha256::hex(const Digest& digest) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t b : digest) {
        text += kDigits[b >> 4];
        text += kDigits[b & 15];
    }
    return text;
}

}  // namespace tarvo
