// Launching favourites through the real window: the cores programs end up on, the window afterwards, events
// arriving while the pin attempts run, the notification-area icon, and handles left behind.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "app/launch_request.hpp"
#include "support/launching.hpp"

using namespace corvane;
using namespace corvane::test;

namespace {

// keys: pressed once the menu shows; forced: the menu was still open after 3 s and ended from here.
struct MenuWatch {
    std::vector<WPARAM> keys;
    ULONGLONG start = 0;
    bool seen = false, forced = false;
    int items = 0;
    std::string text;
} g_menu;

void CALLBACK WatchMenu(HWND, UINT, UINT_PTR, DWORD) {
    HWND menu = nullptr;  // the popup menu's window, once it shows
    while ((menu = FindWindowExA(nullptr, menu, "#32768", nullptr)) && !IsWindowVisible(menu))
        continue;
    if (menu && !g_menu.seen) {
        g_menu.seen = true;
        const auto handle = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
        g_menu.items = GetMenuItemCount(handle);
        char text[64] = "";
        g_menu.text.assign(text, GetMenuStringA(handle, 0, text, sizeof text, MF_BYPOSITION));
        for (WPARAM key : g_menu.keys)
            PostMessageA(menu, WM_KEYDOWN, key, 0);
    } else if (GetTickCount64() - g_menu.start > 3000) {
        g_menu.forced = true, EndMenu();
    }
}

bool IconAlive(HICON icon) {
    ICONINFO i{};
    return GetIconInfo(icon, &i) && (DeleteObject(i.hbmColor), DeleteObject(i.hbmMask), true);
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
    };
    const Row rows[] = {
        // image: a pin_target copy, or nullptr for the ghost target
        {"CPU 0 with parameters", kCpu0, "cpu0.exe", "run", "--life=8 -x", O::Pinned, Shown::Hidden},
        {"CPU 1, parameters None", kCpu1, "cpu1.exe", "run", "None", O::Pinned, Shown::Hidden},
        {"Default", kCpuDefault, "dflt.exe", "run", "--life=8", O::Unpinned, Shown::Hidden},
        {"start-in folder too short", kCpu0, "short.exe", "c", "--life=8", O::Refused, Shown::Normal},
        {"a target that never runs", kCpu0, nullptr, "run", "None", O::NotPinned, Shown::Normal},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        ProcessReaper reaper{{row.image ? row.image : "ghost.exe"}};
        CreateDirectoryA(dir.Join("run").c_str(), nullptr);
        ASSERT_TRUE(WriteBytes("Favorites", Fav("Row", row.code, row.image ? Place(dir, row.image) : kGhost,
                                                row.startIn == "run" ? dir.Join("run") : row.startIn, row.params)));
        App app;
        ASSERT_TRUE(app.Start());
        const DWORD_PTR ownBefore = Affinity(GetCurrentProcess());
        const ULONGLONG elapsed = TimedLaunch(app);
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
        LaunchWithMidway(app, 10, [&] {
            const std::vector<DWORD> pids = ProcessIds(row.image);
            HANDLE process = pids.empty() ? nullptr : OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pids[0]);
            atFirstEvent = Affinity(process);
            CloseHandle(process);
            return WriteBytes(go, "") && PumpUntil(allStarted, 10000);
        });
        ASSERT_TRUE(g_midwayDone && allStarted());
        EXPECT_EQ(atFirstEvent, MaskFor(row.code)) << "not on its core from its creation";
        EXPECT_EQ(ReportedMasks(report, "first"), Masks(starts, MaskFor(row.code)));
    }
}

