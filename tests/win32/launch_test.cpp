// Launching favourites through the real window: the cores programs start and end on, what starts meanwhile, the
// window afterwards, and the notification-area icon.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "support/launching.hpp"

using namespace corvane;
using namespace corvane::test;

namespace {

// The popup menu, once it shows: each item's text followed by '|'; then the row's keys, which end it.
struct MenuWatch {
    std::vector<WPARAM> keys;
    std::string items;
    void Look() {
        HWND menu = nullptr;  // the popup menu's window, once it shows
        while ((menu = FindWindowExA(nullptr, menu, "#32768", nullptr)) && !IsWindowVisible(menu))
            continue;
        if (!menu || !items.empty()) return;
        const auto handle = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
        for (int i = 0; i < GetMenuItemCount(handle); ++i) {
            char text[64] = "";
            items.append(text, GetMenuStringA(handle, i, text, sizeof text, MF_BYPOSITION)).append("|");
        }
        for (WPARAM key : keys)
            PostMessageA(menu, WM_KEYDOWN, key, 0);
    }
};

// The launcher's pins at the start for one scope.
struct PinsFor {
    StartPins saved = Launcher::startPins;
    explicit PinsFor(StartPins pins) { Launcher::startPins = pins; }
    ~PinsFor() { Launcher::startPins = saved; }
};

}  // namespace

TEST(Launch, CoreStartInParametersAndWindowState) {
    DWORD_PTR own = 0;
    DWORD_PTR all = 0;
    ASSERT_TRUE(GetProcessAffinityMask(GetCurrentProcess(), &own, &all) && (all & 3) == 3) << "needs two cores";
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
        // image: a pin_target copy, or nullptr for the ghost target; the row's favourite follows one on CPU 0
        {"CPU 1 by a double click, parameters None", kCpu1, "cpu1.exe", "run", "None", O::Pinned, Shown::Hidden, true},
        // After a pinned row: a window left on that core would start this program there.
        {"Default", kCpuDefault, "dflt.exe", "run", "--life=8 -x", O::Unpinned, Shown::Hidden, false},
        {"start-in folder too short", kCpu0, "short.exe", "c", "None", O::Refused, Shown::Normal, false},
        {"a target that never runs", kCpu0, nullptr, "run", "None", O::NotPinned, Shown::Normal, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        ProcessReaper reaper{{row.image ? row.image : "ghost.exe"}};
        CreateDirectoryA(dir.Join("run").c_str(), nullptr);
        const std::string startIn = row.startIn == "run" ? dir.Join("run") : row.startIn;
        const std::string target = row.image ? Place(dir, row.image) : kGhost;
        const std::string first = Fav("First", kCpu0, kGhost, "c:\\", "None");
        ASSERT_TRUE(WriteBytes("Favorites", first + Fav("Row", row.code, target, startIn, row.params)));
        App app;
        ASSERT_TRUE(app.Start());
        app.Select(1);
        Press(app, row.doubleClick ? kFavoritesList : kLaunchButton, row.doubleClick ? LBN_DBLCLK : BN_CLICKED);
        EXPECT_EQ(app.win().lastLaunch(), row.outcome);
        EXPECT_EQ(StateOf(app.hwnd()), row.after);
        std::vector<UINT> refusals;
        for (const BoxSeen& box : app.boxes().seen())
            if (box.text == "Please make a selection.") refusals.push_back(box.style);
        EXPECT_EQ(refusals, std::vector<UINT>(row.outcome == O::Refused, MB_ICONINFORMATION | MB_OK));
        if (!row.image || row.outcome == O::Refused) continue;
        const std::string report = dir.Join("run\\report.txt");  // relative: where the program started
        const DWORD_PTR mask = row.code == kCpuDefault ? all : DWORD_PTR{1} << row.code;
        EXPECT_TRUE(PumpUntil([&] { return LastMask(report) == mask && ReportedArgs(report).has_value(); }));
        EXPECT_EQ(ReportedArgs(report), row.params == "None" ? "" : row.params);
        EXPECT_EQ(ReportedMasks(report), Masks{mask}) << "not started on its core, or moved later";
    }
}

// At the launch's first event, before any pin by name (that pauses first), the program runs on its core; copies
// started elsewhere, asked for by another instance or clicked meanwhile (these wait for the launch) keep theirs.
TEST(Launch, PinnedAsTheProgramStartsAndWhatStartsMeanwhileKeepsItsCore) {
    enum Act { Nothing, StartedElsewhere, AskedFor, Clicked };
    struct Row {
        const char* name;
        StartPins pins;
        Act act;
        std::size_t copiesAfterAct;
        Masks atEnd;
    };
    const Row rows[] = {
        {"pinned by its handle alone", {false, true}, Nothing, 1, {1}},
        {"a copy started on CPU 1 elsewhere: no pin by name moves it", {true, true}, StartedElsewhere, 2, {1, 2}},
        {"created on its core; a copy asked for on CPU 1", {true, false}, AskedFor, 1, {1, 2}},
        {"created on its core; Launch clicked again", {true, false}, Clicked, 1, {1, 1}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const PinsFor pins(row.pins);
        ProcessReaper reaper{{"twin.exe"}};
        const std::string twin = Place(dir, "twin.exe");
        ASSERT_TRUE(WriteBytes(
            "Favorites", Fav("Twin", kCpu0, twin, dir.path(), "None") + Fav("Twin", kCpu1, twin, dir.path(), "None")));
        App app;
        ASSERT_TRUE(app.Start());
        Masks atFirstEvent;
        std::size_t copies = 0;
        PROCESS_INFORMATION rival{};
        STARTUPINFOA si{};
        si.cb = sizeof si;
        const bool done = LaunchWithMidway(app, 10, [&] {
            atFirstEvent = Affinities("twin.exe");
            if (atFirstEvent.empty()) return false;
            if (row.act == StartedElsewhere &&
                CreateProcessA(twin.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &rival))
                SetProcessAffinityMask(rival.hProcess, 2);
            if (row.act == AskedFor) Request(app, "Twin on CPU 1");
            if (row.act == Clicked) Press(app, kLaunchButton);
            copies = ProcessIds("twin.exe").size();
            return true;
        });
        ASSERT_TRUE(done);
        EXPECT_EQ(atFirstEvent, Masks{1}) << "not on its core from its creation";
        EXPECT_EQ(copies, row.copiesAfterAct) << "a launch ran inside the first";
        EXPECT_TRUE(PumpUntil([&] { return Affinities("twin.exe") == row.atEnd; })) << Affinities("twin.exe").size();
        CloseHandle(rival.hThread);
        CloseHandle(rival.hProcess);
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
    using enum Shown;
    const Row rows[] = {
        {"double click on the icon", 1, WM_LBUTTONDBLCLK, Hidden, false, {}, false, Normal},
        {"another icon's id", 2, WM_LBUTTONDBLCLK, Hidden, false, {}, false, Hidden},
        {"right click, then Escape", 1, WM_RBUTTONUP, Normal, false, {VK_ESCAPE}, true, Normal},
        {"right click, then Exit Corvane", 1, WM_RBUTTONUP, Hidden, false, {VK_DOWN, VK_RETURN}, true, Closed},
        {"a real move inside at x=515", MK_LBUTTON, WM_LBUTTONDBLCLK, Maximised, true, {}, false, Maximised},
    };
    TempDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        App app;
        ASSERT_TRUE(app.Start());
        if (row.before != Normal) ShowWindow(app.hwnd(), row.before == Hidden ? SW_MINIMIZE : SW_MAXIMIZE);
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
