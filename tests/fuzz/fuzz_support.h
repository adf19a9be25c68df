#pragma once
// What the fuzz targets share: a check that stops the run with a message (libFuzzer then keeps
// the input as a crash), a reader of the fuzzer's bytes, game data blocks made in memory, and
// files in a private folder.

#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "store/block_map.h"
#include "store/bytes.h"
#include "store/data_store.h"

#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)

namespace tarvo::fuzz {

// The fuzzer's bytes taken from the front: numbers, then pieces; zeros once they run out.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data, size) {}
    std::uint32_t u32() {
        return static_cast<std::uint32_t>(u8()) | u8() << 8 | u8() << 16 | std::uint32_t{u8()} << 24;
    }
    std::uint16_t u16() { return static_cast<std::uint16_t>(u8() | u8() << 8); }
    std::uint8_t u8() { return m_at < m_data.size() ? m_data[m_at++] : 0; }
    ByteSpan take(std::size_t n) {
        n = std::min(n, m_data.size() - m_at);
        const ByteSpan piece = m_data.subspan(m_at, n);
        m_at += n;
        return piece;
    }
    ByteSpan rest() { return take(m_data.size() - m_at); }
    bool empty() const { return m_at >= m_data.size(); }

private:
    ByteSpan m_data;
    std::size_t m_at = 0;
};

// The three blocks at the smallest sizes the block map needs, filled with a pattern. A target
// keeps one working copy and puts `copyFrom` its original back for each input: fresh blocks of
// 3 MB for every input would spend its time on taking new memory.
struct Blocks {
    Bytes boot = patterned(blockmap::kMinBootSize, 1);
    Bytes parameter = patterned(blockmap::kMinParameterSize, 2);
    Bytes select = patterned(blockmap::kMinSelectSize, 3);
    GameBlocks view() { return {boot, parameter, select}; }
    ConstGameBlocks view() const { return {boot, parameter, select}; }
    bool operator==(const Blocks&) const = default;
    void copyFrom(const Blocks& other) {
        assignBytes(boot, other.boot);
        assignBytes(parameter, other.parameter);
        assignBytes(select, other.select);
    }

    static Bytes patterned(std::size_t size, std::uint32_t seed) {
        Bytes data(size);
        std::uint32_t x = seed;
        for (auto& b : data) b = static_cast<std::uint8_t>((x = x * 1664525u + 1013904223u) >> 24);
        return data;
    }
};

// A folder of this process's own under the temporary folder (on /dev/shm where there is one).
inline const std::filesystem::path& workDir() {
    static const std::filesystem::path dir = [] {
        std::error_code ec;
        const std::filesystem::path base =
            std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : std::filesystem::temp_directory_path();
        auto made = base / ("tarvo-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(made);
        // The backups made before each write-back go here, not among the user's own.
        ::setenv("XDG_DATA_HOME", (made / "data-home").c_str(), 1);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(workDir(), ignored);
        });
        return made;
    }();
    return dir;
}

inline void writeFile(const std::filesystem::path& file, ByteSpan data) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

}  // namespace tarvo::fuzz
