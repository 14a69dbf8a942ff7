// The notification-area icon: the way back to a window that hides itself
// whenever it is minimised, and the way out through its menu.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <span>
#include <string>

#include "favorites/favorite.hpp"
#include "platform/handles.hpp"
#include "platform/messages.hpp"

namespace corvane {

class TrayIcon {
public:
    static constexpr UINT kId = 1;
    // The menu: the first favorites, More when the list is longer, Exit.
    static constexpr std::size_t kListed = 20;
    static constexpr UINT kExitCommand = 2001;
    static constexpr UINT kMoreCommand = 2002;
    static constexpr UINT kFirstFavoriteCommand = 2100;

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

    // The menu for a list that starts with `displays`: each of the first
    // kListed as an item, More when there are more, then Exit Corvane.
    // Null when the system has no room for a menu.
    static UniqueMenu BuildMenu(std::span<const std::string> displays);

    struct Choice {
        enum class Kind { None, Exit, More, Favorite } kind = Kind::None;
        std::string display;  // of the favorite chosen
    };
    // The menu for `favorites`, made afresh, at the cursor; what was chosen
    // once it has closed. Events run while it is open: the window may be
    // gone, and the favorites changed, when it returns.
    Choice ShowMenu(HWND window, std::span<const Favorite> favorites);

private:
    NOTIFYICONDATAA record_{};
    bool added_ = false;
};

}  // namespace corvane
