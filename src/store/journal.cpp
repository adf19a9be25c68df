#include "store/journal.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>

#include "store/file_io.h"
#include "store/sha256.h"

namespace tarvo {

namespace fs = std::filesystem;

namespace {

// The journal: "TARVOJN2", u32 entry count, then per entry u8 file role (1 image, 2 boot file,
// 3 parameter data, 4 select data), u64 the file's size when the journal was written, u64
// position, u32 length and the saved bytes; last the SHA-256 of all that. Integers little-endian.
// A journal whose write was finished but which could not be removed has its magic replaced by
// "TARVOFIN". Earlier versions wrote "TARVOJNL" and per entry u16 name length and the file's name
// within the journal's folder instead of the role and the size.
constexpr std::string_view kMagic = "TARVOJN2";
constexpr std::string_view kFinishedMagic = "TARVOFIN";
constexpr std::string_view kOldMagic = "TARVOJNL";
constexpr std::size_t kMagicSize = 8;
constexpr std::size_t kDigestSize = 32;
// Far more than the three files of the disc can need; a larger file is no journal of ours.
constexpr std::uint64_t kMaxJournalSize = 512ull << 20;

void appendLE(Bytes& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint64_t readLE(ByteSpan data, std::size_t at, int bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= std::uint64_t{data[at + static_cast<std::size_t>(i)]} << (8 * i);
    return value;
}

bool startsWith(ByteSpan data, std::string_view text) {
    return data.size() >= text.size() && std::equal(text.begin(), text.end(), data.begin(), [](char t, std::uint8_t b) {
               return static_cast<std::uint8_t>(t) == b;
           });
}

// A file shorter than a magic that begins as one: a journal cut short in its first write.
bool beginsAMagic(ByteSpan data) {
    const std::string_view head(reinterpret_cast<const char*>(data.data()), data.size());
    return data.size() < kMagicSize && (kMagic.starts_with(head) || kOldMagic.starts_with(head));
}

// A name from a journal as it may be shown: printable ASCII, at most 100 characters.
std::string shown(const std::string& name) {
    std::string out;
    for (const char c : name.substr(0, 100)) out += c >= ' ' && c <= '~' ? c : '?';
    return name.size() > 100 ? out + "..." : out;
}

const char* roleWord(std::uint64_t role) {
    switch (role) {
    case 1: return "the image";
    case 2: return "the boot file";
    case 3: return "the parameter data";
    case 4: return "the select data";
    default: return nullptr;
    }
}

struct SavedRange {
    std::uint64_t role = 0;                 // this version
    std::string name;                       // an earlier version: the file's name
    std::optional<std::uint64_t> sizeThen;  // this version: the file's size when saved
    std::uint64_t position = 0;
    ByteSpan bytes;
};

enum class Kind { Complete, Incomplete, Finished, Foreign };
struct Parsed {
    Kind kind;
    std::vector<SavedRange> ranges;
};

Parsed parseJournal(ByteSpan journal) {
    if (startsWith(journal, kFinishedMagic)) return {Kind::Finished, {}};
    const bool old = startsWith(journal, kOldMagic);
    if (!old && !startsWith(journal, kMagic)) return {beginsAMagic(journal) ? Kind::Incomplete : Kind::Foreign, {}};
    // Ours, but without its checksum (or with a wrong one): cut short while it was written.
    if (journal.size() < kMagicSize + 4 + kDigestSize) return {Kind::Incomplete, {}};
    const ByteSpan body = journal.first(journal.size() - kDigestSize);
    const auto digest = Sha256::of(body);
    if (!std::equal(digest.begin(), digest.end(), journal.end() - kDigestSize)) return {Kind::Incomplete, {}};
    // Complete and whole; what follows is checked as from any other writer.
    std::size_t at = kMagicSize;
    const auto count = readLE(body, at, 4);
    at += 4;
    std::vector<SavedRange> ranges;
    for (std::uint64_t i = 0; i < count; ++i) {
        SavedRange range;
        if (old) {
            if (!fitsIn(body.size(), at, 2)) return {Kind::Foreign, {}};
            const auto nameLength = static_cast<std::size_t>(readLE(body, at, 2));
            if (!fitsIn(body.size(), at + 2, nameLength)) return {Kind::Foreign, {}};
            range.name.assign(reinterpret_cast<const char*>(body.data()) + at + 2, nameLength);
            at += 2 + nameLength;
        } else {
            if (!fitsIn(body.size(), at, 9)) return {Kind::Foreign, {}};
            range.role = body[at];
            range.sizeThen = readLE(body, at + 1, 8);
            at += 9;
        }
        if (!fitsIn(body.size(), at, 12)) return {Kind::Foreign, {}};
        range.position = readLE(body, at, 8);
        const auto length = readLE(body, at + 8, 4);
        at += 12;
        if (!fitsIn(body.size(), at, length)) return {Kind::Foreign, {}};
        range.bytes = body.subspan(at, static_cast<std::size_t>(length));
        at += static_cast<std::size_t>(length);
        ranges.push_back(std::move(range));
    }
    if (at != body.size()) return {Kind::Foreign, {}};
    return {Kind::Complete, std::move(ranges)};
}

std::string unusable(const fs::path& journal, const std::string& reason) {
    return "The journal " + utf8Path(journal) + " can not be used: " + reason +
           "; nothing was changed. Check what it is, then remove it or move it away";
}

// The journal's bytes, read from the regular file at that very path (never through a link),
// at most `limit` of them; nullopt with `detail` saying why it can not be used.
std::optional<Bytes> readJournal(FileAccess& access, const fs::path& journal, std::uint64_t limit,
                                 std::string& detail) {
    std::string error;
    auto file = access.open(journal, OpenMode::ReadNoFollow, error);
    if (!file) {
        detail = unusable(journal, error);
        return std::nullopt;
    }
    if (file->size() > kMaxJournalSize) {
        detail = unusable(journal, "it holds " + std::to_string(file->size()) + " bytes, more than a journal can");
        return std::nullopt;
    }
    Bytes data(static_cast<std::size_t>(std::min(file->size(), limit)));
    if (!file->read(0, data)) {
        detail = unusable(journal, file->error());
        return std::nullopt;
    }
    return data;
}

const RoleFile* fileOf(std::span<const RoleFile> files, std::uint64_t role) {
    const auto found =
        std::ranges::find_if(files, [role](const RoleFile& f) { return static_cast<std::uint64_t>(f.role) == role; });
    return found == files.end() ? nullptr : &*found;
}

class OpenFiles {
public:
    explicit OpenFiles(FileAccess& access) : m_access(access) {}
    // The file opened for reading and writing, once; nullptr with `failure` set.
    OpenFile* get(const fs::path& file, std::string& failure) {
        auto& open = m_files[file];
        if (!open) {
            std::string error;
            open = m_access.open(file, OpenMode::ReadWrite, error);
            if (!open) failure = "Can not open " + utf8Path(file) + ": " + error;
        }
        return open.get();
    }
    bool flushAll(std::string& failure) {
        for (auto& [path, file] : m_files)
            if (file && !file->flush()) {
                failure = "Can not write " + utf8Path(path) + ": " + file->error();
                return false;
            }
        return true;
    }

private:
    FileAccess& m_access;
    std::map<fs::path, std::unique_ptr<OpenFile>> m_files;
};

bool writeAt(OpenFiles& files, const RoleFile& file, std::uint64_t position, ByteSpan bytes, std::string& failure) {
    OpenFile* open = files.get(file.path, failure);
    if (!open) return false;
    if (open->write(position, bytes)) return true;
    const std::string where =
        file.sectorSize ? "sector " + std::to_string(position / file.sectorSize) + " of " : std::string();
    failure = "Can not write " + where + utf8Path(file.path) + ": " + open->error();
    return false;
}

fs::path folderOf(const fs::path& journal) {
    return journal.parent_path().empty() ? fs::path(".") : journal.parent_path();
}

// Writes the journal and flushes it and its folder to the disk; on failure removes what it wrote.
bool writeJournalFile(FileAccess& access, const fs::path& journal, const std::vector<ByteSpan>& pieces,
                      std::string& failure) {
    std::string error;
    auto file = access.open(journal, OpenMode::CreateNew, error);
    if (!file) {
        failure = "Can not create the journal " + utf8Path(journal) + ": " + error;
        return false;
    }
    std::uint64_t at = 0;
    bool done = true;
    for (const ByteSpan piece : pieces) {
        if (!(done = file->write(at, piece))) break;
        at += piece.size();
    }
    done = done && file->flush();
    if (!done) failure = "Can not write the journal " + utf8Path(journal) + ": " + file->error();
    file.reset();
    // Without its name on the disk a power loss could lose the journal of a write under way.
    if (done && !access.syncFolder(folderOf(journal), error)) {
        failure = "Can not flush the folder of the journal " + utf8Path(journal) + ": " + error;
        done = false;
    }
    if (!done) access.remove(journal);
    return done;
}

// Ends the journal of a write that is complete (or undone): removed, or, when it can not be,
// marked finished so that no later load offers to undo the write.
void retireJournal(FileAccess& access, const fs::path& journal) {
    if (access.remove(journal)) {
        // A failure here may bring the journal back after a power loss; the data are written.
        std::string error;
        access.syncFolder(folderOf(journal), error);
        return;
    }
    std::string error;
    if (auto file = access.open(journal, OpenMode::ReadWriteNoFollow, error)) {
        const Bytes finished(kFinishedMagic.begin(), kFinishedMagic.end());
        if (file->write(0, finished)) file->flush();
    }
}

}  // namespace

JournaledWrite writeJournaled(FileAccess& access, const fs::path& journal, std::span<const RoleFile> roles,
                              std::span<const FilePatch> patches) {
    JournaledWrite result;
    OpenFiles files(access);
    // What will be overwritten, read before anything is written; a range past a file's end fails.
    std::vector<const RoleFile*> targets;
    std::vector<Bytes> saved;
    std::vector<std::uint64_t> sizes;
    for (const FilePatch& patch : patches) {
        const RoleFile* role = fileOf(roles, static_cast<std::uint64_t>(patch.role));
        if (!role) {
            result.failure = "The source has no file of the role of a change";
            return result;
        }
        OpenFile* file = files.get(role->path, result.failure);
        if (!file) return result;
        Bytes old(patch.bytes.size());
        if (!file->read(patch.position, old)) {
            result.failure = "Can not read " + utf8Path(role->path) + ": " + file->error();
            return result;
        }
        targets.push_back(role);
        saved.push_back(std::move(old));
        sizes.push_back(file->size());
    }

    // The journal is written in pieces (head, per range its entry head and saved bytes, checksum),
    // as a stop may cut it.
    std::vector<Bytes> heads;
    heads.reserve(patches.size() + 2);
    std::vector<ByteSpan> pieces;
    Bytes& head = heads.emplace_back(kMagic.begin(), kMagic.end());
    appendLE(head, patches.size(), 4);
    pieces.push_back(head);
    for (std::size_t i = 0; i < patches.size(); ++i) {
        Bytes& entry = heads.emplace_back();
        appendLE(entry, static_cast<std::uint64_t>(patches[i].role), 1);
        appendLE(entry, sizes[i], 8);
        appendLE(entry, patches[i].position, 8);
        appendLE(entry, saved[i].size(), 4);
        pieces.push_back(entry);
        pieces.push_back(saved[i]);
    }
    Sha256 sha;
    for (const ByteSpan piece : pieces) sha.add(piece);
    const auto digest = sha.finish();
    pieces.push_back(heads.emplace_back(digest.begin(), digest.end()));
    if (!writeJournalFile(access, journal, pieces, result.failure)) return result;

    std::size_t attempted = 0;
    bool written = true;
    for (std::size_t i = 0; i < patches.size() && written; ++i) {
        ++attempted;  // counted before the write: one that fails may have written part of its range
        written = writeAt(files, *targets[i], patches[i].position, patches[i].bytes, result.failure);
    }
    if (written && files.flushAll(result.failure)) {
        retireJournal(access, journal);
        result.written = true;
        return result;
    }
    // Undo: every range that may have been touched, the failed one included, gets its saved bytes back.
    std::string undoFailure;
    bool undone = true;
    for (std::size_t i = 0; i < attempted && undone; ++i)
        undone = writeAt(files, *targets[i], patches[i].position, saved[i], undoFailure);
    undone = undone && files.flushAll(undoFailure);
    if (undone) retireJournal(access, journal);
    result.undoFailed = !undone;
    return result;
}

JournalState journalState(FileAccess& access, const fs::path& journal, std::string& detail) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(journal, ec))) return JournalState::None;
    const auto head = readJournal(access, journal, kMagicSize, detail);
    if (!head) return JournalState::Unusable;
    // Only the head is read here: a journal of ours, complete or not, is one left.
    switch (parseJournal(*head).kind) {
    case Kind::Finished: access.remove(journal); return JournalState::None;
    case Kind::Foreign:
        detail = unusable(journal, "it is not a journal of this program");
        return JournalState::Unusable;
    case Kind::Complete:
    case Kind::Incomplete: break;
    }
    return JournalState::Left;
}

