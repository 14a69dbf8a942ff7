// The notification-area icon: the way back to a window that hides itself
// whenever it is minimised, and the way out through its menu.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "platform/handles.hpp"
#include "platform/messages.hpp"

namespace corvane {

class TrayIcon {
public:
    static constexpr UINT kId = 1;
    // The menu's one item, sent to the window as a WM_COMMAND.
    static constexpr int kExitCommand = 2001;

    TrayIcon() = default;
    ~TrayIcon() { Remove(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Fills the record and adds the icon for `window`.
    void Add(HWND window, HICON icon);
    // The shell restarted and forgot every icon: the same record again.
    void AddAgain();
    void Remove();
    bool added() const { return added_; }
    const NOTIFYICONDATAA& record() const { return record_; }

    enum class Action { None, Restore, ShowMenu };
    // What a kTrayCallback asks for. A real mouse move over the window
    // carries the same message, and its coordinates can spell 515 or 517:
    // only one from the icon (its id, the cursor outside the client area)
    // counts.
    Action ActionFor(HWND window, WPARAM wp, LPARAM lp) const;
    // The Exit menu at the cursor; its choice arrives as a WM_COMMAND.
    void ShowMenu(HWND window);

private:
    NOTIFYICONDATAA record_{};
    bool added_ = false;
    UniqueMenu menu_;
};

}  // namespace corvane
