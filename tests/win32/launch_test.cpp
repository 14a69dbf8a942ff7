// Launching favourites through the real window: the cores programs end up on, the window afterwards, the
// notification-area icon, and handles left behind.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "support/launching.hpp"

using namespace corvane;
using namespace corvane::test;

namespace {

// The popup menu shown while it lives: what it offers, and the keys pressed in it. Forced: still open after 3 s,
// and ended from here.
struct MenuWatch {
    std::vector<WPARAM> keys;
    ULONGLONG start = GetTickCount64();
    bool seen = false;
    bool forced = false;
    std::string items;  // each item's text, followed by '|'
    void Look() {
        HWND menu = nullptr;  // the popup menu's window, once it shows
        while ((menu = FindWindowExA(nullptr, menu, "#32768", nullptr)) && !IsWindowVisible(menu))
            continue;
        if (GetTickCount64() - start > 3000) {
            forced = true;
            EndMenu();
        }
        if (!menu || seen) return;
        seen = true;
        const auto handle = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
        for (int i = 0; i < GetMenuItemCount(handle); ++i) {
            char text[64] = "";
            items.append(text, GetMenuStringA(handle, i, text, sizeof text, MF_BYPOSITION)).append("|");
        }
        for (WPARAM key : keys)
            PostMessageA(menu, WM_KEYDOWN, key, 0);
    }
};

bool IconAlive(HICON icon) {
    ICONINFO i{};
    if (!GetIconInfo(icon, &i)) return false;
    DeleteObject(i.hbmColor);
    DeleteObject(i.hbmMask);
    return true;
}

// Kernel handles are small multiples of four, handed out lowest first: each one that duplicates is open.
int OpenHandles() {
    int open = 0;
    HANDLE copy = nullptr, self = GetCurrentProcess();
    for (UINT_PTR value = 4; value < 0x10000; value += 4)
        open += DuplicateHandle(self, HANDLE(value), self, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS) && CloseHandle(copy);
    return open;
}

}  // namespace

