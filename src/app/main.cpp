// Corvane's entry point: create the window, run start-up, then the message
// loop until the window closes.
#include <windows.h>

#include <cstdlib>
#include <string_view>
#include <vector>

#include "app/launch_request.hpp"
#include "app/main_window.hpp"
#include "platform/texts.hpp"
#include "platform/win.hpp"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The C runtime has split the command line by the usual Windows rules.
    const std::vector<std::string_view> args(__argv, __argv + __argc);
    const corvane::Arguments asked = corvane::ReadArguments(args);
    if (asked.usage) {
        corvane::InfoBox(nullptr, corvane::text::kUsage);
        return 2;
    }
    corvane::MainWindow window;
    if (!window.Create(instance)) return 1;
    if (asked.launch) window.SetLaunchRequest(*asked.launch);
    if (window.Start() != corvane::MainWindow::StartResult::Running) {
        if (!window.requestNotTaken()) return 0;
        // Ending silently would leave a shortcut that seems to do nothing, and
        // a script that ran it must not take it for done.
        corvane::InfoBox(nullptr, corvane::text::RequestNotTaken(*asked.launch).c_str());
        return 1;
    }
    const int exitCode = corvane::MainWindow::RunMessageLoop(window.hwnd());
    // A quit posted from outside ends the loop without a close: the favorites are saved all the same.
    window.ShutdownAfterLoop();
    // Told once the loop has ended: a box shown while the quit message waits would end at once, unseen.
    window.TellWhereFavoritesWent();
    window.TellLaunchesNotStarted();
    return exitCode;
}
