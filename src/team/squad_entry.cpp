#include "team/squad_entry.h"

#include <string>

#include "records/player.h"
#include "records/team.h"

namespace tarvo {

Bytes squadEntryText(const GameBlocks& blocks, int row, int slot) {
    const std::string number = std::to_string(slot + 1) + ". ";
    Bytes text(number.begin(), number.end());
    const std::uint16_t id = readSquadId(blocks, row, slot);
    if (id == 0 || id > blockmap::kPlayerCount) {
        static constexpr std::string_view kEmpty = "empty position";
        if (id == 0) text.insert(text.end(), kEmpty.begin(), kEmpty.end());
        return text;
    }
    const Bytes name = readPlayerName(blocks, PlayerName::Full, id);
    text.insert(text.end(), name.begin(), name.end());
    return text;
}

}  // namespace tarvo
