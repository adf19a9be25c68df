#include "records/verify.h"

#include <algorithm>
#include <array>
#include <system_error>

#include "records/player.h"
#include "records/team.h"
#include "store/block_map.h"
#include "store/cd_sector.h"
#include "store/file_io.h"
#include "store/iso_file.h"
#include "store/source_check.h"
#include "store/team_table.h"

namespace tarvo {

namespace fs = std::filesystem;

namespace {

using namespace blockmap;

struct PlayerTable {
    const char* field;
    std::size_t size;
    MutableByteSpan GameBlocks::*copyBlock;
    std::size_t offset, copyOffset;
};

// The per-player tables: the primary in the parameter data, the copy in the select data or, for
// the record, in the boot file.
constexpr std::array<PlayerTable, 4> kPlayerTables{{
    {"full name", kFullNameSize, &GameBlocks::select, kFullNameOffset, kFullNameCopyOffset},
    {"back name", kBackNameSize, &GameBlocks::select, kBackNameOffset, kBackNameCopyOffset},
    {"call number", kCallNumberSize, &GameBlocks::select, kCallNumberOffset, kCallNumberCopyOffset},
    {"record", kRecordSize, &GameBlocks::boot, kRecordOffset, kRecordCopyOffset},
}};

std::string rowName(int row) {
    return "team row " + std::to_string(row) + " (" + std::string(TeamTable[static_cast<std::size_t>(row)].label) + ")";
}

// How many sectors are read and checked at once.
constexpr std::size_t kSectorsPerRead = 64;

// Checks the sectors [first, first + count) of the image; names them by `name` and their number
// counted from the file's first sector. A cooked image has no codes: its sectors need only be there.
void checkSectors(OpenFile& image, const SectorLayout& layout, const std::string& name, std::uint64_t fileStart,
                  std::uint64_t first, std::uint64_t count, std::vector<VerifyFinding>& out) {
    using namespace cdsector;
    Bytes raw(kSectorsPerRead * layout.size), coded(kSectorSize);
    for (std::uint64_t done = 0; done < count;) {
        const std::uint64_t n = std::min<std::uint64_t>(kSectorsPerRead, count - done);
        const std::uint64_t sector = first + done;
        const MutableByteSpan part(raw.data(), n * layout.size);
        if (image.size() < (sector + n) * layout.size || !image.read(sector * layout.size, part)) {
            out.push_back({"sector", name, "",
                           name + ": sectors from " + std::to_string(sector - fileStart) + " on cannot be read (" +
                               image.error() + ")"});
            return;
        }
        for (std::uint64_t i = 0; i < n && !layout.cooked(); ++i) {
            const ByteSpan one = ByteSpan(part).subspan(i * kSectorSize, kSectorSize);
            std::copy(one.begin(), one.end(), coded.begin());
            encodeTail(coded);
            const bool edcOk = hasValidEdc(one);
            const bool eccOk = std::equal(one.begin() + kPParityOffset, one.end(), coded.begin() + kPParityOffset);
            if (edcOk && eccOk) continue;
            const std::string where = name + " sector " + std::to_string(sector + i - fileStart);
            const std::string field = !edcOk && !eccOk ? "EDC and ECC" : !edcOk ? "EDC" : "ECC";
            out.push_back({"sector", where, field,
                           where + " (image sector " + std::to_string(sector + i) + "): the " + field +
                               " does not match its data"});
        }
        done += n;
    }
}

}  // namespace

std::vector<VerifyFinding> mirrorDifferences(const GameBlocks& blocks) {
    std::vector<VerifyFinding> out;
    for (std::uint32_t id = 1; id <= kPlayerCount; ++id)
        for (const PlayerTable& t : kPlayerTables) {
            const ByteSpan primary = ByteSpan(blocks.parameter).subspan(t.offset + t.size * (id - 1), t.size);
            const ByteSpan copy = ByteSpan(blocks.*t.copyBlock).subspan(t.copyOffset + t.size * (id - 1), t.size);
            if (std::ranges::equal(primary, copy)) continue;
            const std::string where = "player " + std::to_string(id);
            out.push_back({"mirror", where, t.field, where + ": the second copy of the " + t.field + " differs"});
        }
    // The team values kept twice, as the field table names them (national squads, club names).
    for (std::size_t i = 0; i < kTeamFields.size(); ++i) {
        const TeamField& f = kTeamFields[i];
        if (!f.copy) continue;
        const auto field = static_cast<TF>(i);
        for (int row = 0; row < kTeamRows; ++row)
            for (int slot = 0; slot < (f.perSlot ? squadSize(row) : 1); ++slot) {
                const ByteSpan primary = teamFieldSlot(blocks, field, row, slot);
                const ByteSpan copy = teamFieldCopySlot(blocks, field, row, slot);
                if (copy.empty() || std::ranges::equal(primary, copy)) continue;
                const std::string where = rowName(row) + (f.perSlot ? " slot " + std::to_string(slot) : "");
                out.push_back({"mirror", where, std::string(f.name),
                               where + ": the second copy of the " + std::string(f.name) + " differs"});
            }
    }
    return out;
}

std::vector<VerifyFinding> sectorFaults(DataStore& store, FileAccess& files) {
    std::vector<VerifyFinding> out;
    if (store.sourceMode() != SourceMode::CdImage) return out;
    MessageLog findMessages;
    IsoFile bootFile(findMessages, files);
    std::string error;
    auto image = files.open(store.imagePath(), OpenMode::Read, error);
    if (image && !bootFile.Find(store.imagePath(), store.bootFileName()))
        error = findMessages.messages.empty() ? "the boot file is not found" : findMessages.messages.back().text;
    if (!error.empty()) {
        out.push_back({"sector", utf8Path(store.imagePath()), "", "the image cannot be read again: " + error});
        return out;
    }
    const auto sectorsOf = [](std::uint64_t bytes) { return (bytes + kUserDataSize - 1) / kUserDataSize; };
    checkSectors(*image, bootFile.layout(), store.bootFileName(), bootFile.startSector(), bootFile.startSector(),
                 sectorsOf(bootFile.fileSize()), out);
    const std::uint64_t archiveStart = store.archiveFile().startSector();
    for (const auto& [entry, name] :
         {std::pair{kParameterEntry, kParameterFileName}, std::pair{kSelectEntry, kSelectFileName}}) {
        const std::uint64_t offset = store.archive().GetOffset(entry), size = store.archive().GetSize(entry);
        const std::uint64_t first = offset / kUserDataSize;
        checkSectors(*image, bootFile.layout(), name, archiveStart + first, archiveStart + first,
                     sectorsOf(offset + size) - first, out);
    }
    return out;
}

std::vector<VerifyFinding> verifySource(const fs::path& given, FileAccess& files) {
    std::string error;
    const auto resolved = resolveSourcePath(given, error);
    if (!resolved) return {{"load", utf8Path(given), "", error}};
    const fs::path& source = resolved->path;
    std::error_code ec;
    const fs::path journal = journalPathOf(source);
    std::string detail;
    switch (journalState(files, journal, detail)) {
    case JournalState::None: break;
    case JournalState::Left:
        return {{"journal", utf8Path(journal), "interrupted",
                 "a journal of an interrupted write is left: " + utf8Path(journal) +
                     "; undo that write, then verify again"}};
    case JournalState::Unusable: return {{"journal", utf8Path(journal), "unusable", detail}};
    }
    if (!fs::exists(source, ec))
        return {{"load", utf8Path(source), "", "No such file or directory: " + utf8Path(source)}};
    MessageLog log;
    DataStore store(log, files);
    const bool loaded = resolved->folder ? store.LoadFromDirectory(source) : store.LoadFromImage(source);
    if (!loaded) {
        // The store's own reasons: a block shorter than the editor needs, a file not found, ...
        std::vector<VerifyFinding> out;
        for (const Message& message : log.messages) out.push_back({"load", utf8Path(source), "", message.text});
        if (out.empty()) out.push_back({"load", utf8Path(source), "", "the source cannot be loaded"});
        return out;
    }
    if (const auto mismatch = cueLayoutMismatch(*resolved, store)) return {{"load", utf8Path(given), "", *mismatch}};
    auto out = mirrorDifferences(store.blocks());
    const auto sectors = sectorFaults(store, files);
    out.insert(out.end(), sectors.begin(), sectors.end());
    return out;
}

}  // namespace tarvo
