#include "team/player_search.h"

#include <algorithm>
#include <charconv>

#include "records/player.h"
#include "records/team.h"
#include "store/block_map.h"
#include "text/sjis.h"

namespace tarvo {

namespace {

// Lower-cases ASCII letters only; the bytes of UTF-8 sequences are all above 0x7F and stay.
std::string foldAscii(std::string_view text) {
    std::string folded(text);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

}  // namespace

std::vector<PlayerMatch> findPlayers(const GameBlocks& blocks, std::string_view text) {
    std::vector<PlayerMatch> found;
    if (text.empty()) return found;
    std::uint32_t wantedId = 0;
    const bool digits = std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; });
    if (digits) std::from_chars(text.data(), text.data() + text.size(), wantedId);
    const std::string wanted = foldAscii(text);

    for (std::uint32_t id = 1; id <= blockmap::kPlayerCount; ++id) {
        std::string full = decodeShiftJis(readPlayerName(blocks, PlayerName::Full, id));
        std::string back = decodeShiftJis(readPlayerName(blocks, PlayerName::Back, id));
        const bool named =
            foldAscii(full).find(wanted) != std::string::npos || foldAscii(back).find(wanted) != std::string::npos;
        if (id == wantedId || named) found.push_back({id, std::move(full), std::move(back), {}});
    }
    if (found.empty()) return found;
    for (int row = 0; row < blockmap::kTeamRows; ++row)
        for (int slot = 0; slot < squadSize(row); ++slot) {
            const std::uint32_t id = readSquadId(blocks, row, slot);
            const auto match = std::ranges::lower_bound(found, id, {}, &PlayerMatch::id);
            if (match != found.end() && match->id == id) match->places.push_back({row, slot});
        }
    return found;
}

}  // namespace tarvo
