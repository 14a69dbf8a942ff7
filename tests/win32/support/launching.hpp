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
inline constexpr ULONGLONG kAllAttempts = 2200;                  // eleven attempts of two 0.1 s pauses
using Masks = std::vector<DWORD_PTR>;
using O = LaunchOutcome;

inline DWORD_PTR Affinity(HANDLE process, bool ofSystem = false) {
    DWORD_PTR mask = 0, all = 0;
    return GetProcessAffinityMask(process, &mask, &all), ofSystem ? all : mask;
}
inline Masks Affinities(std::string_view image) {  // of every process of that image, ascending
    Masks masks;
    for (DWORD pid : ProcessIds(image)) {
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
        masks.push_back(Affinity(process));
        CloseHandle(process);
    }
    return std::sort(masks.begin(), masks.end()), masks;
}
inline DWORD_PTR MaskFor(int code) {
    return code == kCpuDefault ? Affinity(GetCurrentProcess(), true) : DWORD_PTR{1} << code;
}
inline bool ReportsCore(const std::string& report, int code) {
    return PumpUntil([&] { return LastMask(report) == MaskFor(code); });
}

// pin_target.exe as `name`: an image name of its own per case keeps lookups off earlier cases' programs.
inline std::string Place(const TempDir& dir, const std::string& name) {
    EXPECT_TRUE(CopyFileA(Beside("pin_target.exe").c_str(), dir.Join(name).c_str(), FALSE)) << name;
    return dir.Join(name);
}

inline std::string Fav(const std::string& title, int code, const std::string& target, const std::string& startIn,
                       const std::string& params) {
    const std::string digit(1, static_cast<char>('0' + code));
    return Record(title + (code == kCpuDefault ? " on Default" : " on CPU " + digit), digit + "__" + Lower(target),
                  Lower(startIn), params);
}

// A favorites-panel button as the panel receives its click, on screen or not.
inline void Press(App& app, int id) {
    SendMessageA(GetParent(app.control(id)), WM_COMMAND, id, LPARAM(app.control(id)));
}
inline ULONGLONG TimedLaunch(App& app) {
    const ULONGLONG start = GetTickCount64();
    return Press(app, kLaunchButton), GetTickCount64() - start;
}
// A launch request as another corvane.exe hands it over.
inline void Request(App& app, const std::string& display) {
    COPYDATASTRUCT data{kLaunchRequestTag, static_cast<DWORD>(display.size()), const_cast<char*>(display.data())};
    SendMessageA(app.hwnd(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}
// The launcher's pins at the start for one scope.
struct PinsFor {
    StartPins saved = Launcher::startPins;
    explicit PinsFor(StartPins pins) { Launcher::startPins = pins; }
    ~PinsFor() { Launcher::startPins = saved; }
};

// Something done from inside a launch's event pump: a thread timer calls it every `ms` until it has done its part.
inline std::function<bool()> g_midway;
inline bool g_midwayDone = false;
inline void CALLBACK Midway(HWND, UINT, UINT_PTR id, DWORD) {
    static bool inside = false;
    if (inside || g_midwayDone) return;
    inside = true, g_midwayDone = g_midway(), inside = false;
    if (g_midwayDone) KillTimer(nullptr, id);
}
inline ULONGLONG LaunchWithMidway(App& app, UINT ms, std::function<bool()> act) {
    g_midway = std::move(act), g_midwayDone = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, ms, Midway);
    const ULONGLONG elapsed = TimedLaunch(app);
    return KillTimer(nullptr, timer), elapsed;
}

}  // namespace corvane::test
