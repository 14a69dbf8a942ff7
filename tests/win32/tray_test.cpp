// The notification-area icon: its record, its lifetime, the hiding of the
// minimised window, and what the icon's mouse messages do.
#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>
#include <optional>
#include <string>

#include "support/harness.hpp"

using namespace corvane;
using namespace corvane::test;

namespace {

// The icon reports mouse activity to the window as a mouse move whose x
// coordinate is the mouse message number.
constexpr UINT kCallback = 512;
constexpr int kDoubleClick = 515;
constexpr int kRightUp = 517;

void IconMessage(HWND window, int number, int y = 0) {
    SendMessageA(window, kCallback, 1, MAKELPARAM(number, y));
}

// The favorites the window starts with, so that shutdown has something
// recognisable to write back.
const std::string kFile = FileRecord("Chess on CPU 1", "1__c:\\games\\chess.exe", "c:\\games", "None") +
                          FileRecord("Pad on Default", "2__c:\\windows\\notepad.exe", "c:\\windows", "-x");

// Whether the shell still has an icon with this record's window and id: only
// an existing icon can be modified.
bool IconPresent(const NOTIFYICONDATAA& record) {
    NOTIFYICONDATAA probe = record;
    probe.uFlags = NIF_TIP;
    return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

HWND VisibleMenuWindow() {
    HWND found = nullptr;
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            if (ClassOf(hwnd) == "#32768" && IsWindowVisible(hwnd)) {
                *reinterpret_cast<HWND*>(lp) = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// What a test saw of the pop-up menu while it was open, and how it closed it.
struct MenuVisit {
    enum class Close { Escape, ChooseExit } how = Close::Escape;
    bool seen = false;
    RECT rect{};
    int items = -1;
    std::string firstItem;
    HWND foreground = nullptr;
    int ticks = 0;
};
MenuVisit* g_visit = nullptr;

// Runs inside the menu's own modal loop: records the open menu, then closes
// it with the keyboard as a user would.
void CALLBACK WatchMenu(HWND, UINT, UINT_PTR id, DWORD) {
    MenuVisit& v = *g_visit;
    if (++v.ticks > 100) {  // two seconds and no menu: give up, never hang
        EndMenu();
        KillTimer(nullptr, id);
        return;
    }
    HWND menuWindow = VisibleMenuWindow();
    if (!menuWindow || v.seen) return;
    v.seen = true;
    GetWindowRect(menuWindow, &v.rect);
    v.foreground = GetForegroundWindow();
    if (HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0))) {
        v.items = GetMenuItemCount(menu);
        char text[64] = {};
        GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
        v.firstItem = text;
    }
    if (v.how == MenuVisit::Close::Escape) {
        PostMessageA(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    } else {
        // Nothing is highlighted when the menu opens: move onto the item,
        // then choose it.
        PostMessageA(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
    }
    KillTimer(nullptr, id);
}

// Releases the right button over the icon and lets `visit` deal with the menu.
// Returns once the menu has closed.
void OpenMenu(HWND window, MenuVisit& visit) {
    g_visit = &visit;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, WatchMenu);
    IconMessage(window, kRightUp);
    // Already gone if the menu opened; not if it never did.
    KillTimer(nullptr, timer);
    g_visit = nullptr;
}

// While alive, closes any pop-up menu that opens and remembers that one did,
// so that a menu opened by mistake fails the test instead of hanging it.
class MenuGuard {
public:
    MenuGuard() : timer_(SetTimer(nullptr, 0, 20, Check)) { opened_ = false; }
    ~MenuGuard() { KillTimer(nullptr, timer_); }
    MenuGuard(const MenuGuard&) = delete;
    MenuGuard& operator=(const MenuGuard&) = delete;
    static bool opened() { return opened_; }

private:
    static void CALLBACK Check(HWND, UINT, UINT_PTR, DWORD) {
        if (!VisibleMenuWindow()) return;
        opened_ = true;
        EndMenu();
    }
    static inline bool opened_ = false;
    UINT_PTR timer_;
};

class Tray : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WriteFileBytes(dir_.Join("Favorites"), kFile));
        ASSERT_TRUE(app_.Start());
        ASSERT_TRUE(app_.alive());
    }

