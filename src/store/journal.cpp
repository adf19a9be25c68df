#include "store/journal.h"

#include <map>
#include <memory>
#include <string_view>
#include <system_error>

#include "store/file_io.h"
#include "store/file_platform.h"
#include "store/sha256.h"

namespace tarvo {

namespace fs = std::filesystem;

namespace {

// The journal: "TARVOJNL", u32 entry count, then per entry u16 name length, the file name (within
// the journal's folder), u64 position, u32 length and the saved bytes; last the SHA-256 of all
// that. Integers little-endian.
constexpr std::string_view kMagic = "TARVOJNL";
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

struct SavedRange {
    std::string name;
    std::uint64_t position;
    ByteSpan bytes;
};

// The journal's entries when it is complete and its checksum matches; nullopt otherwise.
std::optional<std::vector<SavedRange>> parseJournal(ByteSpan journal) {
    if (journal.size() < kMagic.size() + 4 + kDigestSize ||
        !std::equal(kMagic.begin(), kMagic.end(), journal.begin(), [](char m, std::uint8_t b) { return m == b; }))
        return std::nullopt;
    const ByteSpan body = journal.first(journal.size() - kDigestSize);
    const auto digest = Sha256::of(body);
    if (!std::equal(digest.begin(), digest.end(), journal.end() - kDigestSize)) return std::nullopt;
    std::size_t at = kMagic.size();
    const auto count = readLE(body, at, 4);
    at += 4;
    std::vector<SavedRange> ranges;
    for (std::uint64_t i = 0; i < count; ++i) {
        if (!fitsIn(body.size(), at, 2)) return std::nullopt;
        const auto nameLength = static_cast<std::size_t>(readLE(body, at, 2));
        if (!fitsIn(body.size(), at + 2, nameLength + 12)) return std::nullopt;
        SavedRange range;
        range.name.assign(reinterpret_cast<const char*>(body.data()) + at + 2, nameLength);
        at += 2 + nameLength;
        range.position = readLE(body, at, 8);
        const auto length = static_cast<std::size_t>(readLE(body, at + 8, 4));
        at += 12;
        if (!fitsIn(body.size(), at, length)) return std::nullopt;
        range.bytes = body.subspan(at, length);
        at += length;
        ranges.push_back(std::move(range));
    }
    if (at != body.size()) return std::nullopt;
    return ranges;
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

bool writeAt(OpenFiles& files, const fs::path& file, std::uint64_t position, ByteSpan bytes, std::string& failure) {
    OpenFile* open = files.get(file, failure);
    if (!open) return false;
    if (open->write(position, bytes)) return true;
    failure = "Can not write " + utf8Path(file) + ": " + open->error();
    return false;
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
    if (done) platform::syncFolder(journal.parent_path().empty() ? fs::path(".") : journal.parent_path());
    else access.remove(journal);
    return done;
}

}  // namespace

JournaledWrite writeJournaled(FileAccess& access, const fs::path& journal, std::span<const FilePatch> patches) {
    JournaledWrite result;
    OpenFiles files(access);
    // What will be overwritten, read before anything is written.
    std::vector<Bytes> saved;
    for (const FilePatch& patch : patches) {
        OpenFile* file = files.get(patch.file, result.failure);
        if (!file) return result;
        Bytes old(patch.bytes.size());
        if (!file->read(patch.position, old)) {
            result.failure = "Can not read " + utf8Path(patch.file) + ": " + file->error();
            return result;
        }
        saved.push_back(std::move(old));
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
        const std::string name = patches[i].file.filename().string();
        Bytes& entry = heads.emplace_back();
        appendLE(entry, name.size(), 2);
        entry.insert(entry.end(), name.begin(), name.end());
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
    for (const FilePatch& patch : patches) {
        ++attempted;
        if (!(written = writeAt(files, patch.file, patch.position, patch.bytes, result.failure))) break;
    }
    if (written && files.flushAll(result.failure)) {
        access.remove(journal);
        result.written = true;
        return result;
    }
    // Undo: every range that may have been touched gets its saved bytes back.
    std::string undoFailure;
    bool undone = true;
    for (std::size_t i = 0; i < attempted && undone; ++i)
        undone = writeAt(files, patches[i].file, patches[i].position, saved[i], undoFailure);
    undone = undone && files.flushAll(undoFailure);
    if (undone) access.remove(journal);
    result.undoFailed = !undone;
    return result;
}

Recovery recoverJournal(FileAccess& access, const fs::path& journal, std::string& detail) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(journal, ec))) return Recovery::NoJournal;
    std::string error;
    const auto data = readWholeFile(access, journal, kMaxJournalSize, error);
    if (!data) {
        detail = "Can not read the journal " + utf8Path(journal) + ": " + error;
        return Recovery::Failed;
    }
    const auto ranges = parseJournal(*data);
    if (!ranges) {
        // Cut short while it was written: the data writes never began.
        if (!access.remove(journal)) {
            detail = "Can not remove the incomplete journal " + utf8Path(journal);
            return Recovery::Failed;
        }
        return Recovery::Incomplete;
    }
    OpenFiles files(access);
    for (const SavedRange& range : *ranges)
        if (!writeAt(files, journal.parent_path() / range.name, range.position, range.bytes, detail))
            return Recovery::Failed;
    if (!files.flushAll(detail)) return Recovery::Failed;
    if (!access.remove(journal)) {
        detail = "Can not remove the journal " + utf8Path(journal);
        return Recovery::Failed;
    }
    return Recovery::Undone;
}

}  // namespace tarvo
