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

TEST(FormationLayout, PositionsAreDrawnOnThePitch) {
    EXPECT_EQ(markerCentre(2, 6), (PixelPoint{48, 20}));
    EXPECT_EQ(markerCentre(47, 99), (PixelPoint{408, 206}));
    EXPECT_EQ(markerCentre(0, 0), (PixelPoint{32, 8}));

    const auto z = zones();
    const PixelPoint corners[3][2] = {{{48, 20}, {152, 206}}, {{160, 20}, {304, 206}}, {{312, 20}, {408, 206}}};
    const std::uint32_t colours[3] = {0xFFFF00, 0x00FFFF, 0xFF00FF};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(z[i].topLeft, corners[i][0]);
        EXPECT_EQ(z[i].bottomRight, corners[i][1]);
        EXPECT_EQ(z[i].rgb, colours[i]);
    }
}

TEST(FormationLayout, RepaintBoxesCoverTheMarkers) {
    // The marker is the circle of radius 7 around its centre, outline included.
    for (const auto& [x, y] : {std::pair{2, 6}, {47, 99}, {20, 50}, {0, 3}}) {
        SCOPED_TRACE(testing::Message() << x << "," << y);
        const PixelPoint c = markerCentre(x, y);
        const PixelRect box = markerBox(x, y);
        EXPECT_LE(box.left, c.x - 7);
        EXPECT_LE(box.top, c.y - 7);
        EXPECT_GT(box.right, c.x + 7);
        EXPECT_GT(box.bottom, c.y + 7);
    }
    // After any move, the move box holds the old marker too.
    for (const Move move : {Move::Up, Move::Down, Move::Left, Move::Right}) {
        FormationRecord record = recordWith(4, 20, 50);
        const PixelRect old = markerBox(20, 50);
        ASSERT_TRUE(movePosition(record, 4, move));
        const PixelRect box = moveBox(positionX(record, 4), positionY(record, 4));
        EXPECT_TRUE(box.left <= old.left && box.top <= old.top && box.right >= old.right && box.bottom >= old.bottom);
    }
}

TEST(FormationLayout, MovesStopAtTheLimits) {
    struct Case {
        int x, y;
        Move move;
        int newX, newY;
    };
    const Case cases[] = {
        {47, 50, Move::Right, 47, 50}, {46, 50, Move::Right, 47, 50}, {2, 50, Move::Left, 2, 50},
        {3, 50, Move::Left, 2, 50},    {20, 6, Move::Up, 20, 6},      {20, 7, Move::Up, 20, 6},
        {20, 99, Move::Down, 20, 99},  {20, 98, Move::Down, 20, 99},
        // Stored values outside the limits only move back towards them.
        {20, 3, Move::Up, 20, 3},      {20, 3, Move::Down, 20, 4},    {60, 50, Move::Right, 60, 50},
        {60, 50, Move::Left, 59, 50},  {0, 50, Move::Left, 0, 50},    {20, 200, Move::Down, 20, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " move " << static_cast<int>(c.move));
        for (int k : {0, 9}) {
            FormationRecord record = recordWith(k, c.x, c.y);
            const FormationRecord before = record;
            EXPECT_EQ(movePosition(record, k, c.move), c.newX != c.x || c.newY != c.y);
            FormationRecord expected = before;
            expected[10 + k] = static_cast<std::uint8_t>(c.newX);
            expected[20 + k] = static_cast<std::uint8_t>(c.newY);
            EXPECT_EQ(record, expected);  // nothing else of the record changes
        }
    }
    FormationRecord record = recordWith(0, 20, 50);
    const FormationRecord before = record;
    EXPECT_FALSE(movePosition(record, 10, Move::Up));
    EXPECT_FALSE(movePosition(record, -1, Move::Up));
    EXPECT_EQ(record, before);
}

}  // namespace
}  // namespace tarvo::formation
