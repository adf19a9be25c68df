// ADX decoding: a decoded image is exactly its computed size, never over the in-memory limit, and
// has the header's layout; decoding the same data in pieces of any whole number of units gives
// the same samples.

#include "fuzz_support.h"
#include "voice/adx.h"
#include "voice/wav.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvo;
    if (size < 1) return 0;
    const std::size_t unitsPerPiece = 1 + data[0] % 8;
    const ByteSpan entry(data + 1, size - 1);
    const auto header = readAdxHeader(entry);
    const std::int64_t computed = adxImageSize(entry);
    // A header may claim up to 64 MB of samples that a few bytes of data leave at zero: decoded,
    // such an image only costs time, and an input is at most a few kilobytes of data.
    if (computed > 1024 * 1024) return 0;
    const auto image = decodeAdxToWav(entry);
    FUZZ_CHECK(image.has_value() == (computed > 0));
    if (!image) return 0;
    FUZZ_CHECK(header.has_value());
    FUZZ_CHECK(static_cast<std::int64_t>(image->size()) == computed && computed <= kMaxWavImageSize);
    // The image is playable unless the header gives no channel or no sample rate.
    const auto pcm = wavPcmOf(*image);
    FUZZ_CHECK(pcm.has_value() == (header->channels != 0 && header->sampleRate != 0));
    if (pcm)
        FUZZ_CHECK(pcm->channels == header->channels && pcm->dataOffset == kWavHeaderSize &&
                   pcm->dataSize == image->size() - kWavHeaderSize);

    AdxDecoder decoder(*header);
    Bytes pieces(image->size() - kWavHeaderSize, 0);
    const ByteSpan audio = entry.subspan(kAdxHeaderSize);
    std::size_t written = 0;
    for (std::size_t at = 0; decoder.decodes() && at < audio.size() && decoder.remaining() > 0;) {
        const std::size_t n = std::min(audio.size() - at, unitsPerPiece * decoder.unitSize());
        written += decoder.decode(audio.subspan(at, n), MutableByteSpan(pieces).subspan(written));
        at += n;
    }
    FUZZ_CHECK(std::equal(pieces.begin(), pieces.end(), image->begin() + kWavHeaderSize));
    return 0;
}