TEST(Launch, CoreStartInParametersAndWindowState) {
    ASSERT_EQ(MaskFor(kCpuDefault) & 3, DWORD_PTR{3}) << "the CPU 1 rows need a second core";
    struct Row {
        const char* name;
        int code;
        const char* image;
        std::string startIn, params;
        O outcome;
        Shown after;
        bool doubleClick;  // on the list, else Launch
    };
    const Row rows[] = {
        // image: a pin_target copy, or nullptr for the ghost target; the row's favourite is the second of two
        {"CPU 0 with parameters", kCpu0, "cpu0.exe", "run", "--life=8 -x", O::Pinned, Shown::Hidden, false},
        {"CPU 1, parameters None", kCpu1, "cpu1.exe", "run", "None", O::Pinned, Shown::Hidden, true},
        {"Default", kCpuDefault, "dflt.exe", "run", "--life=8", O::Unpinned, Shown::Hidden, false},
        {"start-in folder too short", kCpu0, "short.exe", "c", "--life=8", O::Refused, Shown::Normal, false},
        {"a target that never runs", kCpu0, nullptr, "run", "None", O::NotPinned, Shown::Normal, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        ProcessReaper reaper{{row.image ? row.image : "ghost.exe"}};
        CreateDirectoryA(dir.Join("run").c_str(), nullptr);
        const std::string startIn = row.startIn == "run" ? dir.Join("run") : row.startIn;
        const std::string target = row.image ? Place(dir, row.image) : kGhost;
        const std::string first = Fav("First", kCpu1, kGhost, "c:\\", "None");
        ASSERT_TRUE(WriteBytes("Favorites", first + Fav("Row", row.code, target, startIn, row.params)));
        App app;
        ASSERT_TRUE(app.Start());
        app.Select(1);
        const DWORD_PTR ownBefore = Affinity(GetCurrentProcess());
        const ULONGLONG start = GetTickCount64();
        Press(app, row.doubleClick ? kFavoritesList : kLaunchButton, row.doubleClick ? LBN_DBLCLK : BN_CLICKED);
        const ULONGLONG elapsed = GetTickCount64() - start;
        EXPECT_EQ(Affinity(GetCurrentProcess()), ownBefore) << "the window's own cores were not put back";
        EXPECT_EQ(app.win().lastLaunch(), row.outcome);
        EXPECT_EQ(StateOf(app.hwnd()), row.after);
        std::vector<UINT> refusals;
        for (const BoxSeen& box : app.boxes().seen())
            if (box.text == "Please make a selection.") refusals.push_back(box.style);
        EXPECT_EQ(refusals, std::vector<UINT>(row.outcome == O::Refused, MB_ICONINFORMATION | MB_OK));
        EXPECT_TRUE(row.image || (elapsed >= kAllAttempts && elapsed < 15000)) << elapsed << " ms";
        EXPECT_TRUE(row.outcome != O::Refused || ProcessIds(row.image).empty()) << "started all the same";
        if (!row.image || row.outcome == O::Refused) continue;
        const std::string report = dir.Join("run\\report.txt");  // relative: where the program started
        EXPECT_EQ(ProcessIds(row.image).size(), 1u) << "started more than once";
        EXPECT_TRUE(ReportsCore(report, row.code) && PumpUntil([&] { return ReportedArgs(report).has_value(); }));
        EXPECT_EQ(ReportedArgs(report), row.params == "None" ? "" : row.params);
        // Default starts the program on every core and never pins it.
        EXPECT_TRUE(row.code != kCpuDefault || (ReportedMasks(report, "first") == Masks{MaskFor(kCpuDefault)} &&
                                                ReportedMasks(report, "mask").empty()));
    }
}

TEST(Launch, PinnedAsTheProgramStarts) {
    struct Row {
        const char* name;
        int code;
        const char* image;
        const char* child;
        bool byHandle;
    };
    const Row rows[] = {
        // child: what the image starts before it ends at once; byHandle: the pin by handle alone, else the
        // program only created on its core
        {"CPU 0 by its handle", kCpu0, "born0.exe", nullptr, true},
        {"a launcher's child, CPU 1 by its handle", kCpu1, "launcher.exe", "game.exe", true},
        {"CPU 1, created on it", kCpu1, "heir1.exe", nullptr, false},
        {"a launcher's child, CPU 0, created on it", kCpu0, "heirl.exe", "heirg.exe", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const PinsFor pins({!row.byHandle, row.byHandle});
        const std::string image = Place(dir, row.image), spawn = row.child ? "--spawn=" + Place(dir, row.child) : "";
        const std::size_t starts = row.child ? 2 : 1;
        ProcessReaper reaper{{row.image, row.child ? row.child : row.image}};
        const std::string report = dir.Join("rep.txt"), go = dir.Join("go");
        const std::string params = "--after=" + go + " " + (row.child ? spawn : "--life=8") + " --report=" + report;
        ASSERT_TRUE(WriteBytes("Favorites", Fav("Born", row.code, image, dir.path(), params)));
        App app;
        ASSERT_TRUE(app.Start());
        const auto allStarted = [&] { return ReportedMasks(report, "first").size() == starts; };
        DWORD_PTR atFirstEvent = 0;
        // The program's code runs from the launch's first event on, when no pin by name has run yet (that
        // waits 0.1 s first). Unpinned then, it would start and pass on every core. How often a program
        // left to race its pin wins is a figure of the benchmark.
        const bool done = LaunchWithMidway(app, 10, [&] {
            const std::vector<DWORD> pids = ProcessIds(row.image);
            HANDLE process = pids.empty() ? nullptr : OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pids[0]);
            atFirstEvent = Affinity(process);
            CloseHandle(process);
            return WriteBytes(go, "") && PumpUntil(allStarted, 10000);
        });
        ASSERT_TRUE(done && allStarted());
        EXPECT_EQ(atFirstEvent, MaskFor(row.code)) << "not on its core from its creation";
        EXPECT_EQ(ReportedMasks(report, "first"), Masks(starts, MaskFor(row.code)));
    }
}

TEST(TrayIcon, MessagesRecordAndLifetime) {
    // inside: the cursor is in the client area, as for a real mouse move
    struct Row {
        const char* name;
        WPARAM wp;
        LPARAM lp;
        Shown before;
        bool inside;
        std::vector<WPARAM> keys;
        bool menu;
        Shown after;
    };
    constexpr Shown kNormal = Shown::Normal;
    constexpr Shown kHidden = Shown::Hidden;
    constexpr Shown kMax = Shown::Maximised;
    const Row rows[] = {
        {"double click on the icon", 1, WM_LBUTTONDBLCLK, kHidden, false, {}, false, kNormal},
        {"another icon's id", 2, WM_LBUTTONDBLCLK, kHidden, false, {}, false, kHidden},
        {"right click, then Escape", 1, WM_RBUTTONUP, kNormal, false, {VK_ESCAPE}, true, kNormal},
        {"right click, then Exit Corvane", 1, WM_RBUTTONUP, kHidden, false, {VK_DOWN, VK_RETURN}, true, Shown::Closed},
        {"a real move inside at x=515", MK_LBUTTON, WM_LBUTTONDBLCLK, kMax, true, {}, false, kMax},
        {"a real move inside at x=517", MK_LBUTTON, WM_RBUTTONUP, kMax, true, {VK_ESCAPE}, false, kMax},
    };
    TempDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        App app;
        ASSERT_TRUE(app.Start());
        if (row.before != kNormal) ShowWindow(app.hwnd(), row.before == kHidden ? SW_MINIMIZE : SW_MAXIMIZE);
        ASSERT_TRUE(PumpUntil([&] { return StateOf(app.hwnd()) == row.before; }));
        // The middle of the screen is inside the maximised window; the corner is outside the centred one.
        const POINT at{GetSystemMetrics(SM_CXSCREEN) / 2 * row.inside, GetSystemMetrics(SM_CYSCREEN) / 2 * row.inside};
        POINT cursor{};
        RECT client{};
        ASSERT_TRUE(SetCursorPos(at.x, at.y) && GetCursorPos(&cursor) && cursor.x == at.x && cursor.y == at.y);
        ASSERT_TRUE(ScreenToClient(app.hwnd(), &cursor) && GetClientRect(app.hwnd(), &client));
        ASSERT_EQ(PtInRect(&client, cursor) != FALSE, row.inside);
        MenuWatch watch;
        watch.keys = row.keys;
        const Ticker ticker([&watch] { watch.Look(); }, 20);
        SendMessageA(app.hwnd(), WM_MOUSEMOVE, row.wp, row.lp);
        EXPECT_EQ(watch.items, row.menu ? "Exit Corvane|" : "");
        EXPECT_FALSE(watch.forced);
        EXPECT_TRUE(PumpUntil([&] { return StateOf(app.hwnd()) == row.after; }, 3000));
    }
    App app;
    ASSERT_TRUE(app.Start());
    NOTIFYICONDATAA record = app.win().trayIcon().record();
    EXPECT_EQ(std::make_tuple(record.hWnd, record.uID, record.uCallbackMessage, record.uFlags, record.szTip),
              std::make_tuple(app.hwnd(), 1u, UINT{WM_MOUSEMOVE}, 7u, std::string("Crv By Tamsel")));
    // The shell forgets every icon when it restarts, then broadcasts this.
    ASSERT_TRUE(app.win().trayIcon().added() && Shell_NotifyIconA(NIM_DELETE, &record));
    SendMessageA(app.hwnd(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(app.win().trayIcon().added());
    EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &record)) << "the icon was not added again";
}

