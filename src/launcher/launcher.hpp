// The launch sequence: start a favorite's program through the shell, then
// pin its process to the favorite's core.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/handles.hpp"

namespace corvane {

// The editor's fields as the launch reads them.
struct LaunchFields {
    std::string title;
    std::string target;
    std::string startIn;
    std::string parameters;
};

// What the sequence needs of the window it runs in. It lets events run
// between its steps, so everything it reads later is read through these.
struct LaunchHost {
    HWND window = nullptr;
    std::function<bool()> doEvents;       // false once the window is gone
    std::function<int()> cpuCode;         // the current favorite's, read once the program started
    std::function<std::string()> target;  // the target field now, read afresh for every attempt
};

enum class LaunchOutcome {
    Refused,     // the fields are incomplete; the user was told
    WindowGone,  // the window closed while the sequence let events run
    Unpinned,    // "Default": started, and the window minimised
    Pinned,      // a pin succeeded and the window minimised
    NotPinned,   // every attempt failed; the window stays as it is
};

class Launcher {
public:
    [[nodiscard]] LaunchOutcome Run(const LaunchFields& fields, const LaunchHost& host);

private:
    ComApartment com_;
};

}  // namespace corvane
