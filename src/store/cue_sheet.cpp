#include "store/cue_sheet.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "store/file_io.h"

namespace tarvo {

namespace {

namespace fs = std::filesystem;

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// The words of one line; a quoted word keeps its spaces ("Disc (Track 1).bin").
std::optional<std::vector<std::string>> words(std::string_view line) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < line.size()) {
        if (line[at] == ' ' || line[at] == '\t') {
            ++at;
            continue;
        }
        if (line[at] == '"') {
            const std::size_t end = line.find('"', at + 1);
            if (end == std::string_view::npos) return std::nullopt;
            out.emplace_back(line.substr(at + 1, end - at - 1));
            at = end + 1;
            continue;
        }
        const std::size_t end = line.find_first_of(" \t", at);
        out.emplace_back(line.substr(at, end == std::string_view::npos ? line.size() - at : end - at));
        at = end == std::string_view::npos ? line.size() : end;
    }
    return out;
}

// A name the editor opens beside the sheet: no folder, no drive, no control character.
bool plainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
    });
}

}  // namespace

std::optional<CueDataTrack> parseCueSheet(std::string_view text, std::string& error) {
    std::optional<std::string> file, fileType;
    std::optional<CueDataTrack> track;
    bool inFirstTrack = false, indexSeen = false;
    std::size_t lineNumber = 0;
    for (std::size_t at = 0; at <= text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const auto parts = words(line);
        if (!parts) {
            error = "line " + std::to_string(lineNumber) + " opens a quote it does not close";
            return std::nullopt;
        }
        if (parts->empty()) continue;
        const std::string command = upper(parts->front());
        if (command == "FILE" && parts->size() >= 3) {
            file = (*parts)[1];
            fileType = upper((*parts)[2]);
            inFirstTrack = false;
        } else if (command == "TRACK" && parts->size() >= 3) {
            inFirstTrack = false;
            if ((*parts)[1] != "01" && (*parts)[1] != "1") continue;
            if (track) {
                error = "it has two first tracks";
                return std::nullopt;
            }
            if (!file) {
                error = "its first track comes before any FILE line";
                return std::nullopt;
            }
            const std::string mode = upper((*parts)[2]);
            if (mode != "MODE2/2352" && mode != "MODE1/2048") {
                error = "its first track is " + mode + "; the game's disc is a data track of MODE2/2352 (raw) or " +
                        "MODE1/2048 (cooked)";
                return std::nullopt;
            }
            if (*fileType != "BINARY") {
                error = "the file of its first track is of type " + *fileType + ", not BINARY";
                return std::nullopt;
            }
            if (!plainFileName(*file)) {
                error = "it names the data file \"" + file->substr(0, 40) +
                        "\" by a path; only a file beside the sheet is opened";
                return std::nullopt;
            }
            track = CueDataTrack{*file, mode == "MODE1/2048"};
            inFirstTrack = true;
        } else if (command == "INDEX" && inFirstTrack && parts->size() >= 3 &&
                   ((*parts)[1] == "01" || (*parts)[1] == "1")) {
            // The editor reads the image from its first byte: the data track must start there.
            if ((*parts)[2] != "00:00:00") {
                error = "its first track starts at " + (*parts)[2] + " of its file, not at 00:00:00";
                return std::nullopt;
            }
            indexSeen = true;
        }
    }
    if (!track) {
        error = "it has no first track (TRACK 01)";
        return std::nullopt;
    }
    if (!indexSeen) {
        error = "its first track has no INDEX 01";
        return std::nullopt;
    }
    return track;
}

bool isCueSheetPath(const fs::path& path) { return upper(path.extension().string()) == ".CUE"; }

std::optional<fs::path> cueDataFile(const fs::path& sheet, bool& cooked, std::string& error) {
    std::string reason;
    const auto data = readWholeFile(sheet, kMaxCueSheetSize, reason);
    if (!data) {
        error = "Can not read the cue sheet " + utf8Path(sheet) + ": " + reason;
        return std::nullopt;
    }
    const std::string_view text(reinterpret_cast<const char*>(data->data()), data->size());
    const auto track = parseCueSheet(text, reason);
    if (!track) {
        error = "The cue sheet " + utf8Path(sheet) + " can not be opened: " + reason;
        return std::nullopt;
    }
    cooked = track->cooked;
    return sheet.parent_path() / pathFromUtf8(track->fileName);
}

}  // namespace tarvo
