#pragma once
// The player editing windows, opened modally from the team editor window.

#include <cstdint>

#include "ui/app_context_qt.h"

class QWidget;

namespace tarvo::gui {

// The player editor for player `id` (1 to 2197); returns when it is closed.
void openPlayerEditor(AppContext& context, QWidget* parent, std::uint32_t id);
// "Change the properties of all players"; returns when it is closed.
void openUniversalEdit(AppContext& context, QWidget* parent);

}  // namespace tarvo::gui
