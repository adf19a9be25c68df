#pragma once
// Whole files in and out: the exported data files, team and player files, WAV files.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "store/bytes.h"
#include "store/messages.h"

namespace tarvo {

// Paths to and from UTF-8 text. On Windows a path built from a plain std::string is read in the
// ANSI code page, which turns every other character into "?"; these go through char8_t instead.
std::filesystem::path pathFromUtf8(std::string_view text);
std::string utf8Path(const std::filesystem::path& path);

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
