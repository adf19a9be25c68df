#include "player/player_file.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "records/player.h"
#include "store/block_map.h"
#include "store/file_io.h"

namespace tarvo {

namespace fs = std::filesystem;

namespace {

using namespace blockmap;

constexpr std::string_view kPlayerMagic = "PLAYERDATA";
constexpr std::size_t kFullNameAt = 10;
constexpr std::size_t kBackNameAt = kFullNameAt + kFullNameSize;
constexpr std::size_t kCallNumberAt = kBackNameAt + kBackNameSize;
constexpr std::size_t kRecordAt = kCallNumberAt + kCallNumberSize;
static_assert(kRecordAt + kRecordSize == kPlayerFileSize);

}  // namespace

std::string playerFileName(std::uint32_t id) {
    char name[32];
    std::snprintf(name, sizeof name, "player%04u.dat", static_cast<unsigned>(id));
    return name;
}

Bytes buildPlayerFile(const GameBlocks& blocks, std::uint32_t id) {
    if (!isPlayerId(id)) return {};
    Bytes out(kPlayerMagic.begin(), kPlayerMagic.end());
    out.reserve(kPlayerFileSize);
    appendFixed(out, playerNameSlot(blocks, PlayerName::Full, id), kFullNameSize);
    appendFixed(out, playerNameSlot(blocks, PlayerName::Back, id), kBackNameSize);
    appendU16LE(out, readCallNumber(blocks, id));
    appendFixed(out, playerRecordBytes(blocks, id), kRecordSize);
    return out;
}

FileImport applyPlayerFile(const GameBlocks& blocks, std::uint32_t id, ByteSpan file) {
    FileImport result;
    if (!isPlayerId(id) || file.size() < kPlayerFileSize || !startsWith(file, kPlayerMagic)) return result;
    result.known = true;
    checkPlayerData(file.subspan(kFullNameAt, kFullNameSize), file.subspan(kBackNameAt, kBackNameSize),
                    readU16LE(file, kCallNumberAt).value_or(0), file.subspan(kRecordAt, kRecordSize), "",
                    result.values);
    if (!result.stored()) return result;
    writePlayerNameSlot(blocks, PlayerName::Full, id, file.subspan(kFullNameAt, kFullNameSize));
    writePlayerNameSlot(blocks, PlayerName::Back, id, file.subspan(kBackNameAt, kBackNameSize));
    writeCallNumber(blocks, id, readU16LE(file, kCallNumberAt).value_or(0));
    writePlayerRecordBytes(blocks, id, file.subspan(kRecordAt, kRecordSize));
    return result;
}

bool exportPlayer(const GameBlocks& blocks, std::uint32_t id, const fs::path& directory, MessageService& messages) {
    return exportPlayerTo(blocks, id, directory / playerFileName(id), messages);
}

bool exportPlayerTo(const GameBlocks& blocks, std::uint32_t id, const fs::path& file, MessageService& messages) {
    const Bytes data = buildPlayerFile(blocks, id);
    if (data.empty()) {
        messages.warning("There is no player " + std::to_string(id) + ".");
        return false;
    }
    if (!writeFileReporting(file, data, messages)) return false;
    messages.information("OK, player data saved as \n" + utf8Path(file));
    return true;
}

FileImport importPlayer(const GameBlocks& blocks, std::uint32_t id, const fs::path& file, MessageService& messages) {
    const auto data = readFileReporting(file, kMaxPlayerFileSize, messages);
    if (!data) return {};
    FileImport result = applyPlayerFile(blocks, id, *data);
    if (!result.known) {
        messages.warning("unknown format!");
        return result;
    }
    if (reportValues(utf8Path(file), result.values, messages)) messages.information("data of player load OK.");
    return result;
}

}  // namespace tarvo
