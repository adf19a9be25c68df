// The bulk change of one ability: the arithmetic and its clamp, and that only the chosen ability
// of every player changes, in both copies.

#include <gtest/gtest.h>

#include "player/universal_edit.h"
#include "support/test_blocks.h"

namespace tarvo {
namespace {

using namespace blockmap;
using test::TestBlocks;

TEST(UniversalValue, ArithmeticAndClamp) {
    struct Case {
        std::int32_t value;
        UniversalMethod method;
        std::int32_t amount;
        std::int32_t result;
    };
    using enum UniversalMethod;
    const std::vector<Case> cases{
        {95, Add, 10, 99},      {50, Add, -99, 1},     {99, Add, -99, 1},    {1, Add, 0, 1},
        {99, Add, 0, 99},       {0, Add, 0, 1},        {127, Add, 0, 99},    {40, Add, 7, 47},
        {70, Percent, 150, 99}, {50, Percent, 33, 16}, {99, Percent, 1, 1},  {3, Percent, 33, 1},
        {99, Percent, 101, 99}, {67, Percent, 149, 99}, {60, Percent, 149, 89}, {45, Percent, 200, 90},
        {0, Percent, 200, 1},   {127, Percent, 100, 99}, {37, Percent, 100, 37}, {-50, Percent, 33, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(universalValue(c.value, c.method, c.amount), c.result)
            << c.value << (c.method == Add ? " + " : " % ") << c.amount;
}

TEST(UniversalEdit, OnlyTheChosenAbilityOfEveryPlayer) {
    for (int ability : {0, 15, 24}) {
        SCOPED_TRACE("ability " + std::to_string(ability));
        TestBlocks b;
        b.fillPattern(static_cast<std::uint32_t>(ability) + 1);  // values 0 to 127, copies differ
        const TestBlocks before = b;
        Player player;
        universalEdit(b.view(), player, ability, UniversalMethod::Percent, 33);
        EXPECT_EQ(player.id(), kPlayerCount);

        TestBlocks original = before;
        Player was, now;
        const auto& f = fieldOf(kAbilityFields[static_cast<std::size_t>(ability)]);
        for (std::uint32_t id = 1; id <= kPlayerCount; ++id) {
            was.load(original.view(), id);
            now.load(b.view(), id);
            const auto old = static_cast<std::int32_t>(was.ability(ability));
            ASSERT_EQ(now.ability(ability), static_cast<std::uint32_t>(std::clamp(old * 33 / 100, 1, 99)))
                << "player " << id;
            // Every other bit of the record is as it was.
            BitRecord expected = was.bits();
            expected.replace(f.position, f.width, now.bits(), f.position, f.width);
            ASSERT_EQ(now.bits(), expected) << "player " << id;
            const std::size_t at = kRecordOffset + kRecordSize * (id - 1),
                              copyAt = kRecordCopyOffset + kRecordSize * (id - 1);
            ASSERT_TRUE(std::equal(b.parameter.begin() + static_cast<long>(at),
                                   b.parameter.begin() + static_cast<long>(at + kRecordSize),
                                   b.boot.begin() + static_cast<long>(copyAt)))
                << "copies differ for player " << id;
        }
        // Outside the two record tables nothing changed.
        TestBlocks rest = b;
        std::copy_n(before.parameter.begin() + kRecordOffset, kRecordSize * kPlayerCount,
                    rest.parameter.begin() + kRecordOffset);
        std::copy_n(before.boot.begin() + kRecordCopyOffset, kRecordSize * kPlayerCount,
                    rest.boot.begin() + kRecordCopyOffset);
        EXPECT_TRUE(rest == before);
    }
}

TEST(UniversalEdit, UnknownAbilityChangesNothing) {
    TestBlocks b;
    b.fillPattern(9);
    const TestBlocks before = b;
    Player player;
    universalEdit(b.view(), player, 25, UniversalMethod::Add, 5);
    universalEdit(b.view(), player, -1, UniversalMethod::Add, 5);
    EXPECT_TRUE(b == before);
}

}  // namespace
}  // namespace tarvo
