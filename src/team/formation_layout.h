#pragma once
// Where the formation editor draws the pitch, its zones and the ten position markers, in pixels
// of the window's client area, and the moves of a position within the editor's limits.

#include <array>
#include <cstdint>

#include "records/formation.h"
#include "text/pixel_geometry.h"

namespace tarvo::formation {

inline constexpr PixelPoint kPitchOrigin{32, 16};
inline constexpr int kPitchWidth = 382, kPitchHeight = 194;
inline constexpr PixelRect kPitchRect{32, 16, 414, 226};
inline constexpr int kMarkerRadius = 7;
inline constexpr int kRoleListOffset = 80;  // the role list stands this far left of the radio button

// The centre of the marker of pitch position (x, y).
PixelPoint markerCentre(int x, int y);
// The pixels a marker covers, outline included: repainting this box redraws it whole.
PixelRect markerBox(int x, int y);
// The area a move repaints around the new position; it covers the marker's old place too.
PixelRect moveBox(int x, int y);

// The three guide zones along the pitch (x 2-15, 16-34, 35-47, y 6-99) as closed outlines whose
// corners are the first and last pixel of each side, with their colours.
struct Zone {
    PixelPoint topLeft, bottomRight;
    std::uint32_t rgb;
};
std::array<Zone, 3> zones();

enum class Move { Up, Down, Left, Right };
// Moves position k of the record by one unit unless that leaves the limits (x 2-47, y 6-99);
// a value already outside them only moves back towards them. True when it moved.
bool movePosition(FormationRecord& record, int k, Move move);

inline std::uint8_t positionX(const FormationRecord& record, int k) { return record[10 + k]; }
inline std::uint8_t positionY(const FormationRecord& record, int k) { return record[20 + k]; }

}  // namespace tarvo::formation
