#pragma once
// A player's voice call as a WAV image: the archive entry that "Listen1" or "Listen2" plays for a
// call number, decoded from ADX. Playing it is the desktop's job; saving it is done here.

#include <cstdint>
#include <filesystem>
#include <optional>

#include "store/afs_archive.h"
#include "store/messages.h"

namespace tarvo {

// The WAV image of the entry that Listen `which` (1 or 2) plays; nullopt when the archive has no
// such entry (as in exported-files mode), it cannot be read, or it holds no ADX voice call.
std::optional<Bytes> readVoiceClip(AfsArchive& archive, int which, std::uint16_t callNumber);
// Where the samples of a 16-bit PCM WAV image lie and how they are to be played.
struct WavPcm {
    std::uint16_t channels;
    std::uint32_t sampleRate;
    std::size_t dataOffset;
    std::size_t dataSize;  // within the image, whatever the header claims
};
// The PCM layout of a WAV image as decodeAdxToWav makes it; nullopt for anything else.
std::optional<WavPcm> wavPcmOf(ByteSpan wav);

// Writes the WAV image of "Listen1"'s entry to `file` and says so ("OK, voice saved as \n<path>");
// a missing clip or a file that cannot be written is reported and leaves no file behind.
bool saveVoiceClip(AfsArchive& archive, std::uint16_t callNumber, const std::filesystem::path& file,
                   MessageService& messages);

}  // namespace tarvo
