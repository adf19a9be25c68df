#pragma once
// A patch: the values that differ between two discs as a small UTF-8 text, so that edits can be
// shared without the disc image. The first line is "tarvo patch 2"; then one CSV record per value:
// `player,ID,FIELD,OLD,NEW` or `team,ROW,FIELD,OLD,NEW`, with FIELD and the values as `tarvo diff`
// names and shows them. Patches of version 1 are read too: they numbered squad slots from 0.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "edits/change_list.h"

namespace tarvo {

inline constexpr std::string_view kPatchHeader = "tarvo patch 2";
inline constexpr std::string_view kPatchHeaderSlotsFrom0 = "tarvo patch 1";

struct PatchLine {
    std::size_t line;                       // 1-based, in the file
    ChangeKind kind;                        // Player or Team
    int subject;                            // player ID or team row
    std::string field, oldValue, newValue;  // FIELD as this version names it (slots from 1)
};

struct Patch {
    std::vector<PatchLine> lines;
    std::string error;  // "line N: reason" when the text is not a patch; empty when it is
};

// The lines of a patch text; every record's form is checked (five cells, a kind, a number), not yet
// its values.
Patch parsePatch(std::string_view text);
// The patch of a change list; Other rows cannot be carried and are left out.
std::string patchText(const std::vector<Change>& changes);

// Checks every line against the blocks (a known value, OLD equal to what they hold, NEW allowed
// as set-player and set-team allow it; a value that already holds NEW needs nothing) and then
// stores them all. Returns "line N: reason" and stores nothing when any line is refused.
std::string applyPatch(const GameBlocks& blocks, const std::vector<PatchLine>& lines);

}  // namespace tarvo
