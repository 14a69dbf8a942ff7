// What the launch tests share: pin_target copies as favourites, affinity masks of processes, launches from the
// favorites panel and from another instance, and something done from inside a launch's event pump.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/launch_request.hpp"
#include "support/harness.hpp"

namespace corvane::test {

inline constexpr const char* kGhost = "c:\\nowhere\\ghost.exe";  // never runs, so never pins
using Masks = std::vector<DWORD_PTR>;
using O = LaunchOutcome;

inline Masks Affinities(std::string_view image, std::string_view other = {}) {  // of their processes, ascending
    Masks masks;
    for (std::string_view name : {image, other})
        for (DWORD pid : ProcessIds(name)) {
            HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
            DWORD_PTR mask = 0;
            DWORD_PTR all = 0;
            GetProcessAffinityMask(process, &mask, &all);
            masks.push_back(mask);
            CloseHandle(process);
        }
    std::sort(masks.begin(), masks.end());
    return masks;
}

// pin_target.exe as `name`: an image name of its own per case keeps lookups off earlier cases' programs.
inline std::string Place(const TempDir& dir, const std::string& name) {
    EXPECT_TRUE(CopyFileA(Beside("pin_target.exe").c_str(), dir.Join(name).c_str(), FALSE)) << name;
    return dir.Join(name);
}

inline std::string Fav(const std::string& title, Core core, const std::string& target, const std::string& startIn,
                       const std::string& params) {
    const std::string digit(1, static_cast<char>('0' + static_cast<int>(core)));
    return Record(title + (core == Core::Default ? " on Default" : " on CPU " + digit), digit + "__" + Lower(target),
                  Lower(startIn), params);
}

// A favorites-panel control's notice as the panel receives it (a button's click), on screen or not.
inline void Press(App& app, int id, WORD code = BN_CLICKED) {
    SendMessageA(GetParent(app.control(id)), WM_COMMAND, MAKEWPARAM(id, code), LPARAM(app.control(id)));
}
// A launch request as another corvane.exe hands it over.
inline void Request(App& app, const std::string& display) {
    COPYDATASTRUCT data{kLaunchRequestTag, static_cast<DWORD>(display.size()), const_cast<char*>(display.data())};
    SendMessageA(app.hwnd(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

// Launches the selected favourite (by Launch, or by `notice` of the list) while a timer calls `act` every `ms`
// from inside the launch's event pump until it has done its part; whether it did.
inline bool LaunchWithMidway(App& app, UINT ms, WORD notice, const std::function<bool()>& act) {
    bool inside = false;
    bool done = false;
    const Ticker ticker(
        [&] {
            if (inside || done) return;
            inside = true;
            done = act();
            inside = false;
        },
        ms);
    Press(app, notice == BN_CLICKED ? kLaunchButton : kFavoritesList, notice);
    return done;
}

}  // namespace corvane::test