    bool Shown() const { return IsWindowVisible(app_.hwnd()) != FALSE; }

    TempDir dir_;
    App app_;
};

TEST_F(Tray, RecordIsTheFirstVersionWithTheTipPaddedWithSpaces) {
    ASSERT_TRUE(app_.win().trayIconAdded());
    const NOTIFYICONDATAA& r = app_.win().trayRecord();
    EXPECT_EQ(r.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));
    EXPECT_EQ(r.hWnd, app_.hwnd());
    EXPECT_EQ(r.uID, 1u);
    EXPECT_EQ(r.uFlags, 7u);
    EXPECT_EQ(r.uCallbackMessage, 512u);
    // The window's own icon, the one its caption shows.
    ASSERT_NE(r.hIcon, nullptr);
    EXPECT_EQ(r.hIcon, reinterpret_cast<HICON>(SendMessageA(app_.hwnd(), WM_GETICON, ICON_SMALL, 0)));

    std::string expected("Crv By Tamsel");
    expected += '\0';
    expected.resize(64, ' ');
    EXPECT_EQ(std::string(r.szTip, 64), expected);
    EXPECT_TRUE(IconPresent(r));
}

// Whether the icon was still there when the window was about to be destroyed.
std::optional<bool> g_iconAtDestroy;
NOTIFYICONDATAA g_record;

LRESULT CALLBACK WatchDestroy(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    if (msg == WM_DESTROY) g_iconAtDestroy = IconPresent(g_record);
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, WatchDestroy, 1);
    return DefSubclassProc(hwnd, msg, wp, lp);
}

TEST_F(Tray, IconLivesFromStartUpToShutdown) {
    const NOTIFYICONDATAA record = app_.win().trayRecord();
    ASSERT_TRUE(app_.win().trayIconAdded());
    EXPECT_TRUE(IconPresent(record));

    g_record = record;
    g_iconAtDestroy.reset();
    ASSERT_TRUE(SetWindowSubclass(app_.hwnd(), WatchDestroy, 1, 0));
    ASSERT_TRUE(app_.Close());
    EXPECT_FALSE(app_.win().trayIconAdded());
    // Gone before the window: the shell never holds an icon of a dead window.
    ASSERT_TRUE(g_iconAtDestroy.has_value());
    EXPECT_FALSE(*g_iconAtDestroy);
    EXPECT_FALSE(IconPresent(record));
    // Removal reuses the record: same size, window and id.
    EXPECT_EQ(app_.win().trayRecord().cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));
    EXPECT_EQ(app_.win().trayRecord().uID, 1u);
    EXPECT_EQ(ReadFileBytes(dir_.Join("Favorites")), kFile);
}

TEST_F(Tray, MinimisingHidesAndADoubleClickOnTheIconBringsTheWindowBack) {
    ASSERT_TRUE(Shown());
    ShowWindow(app_.hwnd(), SW_MINIMIZE);
    app_.Pump();
    EXPECT_FALSE(Shown());
    EXPECT_EQ(app_.win().WindowState(), 1);
    // The icon stays while the window is hidden.
    EXPECT_TRUE(app_.win().trayIconAdded());
    EXPECT_TRUE(IconPresent(app_.win().trayRecord()));

    IconMessage(app_.hwnd(), kDoubleClick);
    app_.Pump();
    EXPECT_TRUE(Shown());
    EXPECT_EQ(app_.win().WindowState(), 0);

    // Again while shown: nothing to undo, it stays as it is.
    IconMessage(app_.hwnd(), kDoubleClick);
    app_.Pump();
    EXPECT_TRUE(Shown());
    EXPECT_EQ(app_.win().WindowState(), 0);

    // The y coordinate plays no part.
    ShowWindow(app_.hwnd(), SW_MINIMIZE);
    app_.Pump();
    ASSERT_FALSE(Shown());
    IconMessage(app_.hwnd(), kDoubleClick, 77);
    app_.Pump();
    EXPECT_TRUE(Shown());
    EXPECT_EQ(app_.win().WindowState(), 0);
}

