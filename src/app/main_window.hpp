// Corvane's one window: three panels taking turns in the same place, the
// favorites store behind the list, and the notification-area icon.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/layout.hpp"
#include "favorites/store.hpp"
#include "platform/win.hpp"

namespace corvane {

class MainWindow;

// A panel: a plain container that shows or hides its controls together and
// hands their notifications to the main window.
class Panel {
public:
    static bool Register(HINSTANCE instance);
    HWND Create(MainWindow* owner, HWND parent, const ControlSpec& item, const RECT& rc);
    HWND hwnd() const { return hwnd_; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);

    MainWindow* owner_ = nullptr;
    HWND hwnd_ = nullptr;  // a child: destroyed with the main window
};

class MainWindow {
public:
    static constexpr const char* kClassName = "CorvaneMainWindow";
    static constexpr const char* kDesignCaption = "Corvane";
    static constexpr const char* kInstanceMark = "!";

    MainWindow();
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window and every control as laid out, not yet visible.
    bool Create(HINSTANCE instance);

    enum class StartResult { Running, OtherInstance };
    // The start-up sequence: single-instance test, reading Favorites, the
    // notification-area icon, centring and showing, selecting entry 0.
    StartResult Load();

    // A window created inside a test program must not end that program's
    // message loop when it closes.
    void SetQuitOnClose(bool quit) { quitOnClose_ = quit; }

    // Runs the message loop until the window is gone; returns the exit code.
    static int RunMessageLoop(HWND dialog);

    // Makes the controls of the editor and browse panels, which start-up
    // leaves until the window shows; tests that look at them before start-up
    // call it themselves. Only the first call does anything.
    bool CreateHiddenControls();

    HWND hwnd() const { return hwnd_.get(); }
    HWND control(int id) const;
    const FavoriteStore& store() const { return store_; }
    HICON previewIcon() const;
    bool closed() const { return closed_; }
    bool trayIconAdded() const { return trayAdded_; }
    // The notification-icon record as start-up filled it and shutdown reuses it.
    const NOTIFYICONDATAA& trayRecord() const { return tray_; }
    int dpi() const { return dpi_; }
    // 0 normal, 1 minimised, 2 maximised.
    int WindowState() const;

    // Processes pending events; false once the window has been closed, so an
    // interrupted handler knows to stop touching it.
    bool DoEvents();

    // Handlers reachable from the panels.
    LRESULT OnCommand(int id, int code, HWND from);
    LRESULT OnControlColor(UINT msg, HDC dc, HWND control);
    LRESULT OnDrawItem(const DRAWITEMSTRUCT& item);
    HBRUSH backgroundBrush() const { return static_cast<HBRUSH>(greyBrush_.get()); }

    // The favorite selection; also what a click or arrow key in the list runs.
    void OnFavoriteSelected();
    void SelectLast();
    void SelectIndex(int index);

    // The launch sequence, by "Launch" or a double click on the list.
    void OnLaunch();

    // The icon refresh the selection runs: the first large icon of Text1.
    void CreateIcon();
    void ClearPicture();

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);

    bool CreateControls();
    void CreateTooltips();
    HWND CreateControl(const ControlSpec& item, HWND parent);
    void CreateFonts();
    HFONT FontFor(const ControlSpec& item) const;
    // Where a control stands at the current DPI, in its container's pixels.
    RECT RectFor(const ControlSpec& item) const;
    // Re-lays every control and font out for `dpi`.
    void ApplyDpi(int dpi);
    void OnDpiChanged(int dpi, const RECT& suggested);
    void AddTooltip(HWND control, const char* text);

    // start-up and shutdown
    void ClearFieldsAndLists();
    void PlacePanels();
    void FillList1();
    void CentreOnScreen();
    void Shutdown();
    void OnClose();
    void OnEndSession(bool ending);

    // notification area
    void AddTrayIcon();
    void RemoveTrayIcon();
    void OnTrayCallback(LPARAM lp);
    void ShowTrayMenu();
    void OnSize(WPARAM kind);

    // editor
    void OnAdd();
    void OnSave();
    void OnClear();
    void OnCancel();
    void OnRemove();
    void OnTargetChanged();
    void OnDropFiles(HDROP drop);
    static LRESULT CALLBACK TargetFieldProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void ShowPanel(int show, int hide);
    void EmptyFields();

    // browser
    void InitBrowser();
    void FillBrowserOnce();
    void OnOpenBrowser();
    void OnDriveChange();
    void OnFolderOpen();
    void OnBrowserRefresh();
    void OnBrowserOk();
    void OnBrowserCancel();
    void FillDrives();
    bool SetDirPath(const std::string& path);
    bool SetFilePath(const std::string& path);

    std::string Text(int id) const { return GetText(control(id)); }
    bool SetField(int id, std::string_view text) { return SetText(control(id), text); }
    int CurrentIndex() const;
    void EnableLaunch(bool enable);

    UniqueHwnd hwnd_;
    HINSTANCE instance_ = nullptr;
    int dpi_ = 96;
    Panel panels_[3];
    HWND tooltip_ = nullptr;  // owned by the main window (destroyed with it)
    UniqueGdi greyBrush_;
    UniqueGdi whiteBrush_;
    UniqueGdi boldFont_;
    UniqueGdi listFont_;
    UniqueGdi normalFont_;
    UniqueHicon bigIcon_;
    UniqueHicon smallIcon_;
    UniqueHmenu menuBar_;  // mnuFile lives here as a pop-up that is never shown as a bar
    HMENU mnuFile_ = nullptr;

    FavoriteStore store_;
    ComPtr<IPicture> picture_;  // Picture1's picture; owns its icon

    NOTIFYICONDATAA tray_{};
    bool trayAdded_ = false;
    bool running_ = false;   // start-up got past the single-instance test
    bool shutDown_ = false;  // the icon is removed and Favorites written
    bool closed_ = false;    // the window is being or has been destroyed
    bool quitOnClose_ = true;
    bool panelsPlaced_ = false;
    bool hiddenCreated_ = false;  // the editor and browse panels' controls exist
    std::string targetSeen_;  // Text1 as its change handling last saw it

    // browser state
    std::string startFolder_;
    bool browserFilled_ = false;
    std::string dirPath_;                 // as the folder list reports it
    std::vector<std::string> dirEntries_; // full path of each folder list line
    std::string filePath_;
    std::vector<std::string> drives_;     // "c:\" etc., parallel to the drive list
};

}  // namespace corvane
