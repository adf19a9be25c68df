#pragma once
// A CUE sheet: the text file that describes a disc image's tracks and names the image file beside
// it. The game's disc is one data track (raw Mode 2 sectors of 2352 bytes, or the 2048 user bytes
// alone of a cooked image), often followed by audio tracks in files of their own; the editor
// opens the data track's file. Only a file directly beside the sheet is opened: a sheet comes from
// outside, so a name holding a folder or ".." is refused rather than followed.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

// Far more than a sheet of 99 tracks needs.
inline constexpr std::uint64_t kMaxCueSheetSize = 64u << 10;

struct CueDataTrack {
    std::string fileName;  // as the sheet writes it: a plain name in the sheet's folder
    bool cooked = false;   // MODE1/2048: 2048 bytes a sector; else MODE2/2352
};

// The data track of a sheet's text; nullopt with `error` saying what the sheet holds instead.
std::optional<CueDataTrack> parseCueSheet(std::string_view text, std::string& error);

// True for a path ending in ".cue" (any case).
bool isCueSheetPath(const std::filesystem::path& path);

// Reads the sheet (at most kMaxCueSheetSize bytes) and gives the path of its data track's file
// beside it; nullopt with `error` naming the sheet and what is wrong.
std::optional<std::filesystem::path> cueDataFile(const std::filesystem::path& sheet, bool& cooked, std::string& error);

}  // namespace tarvo
