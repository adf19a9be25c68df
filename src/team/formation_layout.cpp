#include "team/formation_layout.h"

namespace tarvo::formation {

namespace {
constexpr int kUnitX = 8, kUnitY = 2;  // pixels per pitch unit
}  // namespace

PixelPoint markerCentre(int x, int y) { return {kPitchOrigin.x + kUnitX * x, kPitchOrigin.y + kUnitY * y - 8}; }

PixelRect markerBox(int x, int y) {
    // The circle spans the centre +-7 pixels; one more pixel on every side takes its outline.
    const PixelPoint c = markerCentre(x, y);
    return {c.x - kMarkerRadius - 1, c.y - kMarkerRadius - 1, c.x + kMarkerRadius + 2, c.y + kMarkerRadius + 2};
}

PixelRect moveBox(int x, int y) {
    const PixelPoint c = markerCentre(x, y);
    return {c.x - 20, c.y - 20, c.x + 21, c.y + 21};
}

std::array<Zone, 3> zones() {
    const auto zone = [](int fromX, int toX, std::uint32_t rgb) {
        return Zone{markerCentre(fromX, kFormationYMin), markerCentre(toX, kFormationYMax), rgb};
    };
    return {zone(2, 15, 0xFFFF00), zone(16, 34, 0x00FFFF), zone(35, 47, 0xFF00FF)};
}

bool movePosition(FormationRecord& record, int k, Move move) {
    if (k < 0 || k >= kFormationPositions) return false;
    std::uint8_t& x = record[10 + k];
    std::uint8_t& y = record[20 + k];
    switch (move) {
    case Move::Up:
        if (y <= kFormationYMin) return false;
        --y;
        return true;
    case Move::Down:
        if (y >= kFormationYMax) return false;
        ++y;
        return true;
    case Move::Left:
        if (x <= kFormationXMin) return false;
        --x;
        return true;
    case Move::Right:
        if (x >= kFormationXMax) return false;
        ++x;
        return true;
    }
    return false;
}

}  // namespace tarvo::formation
