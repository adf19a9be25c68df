#include "team/formation_layout.h"

#include <gtest/gtest.h>

namespace tarvo::formation {
namespace {

FormationRecord recordWith(int k, int x, int y) {
    FormationRecord record{};
    for (std::size_t i = 0; i < record.size(); ++i) record[i] = static_cast<std::uint8_t>(0xA0 + i);
    record[10 + k] = static_cast<std::uint8_t>(x);
    record[20 + k] = static_cast<std::uint8_t>(y);
    return record;
}

TEST(FormationLayout, MarkersAndTheirRepaintBoxes) {
    EXPECT_EQ(markerCentre(2, 6), (PixelPoint{48, 20}));
    EXPECT_EQ(markerCentre(47, 99), (PixelPoint{408, 206}));
    // After any move the repainted box holds the whole marker (radius 7, outline included), old and new.
    for (const Move move : {Move::Up, Move::Down, Move::Left, Move::Right}) {
        FormationRecord record = recordWith(4, 20, 50);
        const PixelRect old = markerBox(20, 50);
        ASSERT_TRUE(movePosition(record, 4, move));
        const PixelRect box = moveBox(positionX(record, 4), positionY(record, 4));
        const PixelPoint c = markerCentre(positionX(record, 4), positionY(record, 4));
        EXPECT_TRUE(box.left <= std::min(old.left, c.x - 7) && box.top <= std::min(old.top, c.y - 7));
        EXPECT_TRUE(box.right >= std::max(old.right, c.x + 8) && box.bottom >= std::max(old.bottom, c.y + 8));
    }
}

TEST(FormationLayout, MovesStopAtTheLimits) {
    struct Case {
        int x, y;
        Move move;
        int newX, newY;
    };
    const Case cases[] = {
        {47, 50, Move::Right, 47, 50},
        {46, 50, Move::Right, 47, 50},
        {2, 50, Move::Left, 2, 50},
        {20, 6, Move::Up, 20, 6},
        {20, 99, Move::Down, 20, 99},
        {20, 98, Move::Down, 20, 99},
        // Stored values outside the limits only move back towards them.
        {20, 3, Move::Up, 20, 3},
        {20, 3, Move::Down, 20, 4},
        {60, 50, Move::Right, 60, 50},
        {60, 50, Move::Left, 59, 50},
        {20, 200, Move::Down, 20, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " move " << static_cast<int>(c.move));
        for (int k : {0, 9}) {
            FormationRecord record = recordWith(k, c.x, c.y);
            FormationRecord expected = recordWith(k, c.newX, c.newY);
            EXPECT_EQ(movePosition(record, k, c.move), c.newX != c.x || c.newY != c.y);
            EXPECT_EQ(record, expected);
        }
    }
    FormationRecord record = recordWith(0, 20, 50);
    EXPECT_FALSE(movePosition(record, 10, Move::Up));
    EXPECT_FALSE(movePosition(record, -1, Move::Up));
    EXPECT_EQ(record, recordWith(0, 20, 50));
}

}  // namespace
}  // namespace tarvo::formation
