// The standard controls of the layout table: which window class and styles
// each kind of entry is made as.
#pragma once

#include <windows.h>

#include "panels/layout.hpp"
#include "panels/theme.hpp"

namespace corvane {

// Creates the control `item` describes inside `parent`, placed and given its
// font as `theme` has them at the current DPI; null when it cannot be made.
HWND CreateLayoutControl(const ControlSpec& item, HWND parent, const Theme& theme);

}  // namespace corvane
