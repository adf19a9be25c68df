#include "records/value_names.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "records/formation.h"
#include "records/player.h"
#include "records/player_fields.h"
#include "records/team.h"

namespace tarvo {

namespace {

using What = ValueRef::What;

constexpr std::string_view kFormation = "formation ";
// The three parts of a formation record, ten bytes each: role codes, x, y.
constexpr std::array<std::string_view, 3> kFormationParts{"role", "x", "y"};

}  // namespace

std::optional<int> parseIndex(std::string_view text, int max) {
    int value = 0;
    if (text.empty() || text.front() == '+' || text.front() == '-' || (text.size() > 1 && text.front() == '0'))
        return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value >= max) return std::nullopt;
    return value;
}

std::string valueName(const ValueRef& value) {
    switch (value.what) {
    case What::FullName: return std::string(kFullNameValue);
    case What::BackName: return std::string(kBackNameValue);
    case What::CallNumber: return std::string(kCallNumberValue);
    case What::PlayerField: return std::string(kPlayerFields[static_cast<std::size_t>(value.index)].name);
    case What::TeamField: {
        const TeamField& f = kTeamFields[static_cast<std::size_t>(value.index)];
        return f.perSlot ? slotName(value.slot) + " " + std::string(f.name) : std::string(f.name);
    }
    case What::Formation:
        return std::string(kFormation) +
               std::string(kFormationParts[static_cast<std::size_t>(value.index / kFormationPositions)]) + " " +
               std::to_string(value.index % kFormationPositions);
    }
    return {};
}

std::optional<ValueRef> valueNamed(ChangeKind kind, int subject, std::string_view field) {
    if (kind == ChangeKind::Player) {
        if (!isPlayerId(static_cast<std::uint32_t>(subject)) || subject < 0) return std::nullopt;
        if (field == kFullNameValue) return ValueRef{What::FullName, subject};
        if (field == kBackNameValue) return ValueRef{What::BackName, subject};
        if (field == kCallNumberValue) return ValueRef{What::CallNumber, subject};
        if (const auto f = fieldByName(field)) return ValueRef{What::PlayerField, subject, static_cast<int>(*f)};
        return std::nullopt;
    }
    if (kind != ChangeKind::Team || !rowIsIn(subject, TeamRows::All)) return std::nullopt;
    const auto space = field.rfind(' ');
    if (field.starts_with(kFormation) && space != std::string_view::npos) {
        const auto part =
            std::ranges::find(kFormationParts, field.substr(kFormation.size(), space - kFormation.size()));
        const auto k = parseIndex(field.substr(space + 1), kFormationPositions);
        if (part == kFormationParts.end() || !k) return std::nullopt;
        return ValueRef{What::Formation, subject,
                        static_cast<int>(part - kFormationParts.begin()) * kFormationPositions + *k};
    }
    int slot = 0;
    const bool slotted = field.starts_with(kSlotWord);
    if (slotted) {
        const auto end = field.find(' ', kSlotWord.size());
        if (end == std::string_view::npos) return std::nullopt;
        const auto n = slotOfNumber(field.substr(kSlotWord.size(), end - kSlotWord.size()), subject);
        if (!n) return std::nullopt;
        slot = *n;
        field.remove_prefix(end + 1);
    }
    const auto f = teamFieldNamed(field);
    if (!f || *f == TeamFieldId::Formation) return std::nullopt;
    const TeamField& tf = teamField(*f);
    if (tf.perSlot != slotted || !rowIsIn(subject, tf.rows)) return std::nullopt;
    return ValueRef{What::TeamField, subject, static_cast<int>(*f), slot};
}

bool isTextValue(const ValueRef& value) {
    return value.what == What::FullName || value.what == What::BackName ||
           (value.what == What::TeamField &&
            kTeamFields[static_cast<std::size_t>(value.index)].kind == TeamFieldKind::Name);
}

}  // namespace tarvo
