// Corvane's entry point: create the window, run start-up, then the message
// loop until the window closes.
#include <windows.h>
#include <objbase.h>

#include "app/main_window.hpp"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The shell may hand the start of a program to COM extensions.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    int exitCode = 0;
    {
        corvane::MainWindow window;
        if (!window.Create(instance)) {
            exitCode = 1;
        } else if (window.Load() == corvane::MainWindow::StartResult::Running) {
            exitCode = corvane::MainWindow::RunMessageLoop(window.hwnd());
        }
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return exitCode;
}
