#include "player/universal_edit.h"

#include <algorithm>

#include "records/player_tables.h"
#include "store/block_map.h"

namespace tarvo {

std::int32_t universalValue(std::int32_t value, UniversalMethod method, std::int32_t amount) {
    // 64-bit intermediates give the 32-bit results for every value a record can hold and cannot
    // overflow for any other; division truncates toward zero.
    const std::int64_t v =
        method == UniversalMethod::Add ? std::int64_t{value} + amount : std::int64_t{value} * amount / 100;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, kAbilityMin, kAbilityMax));
}

void universalEdit(const GameBlocks& blocks, Player& player, int ability, UniversalMethod method, std::int32_t amount) {
    if (!Player::isAbilityIndex(ability)) return;
    for (std::uint32_t id = 1; id <= blockmap::kPlayerCount; ++id) {
        player.load(blocks, id);
        const auto value = static_cast<std::int32_t>(player.ability(ability));
        player.setAbility(ability, static_cast<std::uint32_t>(universalValue(value, method, amount)));
    }
}

}  // namespace tarvo
