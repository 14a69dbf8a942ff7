// Launching favourites through the real window: the cores programs start and end on, what starts meanwhile, the
// window afterwards, and the notification-area icon.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "support/launching.hpp"

using namespace corvane;
using namespace corvane::test;

namespace {

// Each item's text followed by '|' (a separator's text is empty).
std::string MenuItems(HMENU menu) {
    std::string items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[64] = "";
        items.append(text, GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION)).append("|");
    }
    return items;
}

// What ends a menu: keys, then an access key (0: none).
struct Keys {
    std::vector<WPARAM> keys;
    char access;
};

// The popup menu, once it shows: its items; then the keys that end it.
struct MenuWatch {
    Keys end;
    std::string items;
    void Look() {
        HWND menu = nullptr;  // the popup menu's window, once it shows
        while ((menu = FindWindowExA(nullptr, menu, "#32768", nullptr)) && !IsWindowVisible(menu))
            continue;
        if (!menu || !items.empty()) return;
        items = MenuItems(reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0)));
        for (WPARAM key : end.keys)
            PostMessageA(menu, WM_KEYDOWN, key, 0);
        if (end.access) PostMessageA(menu, WM_CHAR, WPARAM(end.access), 0);
    }
};

// Opens a menu by `open` and ends it by `end`; the items it showed.
std::string InMenu(const Keys& end, const std::function<void()>& open) {
    MenuWatch watch{end, ""};
    const Ticker ticker([&watch] { watch.Look(); }, 20);
    open();
    return watch.items;
}

// The favorites list's context menu: at entry `index` as a right click opens it, or for the selected entry from
// the keyboard (-1).
std::string ListMenu(App& app, int index, const Keys& end) {
    HWND list = app.control(kFavoritesList);
    RECT item{};
    SendMessageA(list, LB_GETITEMRECT, WPARAM(index < 0 ? 0 : index), LPARAM(&item));
    POINT at{item.left + 5, item.top + 2};
    ClientToScreen(list, &at);
    const LPARAM where = index < 0 ? MAKELPARAM(-1, -1) : MAKELPARAM(at.x, at.y);
    return InMenu(end, [&] { SendMessageA(list, WM_CONTEXTMENU, WPARAM(list), where); });
}

// The launcher's pins at the start for one scope.
struct PinsFor {
    StartPins saved = Launcher::startPins;
    explicit PinsFor(StartPins pins) { Launcher::startPins = pins; }
    ~PinsFor() { Launcher::startPins = saved; }
};

}  // namespace

