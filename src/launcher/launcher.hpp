// The launch sequence: start a favorite's program through the shell, then
// pin its process to the favorite's core.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "favorites/favorite.hpp"
#include "platform/alive.hpp"
#include "platform/handles.hpp"

namespace corvane {

// What the sequence needs of the window it runs in. It lets events run
// between its steps, so everything it reads later is read through these,
// the core included: the launch never reads the fields' code, which in the
// editor is the option buttons' and not the selected favorite's.
struct LaunchHost {
    HWND window = nullptr;
    std::function<Alive()> doEvents;
    std::function<int()> cpuCode;         // the current favorite's, read as the program starts and after events
    std::function<std::string()> target;  // the target field now, read afresh for every attempt
};

enum class LaunchOutcome {
    Refused,     // the fields are incomplete; the user was told
    WindowGone,  // the window closed while the sequence let events run
    Unpinned,    // "Default": started, and the window minimised
    Pinned,      // a pin succeeded and the window minimised
    NotPinned,   // every attempt failed; the window stays as it is
};

// The two pins as a program starts: created on its core (Corvane runs on
// that core while the shell starts it) and pinned by the handle the shell
// hands back. Tests and benchmarks switch one off to see the other alone.
struct StartPins {
    bool atCreation = true;
    bool byHandle = true;
};

class Launcher {
public:
    [[nodiscard]] LaunchOutcome Run(const FavoriteFields& fields, const LaunchHost& host);

    static inline StartPins startPins;  // both on, but in tests and benchmarks

private:
    // Starts the program; true when it is known to run on its core.
    bool StartOnCore(const FavoriteFields& fields, const char* params, int code, HWND owner);

    ComApartment com_;
};

}  // namespace corvane
