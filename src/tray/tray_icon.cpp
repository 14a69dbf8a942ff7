#include "tray/tray_icon.hpp"

#include <cstring>
#include <vector>

#include "platform/shell.hpp"
#include "platform/shell_rules.hpp"
#include "platform/texts.hpp"

namespace corvane {

namespace {

constexpr UINT kFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;  // 7
constexpr std::size_t kTipField = 64;                      // the first-version record's tip field

#if defined(_WIN32) && !defined(_WIN64)
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "first-version tray record is 88 bytes in a 32-bit process");
#endif

bool CursorInClientArea(HWND window) {
    if (!IsWindowVisible(window)) return false;
    POINT cursor{};
    RECT client{};
    if (!GetCursorPos(&cursor) || !ScreenToClient(window, &cursor) || !GetClientRect(window, &client)) return false;
    return PtInRect(&client, cursor) != FALSE;
}

}  // namespace

void TrayIcon::Add(HWND window, HICON icon) {
    record_ = {};
    record_.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record_.hWnd = window;
    record_.uID = kId;
    record_.uFlags = kFlags;
    record_.uCallbackMessage = kTrayCallback;
    record_.hIcon = icon;
    // The tip field is filled like a fixed-length string: the text, one NUL,
    // then spaces to the end of the field.
    std::memset(record_.szTip, ' ', kTipField);
    std::memcpy(record_.szTip, text::kTrayTip, std::strlen(text::kTrayTip) + 1);
    added_ = shell::NotifyIcon(NIM_ADD, &record_) != FALSE;
}

void TrayIcon::AddAgain() {
    if (!record_.hWnd) return;
    added_ = shell::NotifyIcon(NIM_ADD, &record_) != FALSE;
}

void TrayIcon::Remove() {
    if (!added_) return;
    shell::NotifyIcon(NIM_DELETE, &record_);
    added_ = false;
}

TrayIcon::Action TrayIcon::ActionFor(HWND window, WPARAM wp, LPARAM lp) const {
    if (wp != kId || CursorInClientArea(window)) return Action::None;
    // The scale is pixels here, so the x coordinate is the number itself.
    switch (static_cast<short>(LOWORD(lp))) {
    case WM_LBUTTONDBLCLK:
        return Action::Restore;
    case WM_RBUTTONUP:
        return Action::ShowMenu;
    default:
        return Action::None;
    }
}

UniqueMenu TrayIcon::BuildMenu(std::span<const std::string> displays) {
    UniqueMenu menu(CreatePopupMenu());
    if (!menu) return menu;
    bool made = true;
    for (std::size_t i = 0; i < displays.size() && i < kListed; ++i) {
        const std::string item = MenuItemText(displays[i]);
        made = made && AppendMenuA(menu.get(), MF_STRING, kFirstFavoriteCommand + i, item.c_str());
    }
    if (displays.size() > kListed)
        made = made && AppendMenuA(menu.get(), MF_STRING, kMoreCommand, text::kMoreFavorites);
    if (!displays.empty()) made = made && AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
    made = made && AppendMenuA(menu.get(), MF_STRING, kExitCommand, text::kExitCorvane);
    if (!made) menu.reset();
    return menu;
}

TrayIcon::Choice TrayIcon::ShowMenu(HWND window, std::span<const Favorite> favorites) {
    // Copies, and one more than is listed, which tells whether there are more.
    std::vector<std::string> displays;
    for (std::size_t i = 0; i < favorites.size() && i <= kListed; ++i)
        displays.push_back(favorites[i].display);
    const UniqueMenu menu = BuildMenu(displays);
    if (!menu) return {};
    SetForegroundWindow(window);
    POINT pt{};
    GetCursorPos(&pt);
    const UINT chosen =
        static_cast<UINT>(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY, pt.x, pt.y, 0, window, nullptr));
    // Without this the menu would not close when the user clicks elsewhere.
    if (IsWindow(window)) PostMessageA(window, WM_NULL, 0, 0);
    if (chosen == kExitCommand) return {Choice::Kind::Exit, {}};
    if (chosen == kMoreCommand) return {Choice::Kind::More, {}};
    if (chosen >= kFirstFavoriteCommand && chosen - kFirstFavoriteCommand < displays.size())
        return {Choice::Kind::Favorite, displays[chosen - kFirstFavoriteCommand]};
    return {};
}

}  // namespace corvane
