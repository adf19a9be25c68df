#pragma once
// All-or-nothing writes into files that hold the only copy of someone's data. Before the first
// byte is written, the bytes about to be overwritten are saved into a journal file (with their
// positions and a checksum) and flushed to the disk. A write that fails part-way is undone at once
// from the saved bytes; a journal left behind by a stopped process undoes the interrupted write.
//
// A journal may come from elsewhere (a shared folder), so it names no file: each entry names the
// role of one of the source's own files, and the caller says which file plays which role.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "store/bytes.h"
#include "store/file_access.h"

namespace tarvo {

// The files a source is made of: a CD image alone, or the three exported files of a folder.
enum class FileRole : std::uint8_t { Image = 1, Boot = 2, Parameter = 3, Select = 4 };

struct RoleFile {
    FileRole role;
    std::filesystem::path path;
    std::uint64_t sectorSize = 0;  // an image's sectors, so that a failed write names its sector; 0 for a file
};

// Bytes to store at `position` of the source's file of that role, inside the file.
struct FilePatch {
    FileRole role;
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

// Writes every patch into the file of its role, or none: after a failure the files are byte for
// byte as before (or, when even that fails, the journal is kept). A journal that cannot be made
// and flushed, with its folder, refuses the whole write before any data is written.
JournaledWrite writeJournaled(FileAccess& access, const std::filesystem::path& journal, std::span<const RoleFile> files,
                              std::span<const FilePatch> patches);

enum class JournalState {
    None,      // no journal, or the journal of a finished write (removed quietly)
    Left,      // the journal of an interrupted write
    Unusable,  // something that can not be read as a journal: a link, a folder, too large, foreign
};
// What is at `journal`; `detail` names the path, the reason and what to do for an unusable one.
JournalState journalState(FileAccess& access, const std::filesystem::path& journal, std::string& detail);

enum class Recovery {
    NoJournal,   // none, or that of a finished write (removed quietly)
    Undone,      // the saved bytes are back, the journal removed
    Incomplete,  // the journal was cut short while it was written, so no data was: it is removed
    Refused,     // it does not fit the source's files (a role it lacks, a range past an end): nothing written
    Unusable,    // as JournalState::Unusable: nothing written
    Failed,      // the saved bytes could not be written back; the journal stays
};
// Undoes the interrupted write of `journal` into `files` (the source's files by role, and only
// those). Every entry is checked before any byte is written, and no file is ever grown. `detail`
// names the journal and says why when the outcome is Refused, Unusable or Failed.
Recovery recoverJournal(FileAccess& access, const std::filesystem::path& journal, std::span<const RoleFile> files,
                        std::string& detail);

}  // namespace tarvo
