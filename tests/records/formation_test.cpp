// Formations: the role list and the presets read from the boot file.

#include <gtest/gtest.h>

#include <set>

#include "records/formation.h"
#include "support/test_blocks.h"

namespace tarvo {
namespace {

using namespace blockmap;
using test::TestBlocks;

TEST(FormationRoles, EveryCodeOnceAndUnknownCodesEmpty) {
    std::set<int> codes;
    for (const auto& r : kRoles) codes.insert(r.code);
    EXPECT_EQ(codes.size(), 33u);
    EXPECT_EQ(*codes.begin(), 2);
    EXPECT_EQ(*codes.rbegin(), 34);

    struct Case {
        std::uint32_t code;
        std::string_view label;
        std::optional<int> index;
    };
    for (const auto& c : {Case{4, "CB", 0}, Case{34, "RW", 32}, Case{2, "CB_L", 2}, Case{16, "CH_L", 16},
                          Case{1, "", std::nullopt}, Case{35, "", std::nullopt}, Case{260, "", std::nullopt}}) {
        EXPECT_EQ(roleLabel(c.code), c.label) << c.code;
        EXPECT_EQ(roleListIndex(c.code), c.index) << c.code;
    }
}

TEST(FormationPresets, RolesSkipTheFirstByteOfTheirEntry) {
    TestBlocks b;
    b.fillPattern(6);
    for (int preset : {1, 7, 21}) {
        SCOPED_TRACE("preset " + std::to_string(preset));
        const std::size_t roles = kPresetRolesOffset + 11 * (preset - 1);
        const std::size_t positions = kPresetPositionsOffset + 20 * (preset - 1);
        const FormationRecord f = presetFormation(b.view(), preset);
        for (std::size_t k = 0; k < 10; ++k) EXPECT_EQ(f[k], b.boot[roles + 1 + k]) << "role " << k;
        for (std::size_t k = 0; k < 20; ++k) EXPECT_EQ(f[10 + k], b.boot[positions + k]) << "coordinate " << k;
    }
    EXPECT_EQ(presetFormation(b.view(), 0), FormationRecord{});
    EXPECT_EQ(presetFormation(b.view(), 22), FormationRecord{});
}

}  // namespace
}  // namespace tarvo
