#pragma once
// The layout of a raw CD-ROM XA Mode 2 Form 1 sector and its error codes: the EDC (a 32-bit CRC
// over the subheader and the user data) and the Reed-Solomon P and Q parity of the tail.

#include <cstddef>
#include <cstdint>

#include "store/bytes.h"

namespace tarvo::cdsector {

inline constexpr std::size_t kSectorSize = 2352;
inline constexpr std::size_t kSyncSize = 12;
inline constexpr std::size_t kHeaderOffset = 12;  // minutes, seconds, frames (BCD), mode
inline constexpr std::size_t kHeaderSize = 4;
inline constexpr std::size_t kSubheaderOffset = 16;  // file, channel, submode, coding; twice
inline constexpr std::size_t kSubheaderSize = 8;
inline constexpr std::size_t kUserDataOffset = 24;
inline constexpr std::size_t kUserDataSize = 2048;
inline constexpr std::size_t kEdcOffset = 2072;      // little-endian u32
inline constexpr std::size_t kPParityOffset = 2076;  // 172 bytes
inline constexpr std::size_t kQParityOffset = 2248;  // 104 bytes
inline constexpr std::size_t kTailOffset = kEdcOffset;
inline constexpr std::uint32_t kFramesPerSecond = 75;
inline constexpr std::uint32_t kLeadInFrames = 150;  // logical block 0 lies at 00:02:00

// The EDC of a byte range (CRC-32, reflected, polynomial (x^16+x^15+x^2+1)(x^16+x^2+x+1)).
std::uint32_t edc(ByteSpan data);
// True when `sector` (kSectorSize bytes) carries the EDC of its subheader and user data.
bool hasValidEdc(ByteSpan sector);
// Computes EDC, P and Q parity of `sector` (kSectorSize bytes) and stores them in its tail. The
// parity is computed with the header taken as zero, as Mode 2 wants; the head itself is kept.
void encodeTail(MutableByteSpan sector);
// Writes the sync pattern and the header of logical block `lba` (MSF in BCD, mode 2).
void writeHead(MutableByteSpan sector, std::uint32_t lba);

}  // namespace tarvo::cdsector
