#include "team/squad_entry.h"

#include <string>

#include "records/player.h"
#include "records/team.h"

namespace tarvo {

Bytes squadEntryText(const GameBlocks& blocks, int row, int slot) {
    std::string number = std::to_string(slotNumber(slot));
    number += ". ";
    Bytes text(number.begin(), number.end());
    const std::uint16_t id = readSquadId(blocks, row, slot);
    if (!isPlayerId(id)) {
        static constexpr std::string_view kEmpty = "empty position";
        if (id == 0) text.insert(text.end(), kEmpty.begin(), kEmpty.end());
        return text;
    }
    const Bytes name = readPlayerName(blocks, PlayerName::Full, id);
    text.insert(text.end(), name.begin(), name.end());
    return text;
}

}  // namespace tarvo
