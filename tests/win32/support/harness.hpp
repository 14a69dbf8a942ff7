// Shared pieces of the in-process Win32 tests: a private working folder per
// test, file bytes, a driver for the real main window, user-like input to its
// controls, and a catcher for the modal message boxes the program shows.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/layout.hpp"
#include "app/main_window.hpp"

namespace corvane::test {

// ---------------------------------------------------------------------------
// Files and folders

// A fresh folder under %TEMP% that becomes the current directory for the life
// of the object (the program reads and writes "Favorites" there). The previous
// directory is restored and the folder removed, contents and all, afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Full path, no trailing backslash, case as created.
    const std::string& path() const { return path_; }
    // path() + "\\" + relative
    std::string Join(std::string_view relative) const;

private:
    std::string path_;
    std::string previous_;
};

// The whole file, byte for byte; nullopt if it cannot be opened for reading.
std::optional<std::string> ReadFileBytes(const std::string& path);
// Creates or replaces the file with exactly these bytes.
bool WriteFileBytes(const std::string& path, std::string_view bytes);
bool FileExists(const std::string& path);       // a file, not a folder
bool DirectoryExists(const std::string& path);
bool MakeDirectory(const std::string& path);    // also creates missing parents
// Deletes a file or a folder tree, clearing read-only/hidden/system first.
void RemoveTree(const std::string& path);
// Names (not paths) of everything in a folder but "." and "..".
std::vector<std::string> ListDirectory(const std::string& path);
// Full path of the running test program (it carries the program's icon).
std::string ThisExePath();

// Whether `icon` is still a live icon handle (not yet destroyed).
bool IconAlive(HICON icon);
// ASCII lower case, for comparisons with the program's folded paths.
std::string Lower(std::string_view s);

// ---------------------------------------------------------------------------
// Session

// Call first thing in main(), before any window exists; if it returns a
// value, main() returns that at once. Under Wine on a bare X server (Xvfb, no
// window manager) every "managed" window that is hidden or destroyed waits two
// seconds for a window manager that never answers, and so does the removal of
// a notification-area icon: each test closing a window would pay four seconds.
// This sets the Wine X11 driver's "Managed" option to "N" for the user, so that
// Wine programs started from then on (corvane.exe in the end-to-end tests, the
// desktop process) handle their windows themselves. The driver reads the
// option when a process starts, so when the option was not yet set the test
// program runs itself again as a child and returns the child's exit code.
// Does nothing outside Wine.
std::optional<int> PrepareWineSession();

// ---------------------------------------------------------------------------
// Messages and waiting

// Dispatches this thread's messages for `ms` milliseconds (at least once).
void Pump(int ms);
// Pumps until `done` holds or `timeoutMs` passes; returns the last `done`.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs);

// ---------------------------------------------------------------------------
// Controls

std::string WindowText(HWND hwnd);                   // ANSI, via WM_GETTEXT
void SetEditText(HWND edit, std::string_view text);  // WM_SETTEXT: EN_CHANGE fires
std::string ClassOf(HWND hwnd);
// Rectangle of a child relative to its parent's client area, in pixels.
RECT ChildRect(HWND child);
std::vector<std::string> ListItems(HWND list);       // list box or combo box
int ListSelection(HWND list);                        // LB_GETCURSEL, -1 if none
// A button press as the user makes it: BM_CLICK, which the button turns into
// BN_CLICKED for its parent. Does nothing for a disabled button, as a click.
void Click(HWND button);
// The parent is told `code` (BN_CLICKED, STN_CLICKED, LBN_DBLCLK...) from
// `control` directly, whatever the control's state.
void Notify(HWND control, int code);
// A list box selection made by the user: LB_SETCURSEL then LBN_SELCHANGE to
// the parent (LB_SETCURSEL alone notifies nobody). -1 clears the selection.
void SelectListEntry(HWND list, int index);
// Double click on a list box entry with the mouse messages a real double
// click produces at the entry's place (the entry is scrolled into view first);
// the list box itself selects it and tells its parent, as LBS_NOTIFY allows.
void DoubleClickListEntry(HWND list, int index);
// A left click with the mouse messages at the centre of `target` (down, up):
// what a click on a label does, where the control decides whether to notify.
void MouseClick(HWND target);
// Sends WM_DROPFILES with a real HDROP (GlobalAlloc'd DROPFILES, ANSI) naming
// `paths`, as Explorer would after a drag and drop onto `target`.
void DropFiles(HWND target, const std::vector<std::string>& paths);

