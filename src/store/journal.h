#pragma once
// All-or-nothing writes into files that hold the only copy of someone's data. Before the first
// byte is written, the bytes about to be overwritten are saved into a journal file (with their
// positions and a checksum) and flushed to the disk. A write that fails part-way is undone at once
// from the saved bytes; a journal left behind by a stopped process undoes the interrupted write.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "store/bytes.h"
#include "store/file_access.h"

namespace tarvo {

// Bytes to store at `position` of `file`. Every file lies in the journal's folder.
struct FilePatch {
    std::filesystem::path file;
    std::uint64_t position;
    Bytes bytes;
};

struct JournaledWrite {
    bool written = false;
    // Why not: one line naming the file and the reason ("Can not write x: No space left on device").
    std::string failure;
    // The failed write could not be undone: the journal is left for a later recovery.
    bool undoFailed = false;
};

// Writes every patch, or none: after a failure the files are byte for byte as before (or, when
// even that fails, the journal is kept). A journal that cannot be made refuses the whole write.
JournaledWrite writeJournaled(FileAccess& files, const std::filesystem::path& journal,
                              std::span<const FilePatch> patches);

enum class Recovery {
    NoJournal,
    Undone,      // the saved bytes are back, the journal removed
    Incomplete,  // the journal was cut short while it was written, so no data was: it is removed
    Failed,      // the saved bytes could not be written back; the journal stays
};
// Undoes the interrupted write of `journal`; `detail` says what failed.
Recovery recoverJournal(FileAccess& files, const std::filesystem::path& journal, std::string& detail);

}  // namespace tarvo
