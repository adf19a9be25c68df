#include "player/page_rules.h"

#include <algorithm>
#include <span>
#include <string_view>

namespace tarvo {

namespace {

constexpr int kHairColorCount = 62;   // "1" to "62"; 63 is bald
constexpr int kBeardColorCount = 63;  // "1" to "62", "as hair"; 63 is no beard

bool isAbility(PlayerFieldId field) { return fieldOf(field).page == PlayerPage::Abilities; }

std::vector<std::string> numbered(int count) {
    std::vector<std::string> entries;
    entries.reserve(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i) entries.push_back(std::to_string(i));
    return entries;
}

std::vector<std::string> named(std::span<const std::string_view> names) { return {names.begin(), names.end()}; }

// The numbers "1" up to the count of the field's values ("1" to "8" for "head V").
std::vector<std::string> numberedValues(PlayerFieldId field) {
    return numbered(static_cast<int>(fieldOf(field).max) + 1);
}

std::vector<std::string> numberedThen(int count, std::string last) {
    auto entries = numbered(count);
    entries.push_back(std::move(last));
    return entries;
}

}  // namespace

std::vector<std::string> listEntries(PlayerFieldId field) {
    if (isAbility(field)) return numbered(static_cast<int>(kAbilityMax));
    switch (field) {
    case PlayerFieldId::Position1:  // no "None"
        return named(std::span(kPositionNames).first(fieldOf(field).max + 1));
    case PlayerFieldId::Position2:
    case PlayerFieldId::Position3: return named(kPositionNames);
    case PlayerFieldId::Nation: {
        std::vector<std::string> labels;
        for (const auto& nation : kNations) labels.emplace_back(nation.label);
        return labels;
    }
    case PlayerFieldId::EyeIris: return named(kEyeColourNames);
    case PlayerFieldId::Sleeves: return named(kSleeveNames);
    case PlayerFieldId::Foot: return named(kFootNames);
    case PlayerFieldId::FreeKick: return named(kFreeKickNames);
    case PlayerFieldId::Injury: return named(kInjuryNames);
    case PlayerFieldId::Build:
    case PlayerFieldId::Skin:
    case PlayerFieldId::EyeGlobe:
    case PlayerFieldId::ShoesModel:
    case PlayerFieldId::HeadV:
    case PlayerFieldId::HeadH:
    case PlayerFieldId::Accessory:
    case PlayerFieldId::ShoesColor:
    case PlayerFieldId::ShoesDesignColor:
    case PlayerFieldId::ShoesTongueColor: return numberedValues(field);
    case PlayerFieldId::HairType: return numberedThen(kHairStyleCount, "bald");
    case PlayerFieldId::HairColor: return numbered(kHairColorCount);
    case PlayerFieldId::BeardType: return numberedThen(kBeardTypeCount, "NO");
    case PlayerFieldId::BeardColor: return numberedThen(kBeardColorCount - 1, "as hair");
    default: return {};
    }
}

LinkedLists hairLists(const Player& player) {
    const std::uint32_t color = player.read(PlayerFieldId::HairColor);
    if (color == kBaldHairColor) return {kBaldEntry, -1, false};
    const auto style = hairStyleEntryOfCode(player.read(PlayerFieldId::HairType));
    return {style.value_or(-1), color < kHairColorCount ? static_cast<int>(color) : -1, true};
}

LinkedLists beardLists(const Player& player) {
    const std::uint32_t color = player.read(PlayerFieldId::BeardColor);
    if (color == kNoBeardColor) return {kNoBeardEntry, -1, false};
    const std::uint32_t type = player.read(PlayerFieldId::BeardType);
    return {type < kBeardTypeCount ? static_cast<int>(type) : -1,
            color < kBeardColorCount ? static_cast<int>(color) : -1, true};
}

int entryOfStored(PlayerFieldId field, const Player& player) {
    const std::uint32_t value = player.read(field);
    if (isAbility(field)) return value >= kAbilityMin && value <= kAbilityMax ? static_cast<int>(value - 1) : -1;
    switch (field) {
    case PlayerFieldId::Nation: return nationEntryOfCode(value).value_or(-1);
    case PlayerFieldId::HairType: return hairLists(player).typeEntry;
    case PlayerFieldId::HairColor: return hairLists(player).colorEntry;
    case PlayerFieldId::BeardType: return beardLists(player).typeEntry;
    case PlayerFieldId::BeardColor: return beardLists(player).colorEntry;
    default: break;
    }
    const auto count = listEntries(field).size();
    return value < count ? static_cast<int>(value) : -1;
}

std::optional<std::uint32_t> valueOfEntry(PlayerFieldId field, int entry) {
    const auto count = static_cast<int>(listEntries(field).size());
    if (entry < 0 || entry >= count) return std::nullopt;
    const auto index = static_cast<std::size_t>(entry);
    if (isAbility(field)) return static_cast<std::uint32_t>(entry) + 1;
    switch (field) {
    case PlayerFieldId::Nation: return kNations[index].code;
    case PlayerFieldId::HairType:
        if (entry == kBaldEntry) return std::nullopt;
        return kHairStyleCodes[index];
    case PlayerFieldId::BeardType:
        if (entry == kNoBeardEntry) return std::nullopt;
        return static_cast<std::uint32_t>(entry);
    default: return static_cast<std::uint32_t>(entry);
    }
}

bool chooseEntry(Player& player, PlayerFieldId field, int entry) {
    if (field == PlayerFieldId::HairType || field == PlayerFieldId::BeardType) {
        const int last = field == PlayerFieldId::HairType ? kBaldEntry : kNoBeardEntry;
        if (entry < 0 || entry > last) return false;
        if (field == PlayerFieldId::HairType) chooseHairType(player, entry);
        else chooseBeardType(player, entry);
        return true;
    }
    const auto value = valueOfEntry(field, entry);
    if (!value) return false;
    player.write(field, *value);
    return true;
}

LinkedLists chooseHairType(Player& player, int entry) {
    if (entry == kBaldEntry) {
        player.write(PlayerFieldId::HairColor, kBaldHairColor);
    } else if (const auto code = valueOfEntry(PlayerFieldId::HairType, entry)) {
        if (player.read(PlayerFieldId::HairColor) == kBaldHairColor) player.write(PlayerFieldId::HairColor, 0);
        player.write(PlayerFieldId::HairType, *code);
    }
    return hairLists(player);
}

LinkedLists chooseBeardType(Player& player, int entry) {
    if (entry == kNoBeardEntry) {
        player.write(PlayerFieldId::BeardColor, kNoBeardColor);
    } else if (const auto type = valueOfEntry(PlayerFieldId::BeardType, entry)) {
        if (player.read(PlayerFieldId::BeardColor) == kNoBeardColor)
            player.write(PlayerFieldId::BeardColor, kBeardAsHairColor);
        player.write(PlayerFieldId::BeardType, *type);
    }
    return beardLists(player);
}

FieldRange numberRange(PlayerFieldId field, std::uint32_t skin) {
    if (field == PlayerFieldId::Face) return {1, faceBoundOfSkin(skin)};
    return editorRange(field);
}

bool enterNumber(Player& player, PlayerFieldId field, std::int64_t value) {
    const auto range = numberRange(field, player.read(PlayerFieldId::Skin));
    const std::int64_t stored = player.read(field);
    if (value < std::min<std::int64_t>(range.min, stored) || value > std::max<std::int64_t>(range.max, stored))
        return false;
    player.write(field, static_cast<std::uint32_t>(value));
    return true;
}

CallNumberKind callNumberKind(std::uint16_t number) {
    if (number == kNoCallNumber) return CallNumberKind::None;
    if (number >= kCallNumberMin && number <= kCallNumberMax) return CallNumberKind::InRange;
    return CallNumberKind::OutOfRange;
}

bool enterCallNumber(const GameBlocks& blocks, std::uint32_t id, std::int64_t value) {
    if (value < kCallNumberMin || value > kCallNumberMax) return false;
    writeCallNumber(blocks, id, static_cast<std::uint16_t>(value));
    return true;
}

}  // namespace tarvo
