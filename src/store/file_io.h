#pragma once
// Whole files in and out: the exported data files, team and player files, WAV files.

#include <filesystem>
#include <optional>

#include "store/bytes.h"
#include "store/messages.h"

namespace tarvo {

// The bytes of a regular file; nullopt when it cannot be opened or read whole.
std::optional<Bytes> readWholeFile(const std::filesystem::path& file);

enum class WriteResult { Ok, CannotCreate, CannotWrite };
// Creates or replaces the file with the data. A file whose write failed is removed, so that a
// cut-off file never passes for a whole one.
WriteResult writeWholeFile(const std::filesystem::path& file, ByteSpan data);

// The same, telling the user "Can not read file <path> !", "Can not create file <path> !" or
// "Can not write file <path> !" (caption "error").
std::optional<Bytes> readFileReporting(const std::filesystem::path& file, MessageService& messages);
bool writeFileReporting(const std::filesystem::path& file, ByteSpan data, MessageService& messages);

}  // namespace tarvo
