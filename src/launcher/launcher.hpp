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

// One launch, made once, when it is asked for: a copy of the favorite as it
// was stored then. Whatever the user selects, types or removes while the
// launch lets events run, it starts this program on this core and looks
// for this program by name.
struct LaunchOrder {
    std::string display;      // the favorite as the list shows it
    FavoriteFields favorite;  // its stored fields and core
};

// What the sequence needs of the window it runs in: its handle (the owner
// of boxes, and the state that ends the attempts) and its event pump.
struct LaunchHost {
    HWND window = nullptr;
    std::function<Alive()> doEvents;
};

enum class LaunchOutcome {
    Refused,            // the fields are incomplete; the user was told
    NotStarted,         // the shell could not start the target; the user was told why
    ClosedBeforeStart,  // the window closed before the program was started
    WindowGone,         // the window closed while the sequence let events run
    Unpinned,           // "Default": started, and the window minimised
    Pinned,             // a pin succeeded and the window minimised
    NotPinned,          // every attempt failed; the window stays as it is
};

// The two pins as a program starts: created on its core (Corvane runs on
// that core while the shell starts it) and pinned by the handle the shell
// hands back. Tests and benchmarks switch one off to see the other alone.
struct StartPins {
    bool atCreation = true;
    bool byHandle = true;
};

// Its thread must be in a COM apartment: the shell's calls want one.
class Launcher {
public:
    [[nodiscard]] LaunchOutcome Run(const LaunchOrder& order, const LaunchHost& host);

    static inline StartPins startPins;  // both on, but in tests and benchmarks

private:
    struct Start {
        DWORD error = 0;  // 0: the shell started it
        bool pinned = false;
    };
    // Starts the program; pinned when it is known to run on its core.
    Start StartOnCore(const FavoriteFields& favorite, HWND owner);
};

}  // namespace corvane