// ---------------------------------------------------------------------------
// The main window

// Owns one MainWindow created in this process the way the program creates it,
// except that closing it does not post WM_QUIT.
class MessageBoxCatcher;

class App {
public:
    App();
    ~App();  // closes the window if still open
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // Create + SetQuitOnClose(false) + Load; pumps briefly so start-up settles.
    // Returns false if the window could not be created.
    bool Start(MainWindow::StartResult* result = nullptr);
    // Create only (no start-up sequence).
    bool CreateOnly();

    MainWindow& win() { return *win_; }
    const MainWindow& win() const { return *win_; }
    HWND hwnd() const { return win_->hwnd(); }
    HWND control(int id) const { return win_->control(id); }
    const FavoriteStore& store() const { return win_->store(); }

    // Sends WM_CLOSE and pumps until the window reports itself closed.
    // Returns closed().
    bool Close();
    bool closed() const { return win_->closed(); }
    bool alive() const { return !win_->closed() && IsWindow(win_->hwnd()); }

    void Pump(int ms = 30) const { corvane::test::Pump(ms); }

    // Shorthands on control ids.
    std::string Text(int id) const { return WindowText(control(id)); }
    void SetText(int id, std::string_view text) const { SetEditText(control(id), text); }
    void Click(int id) const { corvane::test::Click(control(id)); }
    void Notify(int id, int code) const { corvane::test::Notify(control(id), code); }
    bool Checked(int id) const;
    bool Enabled(int id) const { return IsWindowEnabled(control(id)) != FALSE; }
    // The control itself is shown and so is every container up to the window.
    bool Visible(int id) const { return IsWindowVisible(control(id)) != FALSE; }
    std::vector<std::string> Favorites() const { return ListItems(control(kList1)); }
    int Selected() const { return ListSelection(control(kList1)); }
    void Select(int index) const { SelectListEntry(control(kList1), index); }

    // Every message box shown while this App lives is caught here, unless a
    // catcher created later (nested) takes it; a test asserts on it.
    MessageBoxCatcher& boxes() { return *boxes_; }

private:
    std::unique_ptr<MessageBoxCatcher> boxes_;
    std::unique_ptr<MainWindow> win_;
};

// The display text of a favorite as List1 shows it.
std::string DisplayOf(const std::string& title, int cpu);  // cpu < 0: "Default"

// One favorite as four lines of the Favorites file (CRLF after each).
std::string FileRecord(std::string_view title, std::string_view target,
                       std::string_view startIn, std::string_view params);

// ---------------------------------------------------------------------------
// Message boxes

struct MessageBoxSeen {
    std::string caption;
    std::string text;          // the static with id 0xFFFF
    bool onlyOk = false;       // exactly one button, captioned "OK"
    bool informationIcon = false;
    HICON icon = nullptr;
};

// While alive, a thread timer looks for a message box (#32770) owned by this
// thread, records it and presses OK. Timers fire inside MessageBox's own modal
// loop, so a handler that shows a box returns to the test. Catchers nest: the
// box goes to the one created last.
class MessageBoxCatcher {
public:
    MessageBoxCatcher();
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    const std::vector<MessageBoxSeen>& seen() const { return seen_; }
    size_t count() const { return seen_.size(); }
    // Text of the last box, "" if none.
    std::string lastText() const { return seen_.empty() ? std::string() : seen_.back().text; }
    void clear() { seen_.clear(); }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Scan();

    std::vector<MessageBoxSeen> seen_;
    std::vector<HWND> handled_;
};

}  // namespace corvane::test
