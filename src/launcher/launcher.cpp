#include "launcher/launcher.hpp"

#include "favorites/favorite.hpp"
#include "launcher/launch_logic.hpp"
#include "launcher/process_lookup.hpp"
#include "platform/shell.hpp"
#include "platform/win.hpp"

namespace corvane {

namespace {

constexpr const char* kSelectionMessage = "Please make a selection.";

int WindowState(HWND window) {
    if (!window || !IsWindow(window)) return 0;
    if (IsIconic(window)) return 1;
    if (IsZoomed(window)) return 2;
    return 0;
}

void Minimise(HWND window) {
    // Already minimised, the window is hidden in the notification area;
    // minimising it again would show it on the taskbar without the resize
    // that hides it.
    if (!IsIconic(window)) ShowWindow(window, SW_MINIMIZE);
}

}  // namespace

LaunchOutcome Launcher::Run(const LaunchFields& fields, const LaunchHost& host) {
    if (!FieldsComplete(fields.title, fields.startIn, fields.target)) {
        InfoBox(host.window, kSelectionMessage);
        return LaunchOutcome::Refused;
    }
    const std::optional<std::string> params = ParametersFor(fields.parameters);
    if (!host.doEvents()) return LaunchOutcome::WindowGone;
    com_.Enter();
    // The whole path, not just the file name: the start-in folder need not
    // be the target's own folder.
    const shell::Started started = shell::Execute(
        host.window, fields.target.c_str(), params ? params->c_str() : nullptr, fields.startIn.c_str(), SW_SHOWNORMAL);
    // Pinned before anything else runs here, the program is on its core
    // from its first instructions, and so is whatever it starts: a launcher
    // that hands over to the real program under another name included.
    const bool pinnedAtStart =
        PinProcessByHandle(started.process.get(), host.cpuCode(), FileNameOf(fields.target, SystemUpper().lead));
    if (pinnedAtStart) Minimise(host.window);
    if (!host.doEvents()) return LaunchOutcome::WindowGone;
    const int code = host.cpuCode();
    // A pin at the start is the success the attempts wait for: the window
    // stays minimised, and the first state test ends them.
    if (!pinnedAtStart && IsIconic(host.window)) ShowWindow(host.window, SW_RESTORE);
    if (!host.doEvents()) return LaunchOutcome::WindowGone;
    if (code > kCpu1) {
        ShowWindow(host.window, SW_MINIMIZE);
        return host.doEvents() ? LaunchOutcome::Unpinned : LaunchOutcome::WindowGone;
    }

    bool pinned = pinnedAtStart;
    bool gone = false;
    AttemptHooks hooks;
    hooks.wait = [&](float secs) {
        gone = !Wait(secs, MonotonicMilliseconds, host.doEvents, WaitForInput);
        return !gone;
    };
    hooks.pin = [&] {
        if (!PinProcessByName(code, FileNameOf(host.target(), SystemUpper().lead))) return;
        pinned = true;
        Minimise(host.window);
    };
    hooks.windowState = [&] { return WindowState(host.window); };
    RunPinAttempts(hooks);
    if (gone) return LaunchOutcome::WindowGone;
    return pinned ? LaunchOutcome::Pinned : LaunchOutcome::NotPinned;
}

}  // namespace corvane
