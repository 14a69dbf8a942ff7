// Corvane's one window: three panels taking turns in the same place, the
// notification-area icon, the launcher, and the Favorites file behind the
// list. The window composes them and routes what one asks of another.
#pragma once

#include <windows.h>

#include <array>
#include <deque>
#include <optional>
#include <string>

#include "app/final_save.hpp"
#include "favorites/file_io.hpp"
#include "favorites/store.hpp"
#include "launcher/launcher.hpp"
#include "panels/browse_panel.hpp"
#include "panels/editor_panel.hpp"
#include "panels/favorites_panel.hpp"
#include "panels/panel_host.hpp"
#include "panels/theme.hpp"
#include "panels/tooltips.hpp"
#include "platform/alive.hpp"
#include "platform/handles.hpp"
#include "platform/messages.hpp"
#include "platform/window.hpp"
#include "tray/tray_icon.hpp"

namespace corvane {

class MainWindow : public Window<MainWindow>, private PanelHost {
public:
    static constexpr const char* kClassName = "CorvaneMainWindow";
    static constexpr const char* kCaption = "Corvane";
    // Ends the caption of a Corvane that has started: a second one looks
    // for it, and cannot find itself, as it adds the mark only after looking.
    static constexpr const char* kRunningMark = "!";

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

    // Run once the message loop has ended: a loop ended by anything but the
    // window's close (a quit posted from outside) shuts down here as a close
    // would, the save included.
    void ShutdownAfterLoop() { Shutdown(FinalSave::Asking::User); }

    // Tells the user where this session's favorites went when Favorites
    // itself could not take them. Run once the message loop has ended: a
    // box shown while the loop's quit message waits would end at once.
    void TellWhereFavoritesWent() const { finalSave_.TellWhereTheyWent(); }

    // Tells the user which favorites asked for were still waiting to start
    // when the window closed. Run once the message loop has ended, as above;
    // never while the session ends.
    void TellLaunchesNotStarted() const;

    // A window created inside a test program must not end that program's
    // message loop when it closes.
    void SetQuitOnClose(bool quit) { quitOnClose_ = quit; }

    // Runs the message loop until the window is gone; returns the exit code.
    static int RunMessageLoop(HWND dialog);

    // Launches the favorite shown as `display` as it is stored now, as
    // Launch would, but leaves the selection, the editor's fields and the
    // panels as they are; tells the user when there is no such favorite.
    // It runs once no launch runs and no message box is up.
    void LaunchByDisplay(const std::string& display);

    // The running instance refused this one's launch request or did not
    // answer it in time.
    bool requestNotTaken() const { return state_ == State::RequestNotTaken; }

    bool closed() const { return hwnd() == nullptr; }
    const FavoriteStore& store() const { return store_; }
    const FavoritesPanel& favoritesPanel() const { return favorites_; }
    const TrayIcon& trayIcon() const { return trayIcon_; }
    LaunchOutcome lastLaunch() const { return lastLaunch_; }

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

private:
    bool CreatePanels();
    std::array<Panel*, 3> Panels() { return {&favorites_, &editor_, &browse_}; }
    void LoadIcons(HINSTANCE instance);
    // Makes the controls of the editor and browse panels, which start-up
    // leaves until the window shows, and the tooltips of all three; a
    // second call adds nothing.
    bool CreateHiddenControls();

    // start-up and shutdown (main_window.cpp)
    bool ClaimSingleInstance();
    void PlacePanels();
    void CentreOnScreen();
    void Shutdown(FinalSave::Asking asking);
    void OnClose();
    void OnDpiChanged(int dpi, const RECT& suggested);
    void OnTrayMessage(WPARAM wp, LPARAM lp);
    void OnTrayMenu(const TrayIcon::Choice& choice);
    void Restore();  // shown again, as the icon's double click asks
    LRESULT OnCopyData(const COPYDATASTRUCT& data);
    bool HandOverLaunchRequest(HWND other);
    // Start-up got past the single-instance test: the window is Corvane's.
    bool started() const { return state_ >= State::Running; }

    // what the panels ask for (favorite_commands.cpp)
    void OnSelectionChanged() override;
    void Launch() override { OnLaunch(); }
    void OpenEditor() override;
    void Remove(int index) override;
    void CreateShortcut(int index) override;  // shortcut_commands.cpp
    void Save() override;
    void CloseEditor() override;
    void OpenBrowser() override;
    void TargetChosen(const ChosenTarget& chosen) override;
    void CloseBrowser() override { ShowPanel(editor_, browse_); }
    void ResetSelection();
    void OnEnter();
    void ShowPanel(Panel& show, Panel& hide);

    // The shell's calls (a launch, the link object) want this thread in an
    // apartment; entered with the first of them, so that start-up does not
    // load COM, and declared first, so that it is left last.
    ComApartment com_;
    // launches and their queue (launches.cpp)
    // A launch asked for, made when it was asked for; `listed` false when
    // the list held no favorite of that name then.
    struct QueuedLaunch {
        LaunchOrder order;
        bool listed = true;
    };
    void OnLaunch();
    void RunPendingLaunches();
    void RunPendingLaunchesLater();
    void RunLaunch(const LaunchOrder& order);

    // The favorites belong to the application: read from Favorites, changed
    // only by the window's commands, written back at shutdown.
    FavoritesFile file_;
    FavoriteStore store_;
    FinalSave finalSave_{file_, store_};
    Theme theme_;
    FavoritesPanel favorites_{theme_, store_, *this};
    EditorPanel editor_{theme_, *this};
    BrowsePanel browse_{theme_, *this};
    Tooltips tooltips_;
    TrayIcon trayIcon_;
    Launcher launcher_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    std::optional<std::string> launchRequest_;
    // Launches waiting for the one that runs or a message box to end.
    std::deque<QueuedLaunch> pendingLaunches_;
    UINT taskbarCreated_ = 0;  // the shell's "icons are gone" broadcast
    LaunchOutcome lastLaunch_ = LaunchOutcome::NotPinned;
    enum class State {    // in the order a window goes through them
        Created,          // not started, or another Corvane runs and took this one's part
        RequestNotTaken,  // another Corvane runs and refused this one's request or did not answer
        Running,          // start-up got past the single-instance test
        Launching,        // running, with a launch under way
        ShutDown,         // the icon is removed and Favorites saved, or being saved
    };
    State state_ = State::Created;
    bool quitOnClose_ = true;
};

}  // namespace corvane
