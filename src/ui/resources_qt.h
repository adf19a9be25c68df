#pragma once
// The program's compiled-in resources (":/res/pitch.png", ":/res/icon.png", ...) live in a static
// library, whose resource table the linker keeps only when something refers to it.

namespace tarvo::gui {

// Registers the resources once; every window that loads one calls it first.
void ensureResources();

}  // namespace tarvo::gui
