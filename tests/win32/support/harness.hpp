// What every Win32 test shares: a private working folder, file bytes, a bounded wait for a state, the real main
// window driven in this process, a catcher for its message boxes, and what pin_target.exe reports.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_window.hpp"
#include "panels/layout.hpp"
#include "platform/handles.hpp"
#include "platform/paths.hpp"
#include "platform/shell_link.hpp"
#include "platform/win.hpp"
#include "platform/window.hpp"

namespace corvane::test {

// A fresh folder that is the current directory (where "Favorites" is kept) while the object lives.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& path() const { return path_; }
    std::string Join(std::string_view name) const { return path_ + "\\" + std::string(name); }

private:
    std::string path_, previous_;
};

std::optional<std::string> ReadBytes(const std::string& path);
bool WriteBytes(const std::string& path, std::string_view bytes);
std::string ThisExePath();
std::string Beside(std::string_view name);  // a file in this program's folder
std::string Lower(std::string s);

bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);  // dispatches messages; returns done()

std::string ClassOf(HWND hwnd);
std::vector<std::string> ListItems(HWND list);
void DropFile(HWND target, const std::string& path);  // with a real HDROP, as Explorer sends it

// Runs `tick` from this thread's event pumps, message boxes' and menus' included: every `ms` (0: never) from a
// timer, and once at the first pump after each Post.
class Ticker : public Window<Ticker> {
public:
    Ticker(std::function<void()> tick, UINT ms = 0);
    void Post() const { PostMessageA(hwnd(), WM_APP, 0, 0); }
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

private:
    std::function<void()> tick_;
};

struct BoxSeen {
    std::string text;
    UINT style = 0;
};  // style: MB_ICON* and button bits as read from the box

// While alive, records every message box this thread shows and presses OK (or the next of `answers`), from inside the
// box's modal loop.
class BoxCatcher {
public:
    const std::vector<BoxSeen>& seen() const { return seen_; }
    std::function<void()> whileShown;  // run once, inside the next box, before OK
    std::deque<int> answers;           // the buttons pressed in the next boxes, in order, instead of OK

private:
    void Catch(HWND box);
    std::vector<BoxSeen> seen_;
    Ticker ticker_{[this] { EnumThreadWindows(GetCurrentThreadId(), OnWindow, LPARAM(this)); }, 20};
    static BOOL CALLBACK OnWindow(HWND, LPARAM);
};

// A window of the shell's notification class that Shell_NotifyIcon finds before the shell's own: it answers every
// icon request, and runs `onRequest` inside the first one, as a busy shell that sends a message of its own meanwhile.
class ShellStandIn : public Window<ShellStandIn> {
public:
    explicit ShellStandIn(std::function<void()> onRequest);
    bool found() const;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

private:
    std::function<void()> onRequest_;
};

// The real main window, started as corvane.exe does, except that closing it does not end the test program.
class App {
public:
    App();
    ~App();
    // Create, `beforeStart`, Start; false if the window could not be made.
    bool Start(const std::function<void()>& beforeStart = {});
    bool
    Close();  // WM_CLOSE unless closed; true once the window is gone, and what corvane.exe tells after its loop told

    MainWindow& win() { return *win_; }
    HWND hwnd() const { return win_->hwnd(); }
    HWND control(int id) const;
    std::string Text(int id) const { return GetText(control(id)); }
    void SetText(int id, std::string_view text) const;  // WM_SETTEXT, as another program would
    void Click(int id) const;                           // BM_CLICK or STN_CLICKED
    void Select(int index) const;                       // as a click in the list
    bool Checked(int id) const { return SendMessageA(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool Visible(int id) const { return IsWindowVisible(control(id)) != FALSE; }
    std::vector<std::string> Favorites() const { return ListItems(control(kFavoritesList)); }
    int Selected() const { return static_cast<int>(SendMessageA(control(kFavoritesList), LB_GETCURSEL, 0, 0)); }
    BoxCatcher& boxes() { return boxes_; }

private:
    BoxCatcher boxes_;
    std::unique_ptr<MainWindow> win_;
};

// One corvane.exe started as a shortcut starts it; ended by force if still running when the object goes.
class Corvane {
public:
    explicit Corvane(const std::string& folder, const std::string& args = "");
    ~Corvane();
    std::optional<DWORD> Ended(DWORD ms) const;  // its exit code if it ends within `ms`; pumps events meanwhile
    HWND Window() const;                         // its main window, once start-up has marked the caption
    DWORD pid() const { return pi_.dwProcessId; }

private:
    PROCESS_INFORMATION pi_{};
};

HWND BoxOf(DWORD pid);  // a message box that process `pid` shows, once it has its text
std::string BoxText(HWND box);

HWND ControlOf(HWND main, int id);  // a control of the main window by its id, in this process or another

std::string Record(std::string_view display, std::string_view coded, std::string_view startIn, std::string_view params);

std::vector<DWORD> ProcessIds(std::string_view image);

// Ends every process of these image names when it goes, before the test's folder is removed.
struct ProcessReaper {
    std::vector<std::string> images;
    ~ProcessReaper();
};

// The cores pin_target.exe reported, the first it started on and each later change, oldest first; and the
// parameters it was started with.
std::vector<DWORD_PTR> ReportedMasks(const std::string& report);
std::optional<std::string> ReportedArgs(const std::string& report);
DWORD_PTR LastMask(const std::string& report);  // 0 before the first

// A shortcut file as the shell reads it back (empty fields when it cannot).
ShellLink ReadLink(const std::string& path);

// The current user's desktop: the shortcuts a case names there are gone when it starts and when it ends.
struct Desktop {
    std::vector<std::string> named;
    static void Clear(const std::string& file) { DeleteFileA(file.c_str()) || RemoveDirectoryA(file.c_str()); }
    std::string Join(const std::string& name) {
        Clear(named.emplace_back(DesktopFolder().path + "\\" + name));
        return named.back();
    }
    ~Desktop() {
        for (const std::string& file : named)
            Clear(file);
    }
};

enum class Shown { Normal, Hidden, Maximised, Closed, Other };  // Hidden: in the notification area
Shown StateOf(HWND window);

}  // namespace corvane::test