TEST_F(Tray, OtherMouseNumbersDoNothing) {
    MenuGuard guard;
    ShowWindow(app_.hwnd(), SW_MINIMIZE);
    app_.Pump();
    ASSERT_FALSE(Shown());
    // 513/514 a left click, 516 the right button still down, 100 a plain move.
    for (int number : {100, 512, 513, 514, 516, 518}) {
        SCOPED_TRACE(number);
        IconMessage(app_.hwnd(), number);
        app_.Pump(10);
        EXPECT_FALSE(Shown());
        EXPECT_EQ(app_.win().WindowState(), 1);
    }
    // While shown, none of them opens the menu or hides the window.
    IconMessage(app_.hwnd(), kDoubleClick);
    app_.Pump();
    ASSERT_TRUE(Shown());
    for (int number : {100, 514, 516}) {
        SCOPED_TRACE(number);
        IconMessage(app_.hwnd(), number);
        app_.Pump(10);
        EXPECT_TRUE(Shown());
    }
    EXPECT_FALSE(MenuGuard::opened());
    EXPECT_TRUE(app_.alive());
}

TEST_F(Tray, RightButtonOpensTheMenuAtThePointerAndEscapeChangesNothing) {
    // Another window in front: the menu must bring Corvane's forward.
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    SetForegroundWindow(other);
    app_.Pump();
    EXPECT_EQ(GetForegroundWindow(), other);
    SetCursorPos(300, 250);
    POINT cursor{};
    GetCursorPos(&cursor);
    MenuVisit visit;
    visit.how = MenuVisit::Close::Escape;
    OpenMenu(app_.hwnd(), visit);

    ASSERT_TRUE(visit.seen) << "no pop-up menu appeared";
    EXPECT_EQ(visit.items, 1);
    EXPECT_EQ(visit.firstItem, "Exit Corvane");
    EXPECT_EQ(visit.foreground, app_.hwnd());
    DestroyWindow(other);
    // Opened at the pointer (the system may only shift it to stay on screen).
    EXPECT_EQ(visit.rect.left, cursor.x);
    EXPECT_EQ(visit.rect.top, cursor.y);

    app_.Pump();
    EXPECT_EQ(VisibleMenuWindow(), nullptr);
    EXPECT_TRUE(app_.alive());
    EXPECT_TRUE(Shown());
    EXPECT_TRUE(app_.win().trayIconAdded());
    EXPECT_EQ(ReadFileBytes(dir_.Join("Favorites")), kFile);
}

TEST_F(Tray, ExitFromTheMenuShutsDownAndWritesFavorites) {
    // The user may open the menu while the window is hidden.
    ShowWindow(app_.hwnd(), SW_MINIMIZE);
    app_.Pump();
    ASSERT_FALSE(Shown());
    // Start-up read the file; shutdown must write it again.
    ASSERT_TRUE(DeleteFileA(dir_.Join("Favorites").c_str()));
    const NOTIFYICONDATAA record = app_.win().trayRecord();

    MenuVisit visit;
    visit.how = MenuVisit::Close::ChooseExit;
    OpenMenu(app_.hwnd(), visit);
    ASSERT_TRUE(visit.seen) << "no pop-up menu appeared";
    EXPECT_TRUE(PumpUntil([&] { return app_.closed(); }, 3000));
    EXPECT_FALSE(IsWindow(record.hWnd));
    EXPECT_FALSE(app_.win().trayIconAdded());
    EXPECT_FALSE(IconPresent(record));
    EXPECT_EQ(ReadFileBytes(dir_.Join("Favorites")), kFile);
}

TEST_F(Tray, ExitCommandAloneShutsDownLikeTheCloseBox) {
    SendMessageA(app_.hwnd(), WM_COMMAND, MAKEWPARAM(kMnuExit, 0), 0);
    EXPECT_TRUE(PumpUntil([&] { return app_.closed(); }, 3000));
    EXPECT_FALSE(app_.win().trayIconAdded());
    EXPECT_EQ(ReadFileBytes(dir_.Join("Favorites")), kFile);
}

}  // namespace
