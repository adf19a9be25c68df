#pragma once
// Checks a source without changing it: the second copy of every player's data, of every national
// squad and of every club name against its primary; in an image, the error codes of every sector
// of the three files; a journal left by an interrupted write; blocks shorter than the editor needs.

#include <filesystem>
#include <string>
#include <vector>

#include "store/data_store.h"
#include "store/file_access.h"
#include "store/game_blocks.h"

namespace tarvo {

struct VerifyFinding {
    std::string kind;   // "mirror", "sector", "journal" or "load"
    std::string where;  // "player 12", "team row 3 (4.Spain) slot 5", "parameter.ovl sector 120"
    std::string field;  // "record", "id", "EDC", "ECC"; a journal: "interrupted", "unusable"; a load: empty
    std::string text;   // the finding as one line
};

// Every value whose second copy differs from its primary.
std::vector<VerifyFinding> mirrorDifferences(const GameBlocks& blocks);
// Every sector of the loaded image's boot file and of the parameter and select entries whose EDC
// or ECC does not match its data (a cooked image has none: only sectors it lacks are reported);
// nothing for exported files.
std::vector<VerifyFinding> sectorFaults(const DataStore& store);
// All of the above for SOURCE (an image file or a folder of exported files). A journal left by an
// interrupted write is reported alone: until it is undone the data are neither before nor after.
std::vector<VerifyFinding> verifySource(const std::filesystem::path& source, FileAccess& files = diskAccess());

}  // namespace tarvo
