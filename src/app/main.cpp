// Corvane's entry point: create the window, run start-up, then the message
// loop until the window closes.
#include <windows.h>

#include "app/main_window.hpp"
#include "platform/win.hpp"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int exitCode = 0;
    {
        corvane::MainWindow window;
        if (!window.Create(instance)) {
            exitCode = 1;
        } else if (window.Load() == corvane::MainWindow::StartResult::Running) {
            exitCode = corvane::MainWindow::RunMessageLoop(window.hwnd());
        }
    }
    // COM is entered only if a program was launched (see OnLaunch).
    corvane::LeaveComApartment();
    return exitCode;
}
