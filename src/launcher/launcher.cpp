#include "launcher/launcher.hpp"

#include "launcher/launch_logic.hpp"
#include "launcher/process_lookup.hpp"
#include "platform/shell.hpp"
#include "platform/texts.hpp"
#include "platform/win.hpp"

namespace corvane {

namespace {

WindowState StateOf(HWND window) {
    if (!window || !IsWindow(window)) return WindowState::Normal;
    if (IsIconic(window)) return WindowState::Minimised;
    if (IsZoomed(window)) return WindowState::Maximised;
    return WindowState::Normal;
}

void Minimise(HWND window) {
    // Already minimised, the window is hidden in the notification area;
    // minimising it again would show it on the taskbar without the resize
    // that hides it.
    if (!IsIconic(window)) ShowWindow(window, SW_MINIMIZE);
}

// The mask Corvane runs on while the shell starts a program, which the
// program inherits: its core, or for Default every core of the machine,
// also when Corvane itself was started on fewer.
std::uint64_t MaskAtCreation(Core core) {
    if (core == Core::Default) return MachineCores();
    return Launcher::startPins.atCreation ? CoreMask(core) : 0;
}

}  // namespace

Launcher::Start Launcher::StartOnCore(const FavoriteFields& favorite, HWND owner) {
    const std::optional<std::string> params = ParametersFor(favorite.parameters);
    shell::Started started;
    {
        // A process inherits its creator's affinity: created while Corvane
        // runs on the core, the program is on it from its first instruction,
        // even one started with more rights, which Corvane may not change.
        // Corvane's own mask is back before anything can show a window.
        const OwnAffinity onCore(MaskAtCreation(favorite.core));
        // The whole path, not just the file name: the start-in folder need
        // not be the target's own folder.
        started = shell::Execute(owner, favorite.target.c_str(), params ? params->c_str() : nullptr,
                                 favorite.startIn.c_str(), SW_SHOWNORMAL);
    }
    if (!started.ok) return {started.error ? started.error : ERROR_GEN_FAILURE, false};
    // The handle confirms the pin, and pins a program the inheritance
    // missed (one the shell handed to a process it did not create).
    return {0, startPins.byHandle && PinProcessByHandle(started.process.get(), favorite.core,
                                                        FileNameOf(favorite.target, SystemUpper().lead))};
}

LaunchOutcome Launcher::Run(const LaunchOrder& order, const LaunchHost& host) {
    const FavoriteFields& favorite = order.favorite;
    if (!FieldsComplete(favorite.title, favorite.startIn, favorite.target)) {
        InfoBox(host.window, text::kSelection);
        return LaunchOutcome::Refused;
    }
    if (!host.doEvents()) return LaunchOutcome::ClosedBeforeStart;
    const Start start = StartOnCore(favorite, host.window);
    if (start.error) {
        InfoBox(host.window, text::CouldNotStart(favorite.target, SystemMessage(start.error, favorite.target)).c_str());
        return LaunchOutcome::NotStarted;
    }
    if (start.pinned) Minimise(host.window);
    if (!host.doEvents()) return LaunchOutcome::WindowGone;
    // Pinned at its creation, the program needs no attempts by name; one of
    // them could only find another copy of it, started meanwhile on another
    // core, and move that one.
    if (start.pinned) return LaunchOutcome::Pinned;
    if (IsIconic(host.window)) ShowWindow(host.window, SW_RESTORE);
    if (!host.doEvents()) return LaunchOutcome::WindowGone;
    if (favorite.core == Core::Default) {
        ShowWindow(host.window, SW_MINIMIZE);
        return host.doEvents() ? LaunchOutcome::Unpinned : LaunchOutcome::WindowGone;
    }

    // The launched program's name, whatever the window shows by now.
    const std::string image = FileNameOf(favorite.target, SystemUpper().lead);
    bool pinned = false;
    bool gone = false;
    AttemptHooks hooks;
    hooks.wait = [&](float secs) {
        gone = !Wait(
            secs, MonotonicMilliseconds, [&] { return static_cast<bool>(host.doEvents()); }, WaitForInput);
        return !gone;
    };
    hooks.pin = [&] {
        if (!PinProcessByName(favorite.core, image)) return;
        pinned = true;
        Minimise(host.window);
    };
    hooks.windowState = [&] { return StateOf(host.window); };
    RunPinAttempts(hooks);
    if (gone) return LaunchOutcome::WindowGone;
    return pinned ? LaunchOutcome::Pinned : LaunchOutcome::NotPinned;
}

}  // namespace corvane
