#pragma once
// SHA-256 (FIPS 180-4), for the journal's checksum and the backups' manifests.

#include <array>
#include <cstdint>
#include <string>

#include "store/bytes.h"

namespace tarvo {

class Sha256 {
public:
    using Digest = std::array<std::uint8_t, 32>;

    // The processor's SHA instructions are used where it has them; Portable never uses them (the
    // two give the same digests; the tests check both).
    enum class Engine { Fastest, Portable };

    explicit Sha256(Engine engine = Engine::Fastest);
    void add(ByteSpan data);
    Digest finish();  // the object is spent afterwards

    static Digest of(ByteSpan data);
    static std::string hex(const Digest& digest);

private:
    void blocks(const std::uint8_t* data, std::size_t count);

    bool m_instructions;
    std::array<std::uint32_t, 8> m_state;
    std::array<std::uint8_t, 64> m_buffer{};
    std::size_t m_buffered = 0;
    std::uint64_t m_length = 0;
};

}  // namespace tarvo
