// Launching favourites through the real window: the cores programs start and end on, what starts meanwhile, the
// window afterwards, and the notification-area icon.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstring>

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

// The cores each program that reported to `report` started on, ascending.
Masks StartedOn(const std::string& report) {
    Masks masks;
    const std::string text = ReadBytes(report).value_or(""), tag = "first=0x";
    for (std::size_t at = 0; (at = text.find(tag, at)) != std::string::npos; at += tag.size())
        masks.push_back(static_cast<DWORD_PTR>(std::strtoull(text.c_str() + at + tag.size(), nullptr, 16)));
    std::sort(masks.begin(), masks.end());
    return masks;
}

DWORD_PTR OwnMask() {
    DWORD_PTR own = 0, all = 0;
    GetProcessAffinityMask(GetCurrentProcess(), &own, &all);
    return own;
}

}  // namespace

// Each row launches one favourite while victim.exe, the program of another favourite, already runs on every core.
// Inside the launch (at its first event when it pins at the start, else once its program runs, in its pause) the
// row selects that favourite, maybe after a click on Launch or a request for Bert on CPU 1 (these wait for the
// launch). The launched programs start on their cores, nothing else moves, and a launch leaves no handle behind.
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
    // Pins at the start: created on its core and pinned by its handle, one of them, or neither (pinned by name).
    const StartPins both{true, true};
    const StartPins byHandle{false, true};
    const StartPins created{true, false};
    const StartPins byName{false, false};
    const char* const noStart = "Windows could not start \"";
    const char* const refused = "Please make a selection.";
    const Row rows[] = {
        {"CPU 1 by a double click", 1, LBN_DBLCLK, both, Nothing, O::Pinned, Shown::Hidden, {2}, ""},
        {"CPU 0 pinned by its handle alone", 0, BN_CLICKED, byHandle, Nothing, O::Pinned, Shown::Hidden, {1}, ""},
        // After pinned rows: a window left on that core would start this program there.
        {"Default", 2, BN_CLICKED, both, Nothing, O::Unpinned, Shown::Hidden, {all}, ""},
        {"Default from a Corvane on one core", 2, BN_CLICKED, both, OnOneCore, O::Unpinned, Shown::Hidden, {all}, ""},
        {"start-in too short", 3, BN_CLICKED, both, Nothing, O::Refused, Shown::Normal, {}, refused},
        {"a missing target", 4, BN_CLICKED, both, Nothing, O::NotStarted, Shown::Normal, {}, noStart},
        {"a document of no known type", 6, BN_CLICKED, both, Nothing, O::NotStarted, Shown::Normal, {}, noStart},
        {"another favourite selected", 0, BN_CLICKED, both, Selected, O::Pinned, Shown::Hidden, {1}, ""},
        {"another favourite selected in the pause", 0, BN_CLICKED, byName, Selected, O::Pinned, Shown::Hidden, {1}, ""},
        {"Launch clicked meanwhile", 0, BN_CLICKED, created, Clicked, O::Pinned, Shown::Hidden, {1, 2}, ""},
        {"Launch clicked in the pause", 0, BN_CLICKED, byName, Clicked, O::Pinned, Shown::Hidden, {1, 2}, ""},
        {"a request meanwhile", 0, BN_CLICKED, created, AskedFor, O::Pinned, Shown::Hidden, {1, 2}, ""},
        {"a request in the pause", 0, BN_CLICKED, byName, AskedFor, O::Pinned, Shown::Hidden, {1, 2}, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const PinsFor pins(row.pins);
        ProcessReaper reaper{{"apple.exe", "bert.exe", "victim.exe"}};
        const std::string apple = Place(dir, "apple.exe"), bert = Place(dir, "bert.exe");
        std::string victim = Place(dir, "victim.exe"), document = dir.Join("notes.crvdoc");
        const std::string run = dir.Join("run");  // where the programs report, as they start there
        ASSERT_TRUE(CreateDirectoryA(run.c_str(), nullptr) && WriteBytes(document, "notes"));
        ASSERT_TRUE(WriteBytes(
            "Favorites",
            Fav("Apple", Core::Cpu0, apple, run, "None") + Fav("Bert", Core::Cpu1, bert, run, "None") +
                Fav("Bert", Core::Default, bert, run, "-x") + Fav("Short", Core::Cpu0, apple, "c", "None") +
                Fav("Ghost", Core::Cpu0, kGhost, run, "None") + Fav("Victim", Core::Cpu1, victim, run, "None") +
                Fav("Notes", Core::Cpu1, document, run, "None")));
        PROCESS_INFORMATION pi{};
        STARTUPINFOA si{};
        si.cb = sizeof si;
        ASSERT_TRUE(CreateProcessA(nullptr, victim.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        App app;
        ASSERT_TRUE(app.Start());
        app.Select(row.index);
        if (row.act == OnOneCore) {
            ASSERT_TRUE(SetProcessAffinityMask(GetCurrentProcess(), 1));
        }
        const DWORD_PTR before = OwnMask();
        DWORD_PTR inBox = before;
        app.boxes().whileShown = [&] { inBox = OwnMask(); };
        DWORD handles = 0, handlesAfter = 0;
        ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &handles));
        const bool pause = !row.pins.atCreation && !row.pins.byHandle;
        LaunchWithMidway(app, pause ? 10 : 0, row.notice, [&] {
            if (pause && ProcessIds("apple.exe").empty()) return false;
            if (row.act == Clicked) {
                app.Select(1);
                Press(app, kLaunchButton);
            }
            if (row.act == AskedFor) Request(app, "Bert on CPU 1");
            if (row.act >= Selected) app.Select(5);
            EXPECT_TRUE(ProcessIds("bert.exe").empty()) << "a launch ran inside the first";
            return true;
        });
        EXPECT_EQ(app.win().lastLaunch(), row.outcome);
        EXPECT_EQ(StateOf(app.hwnd()), row.after);
        const auto launched = [] {
            Masks masks = Affinities("apple.exe"), berts = Affinities("bert.exe");
            masks.insert(masks.end(), berts.begin(), berts.end());
            std::sort(masks.begin(), masks.end());
            return masks;
        };
        const std::string report = run + "\\report.txt";
        EXPECT_TRUE(PumpUntil([&] { return StartedOn(report).size() == row.atEnd.size(); }));
        // Pinned only once it runs, a program may or may not have started before the pin.
        if (row.pins.atCreation || row.index == 2) {
            EXPECT_EQ(StartedOn(report), row.atEnd) << "not on its core from its first instruction";
        }
        EXPECT_TRUE(PumpUntil([&] { return launched() == row.atEnd; })) << launched().size();
        EXPECT_EQ(Affinities("victim.exe"), Masks{all}) << "another program moved, or started";
        EXPECT_EQ(OwnMask(), before);
        EXPECT_EQ(inBox, before) << "Corvane on the favourite's core while its box is up";
        ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &handlesAfter));
        EXPECT_EQ(handlesAfter, handles);
        std::vector<std::string> told;
        for (const BoxSeen& box : app.boxes().seen())
            told.push_back(box.text.substr(0, std::strlen(row.box)));
        EXPECT_EQ(told, std::vector<std::string>(*row.box != '\0', row.box));
        if (!row.atEnd.empty()) {
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
        ASSERT_TRUE(SetCursorPos(at.x, at.y) && GetCursorPos(&cursor) && cursor.x == at.x && cursor.y == at.y);
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
