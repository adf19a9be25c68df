#pragma once
// One writer per source at a time. A source (an image file, a folder of exported files) is known by
// the identity of its file or folder, not by the spelling of its path, so a symlink, a hard link
// and another path name of it reach the same lock and the same journal. The lock is an exclusive
// system lock on <data folder>/Tarvo_Riviza_Editor/locks/<device>-<inode>.lock, which the system
// drops when its process ends however it ends; the file holds the holder's process ID and, while a
// write runs, the path of its journal.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "store/file_platform.h"

namespace tarvo {

// How long a writer waits for another one to finish before it gives up.
inline constexpr std::chrono::milliseconds kLockWait{10000};

// The identity of the source's image file or folder (symlinks followed); nullopt when it is missing.
std::optional<platform::FileIdentity> sourceIdentity(const std::filesystem::path& source);
// The folder of the lock files, beside the backups in the program's data folder.
std::filesystem::path locksFolder();

class SourceLock {
public:
    enum class State { Free, Held, Busy, Failed };
    SourceLock() = default;
    SourceLock(const SourceLock&) = delete;
    SourceLock& operator=(const SourceLock&) = delete;

    // Takes the lock of `source`, waiting up to `wait` while another program (or another store of
    // this one) holds it. False with reason() otherwise.
    bool acquire(const std::filesystem::path& source, std::chrono::milliseconds wait);
    void release();
    bool held() const { return m_state == State::Held; }
    State state() const { return m_state; }
    // "<source> is being written by another program (process N)", or why no lock could be made.
    const std::string& reason() const { return m_reason; }
    // Notes the journal of the write that is about to start (empty: none any more), so that the
    // source reached under another name finds it.
    void recordJournal(const std::filesystem::path& journal);

private:
    void writeText();
    platform::LockFile m_file;
    State m_state = State::Free;
    std::string m_reason;
    std::string m_journal;  // UTF-8
};

// Where a write into `source` keeps its journal: beside the image's real file (symlinks resolved),
// or inside the real folder.
std::filesystem::path ownJournalPathOf(const std::filesystem::path& source);
// The journal of `source`: its own, or when none is there the one a write into the same file
// under another name noted in the lock file (checked to lie beside a file of the same identity).
std::filesystem::path journalPathOf(const std::filesystem::path& source);
// The journal of an interrupted write into `source`: one exists and no program holds the lock (a
// journal under a live lock belongs to a write still running). Nullopt otherwise.
std::optional<std::filesystem::path> interruptedJournalOf(const std::filesystem::path& source);

}  // namespace tarvo
