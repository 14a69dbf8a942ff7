// Launching favourites through the real window: the cores programs start and end on, what starts meanwhile, the
// window afterwards, and the notification-area icon.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "launcher/process_lookup.hpp"
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

// Opens a menu by `open`, then presses `keys` (an access key by its letter) in it once it shows; its items.
std::string InMenu(const std::vector<WPARAM>& keys, const std::function<void()>& open) {
    std::string items;
    const Ticker ticker(
        [&] {
            HWND menu = nullptr;
            while ((menu = FindWindowExA(nullptr, menu, "#32768", nullptr)) && !IsWindowVisible(menu))
                continue;
            if (!menu || !items.empty()) return;
            items = MenuItems(reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0)));
            for (WPARAM key : keys)
                PostMessageA(menu, WM_KEYDOWN, key, 0);
        },
        20);
    open();
    return items;
}

// The favorites list's context menu: at entry `index` as a right click opens it, or from the keyboard (-1).
std::string ListMenu(App& app, int index, const std::vector<WPARAM>& keys) {
    HWND list = app.control(kFavoritesList);
    RECT item{};
    SendMessageA(list, LB_GETITEMRECT, WPARAM(index), LPARAM(&item));
    POINT at{item.left + 5, item.top + 2};
    ClientToScreen(list, &at);
    const LPARAM where = index < 0 ? MAKELPARAM(-1, -1) : MAKELPARAM(at.x, at.y);
    return InMenu(keys, [&] { SendMessageA(list, WM_CONTEXTMENU, WPARAM(list), where); });
}

// The launcher's pins at the start for one scope.
struct PinsFor {
    StartPins saved = Launcher::startPins;
    explicit PinsFor(StartPins pins) { Launcher::startPins = pins; }
    ~PinsFor() { Launcher::startPins = saved; }
};

// The handles this process holds: GetProcessHandleCount answers 0 under Wine.
int HandleCount() {
    int count = 0;
    for (DWORD flags = 0, handle = 4; handle < 0x4000; handle += 4)
        count += GetHandleInformation(reinterpret_cast<HANDLE>(UINT_PTR{handle}), &flags) != FALSE;
    return count;
}

}  // namespace

