#include "store/source_lock.h"

#include <algorithm>
#include <system_error>
#include <thread>

#include "store/backups.h"
#include "store/file_io.h"

namespace tarvo {

namespace fs = std::filesystem;

namespace {

constexpr const char* kJournalSuffix = ".tarvo-journal";
constexpr std::uint64_t kMaxLockFileSize = 4096;

fs::path lockFileOf(const platform::FileIdentity& id) {
    return locksFolder() / (std::to_string(id.device) + "-" + std::to_string(id.file) + ".lock");
}

// The value of the line "<key> <value>" of a lock file's text, or empty.
std::string lockFileValue(const fs::path& lockFile, const std::string& key) {
    std::string error;
    const auto data = readWholeFile(lockFile, kMaxLockFileSize, error);
    if (!data) return {};
    const std::string text(data->begin(), data->end());
    const std::string prefix = key + " ";
    for (std::size_t at = 0; at < text.size();) {
        const auto end = std::min(text.find('\n', at), text.size());
        if (text.compare(at, prefix.size(), prefix) == 0)
            return text.substr(at + prefix.size(), end - at - prefix.size());
        at = end + 1;
    }
    return {};
}

}  // namespace

std::optional<platform::FileIdentity> sourceIdentity(const fs::path& source) { return platform::fileIdentity(source); }

fs::path locksFolder() { return backupsRoot().parent_path() / "locks"; }

bool SourceLock::acquire(const fs::path& source, std::chrono::milliseconds wait) {
    release();
    const auto id = sourceIdentity(source);
    if (!id) {
        m_state = State::Failed;
        m_reason = "Can not lock " + utf8Path(source) + ": it can not be found";
        return false;
    }
    const fs::path file = lockFileOf(*id);
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        std::string error;
        switch (m_file.lock(file, error)) {
        case platform::LockFile::Result::Locked:
            m_state = State::Held;
            m_reason.clear();
            // A journal noted by a write that never ended stays noted until it is dealt with.
            m_journal = lockFileValue(file, "journal");
            writeText();
            return true;
        case platform::LockFile::Result::Failed:
            m_state = State::Failed;
            m_reason = "Can not make the lock file " + utf8Path(file) + ": " + error;
            return false;
        case platform::LockFile::Result::Busy: break;
        }
        if (std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    m_state = State::Busy;
    std::string pid = lockFileValue(file, "pid");
    if (pid.size() > 20 || !std::all_of(pid.begin(), pid.end(), [](char c) { return c >= '0' && c <= '9'; }))
        pid.clear();
    m_reason =
        utf8Path(source) + " is being written by another program" + (pid.empty() ? "" : " (process " + pid + ")");
    return false;
}

void SourceLock::release() {
    m_file.unlock();
    m_state = State::Free;
}

void SourceLock::recordJournal(const fs::path& journal) {
    m_journal = journal.empty() ? std::string() : utf8Path(journal);
    if (held()) writeText();
}

void SourceLock::writeText() {
    m_file.setText("pid " + std::to_string(platform::processId()) + "\n" +
                   (m_journal.empty() ? "" : "journal " + m_journal + "\n"));
}

fs::path ownJournalPathOf(const fs::path& source) {
    std::error_code ec;
    fs::path real = fs::canonical(source, ec);
    if (ec) real = source;
    if (fs::is_directory(real, ec)) return real / kJournalSuffix;
    return real += kJournalSuffix;
}

fs::path journalPathOf(const fs::path& source) {
    fs::path own = ownJournalPathOf(source);
    std::error_code ec;
    if (fs::exists(fs::symlink_status(own, ec))) return own;
    const auto id = sourceIdentity(source);
    if (!id) return own;
    const std::string noted = lockFileValue(lockFileOf(*id), "journal");
    if (noted.empty()) return own;
    // The noted path is only followed when it is a journal of this very file or folder.
    const fs::path journal = pathFromUtf8(noted);
    const std::string name = journal.filename().string();
    const bool folder = fs::is_directory(source, ec);
    fs::path owner;
    if (folder && name == kJournalSuffix) owner = journal.parent_path();
    else if (!folder && name.size() > std::string(kJournalSuffix).size() && name.ends_with(kJournalSuffix))
        owner = journal.parent_path() / name.substr(0, name.size() - std::string(kJournalSuffix).size());
    if (owner.empty() || sourceIdentity(owner) != id || !fs::is_regular_file(fs::symlink_status(journal, ec)))
        return own;
    return journal;
}

std::optional<fs::path> interruptedJournalOf(const fs::path& source) {
    const fs::path journal = journalPathOf(source);
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(journal, ec))) return std::nullopt;
    SourceLock lock;
    if (!lock.acquire(source, std::chrono::milliseconds(0)) && lock.state() == SourceLock::State::Busy)
        return std::nullopt;
    return journal;
}

}  // namespace tarvo
