#include "player/page_rules.h"

#include <algorithm>
#include <span>
#include <string_view>

namespace tarvo {

namespace {

constexpr int kHairColorCount = 62;   // "1" to "62"; 63 is bald
constexpr int kBeardColorCount = 63;  // "1" to "62", "as hair"; 63 is no beard
constexpr int kPosition1Count = 11;   // "position1" has no "None"

bool isAbility(PF field) { return fieldOf(field).page == PlayerPage::Abilities; }

std::vector<std::string> numbered(int count) {
    std::vector<std::string> entries;
    entries.reserve(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i) entries.push_back(std::to_string(i));
    return entries;
}

std::vector<std::string> named(std::span<const std::string_view> names) { return {names.begin(), names.end()}; }

std::vector<std::string> numberedThen(int count, std::string last) {
    auto entries = numbered(count);
    entries.push_back(std::move(last));
    return entries;
}

}  // namespace

std::vector<std::string> listEntries(PF field) {
    if (isAbility(field)) return numbered(static_cast<int>(kAbilityMax));
    switch (field) {
    case PF::Position1: return named(std::span(kPositionNames).first(kPosition1Count));
    case PF::Position2:
    case PF::Position3: return named(kPositionNames);
    case PF::Nation: {
        std::vector<std::string> labels;
        for (const auto& nation : kNations) labels.emplace_back(nation.label);
        return labels;
    }
    case PF::EyeIris: return named(kEyeColourNames);
    case PF::Sleeves: return named(kSleeveNames);
    case PF::Foot: return named(kFootNames);
    case PF::FreeKick: return named(kFreeKickNames);
    case PF::Injury: return named(kInjuryNames);
    case PF::Build: return numbered(5);
    case PF::Skin: return numbered(4);
    case PF::EyeGlobe: return numbered(3);
    case PF::ShoesModel: return numbered(10);
    case PF::HeadV:
    case PF::HeadH:
    case PF::Accessory:
    case PF::ShoesColor:
    case PF::ShoesDesignColor:
    case PF::ShoesTongueColor: return numbered(8);
    case PF::HairType: return numberedThen(kHairStyleCount, "bald");
    case PF::HairColor: return numbered(kHairColorCount);
    case PF::BeardType: return numberedThen(kBeardTypeCount, "NO");
    case PF::BeardColor: return numberedThen(kBeardColorCount - 1, "as hair");
    default: return {};
    }
}

LinkedLists hairLists(const Player& player) {
    const std::uint32_t color = player.read(PF::HairColor);
    if (color == kBaldHairColor) return {kBaldEntry, -1, false};
    const auto style = hairStyleEntryOfCode(player.read(PF::HairType));
    return {style.value_or(-1), color < kHairColorCount ? static_cast<int>(color) : -1, true};
}

LinkedLists beardLists(const Player& player) {
    const std::uint32_t color = player.read(PF::BeardColor);
    if (color == kNoBeardColor) return {kNoBeardEntry, -1, false};
    const std::uint32_t type = player.read(PF::BeardType);
    return {type < kBeardTypeCount ? static_cast<int>(type) : -1,
            color < kBeardColorCount ? static_cast<int>(color) : -1, true};
}

int entryOfStored(PF field, const Player& player) {
    const std::uint32_t value = player.read(field);
    if (isAbility(field)) return value >= kAbilityMin && value <= kAbilityMax ? static_cast<int>(value - 1) : -1;
    switch (field) {
    case PF::Nation: return nationEntryOfCode(value).value_or(-1);
    case PF::HairType: return hairLists(player).typeEntry;
    case PF::HairColor: return hairLists(player).colorEntry;
    case PF::BeardType: return beardLists(player).typeEntry;
    case PF::BeardColor: return beardLists(player).colorEntry;
    default: break;
    }
    const auto count = listEntries(field).size();
    return value < count ? static_cast<int>(value) : -1;
}

std::optional<std::uint32_t> valueOfEntry(PF field, int entry) {
    const auto count = static_cast<int>(listEntries(field).size());
    if (entry < 0 || entry >= count) return std::nullopt;
    const auto index = static_cast<std::size_t>(entry);
    if (isAbility(field)) return static_cast<std::uint32_t>(entry) + 1;
    switch (field) {
    case PF::Nation: return kNations[index].code;
    case PF::HairType:
        if (entry == kBaldEntry) return std::nullopt;
        return kHairStyleCodes[index];
    case PF::BeardType:
        if (entry == kNoBeardEntry) return std::nullopt;
        return static_cast<std::uint32_t>(entry);
    default: return static_cast<std::uint32_t>(entry);
    }
}

bool chooseEntry(Player& player, PF field, int entry) {
    if (field == PF::HairType || field == PF::BeardType) {
        const int last = field == PF::HairType ? kBaldEntry : kNoBeardEntry;
        if (entry < 0 || entry > last) return false;
        if (field == PF::HairType) chooseHairType(player, entry);
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
        player.write(PF::HairColor, kBaldHairColor);
    } else if (const auto code = valueOfEntry(PF::HairType, entry)) {
        if (player.read(PF::HairColor) == kBaldHairColor) player.write(PF::HairColor, 0);
        player.write(PF::HairType, *code);
    }
    return hairLists(player);
}

LinkedLists chooseBeardType(Player& player, int entry) {
    if (entry == kNoBeardEntry) {
        player.write(PF::BeardColor, kNoBeardColor);
    } else if (const auto type = valueOfEntry(PF::BeardType, entry)) {
        if (player.read(PF::BeardColor) == kNoBeardColor) player.write(PF::BeardColor, kBeardAsHairColor);
        player.write(PF::BeardType, *type);
    }
    return beardLists(player);
}

FieldRange numberRange(PF field, std::uint32_t skin) {
    if (field == PF::Face) return {1, faceBoundOfSkin(skin)};
    return editorRange(field);
}

bool enterNumber(Player& player, PF field, std::int64_t value) {
    const auto range = numberRange(field, player.read(PF::Skin));
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