// Each row launches one favourite while victim.exe, another favourite's program, runs on every core; in the pause
// some rows select that favourite, after a click on Launch or a request for Bert on CPU 1 (these wait) or alone.
// What was launched starts on its core, nothing else moves, and no handle is left behind.
TEST(Launch, CoresStartInParametersAndWhatHappensMeanwhile) {
    enum Act { Nothing, OnOneCore, Selected, Clicked, AskedFor };  // OnOneCore: Corvane runs on CPU 0 alone
    struct Row {
        const char* name;
        int index;  // 0: CPU 0, 1: CPU 1, 2: Default with "-x", 3: start-in too short, 4: missing, 6: a document
        WORD notice;
        StartPins pins;
        Act act;
        O outcome;
        Shown after;
        Masks atEnd;      // of apple.exe and bert.exe; where created on its core, also the core each started on
        const char* box;  // what the launch told, up to the reason
    };
    DWORD_PTR own = 0;
    DWORD_PTR all = 0;  // every core of the machine, where Default leaves a program
    ASSERT_TRUE(GetProcessAffinityMask(GetCurrentProcess(), &own, &all) && (all & 3) == 3) << "needs two cores";
    // Pins at the start: created on its core and pinned by its handle, or one of them (then pinned by name too).
    const StartPins both{true, true};
    const StartPins byHandle{false, true};
    const StartPins created{true, false};
    using enum Core;
    const Row rows[] = {
        {"CPU 1 by a double click", 1, LBN_DBLCLK, both, Nothing, O::Pinned, Shown::Hidden, {2}, ""},
        {"CPU 0 pinned by its handle alone", 0, BN_CLICKED, byHandle, Nothing, O::Pinned, Shown::Hidden, {1}, ""},
        // After pinned rows: a window left on that core would start this program there.
        {"Default", 2, BN_CLICKED, both, Nothing, O::Unpinned, Shown::Hidden, {all}, ""},
        {"Default from a Corvane on one core", 2, BN_CLICKED, both, OnOneCore, O::Unpinned, Shown::Hidden, {all}, ""},
        {"start-in too short", 3, BN_CLICKED, both, Nothing, O::Refused, Shown::Normal, {}, "Please make a selection."},
        {"a missing target", 4, BN_CLICKED, both, Nothing, O::NotStarted, Shown::Normal, {}, "Windows could not"},
        {"a type with no program", 6, BN_CLICKED, both, Nothing, O::NotStarted, Shown::Normal, {}, "Windows could not"},
        {"another favourite selected", 0, BN_CLICKED, created, Selected, O::Pinned, Shown::Hidden, {1}, ""},
        {"Launch clicked", 0, BN_CLICKED, created, Clicked, O::Pinned, Shown::Hidden, {1, 2}, ""},
        {"a request", 0, BN_CLICKED, created, AskedFor, O::Pinned, Shown::Hidden, {1, 2}, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const PinsFor pins(row.pins);
        ProcessReaper reaper{{"apple.exe", "bert.exe", "victim.exe"}};
        const std::string apple = Place(dir, "apple.exe"), bert = Place(dir, "bert.exe");
        const std::string victim = Place(dir, "victim.exe"), document = dir.Join("notes.crvdoc");
        const std::string run = dir.Join("run");  // where the programs report, as they start there
        ASSERT_TRUE(CreateDirectoryA(run.c_str(), nullptr) && WriteBytes(document, "notes"));
        ASSERT_TRUE(WriteBytes("Favorites",
                               Fav("Apple", Cpu0, apple, run, "None") + Fav("Bert", Cpu1, bert, run, "None") +
                                   Fav("Bert", Default, bert, run, "-x") + Fav("Short", Cpu0, apple, "c", "None") +
                                   Fav("Ghost", Cpu0, kGhost, run, "None") + Fav("Victim", Cpu1, victim, run, "None") +
                                   Fav("Notes", Cpu1, document, run, "None")));
        ASSERT_GT(INT_PTR(ShellExecuteA(nullptr, nullptr, victim.c_str(), nullptr, nullptr, SW_SHOWNORMAL)), 32);
        App app;
        ASSERT_TRUE(app.Start());
        app.Select(row.index);
        ASSERT_TRUE(row.act != OnOneCore || SetProcessAffinityMask(GetCurrentProcess(), 1));
        const auto before = AffinityOf(GetCurrentProcess());
        auto inBox = before;
        app.boxes().whileShown = [&] { inBox = AffinityOf(GetCurrentProcess()); };
        const int handles = HandleCount();
        const bool acted = LaunchWithMidway(app, 10, row.notice, [&] {
            if (row.act < Selected) return true;
            if (ProcessIds("apple.exe").empty()) return false;
            if (row.act == Clicked) app.Select(1);
            if (row.act == Clicked) Press(app, kLaunchButton);
            if (row.act == AskedFor) Request(app, "Bert on CPU 1");
            app.Select(5);
            EXPECT_TRUE(ProcessIds("bert.exe").empty()) << "a launch ran inside the first";
            return true;
        });
        EXPECT_TRUE(acted || row.act < Selected) << "the launch had no pause";
        EXPECT_EQ(app.win().lastLaunch(), row.outcome);
        EXPECT_EQ(StateOf(app.hwnd()), row.after);
        const std::string report = run + "\\report.txt";
        const auto fromTheStart = [&] { return std::ranges::is_permutation(ReportedMasks(report), row.atEnd); };
        EXPECT_TRUE(!row.pins.atCreation || PumpUntil(fromTheStart)) << "not on its core from its first instruction";
        EXPECT_TRUE(PumpUntil([&] { return Affinities("apple.exe", "bert.exe") == row.atEnd; }));
        EXPECT_EQ(Affinities("victim.exe"), Masks{all}) << "another program moved, or started";
        EXPECT_EQ(AffinityOf(GetCurrentProcess()), before);
        EXPECT_EQ(inBox, before) << "Corvane on the favourite's core while its box is up";
        EXPECT_TRUE(row.outcome == O::NotStarted || HandleCount() == handles);  // Wine's shell keeps one then
        const std::vector<BoxSeen>& told = app.boxes().seen();
        EXPECT_EQ(told.size(), *row.box != '\0');
        EXPECT_TRUE(told.empty() || (told[0].text.starts_with(row.box) && told[0].style == MB_ICONINFORMATION));
        if (!row.atEnd.empty()) {
            EXPECT_TRUE(PumpUntil([&] { return ReportedArgs(report).has_value(); }));
            EXPECT_EQ(ReportedArgs(report), row.index == 2 ? "-x" : "");
        }
        SetProcessAffinityMask(GetCurrentProcess(), own);
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
        const std::string items = InMenu(row.keys, [&] { SendMessageA(app.hwnd(), WM_MOUSEMOVE, row.wp, row.lp); });
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
    ASSERT_TRUE(WriteBytes("Favorites", Fav("A", Core::Cpu0, kGhost, dir.path(), "None") +
                                            Fav("B", Core::Cpu0, kGhost, dir.path(), "None") +
                                            Fav("C", Core::Cpu1, game, dir.path(), "None")));
    App app;
    ASSERT_TRUE(app.Start());
    app.Click(kAddButton);
    app.SetText(kTitleEdit, "Typed");
    ShowWindow(app.hwnd(), SW_MINIMIZE);
    const auto trayMenu = [&app](const std::vector<WPARAM>& keys) {
        return InMenu(keys, [&app] { SendMessageA(app.hwnd(), kTrayCallback, 1, WM_RBUTTONUP); });
    };
    EXPECT_EQ(trayMenu({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}), "A on CPU 0|B on CPU 0|C on CPU 1||Exit Corvane|");
    EXPECT_TRUE(PumpUntil([] { return Affinities("tray.exe") == Masks{2}; })) << "the third did not start on CPU 1";
    EXPECT_EQ(std::make_tuple(StateOf(app.hwnd()), app.Text(kTitleEdit), app.Selected()),
              std::make_tuple(Shown::Hidden, std::string("Typed"), 0));
    app.SetText(kTargetEdit, "c:\\nowhere\\new.exe");
    app.Click(kSaveButton);
    EXPECT_EQ(trayMenu({VK_ESCAPE}), "A on CPU 0|B on CPU 0|C on CPU 1|Typed on CPU 0||Exit Corvane|");
    Press(app, kRemoveButton);  // the one saved, selected by Save
    EXPECT_EQ(trayMenu({VK_ESCAPE}), "A on CPU 0|B on CPU 0|C on CPU 1||Exit Corvane|");
}

// A right click selects and loads the entry under the pointer; the keyboard's menu is the selected entry's.
TEST(FavoritesMenu, EachItemDoesWhatItSays) {
    struct Row {
        int at;      // -1: from the keyboard, on the second entry
        WPARAM key;  // the item's access key
        std::size_t left;
        bool shortcut;
        O launch;
    };
    const Row rows[] = {
        {1, 'L', 3, false, O::Unpinned},
        {-1, 'R', 2, false, O::NotPinned},
        {1, 'S', 3, true, O::NotPinned},  // last: the shortcut stays until the case ends
    };
    TempDir dir;
    Desktop desktop;
    const std::string shortcut = desktop.Join("Two on Default.lnk");
    for (const Row& row : rows) {
        SCOPED_TRACE(char(row.key));
        ProcessReaper reaper{{"menu.exe"}};
        const std::string game = Place(dir, "menu.exe");
        ASSERT_TRUE(WriteBytes("Favorites", Fav("One", Core::Default, game, dir.path(), "None") +
                                                Fav("Two", Core::Default, game, dir.path(), "None") +
                                                Fav("Three", Core::Default, game, dir.path(), "None")));
        App app;
        ASSERT_TRUE(app.Start());
        if (row.at < 0) app.Select(1);
        EXPECT_EQ(ListMenu(app, row.at, {row.key}), "&Launch|Create Desktop &Shortcut|&Remove|");
        const auto shown = std::make_pair(app.Selected(), app.Text(kTitleEdit));
        EXPECT_EQ(shown, row.at < 0 ? std::make_pair(-1, std::string()) : std::make_pair(1, std::string("Two")));
        EXPECT_EQ(
            std::make_tuple(app.Favorites().size(), GetFileAttributesA(shortcut.c_str()) != INVALID_FILE_ATTRIBUTES,
                            app.win().lastLaunch()),
            std::make_tuple(row.left, row.shortcut, row.launch));
    }
}

// An existing shortcut is replaced only on Yes; one that cannot be written is told, with the system's reason.
TEST(Shortcut, ReplacedOnlyOnYes) {
    struct Row {
        bool folder;  // a folder of the shortcut's name is in the way
        int answer;
        std::vector<std::string> boxes;  // up to the reason
    };
    const std::string asked = "There is already a shortcut \"Chess on CPU 1.lnk\" on the desktop. Replace it?";
    const Row rows[] = {
        {false, IDNO, {asked}},
        {false, IDYES, {asked, "The shortcut \"Chess on CPU 1.lnk\" is on the desktop."}},
        {true, IDYES, {asked, "Corvane could not create the shortcut \"Chess on CPU 1.lnk\" on the desktop:"}},
    };
    TempDir dir;
    Desktop desktop;
    const std::string lnk = desktop.Join("Chess on CPU 1.lnk");
    ASSERT_TRUE(WriteBytes("Favorites", Fav("Chess", Core::Cpu1, "c:\\games\\chess.exe", dir.path(), "None")));
    App app;
    ASSERT_TRUE(app.Start());
    for (const Row& row : rows) {
        ASSERT_TRUE(row.folder ? CreateDirectoryA(lnk.c_str(), nullptr) : WriteBytes(lnk, "old"));
        app.boxes().answers = {row.answer};
        const std::size_t before = app.boxes().seen().size();
        ListMenu(app, 0, {'S'});
        std::vector<std::string> boxes;
        for (std::size_t i = before; i < app.boxes().seen().size(); ++i) {
            const std::string& text = app.boxes().seen()[i].text;
            const std::size_t reason = text.find(":\n");
            EXPECT_TRUE(reason == std::string::npos || reason + 2 < text.size()) << "no reason given";
            boxes.push_back(text.substr(0, reason == std::string::npos ? reason : reason + 1));
        }
        EXPECT_EQ(boxes, row.boxes);
        EXPECT_EQ(ReadLink(lnk).target.empty(), row.folder || row.answer == IDNO) << "written on No, or not on Yes";
        Desktop::Clear(lnk);
    }
}
