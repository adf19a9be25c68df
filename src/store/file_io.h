#pragma once
// Whole files in and out: the exported data files, team and player files, WAV files. Every file
// is checked against the largest size its kind can have before it is read, and every file written
// goes to a temporary file in the same folder that is renamed over the target only when complete.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "store/block_bytes.h"
#include "store/bytes.h"
#include "store/messages.h"

namespace tarvo {

class FileAccess;

// Paths to and from UTF-8 text. On Windows a path built from a plain std::string is read in the
// ANSI code page, which turns every other character into "?"; these go through char8_t instead.
std::filesystem::path pathFromUtf8(std::string_view text);
std::string utf8Path(const std::filesystem::path& path);

// The largest file of each kind that is read.
inline constexpr std::uint64_t kMaxPlayerFileSize = 64u << 10;
inline constexpr std::uint64_t kMaxTeamFileSize = 64u << 10;
inline constexpr std::uint64_t kMaxDataFileSize = 64u << 20;  // boot file, parameter.ovl, select.ovl
inline constexpr std::uint64_t kMaxAdxFileSize = 1u << 30;
inline constexpr std::uint64_t kMaxTextFileSize = 64u << 20;  // CSV and patch files

// The bytes of a regular file of at most `maxSize` bytes; nullopt with `error` saying why (a larger
// file is refused before any memory is taken for it, naming its size and the limit).
std::optional<Bytes> readWholeFile(const std::filesystem::path& file, std::uint64_t maxSize, std::string& error);
// The same through `access` (the journal is read through the store's file interface).
std::optional<Bytes> readWholeFile(FileAccess& access, const std::filesystem::path& file, std::uint64_t maxSize,
                                   std::string& error);
// The same into a block's buffer, whose memory is reused where it is large enough; false with `error`.
bool readWholeFile(FileAccess& access, const std::filesystem::path& file, std::uint64_t maxSize, BlockBytes& data,
                   std::string& error);

// Why the program must not write `file`, or nullopt: it is a file of a loaded source or lies in
// the backups (loaded or not), it exists and is not a regular file, or its folder does not exist.
std::optional<std::string> outputRefusal(const std::filesystem::path& file);

// Files and folders that outputs must never replace (compared by identity, not by spelling). The
// store protects its source and the backups while it is loaded.
void protectFromOutput(const std::filesystem::path& path);
void unprotectFromOutput(const std::filesystem::path& path);

enum class WriteResult { Ok, Refused, CannotCreate, CannotWrite };
// Creates or replaces the file with the data, through a temporary file renamed over it when
// complete: a failure leaves an existing file as it was and no partial file. `error` says why.
WriteResult writeWholeFile(const std::filesystem::path& file, ByteSpan data, std::string& error);

// The same, telling the user "Can not read file <path> !", "Can not create file <path> !" or
// "Can not write file <path> !" (caption "error"), with the reason on a second line.
std::optional<Bytes> readFileReporting(const std::filesystem::path& file, std::uint64_t maxSize,
                                       MessageService& messages);
bool writeFileReporting(const std::filesystem::path& file, ByteSpan data, MessageService& messages);

}  // namespace tarvo