TEST(Leaks, SelectionsAndLaunchesLeaveNoHandlesBehind) {
    TempDir dir;
    ProcessReaper reaper{{"leak.exe"}};
    ASSERT_TRUE(WriteBytes("Favorites", Fav("Self", kCpu0, ThisExePath(), dir.path(), "None") +
                                            Fav("Leak", kCpu1, Place(dir, "leak.exe"), dir.path(), "--life=1")));
    App app;
    ASSERT_TRUE(app.Start());
    const auto preview = [&] { return app.win().favoritesPanel().previewIcon(); };  // both targets have icons
    std::vector<HICON> replaced{preview()};
    for (int i = 1; i <= 300; ++i) {
        app.Select(i % 2);
        ASSERT_NE(preview(), nullptr);
        if (i < 300) replaced.push_back(preview());
    }
    ASSERT_NE(replaced.front(), nullptr);
    int alive = 0;
    for (HICON old : replaced)
        alive += old != preview() && IconAlive(old);
    EXPECT_EQ(alive, 0);
    EXPECT_TRUE(IconAlive(preview()));
    app.Select(1);

    Press(app, kLaunchButton);  // the first launch loads what the shell keeps for later ones
    ASSERT_EQ(app.win().lastLaunch(), O::Pinned);
    const int before = OpenHandles();
    int pinned = 0;
    for (int i = 0; i < 30; ++i) {
        Press(app, kLaunchButton);
        pinned += app.win().lastLaunch() == O::Pinned;
    }
    EXPECT_EQ(pinned, 30);
    EXPECT_LE(OpenHandles(), before + 5);
}
