// Corvane's one window: three panels taking turns in the same place, the
// notification-area icon, the launcher, and the Favorites file behind the
// list. The window composes them and routes what one asks of another.
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "favorites/file_io.hpp"
#include "launcher/launcher.hpp"
#include "panels/browse_panel.hpp"
#include "panels/editor_panel.hpp"
#include "panels/favorites_panel.hpp"
#include "panels/theme.hpp"
#include "panels/tooltips.hpp"
#include "platform/handles.hpp"
#include "platform/window.hpp"
#include "tray/tray_icon.hpp"

namespace corvane {

inline constexpr UINT kRunPendingLaunch = WM_APP + 2;

class MainWindow : public Window<MainWindow> {
public:
    static constexpr const char* kClassName = "CorvaneMainWindow";
    static constexpr const char* kDesignCaption = "Corvane";
    static constexpr const char* kInstanceMark = "!";

    MainWindow() = default;
    ~MainWindow();

    // Creates the window, its panels and the favorites panel's controls,
    // laid out but not yet visible.
    bool Create(HINSTANCE instance);

    // A favorite to launch once started (`/launch "<display text>"`); when
    // another instance runs, the request goes to it instead.
    void SetLaunchRequest(std::string display) { launchRequest_ = std::move(display); }

    enum class StartResult { Running, OtherInstance };
    // All of start-up: the single-instance test; the first screen of
    // Favorites listed, the window centred and shown; the rest of Favorites
    // read, then the notification-area icon, the rest listed; entry 0
    // selected.
    StartResult Start();

    // Tells the user where this session's favorites went when Favorites
    // itself could not take them. Run once the message loop has ended: a
    // box shown while the loop's quit message waits would end at once.
    void TellWhereFavoritesWent() const;

    // A window created inside a test program must not end that program's
    // message loop when it closes.
    void SetQuitOnClose(bool quit) { quitOnClose_ = quit; }

    // Runs the message loop until the window is gone; returns the exit code.
    static int RunMessageLoop(HWND dialog);

    // Makes the controls of the editor and browse panels, which start-up
    // leaves until the window shows. Only the first call does anything.
    bool CreateHiddenControls();

    // Selects the favorite shown as `display` and launches it as Launch
    // would; tells the user when there is no such favorite.
    void LaunchByDisplay(const std::string& display);

    bool closed() const { return hwnd() == nullptr; }
    const FavoriteStore& store() const { return favorites_.store(); }
    const FavoritesPanel& favoritesPanel() const { return favorites_; }
    const TrayIcon& trayIcon() const { return trayIcon_; }
    LaunchOutcome lastLaunch() const { return lastLaunch_; }

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

private:
    bool CreatePanels();
    std::array<Panel*, 3> Panels() { return {&favorites_, &editor_, &browse_}; }
    void LoadIcons(HINSTANCE instance);
    [[nodiscard]] bool DoEvents();

    // start-up and shutdown (main_window.cpp)
    bool ClaimSingleInstance();
    void PlacePanels();
    void CentreOnScreen();
    void Shutdown();
    void OnClose();
    void OnDpiChanged(int dpi, const RECT& suggested);
    void OnTrayMessage(WPARAM wp, LPARAM lp);
    LRESULT OnCopyData(const COPYDATASTRUCT& data);
    void RunPendingLaunches();
    bool HandOverLaunchRequest(HWND other) const;

    // what the panels ask for (favorite_commands.cpp)
    void OnPanelRequest(PanelRequest request, LPARAM details);
    void OnSelectionChanged();
    void OnSave();
    void ResetSelection();
    void OnLaunch();
    void OnTargetChosen(const ChosenTarget& chosen);
    void ShowPanel(Panel& show, Panel& hide);

    Theme theme_;
    FavoritesPanel favorites_{theme_};
    EditorPanel editor_{theme_};
    BrowsePanel browse_{theme_};
    Tooltips tooltips_;
    TrayIcon trayIcon_;
    Launcher launcher_;
    FavoritesFile file_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    std::optional<std::string> launchRequest_;
    std::vector<std::string> pendingLaunches_;  // from other instances, run one by one
    UINT taskbarCreated_ = 0;                   // the shell's "icons are gone" broadcast
    std::uint64_t loadedRevision_ = 0;
    LaunchOutcome lastLaunch_ = LaunchOutcome::NotPinned;
    bool running_ = false;   // start-up got past the single-instance test
    bool shutDown_ = false;  // the icon is removed and Favorites written
    bool quitOnClose_ = true;
    bool panelsPlaced_ = false;
    FavoritesFile::SaveResult saveResult_ = FavoritesFile::SaveResult::Written;
};

}  // namespace corvane
