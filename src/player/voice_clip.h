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
// such entry (as in exported-files mode), it cannot be read, or it holds no ADX voice call (then,
// for an entry of 36 bytes or more, the line "not adx!" goes to the standard output).
std::optional<Bytes> readVoiceClip(AfsArchive& archive, int which, std::uint16_t callNumber);

// Writes the WAV image of "Listen1"'s entry to `file` and says so ("OK, voice saved as \n<path>");
// a missing clip or a file that cannot be written is reported and leaves no file behind.
bool saveVoiceClip(AfsArchive& archive, std::uint16_t callNumber, const std::filesystem::path& file,
                   MessageService& messages);

}  // namespace tarvo
