#include "player/voice_clip.h"

#include <iostream>
#include <string>

#include "store/file_io.h"
#include "voice/adx.h"

namespace tarvo {

namespace {

// The archive entry, or nullopt when there is none (as in exported-files mode) or it cannot be read.
std::optional<Bytes> entryOf(AfsArchive& archive, std::uint32_t index) {
    const std::uint32_t size = archive.GetSize(index);
    if (size == 0) return std::nullopt;
    Bytes entry(size);
    if (!archive.ReadEntry(entry, index)) return std::nullopt;
    return entry;
}

}  // namespace

std::optional<Bytes> readVoiceClip(AfsArchive& archive, int which, std::uint16_t callNumber) {
    const auto entry = entryOf(archive, listenEntry(which, callNumber));
    if (!entry) return std::nullopt;
    if (entry->size() >= kAdxHeaderSize && !readAdxHeader(*entry)) std::cout << "not adx!" << std::endl;
    return decodeAdxToWav(*entry);
}

bool saveVoiceClip(AfsArchive& archive, std::uint16_t callNumber, const std::filesystem::path& file,
                   MessageService& messages) {
    const auto entry = entryOf(archive, listenEntry(1, callNumber));
    const auto clip = entry ? decodeAdxToWav(*entry) : std::nullopt;
    if (!clip) {
        messages.warning("archive entry " + std::to_string(listenEntry(1, callNumber)) + " holds no voice call");
        return false;
    }
    if (!writeFileReporting(file, *clip, messages)) return false;
    messages.information("OK, voice saved as \n" + utf8Path(file));
    return true;
}

}  // namespace tarvo