TEST(Launch, EventsArrivingWhileThePinAttemptsRun) {
    std::unique_ptr<App> app;
    std::string image, other, report;  // the other favourite's program: its image name, path and report
    // A launch asked for meanwhile runs once this one has ended, not inside it.
    const auto waited = [&] { EXPECT_TRUE(ProcessIds(image).empty() && ReportsCore(report, kCpu1)); };
    // runOther: the other favourite's program runs beforehand; keepsGhost: the launched one is still saved.
    struct Row {
        const char* name;
        bool runOther;
        std::function<void()> act;
        O outcome;
        Shown after;
        bool keepsGhost;
        std::function<void()> check;
    };
    const Row rows[] = {
        {"WM_CLOSE", false, [&] { SendMessageA(app->hwnd(), WM_CLOSE, 0, 0); }, O::WindowGone, Shown::Closed, true, {}},
        {"WM_CLOSE queued while the target field handles a change",
         false,
         [&] { PostMessageA(app->hwnd(), WM_CLOSE, 0, 0), app->SetText(kTargetEdit, other); },
         O::WindowGone,
         Shown::Closed,
         true,
         {}},
        {"Remove", false, [&] { Press(*app, kRemoveButton); }, O::NotPinned, Shown::Normal, false,
         [&] { EXPECT_EQ(app->Favorites(), std::vector<std::string>{"Other on CPU 1"}); }},
        {"another favourite selected", true, [&] { app->Select(1); }, O::Pinned, Shown::Hidden, true,
         [&] { EXPECT_TRUE(ReportsCore(report, kCpu1)); }},
        {"the other favourite's Launch", false, [&] { app->Select(1), Press(*app, kLaunchButton); }, O::NotPinned,
         Shown::Normal, true, waited},
        {"a request from another instance", false, [&] { Request(*app, "Other on CPU 1"); }, O::NotPinned,
         Shown::Normal, true, waited},
    };
    int n = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        image = "other" + std::to_string(n++) + ".exe";
        ProcessReaper reaper{{image}};
        other = Place(dir, image);
        report = dir.Join("other.txt");
        const std::string otherRecord = Fav("Other", kCpu1, other, dir.path(), "--report=" + report);
        const std::string both = Fav("Ghost", kCpu1, kGhost, dir.path(), "None") + otherRecord;
        ASSERT_TRUE(WriteBytes("Favorites", both));
        if (row.runOther) ShellExecuteA(nullptr, nullptr, other.c_str(), ("--report=" + report).c_str(), nullptr, 0);
        ASSERT_TRUE(!row.runOther || PumpUntil([&] { return !ReportedMasks(report, "first").empty(); }, 10000));
        app = std::make_unique<App>();
        ASSERT_TRUE(app->Start());
        // Read by now: only the close's own write can bring the list back.
        ASSERT_TRUE(WriteBytes("Favorites", "changed by another program"));
        const ULONGLONG elapsed = LaunchWithMidway(*app, 600, [&] { return row.act(), true; });
        ASSERT_TRUE(g_midwayDone) << "the launch ended before the event came, after " << elapsed << " ms";
        EXPECT_EQ(app->win().lastLaunch(), row.outcome);
        EXPECT_EQ(StateOf(app->hwnd()), row.after);
        if (row.check) row.check();
        ASSERT_TRUE(app->win().closed() || app->Close());
        EXPECT_EQ(ReadBytes("Favorites"), row.keepsGhost ? both : otherRecord);
        // Nothing may write the file again once the window has closed.
        ASSERT_TRUE(WriteBytes("Favorites", "sentinel"));
        app.reset();
        EXPECT_EQ(ReadBytes("Favorites"), std::string("sentinel"));
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
    constexpr Shown kNormal = Shown::Normal, kHidden = Shown::Hidden, kMax = Shown::Maximised;
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
        g_menu = MenuWatch{row.keys, GetTickCount64(), false, false, 0, {}};
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, WatchMenu);
        SendMessageA(app.hwnd(), WM_MOUSEMOVE, row.wp, row.lp);
        KillTimer(nullptr, timer);
        EXPECT_EQ(std::make_tuple(g_menu.seen, g_menu.forced, g_menu.items, g_menu.text),
                  std::make_tuple(row.menu, false, row.menu ? 1 : 0, std::string(row.menu ? "Exit Corvane" : "")));
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
    for (int i = 0; i < 30; ++i)
        Press(app, kLaunchButton), pinned += app.win().lastLaunch() == O::Pinned;
    EXPECT_EQ(pinned, 30);
    EXPECT_LE(OpenHandles(), before + 5);
}

