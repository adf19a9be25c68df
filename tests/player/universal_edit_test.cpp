// The bulk change of one ability: the arithmetic and its clamp, and that only the chosen ability
// of every player changes, in both copies.

#include <gtest/gtest.h>

#include "player/universal_edit.h"
#include "support/test_blocks.h"

namespace tarvo {
namespace {

using namespace blockmap;
using test::TestBlocks;

TEST(UniversalEdit, ArithmeticTruncatesAndClamps) {
    struct Case {
        std::int32_t value;
        UniversalMethod method;
        std::int32_t amount, result;
    };
    using enum UniversalMethod;
    for (const auto& c : {Case{95, Add, 10, 99}, Case{50, Add, -99, 1}, Case{0, Add, 0, 1}, Case{127, Add, 0, 99},
                          Case{40, Add, 7, 47}, Case{70, Percent, 150, 99}, Case{50, Percent, 33, 16},
                          Case{3, Percent, 33, 1}, Case{60, Percent, 149, 89}, Case{127, Percent, 100, 99}})
        EXPECT_EQ(universalValue(c.value, c.method, c.amount), c.result)
            << c.value << (c.method == Add ? " + " : " % ") << c.amount;
}

TEST(UniversalEdit, OnlyTheChosenAbilityOfEveryPlayer) {
    for (int ability : {0, 24, 25, -1}) {
        SCOPED_TRACE("ability " + std::to_string(ability));
        TestBlocks b;
        b.fillPattern(static_cast<std::uint32_t>(ability) + 2);  // values 0 to 127, copies differ
        TestBlocks expected = b;
        Player player, was;
        universalEdit(b.view(), player, ability, UniversalMethod::Percent, 33);
        // The same change made player by player through the record gives the same blocks; no
        // change at all for an ability outside 0 to 24.
        for (std::uint32_t id = 1; id <= kPlayerCount && ability >= 0 && ability <= 24; ++id) {
            was.load(expected.view(), id);
            const auto old = static_cast<std::int32_t>(was.ability(ability));
            was.setAbility(ability, static_cast<std::uint32_t>(std::clamp(old * 33 / 100, 1, 99)));
        }
        EXPECT_TRUE(b == expected);
    }
}

}  // namespace
}  // namespace tarvo
