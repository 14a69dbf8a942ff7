// The notification-area icon: the way back to a window that hides itself
// whenever it is minimised.
#include <cstring>

#include "app/main_window.hpp"
#include "platform/shell.hpp"

namespace corvane {

namespace {

constexpr UINT kTrayId = 1;
constexpr UINT kTrayFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;  // 7
// The icon reports through the window's own mouse-move message, carrying the
// mouse message number where a real move carries its x coordinate.
constexpr UINT kTrayCallback = WM_MOUSEMOVE;  // 512
constexpr int kTrayDoubleClick = WM_LBUTTONDBLCLK;  // 515
constexpr int kTrayRightUp = WM_RBUTTONUP;          // 517
constexpr char kTip[] = "Crv By Tamsel";
constexpr std::size_t kTipField = 64;  // the first-version record's tip field

#if defined(_WIN32) && !defined(_WIN64)
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "first-version tray record is 88 bytes in a 32-bit process");
#endif

}  // namespace

void MainWindow::AddTrayIcon() {
    tray_ = {};
    tray_.cbSize = NOTIFYICONDATAA_V1_SIZE;
    tray_.hWnd = hwnd();
    tray_.uID = kTrayId;
    tray_.uFlags = kTrayFlags;
    tray_.uCallbackMessage = kTrayCallback;
    tray_.hIcon = smallIcon_.get();
    // The tip field is filled like a fixed-length string: the text, one NUL,
    // then spaces to the end of the field.
    std::memset(tray_.szTip, ' ', kTipField);
    std::memcpy(tray_.szTip, kTip, sizeof kTip);
    trayAdded_ = shell::NotifyIcon(NIM_ADD, &tray_) != FALSE;
}

void MainWindow::RemoveTrayIcon() {
    if (!trayAdded_) return;
    tray_.cbSize = NOTIFYICONDATAA_V1_SIZE;
    tray_.hWnd = hwnd() ? hwnd() : tray_.hWnd;
    tray_.uID = kTrayId;
    shell::NotifyIcon(NIM_DELETE, &tray_);
    trayAdded_ = false;
}

void MainWindow::OnTrayCallback(LPARAM lp) {
    // The scale is pixels here, so the x coordinate is the number itself.
    const int number = static_cast<short>(LOWORD(lp));
    if (number == kTrayDoubleClick) {
        ShowWindow(hwnd(), SW_RESTORE);
        ShowWindow(hwnd(), SW_SHOW);
        DoEvents();
    } else if (number == kTrayRightUp) {
        ShowTrayMenu();
    }
}

void MainWindow::ShowTrayMenu() {
    SetForegroundWindow(hwnd());
    POINT pt{};
    GetCursorPos(&pt);
    TrackPopupMenu(mnuFile_, 0, pt.x, pt.y, 0, hwnd(), nullptr);
    // Without this the menu would not close when the user clicks elsewhere.
    if (hwnd_) PostMessageA(hwnd(), WM_NULL, 0, 0);
}

void MainWindow::OnSize(WPARAM kind) {
    if (kind == SIZE_MINIMIZED) ShowWindow(hwnd(), SW_HIDE);
}

}  // namespace corvane
