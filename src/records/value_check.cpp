#include "records/value_check.h"

#include <algorithm>
#include <array>

#include "records/bit_record.h"
#include "records/formation.h"
#include "records/player_tables.h"
#include "records/team.h"

namespace tarvo {

namespace {

// A long list (a file of noise) is cut here, with the number of values left out.
constexpr std::size_t kListedFindings = 12;

std::string hexOf(ByteSpan bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t b : bytes) {
        if (!text.empty()) text += ' ';
        text += kDigits[b >> 4];
        text += kDigits[b & 0xF];
    }
    return text;
}

std::string findingsText(std::string_view file, const std::vector<ValueFinding>& findings) {
    std::string text;
    const std::size_t shown = std::min(findings.size(), kListedFindings);
    for (std::size_t i = 0; i < shown; ++i) {
        const ValueFinding& f = findings[i];
        // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "\n" + std::string at -O2.
        text += '\n';
        text.append(file).append(": ").append(f.field).append(" = ").append(f.value);
        text.append(" (").append(f.reason).append(")");
    }
    if (findings.size() > shown) text += "\nand " + std::to_string(findings.size() - shown) + " more";
    return text;
}

// A name slot: its text must end with a NUL inside the slot. Its field's name is made only when
// refused: a team file holds up to 40 players, each of 73 values.
template <typename FieldName>
void checkNameSlot(ByteSpan slot, ValueCheck& check, const FieldName& field) {
    if (std::ranges::find(slot, std::uint8_t{0}) == slot.end())
        check.refused.push_back({field(), hexOf(slot), "no NUL ends the name in its slot"});
}

}  // namespace

void checkPlayerData(ByteSpan fullName, ByteSpan backName, std::uint16_t callNumber, ByteSpan record,
                     const std::string& where, ValueCheck& check) {
    checkNameSlot(fullName, check, [&] { return where + "full name"; });
    checkNameSlot(backName, check, [&] { return where + "back name"; });
    if (!callNumberAllowed(callNumber))
        check.kept.push_back(
            {where + "call number", std::to_string(callNumber), "the editor allows " + callNumberRangeText()});
    // Every value fits its field's bits; what matters is whether the game and the editor know it.
    const BitRecord bits = expandRecord(record);
    const auto shown = [&bits](PlayerFieldId f) {
        const PlayerField& field = fieldOf(f);
        return readField(bits, field.position, field.width).value_or(0) + field.offset;
    };
    const std::uint32_t skin = shown(PlayerFieldId::Skin);
    for (std::size_t i = 0; i < kPlayerFields.size(); ++i) {
        const auto field = static_cast<PlayerFieldId>(i);
        const std::uint32_t value = shown(field);
        const auto name = [&] { return where + std::string(kPlayerFields[i].name); };
        if (auto why = unreadablePlayerValue(field, value))
            check.refused.push_back({name(), std::to_string(value), *why});
        else if (!editorAllows(field, value, skin))
            check.kept.push_back({name(), std::to_string(value), "the editor allows " + editorRangeText(field, skin)});
    }
}

void checkTeamValue(TeamFieldId field, int row, int slot, ByteSpan bytes, ValueCheck& check) {
    const TeamField& f = teamField(field);
    const auto name = [&] { return (f.perSlot ? slotName(slot) + " " : std::string()) + std::string(f.name); };
    if (f.kind == TeamFieldKind::Name) {
        checkNameSlot(bytes, check, name);
        return;
    }
    if (f.kind == TeamFieldKind::Formation) {
        static constexpr std::array<std::string_view, 3> kParts{" role ", " x ", " y "};
        constexpr auto kPositions = static_cast<std::size_t>(kFormationPositions);
        for (std::size_t k = 0; k < bytes.size(); ++k) {
            const auto why = formationValueRefusal(static_cast<int>(k), bytes[k]);
            if (!why) continue;
            // A role the game could not look up; a position it can place, off the editor's pitch.
            auto& list = k < kPositions ? check.refused : check.kept;
            list.push_back(
                {name() + std::string(kParts[(k / kPositions) % kParts.size()]) + std::to_string(k % kPositions),
                 std::to_string(bytes[k]), *why});
        }
        return;
    }
    if (bytes.size() != f.size || (f.size != 1 && f.size != 2)) return;
    const int stored = f.size == 2 ? readU16LE(bytes, 0).value_or(0) : bytes[0];
    const int value = (stored - f.bias) / f.scale;
    const auto why = teamValueRefusal(field, row, slot, value);
    if (!why) return;
    // An empty slot is readable wherever it stands; only the editor wants a player there.
    auto& list = field == TeamFieldId::SquadId && stored == 0 ? check.kept : check.refused;
    list.push_back({name(), std::to_string(value), *why});
}

bool reportValues(std::string_view file, const ValueCheck& check, MessageService& messages) {
    if (!check.refused.empty()) {
        messages.warning("Nothing was loaded: the game could not read these values." +
                         findingsText(file, check.refused));
        return false;
    }
    if (!check.kept.empty())
        messages.warning("Loaded; these values lie outside what the editor offers and were kept as they are." +
                         findingsText(file, check.kept));
    return true;
}

}  // namespace tarvo
