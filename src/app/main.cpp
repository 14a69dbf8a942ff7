// Corvane's entry point: create the window, run start-up, then the message
// loop until the window closes.
#include <windows.h>

#include <cstdlib>
#include <string_view>
#include <vector>

#include "app/launch_request.hpp"
#include "app/main_window.hpp"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The C runtime has split the command line by the usual Windows rules.
    const std::vector<std::string_view> args(__argv, __argv + __argc);
    corvane::MainWindow window;
    if (!window.Create(instance)) return 1;
    if (const auto display = corvane::LaunchArgument(args)) window.SetLaunchRequest(*display);
    if (window.Start() != corvane::MainWindow::StartResult::Running) return 0;
    const int exitCode = corvane::MainWindow::RunMessageLoop(window.hwnd());
    window.TellWhereFavoritesWent();
    return exitCode;
}
