// The program's own window messages, in one place so that no two share a
// number. They never carry a pointer: Corvane's windows call each other
// directly, and anything on the desktop can post one of these.
#pragma once

#include <windows.h>

namespace corvane {

// Runs the launches other instances handed over, once the sender is answered.
inline constexpr UINT kRunPendingLaunch = WM_APP + 2;

// The notification-area icon reports through the window's own mouse-move
// message, with the mouse message number where a real move has its x
// coordinate.
inline constexpr UINT kTrayCallback = WM_MOUSEMOVE;

}  // namespace corvane
