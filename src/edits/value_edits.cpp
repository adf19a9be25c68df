#include "edits/value_edits.h"

#include <limits>
#include <variant>

#include "records/player.h"
#include "records/player_tables.h"
#include "records/team.h"
#include "records/value_names.h"
#include "store/block_map.h"

namespace tarvo {
namespace {

using PlayerChange = std::function<void(const GameBlocks&, Player&)>;
using TeamChange = std::function<void(const GameBlocks&)>;

std::variant<PlayerChange, std::string> checkPlayerChange(std::uint32_t id, const Assignment& a, std::uint32_t skin) {
    if (a.name == kFullNameValue || a.name == kBackNameValue) {
        const bool full = a.name == kFullNameValue;
        auto encoded = encodeName(a.name, a.value, maxPlayerNameBytes(full ? PlayerName::Full : PlayerName::Back));
        if (!encoded.refusal.empty()) return encoded.refusal;
        return PlayerChange([id, full, bytes = std::move(encoded.bytes)](const GameBlocks& b, Player&) {
            writePlayerName(b, full ? PlayerName::Full : PlayerName::Back, id, bytes);
        });
    }
    if (a.name == kCallNumberValue) {
        const auto v = parseInteger(a.value);
        if (!v || !callNumberAllowed(*v)) return "call number should be " + callNumberRangeText();
        return PlayerChange(
            [id, v = static_cast<std::uint16_t>(*v)](const GameBlocks& b, Player&) { writeCallNumber(b, id, v); });
    }
    const auto field = fieldByName(a.name);
    if (!field) return "unknown player value \"" + a.name + "\"";
    const auto v = parseInteger(a.value);
    if (!v || *v < 0 || *v > 0xFFFF || !editorAllows(*field, static_cast<std::uint32_t>(*v), skin))
        return "\"" + a.name + "\" = " + a.value + " is outside what the editor allows (" +
               editorRangeText(*field, skin) + ")";
    return PlayerChange(
        [f = *field, v = static_cast<std::uint32_t>(*v)](const GameBlocks&, Player& p) { p.write(f, v); });
}

std::variant<TeamChange, std::string> checkTeamChange(int row, const Assignment& a) {
    std::optional<TeamFieldId> field;
    int slot = 0;
    if (a.name.starts_with(kSlotWord)) {
        const auto space = a.name.find(' ', kSlotWord.size());
        const auto n = slotOfNumber(std::string_view(a.name).substr(kSlotWord.size(), space - kSlotWord.size()), row);
        if (!n) return slotRangeText(row);
        slot = *n;
        field = space == std::string::npos ? std::nullopt : teamFieldNamed(a.name.substr(space + 1));
        if (field && !teamField(*field).perSlot) field.reset();
    } else {
        field = teamFieldNamed(a.name);
        if (field && (teamField(*field).perSlot || *field == TeamFieldId::Formation)) field.reset();
    }
    if (!field) return "unknown team value \"" + a.name + "\"";
    if (auto refusal = teamEditRefusal(*field, row)) return *refusal;

    if (teamField(*field).kind == TeamFieldKind::Name) {
        auto encoded = encodeName(a.name, a.value, static_cast<std::size_t>(teamNameMaxBytes(*field, row)));
        if (!encoded.refusal.empty()) return encoded.refusal;
        return TeamChange([row, f = *field, bytes = std::move(encoded.bytes)](const GameBlocks& b) {
            storeTeamNameField(b, f, row, bytes);
        });
    }
    const auto value = parseInteger(a.value);
    if (!value && *field == TeamFieldId::SquadId) return "ID should be a whole number";
    // A value that is no number is refused with the value's range.
    const std::int64_t shown = value.value_or(std::numeric_limits<std::int64_t>::min());
    if (auto refusal = teamValueRefusal(*field, row, slot, shown)) return *refusal;
    return TeamChange([row, slot, f = *field, v = static_cast<int>(shown)](const GameBlocks& b) {
        storeTeamValue(b, f, row, slot, v);
    });
}

// Checks each assignment with `check`, in order; the changes are stored in the same order.
template <typename Change, typename Check, typename Store>
CheckedChanges checkAll(std::span<const Assignment> assignments, Check check, Store store) {
    std::vector<Change> changes;
    for (std::size_t i = 0; i < assignments.size(); ++i) {
        auto checked = check(assignments[i]);
        if (auto* refusal = std::get_if<std::string>(&checked)) return {{}, i, std::move(*refusal)};
        changes.push_back(std::get<Change>(std::move(checked)));
    }
    return {[changes = std::move(changes), store](const GameBlocks& blocks) { store(blocks, changes); }, {}, {}};
}

}  // namespace

CheckedChanges checkPlayerChanges(const GameBlocks& blocks, std::uint32_t id, std::span<const Assignment> assignments) {
    Player now;
    now.load(blocks, id);
    // The skin first: the face's bound follows the skin the player will have.
    std::uint32_t skin = now.read(PlayerFieldId::Skin);
    for (const Assignment& a : assignments) {
        const auto v = a.name == fieldOf(PlayerFieldId::Skin).name ? parseInteger(a.value) : std::nullopt;
        if (v && *v >= 0 && *v <= 0xFFFF && editorAllows(PlayerFieldId::Skin, static_cast<std::uint32_t>(*v), 0))
            skin = static_cast<std::uint32_t>(*v);
    }
    return checkAll<PlayerChange>(
        assignments, [id, skin](const Assignment& a) { return checkPlayerChange(id, a, skin); },
        [id](const GameBlocks& into, const std::vector<PlayerChange>& changes) {
            Player player;
            player.load(into, id);
            for (const PlayerChange& change : changes) change(into, player);
        });
}

CheckedChanges checkTeamChanges(int row, std::span<const Assignment> assignments) {
    return checkAll<TeamChange>(
        assignments, [row](const Assignment& a) { return checkTeamChange(row, a); },
        [](const GameBlocks& into, const std::vector<TeamChange>& changes) {
            for (const TeamChange& change : changes) change(into);
        });
}

}  // namespace tarvo