Recovery recoverJournal(FileAccess& access, const fs::path& journal, std::span<const RoleFile> files,
                        std::string& detail) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(journal, ec))) return Recovery::NoJournal;
    const auto data = readJournal(access, journal, kMaxJournalSize, detail);
    if (!data) return Recovery::Unusable;
    const Parsed parsed = parseJournal(*data);
    switch (parsed.kind) {
    case Kind::Finished: access.remove(journal); return Recovery::NoJournal;
    case Kind::Foreign: detail = unusable(journal, "it is not a journal of this program"); return Recovery::Unusable;
    case Kind::Incomplete:
        // Cut short while it was written: the data writes never began.
        if (!access.remove(journal)) {
            detail = "Can not remove the incomplete journal " + utf8Path(journal);
            return Recovery::Failed;
        }
        return Recovery::Incomplete;
    case Kind::Complete: break;
    }

    // Every entry is checked, and every file opened, before the first byte is written back.
    const auto refuse = [&](std::size_t entry, const std::string& why) {
        detail = "The journal " + utf8Path(journal) + " does not fit the source's files: its entry " +
                 std::to_string(entry + 1) + " " + why +
                 "; nothing was changed. Check the journal, then remove it or move it away";
        return Recovery::Refused;
    };
    OpenFiles open(access);
    std::vector<RoleFile> targets;
    for (std::size_t i = 0; i < parsed.ranges.size(); ++i) {
        const SavedRange& range = parsed.ranges[i];
        const RoleFile* target = nullptr;
        if (range.sizeThen) {
            target = fileOf(files, range.role);
            if (!target)
                return refuse(i, roleWord(range.role)
                                     ? std::string("names ") + roleWord(range.role) + ", which the source does not have"
                                     : "names no file the source can have");
        } else {
            // An earlier version's entry: only the very name of one of the source's files in the
            // journal's own folder.
            for (const RoleFile& file : files)
                if (range.name == utf8Path(file.path.filename()) &&
                    file.path.parent_path().lexically_normal() == journal.parent_path().lexically_normal())
                    target = &file;
            if (!target) return refuse(i, "names \"" + shown(range.name) + "\", none of the source's files beside it");
        }
        OpenFile* file = open.get(target->path, detail);
        if (!file) return Recovery::Failed;
        const std::uint64_t size = file->size();
        if (range.sizeThen && *range.sizeThen != size)
            return refuse(i, "was saved from " + utf8Path(target->path) + " when it held " +
                                 std::to_string(*range.sizeThen) + " bytes; it holds " + std::to_string(size));
        if (!fitsIn(size, range.position, range.bytes.size()))
            return refuse(i, "covers " + std::to_string(range.bytes.size()) + " bytes at " +
                                 std::to_string(range.position) + " of " + utf8Path(target->path) + ", which holds " +
                                 std::to_string(size) + " bytes");
        targets.push_back(*target);
    }
    for (std::size_t i = 0; i < parsed.ranges.size(); ++i)
        if (!writeAt(open, targets[i], parsed.ranges[i].position, parsed.ranges[i].bytes, detail))
            return Recovery::Failed;
    if (!open.flushAll(detail)) return Recovery::Failed;
    if (!access.remove(journal)) {
        detail = "Can not remove the journal " + utf8Path(journal);
        return Recovery::Failed;
    }
    std::string error;
    access.syncFolder(folderOf(journal), error);
    return Recovery::Undone;
}

}  // namespace tarvo
