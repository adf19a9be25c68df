#include "player/voice_clip.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "store/file_io.h"
#include "voice/adx.h"

namespace tarvo {

std::optional<Bytes> readVoiceClip(AfsArchive& archive, int which, std::uint16_t callNumber) {
    const std::uint32_t index = listenEntry(which, callNumber);
    const std::uint32_t size = archive.GetSize(index);
    if (size == 0) return std::nullopt;
    Bytes entry(size);
    if (!archive.ReadEntry(entry, index)) return std::nullopt;
    return decodeAdxToWav(entry);
}

std::optional<WavPcm> wavPcmOf(ByteSpan wav) {
    constexpr std::size_t kHeaderSize = 44;
    constexpr std::uint16_t kPcmFormat = 1, kBitsPerSample = 16;
    const auto tag = [&](std::size_t at, std::string_view text) {
        return fitsIn(wav.size(), at, text.size()) &&
               std::equal(text.begin(), text.end(), wav.begin() + static_cast<std::ptrdiff_t>(at));
    };
    if (wav.size() < kHeaderSize || !tag(0, "RIFF") || !tag(8, "WAVE") || !tag(12, "fmt ") || !tag(36, "data"))
        return std::nullopt;
    const auto format = readU16LE(wav, 20), channels = readU16LE(wav, 22), bits = readU16LE(wav, 34);
    const auto rate = readU32LE(wav, 24), size = readU32LE(wav, 40);
    if (format != kPcmFormat || bits != kBitsPerSample || !channels || *channels == 0 || !rate || *rate == 0)
        return std::nullopt;
    const std::size_t available = wav.size() - kHeaderSize;
    return WavPcm{*channels, *rate, kHeaderSize, std::min<std::size_t>(*size, available)};
}

bool saveVoiceClip(AfsArchive& archive, std::uint16_t callNumber, const std::filesystem::path& file,
                   MessageService& messages) {
    const auto clip = readVoiceClip(archive, 1, callNumber);
    if (!clip) {
        messages.warning("archive entry " + std::to_string(listenEntry(1, callNumber)) + " holds no voice call");
        return false;
    }
    if (!writeFileReporting(file, *clip, messages)) return false;
    messages.information("OK, voice saved as \n" + utf8Path(file));
    return true;
}

}  // namespace tarvo
