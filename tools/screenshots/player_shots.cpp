#include "shots.h"

namespace tarvo::shots {

// The player windows' pictures; filled in with the player editor.
void renderPlayerWindows(ShotContext&) {}

}  // namespace tarvo::shots