// Events from outside at each moment Corvane lets events in. Whatever comes, Favorites (Favorites.unsaved when it
// could not be read) ends with every favourite the user had, the typed text stays while the window lives, and the
// window lives on or has closed in order.
TEST(Reentry, EventsAtEachMomentKeepTheFavoritesAndTheTypedText) {
    TempDir dir;
    std::unique_ptr<App> app;
    std::string list;  // longer than the first screen that start-up lists before the rest
    for (int i = 0; i < 100; ++i)
        list += Fav("Fav " + std::to_string(i), kCpu0, kGhost, "c:\\", "None");
    const std::string typed = Fav("Typed", kCpu1, "c:\\typed\\typed.exe", "c:\\typed", "None");
    const auto send = [&](UINT msg, WPARAM wp) { return [&app, msg, wp] { SendMessageA(app->hwnd(), msg, wp, 0); }; };
    const std::function<void()> close = send(WM_CLOSE, 0), taskbar = send(RegisterWindowMessageA("TaskbarCreated"), 0);
    const std::function<void()> endSession = [&] {
        SendMessageA(app->hwnd(), WM_QUERYENDSESSION, 0, 0);
        SendMessageA(app->hwnd(), WM_ENDSESSION, TRUE, 0);
    };
    const std::function<void()> request = [&] {  // from `corvane.exe /launch "Fav 99 on CPU 0"`
        COPYDATASTRUCT data{kLaunchRequestTag, 15, const_cast<char*>("Fav 99 on CPU 0")};
        SendMessageA(app->hwnd(), WM_COPYDATA, 0, LPARAM(&data));
    };
    const std::function<void()> secondStart = [&] {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        std::string program = Beside("..\\..\\corvane.exe");
        ASSERT_TRUE(
            CreateProcessA(program.c_str(), program.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
        EXPECT_TRUE(PumpUntil([&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, 15000));
        CloseHandle(pi.hThread), CloseHandle(pi.hProcess);
    };
    enum Moment { AddingTheIcon, UnreadableBox, FillInBox, LaunchPause, Saving };
    struct Row {
        const char* name;
        Moment at;
        std::function<void()> event;
    };
    const Row rows[] = {
        {"WM_CLOSE while the icon is added", AddingTheIcon, close},
        {"log-off while the icon is added", AddingTheIcon, endSession},
        {"a /launch request while the icon is added", AddingTheIcon, request},
        {"TaskbarCreated while the icon is added", AddingTheIcon, taskbar},
        {"a second start while the icon is added", AddingTheIcon, secondStart},
        {"Add while the icon is added", AddingTheIcon, [&] { Press(*app, kAddButton); }},
        {"WM_CLOSE in the unreadable box", UnreadableBox, close},
        {"a /launch request in the unreadable box", UnreadableBox, request},
        {"WM_CLOSE in the fill-in box", FillInBox, close},
        {"Save again in the fill-in box", FillInBox, [&] { app->Click(kSaveButton); }},
        {"a /launch request in the fill-in box", FillInBox, request},
        {"log-off in a launch's pause", LaunchPause, endSession},
        {"a /launch request in a launch's pause", LaunchPause, request},
        {"a second start in a launch's pause", LaunchPause, secondStart},
        {"WM_CLOSE while saving", Saving, close},
        {"log-off while saving", Saving, endSession},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(WriteBytes("Favorites", list));
        bool came = false;
        const auto event = [&] { came = true, row.event(); };
        Held held{row.at == UnreadableBox
                      ? CreateFileA("Favorites", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                      : nullptr,
                  CloseHandle};
        ShellStandIn shell(row.at == AddingTheIcon ? event : std::function<void()>());
        ASSERT_TRUE(shell.found()) << "Shell_NotifyIcon would go to the shell's own window";
        app = std::make_unique<App>();
        app->boxes().whileShown = row.at == UnreadableBox || row.at == FillInBox ? event : std::function<void()>();
        ASSERT_TRUE(app->Start() || row.at == AddingTheIcon || row.at == UnreadableBox);
        held.reset();
        const bool saves = row.at == Saving;
        if (row.at == FillInBox || saves) {
            app->Click(kAddButton);
            app->Click(kClearButton);
            app->SetText(kTitleEdit, "Typed");
        }
        if (saves) {
            app->SetText(kTargetEdit, "c:\\typed\\typed.exe");
            app->Click(kCpu1Option);
            AtNextPump(event);
        }
        if (row.at == FillInBox || saves) app->Click(kSaveButton);
        if (row.at == LaunchPause) LaunchWithMidway(*app, 600, [&] { return event(), true; });
        ASSERT_TRUE(came);
        EXPECT_TRUE(app->win().closed() || StateOf(app->hwnd()) == Shown::Normal);
        EXPECT_TRUE(app->win().closed() || row.at != FillInBox || app->Text(kTitleEdit) == "Typed");
        ASSERT_TRUE(app->win().closed() || app->Close());
        EXPECT_EQ(ReadBytes("Favorites"), saves ? list + typed : list);
        EXPECT_FALSE(ReadBytes("Favorites.unsaved").has_value());
        ASSERT_TRUE(WriteBytes("Favorites", "sentinel"));  // nothing may write once the window has closed
        app.reset();
        EXPECT_EQ(ReadBytes("Favorites"), std::string("sentinel"));
    }
}