// Each row launches one favourite of a list of five, all but the last a copy of one program. At the launch's
// first event, before any pin by name (that pauses first), the program already runs on its core; copies started
// elsewhere, asked for by another instance or clicked meanwhile (these wait for the launch) keep theirs.
TEST(Launch, CoresStartInParametersAndWhatStartsMeanwhile) {
    enum Act { Nothing, Elsewhere, AskedFor, Clicked };
    struct Row {
        const char* name;
        int index;  // 0: CPU 0, 1: CPU 1, 2: Default with "-x", 3: a start-in folder too short, 4: a ghost
        WORD notice;
        StartPins pins;
        Act act;
        O outcome;
        Shown after;
        Masks atFirstEvent, atEnd;
    };
    DWORD_PTR own = 0;
    DWORD_PTR all = 0;  // every core of the machine, where Default leaves a program
    ASSERT_TRUE(GetProcessAffinityMask(GetCurrentProcess(), &own, &all) && (all & 3) == 3) << "needs two cores";
    // Pins at the start: created on its core and pinned by its handle, or only one of them.
    const StartPins both{true, true};
    const StartPins byHandle{false, true};
    const StartPins created{true, false};
    const Row rows[] = {
        {"CPU 1 by a double click", 1, LBN_DBLCLK, both, Nothing, O::Pinned, Shown::Hidden, {2}, {2}},
        {"CPU 0 pinned by its handle alone", 0, BN_CLICKED, byHandle, Nothing, O::Pinned, Shown::Hidden, {1}, {1}},
        // After pinned rows: a window left on that core would start this program there.
        {"Default", 2, BN_CLICKED, both, Nothing, O::Unpinned, Shown::Hidden, {all}, {all}},
        {"start-in folder too short", 3, BN_CLICKED, both, Nothing, O::Refused, Shown::Normal, {}, {}},
        {"a target that never runs", 4, BN_CLICKED, both, Nothing, O::NotPinned, Shown::Normal, {}, {}},
        // No pin by name follows a pin at the start to move the copy started elsewhere.
        {"a copy started elsewhere on CPU 1", 0, BN_CLICKED, both, Elsewhere, O::Pinned, Shown::Hidden, {1}, {1, 2}},
        {"a copy asked for meanwhile", 0, BN_CLICKED, created, AskedFor, O::Pinned, Shown::Hidden, {1}, {1, 2}},
        {"Launch clicked meanwhile", 0, BN_CLICKED, created, Clicked, O::Pinned, Shown::Hidden, {1}, {1, 1}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const PinsFor pins(row.pins);
        ProcessReaper reaper{{"twin.exe"}};
        const std::string twin = Place(dir, "twin.exe");
        const std::string run = dir.Join("run");  // where the program reports, as it starts there
        CreateDirectoryA(run.c_str(), nullptr);
        ASSERT_TRUE(WriteBytes("Favorites",
                               Fav("Twin", kCpu0, twin, run, "None") + Fav("Twin", kCpu1, twin, run, "None") +
                                   Fav("Twin", kCpuDefault, twin, run, "-x") + Fav("Short", kCpu0, twin, "c", "None") +
                                   Fav("Ghost", kCpu0, kGhost, run, "None")));
        App app;
        ASSERT_TRUE(app.Start());
        app.Select(row.index);
        Masks atFirstEvent;
        std::size_t copies = 0;
        PROCESS_INFORMATION rival{};
        STARTUPINFOA si{};
        si.cb = sizeof si;
        LaunchWithMidway(app, 10, row.notice, [&] {
            atFirstEvent = Affinities("twin.exe");
            if (atFirstEvent.empty()) return false;
            if (row.act == Elsewhere &&
                CreateProcessA(twin.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &rival))
                SetProcessAffinityMask(rival.hProcess, 2);
            if (row.act == AskedFor) Request(app, "Twin on CPU 1");
            if (row.act == Clicked) Press(app, kLaunchButton);
            copies = ProcessIds("twin.exe").size();
            return true;
        });
        EXPECT_EQ(app.win().lastLaunch(), row.outcome);
        EXPECT_EQ(StateOf(app.hwnd()), row.after);
        EXPECT_EQ(atFirstEvent, row.atFirstEvent) << "not on its core from its creation";
        EXPECT_EQ(copies, row.atFirstEvent.size() + (row.act == Elsewhere)) << "a launch ran inside the first";
        EXPECT_TRUE(PumpUntil([&] { return Affinities("twin.exe") == row.atEnd; })) << Affinities("twin.exe").size();
        std::vector<UINT> refusals;
        for (const BoxSeen& box : app.boxes().seen())
            if (box.text == "Please make a selection.") refusals.push_back(box.style);
        EXPECT_EQ(refusals, std::vector<UINT>(row.outcome == O::Refused, MB_ICONINFORMATION | MB_OK));
        if (!row.atEnd.empty()) {
            const std::string report = run + "\\report.txt";
            EXPECT_TRUE(PumpUntil([&] { return ReportedArgs(report).has_value(); }));
            EXPECT_EQ(ReportedArgs(report), row.index == 2 ? "-x" : "");
        }
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
        {"right click, then Exit Corvane", 1, WM_RBUTTONUP, Hidden, false, {VK_UP, VK_RETURN}, true, Closed},
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
        ASSERT_TRUE(SetCursorPos(at.x, at.y) && GetCursorPos(&cursor) && cursor.x == at.x && cursor.y == at.y);
        const std::string items =
            InMenu({row.keys, 0}, [&] { SendMessageA(app.hwnd(), WM_MOUSEMOVE, row.wp, row.lp); });
        EXPECT_EQ(items, row.menu ? "Exit Corvane|" : "");
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

TEST(TrayMenu, TheFavoritesInListOrderAndOneStartedFromIt) {
    std::vector<std::string> displays;
    std::string twenty;  // the first twenty as the menu shows them
    for (int i = 1; i <= 25; ++i) {
        displays.push_back(i == 2 ? "Tom & Jerry" : "Game " + std::to_string(i));
        if (i <= 20) twenty += (i == 2 ? "Tom && Jerry" : displays.back()) + "|";
    }
    EXPECT_EQ(MenuItems(TrayIcon::BuildMenu({}).get()), "Exit Corvane|");
    EXPECT_EQ(MenuItems(TrayIcon::BuildMenu({displays.data(), 3}).get()), "Game 1|Tom && Jerry|Game 3||Exit Corvane|");
    EXPECT_EQ(MenuItems(TrayIcon::BuildMenu(displays).get()), twenty + "More...||Exit Corvane|");

    TempDir dir;
    ProcessReaper reaper{{"tray.exe"}};
    const std::string game = Place(dir, "tray.exe");
    ASSERT_TRUE(WriteBytes("Favorites", Fav("A", kCpu0, kGhost, dir.path(), "None") +
                                            Fav("B", kCpu0, kGhost, dir.path(), "None") +
                                            Fav("C", kCpu1, game, dir.path(), "None")));
    App app;
    ASSERT_TRUE(app.Start());
    app.Click(kAddButton);
    app.SetText(kTitleEdit, "Typed");
    ShowWindow(app.hwnd(), SW_MINIMIZE);
    const auto trayMenu = [&app](const Keys& end) {
        return InMenu(end, [&app] { SendMessageA(app.hwnd(), kTrayCallback, 1, WM_RBUTTONUP); });
    };
    EXPECT_EQ(trayMenu({{VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, 0}), "A on CPU 0|B on CPU 0|C on CPU 1||Exit Corvane|");
    EXPECT_TRUE(PumpUntil([] { return Affinities("tray.exe") == Masks{2}; })) << "the third did not start on CPU 1";
    EXPECT_EQ(StateOf(app.hwnd()), Shown::Hidden);
    EXPECT_EQ(std::make_pair(app.Text(kTitleEdit), app.Selected()), std::make_pair(std::string("Typed"), 0));
    // Added, then the first removed: each shows in the next menu.
    app.SetText(kTargetEdit, "c:\\nowhere\\new.exe");
    app.Click(kSaveButton);
    EXPECT_EQ(trayMenu({{VK_ESCAPE}, 0}), "A on CPU 0|B on CPU 0|C on CPU 1|Typed on CPU 0||Exit Corvane|");
    app.Select(0);
    Press(app, kRemoveButton);
    EXPECT_EQ(trayMenu({{VK_ESCAPE}, 0}), "B on CPU 0|C on CPU 1|Typed on CPU 0||Exit Corvane|");
}

// A right click selects the entry under the pointer, as a click does; the keyboard's menu is the selected entry's.
TEST(FavoritesMenu, EachItemDoesWhatItSays) {
    struct Row {
        const char* name;
        int at;  // -1: from the keyboard, on the second entry
        Keys end;
        int selected;
        const char* title;  // the editor's, loaded by the selection
        std::size_t left;
        bool shortcut;
        O launch;
    };
    const Row rows[] = {
        {"right click on the second, then Escape", 1, {{VK_ESCAPE}, 0}, 1, "Two", 3, false, O::NotPinned},
        {"Launch", 1, {{}, 'l'}, 1, "Two", 3, false, O::Unpinned},
        {"Create Desktop Shortcut", 1, {{}, 's'}, 1, "Two", 3, true, O::NotPinned},
        {"the context-menu key, then Remove", -1, {{}, 'r'}, -1, "", 2, false, O::NotPinned},
    };
    TempDir dir;
    Desktop desktop;
    const std::string shortcut = desktop.Join("Two on Default.lnk");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ProcessReaper reaper{{"menu.exe"}};
        const std::string game = Place(dir, "menu.exe");
        ASSERT_TRUE(WriteBytes("Favorites", Fav("One", kCpuDefault, game, dir.path(), "None") +
                                                Fav("Two", kCpuDefault, game, dir.path(), "None") +
                                                Fav("Three", kCpuDefault, game, dir.path(), "None")));
        DeleteFileA(shortcut.c_str());
        App app;
        ASSERT_TRUE(app.Start());
        if (row.at < 0) app.Select(1);
        EXPECT_EQ(ListMenu(app, row.at, row.end), "&Launch|Create Desktop &Shortcut|&Remove|");
        EXPECT_EQ(std::make_pair(app.Selected(), app.Text(kTitleEdit)),
                  std::make_pair(row.selected, std::string(row.title)));
        EXPECT_EQ(app.Favorites().size(), row.left);
        EXPECT_EQ(GetFileAttributesA(shortcut.c_str()) != INVALID_FILE_ATTRIBUTES, row.shortcut);
        EXPECT_EQ(app.win().lastLaunch(), row.launch);
    }
}

TEST(Shortcut, ReadBackThroughTheShellAndReplacedOnlyOnYes) {
    TempDir dir;
    Desktop desktop;
    const std::string lnk = desktop.Join("a_b_c_d_e_f_g_h_i_j on CPU 1.lnk");
    DeleteFileA(lnk.c_str());
    ASSERT_TRUE(
        WriteBytes("Favorites", Fav(R"(a\b/c:d*e?f"g<h>i|j)", kCpu1, "c:\\games\\chess.exe", dir.path(), "None")));
    App app;
    ASSERT_TRUE(app.Start());
    ListMenu(app, 0, {{}, 's'});
    const ShellLink expected{ThisExePath(),
                             R"(/launch "a\b/c:d*e?f\"g<h>i|j on CPU 1")",
                             dir.path(),
                             "c:\\games\\chess.exe",
                             0,
                             R"(Start a\b/c:d*e?f"g<h>i|j on CPU 1)"};
    EXPECT_EQ(ReadLink(lnk), expected);
    // Asked before replacing: No keeps the file there, Yes writes it again; a file that cannot be written is told.
    ASSERT_TRUE(WriteBytes(lnk, "old"));
    app.boxes().answers = {IDNO};
    ListMenu(app, 0, {{}, 's'});
    EXPECT_EQ(ReadBytes(lnk), "old");
    app.boxes().answers = {IDYES};
    ListMenu(app, 0, {{}, 's'});
    EXPECT_NE(ReadBytes(lnk), "old");
    ASSERT_TRUE(DeleteFileA(lnk.c_str()) && CreateDirectoryA(lnk.c_str(), nullptr));
    app.boxes().answers = {IDYES};
    ListMenu(app, 0, {{}, 's'});
    const std::string name = "\"a_b_c_d_e_f_g_h_i_j on CPU 1.lnk\"";
    const std::string asked = "There is already a shortcut " + name + " on the desktop. Replace it?";
    std::vector<std::string> texts;
    std::vector<UINT> styles;
    for (const BoxSeen& box : app.boxes().seen()) {
        texts.push_back(box.text.substr(0, box.text.find(":\n")));
        styles.push_back(box.style);
    }
    const std::string told = "The shortcut " + name + " is on the desktop.";
    EXPECT_EQ(texts, (std::vector<std::string>{told, asked, asked, told, asked,
                                               "Corvane could not create the shortcut " + name + " on the desktop"}));
    EXPECT_EQ(styles, (std::vector<UINT>{MB_ICONINFORMATION, MB_YESNO, MB_YESNO, MB_ICONINFORMATION, MB_YESNO,
                                         MB_ICONWARNING}));
    EXPECT_GT(app.boxes().seen().back().text.size(), texts.back().size() + 3) << "no reason given";
}
