#include "launcher/launcher.hpp"

#include "launcher/launch_logic.hpp"
#include "launcher/process_lookup.hpp"
#include "platform/shell.hpp"
#include "platform/texts.hpp"
#include "platform/win.hpp"

namespace corvane {

namespace {

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

bool Launcher::StartOnCore(const FavoriteFields& fields, const char* params, int code, HWND owner) {
    shell::Started started;
    {
        // A process inherits its creator's affinity: created while Corvane
        // runs on the core, the program is on it from its first instruction,
        // even one started with more rights, which Corvane may not change.
        const OwnAffinity onCore(startPins.atCreation && code <= kCpu1 ? CoreMask(code) : 0);
        // The whole path, not just the file name: the start-in folder need
        // not be the target's own folder.
        started = shell::Execute(owner, fields.target.c_str(), params, fields.startIn.c_str(), SW_SHOWNORMAL);
    }
    // The handle confirms the pin, and pins a program the inheritance
    // missed (one the shell handed to a process it did not create).
    return startPins.byHandle &&
           PinProcessByHandle(started.process.get(), code, FileNameOf(fields.target, SystemUpper().lead));
}

LaunchOutcome Launcher::Run(const FavoriteFields& fields, const LaunchHost& host) {
    if (!FieldsComplete(fields.title, fields.startIn, fields.target)) {
        InfoBox(host.window, text::kSelection);
        return LaunchOutcome::Refused;
    }
    const std::optional<std::string> params = ParametersFor(fields.parameters);
    if (!host.doEvents()) return LaunchOutcome::WindowGone;
    com_.Enter();
    const bool pinnedAtStart = StartOnCore(fields, params ? params->c_str() : nullptr, host.cpuCode(), host.window);
    if (pinnedAtStart) Minimise(host.window);
    if (!host.doEvents()) return LaunchOutcome::WindowGone;
    // Pinned at its creation, the program needs no attempts by name; one of
    // them could only find another copy of it, started meanwhile on another
    // core, and move that one.
    if (pinnedAtStart) return LaunchOutcome::Pinned;
    const int code = host.cpuCode();
    if (IsIconic(host.window)) ShowWindow(host.window, SW_RESTORE);
    if (!host.doEvents()) return LaunchOutcome::WindowGone;
    if (code > kCpu1) {
        ShowWindow(host.window, SW_MINIMIZE);
        return host.doEvents() ? LaunchOutcome::Unpinned : LaunchOutcome::WindowGone;
    }

    bool pinned = false;
    bool gone = false;
    AttemptHooks hooks;
    hooks.wait = [&](float secs) {
        gone = !Wait(
            secs, MonotonicMilliseconds, [&] { return static_cast<bool>(host.doEvents()); }, WaitForInput);
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
