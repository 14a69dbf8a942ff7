// What arrives while Corvane lets events in: launches that overlap (two copies of one program, each on its own
// core), requests from other instances that wait for a launch or a message box and never touch what the user
// typed, and every event from outside at every moment that lets one in.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/launching.hpp"

using namespace corvane;
using namespace corvane::test;

TEST(Overlap, TwoCopiesOfOneProgramEachEndOnTheirCore) {
    // asked: the CPU 1 copy is asked for as another instance asks, while the CPU 0 launch pins by name; otherwise
    // another program starts it on CPU 1 right after the CPU 0 launch created its copy on its core.
    for (bool ask : {false, true}) {
        SCOPED_TRACE(ask ? "asked for meanwhile" : "started elsewhere meanwhile");
        TempDir dir;
        const PinsFor pins({true, !ask});
        ProcessReaper reaper{{"twin.exe"}};
        const std::string twin = Place(dir, "twin.exe");
        ASSERT_TRUE(WriteBytes("Favorites", Fav("Twin", kCpu0, twin, dir.path(), "--report=a.txt") +
                                                Fav("Twin", kCpu1, twin, dir.path(), "--report=b.txt")));
        App app;
        ASSERT_TRUE(app.Start());
        PROCESS_INFORMATION rival{};
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string command = "\"" + twin + "\" --report=c.txt";
        const bool done = LaunchWithMidway(app, 10, [&] {
            if (ask) Request(app, "Twin on CPU 1");
            return ask || (CreateProcessA(twin.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                                          nullptr, nullptr, &si, &rival) &&
                           SetProcessAffinityMask(rival.hProcess, 2) && ResumeThread(rival.hThread) != DWORD(-1));
        });
        ASSERT_TRUE(done);
        EXPECT_TRUE(PumpUntil([] { return Affinities("twin.exe") == Masks{1, 2}; })) << Affinities("twin.exe").size();
        CloseHandle(rival.hThread);
        CloseHandle(rival.hProcess);
    }
}

TEST(Overlap, ALaunchClickedDuringALaunchWaitsForItsEnd) {
    TempDir dir;
    const PinsFor pins({true, false});  // the first launch then pins by name, with pauses
    ProcessReaper reaper{{"twin.exe"}};
    const std::string twin = Place(dir, "twin.exe");
    ASSERT_TRUE(WriteBytes("Favorites", Fav("Twin", kCpu0, twin, dir.path(), "--report=a.txt")));
    App app;
    ASSERT_TRUE(app.Start());
    std::size_t copiesRightAfterTheClick = 0;
    const bool clicked = LaunchWithMidway(app, 10, [&] {
        if (ProcessIds("twin.exe").empty()) return false;
        Press(app, kLaunchButton);
        copiesRightAfterTheClick = ProcessIds("twin.exe").size();
        return true;
    });
    ASSERT_TRUE(clicked);
    EXPECT_EQ(copiesRightAfterTheClick, 1u) << "the second launch ran inside the first";
    EXPECT_TRUE(PumpUntil([] { return Affinities("twin.exe") == Masks{1, 1}; })) << Affinities("twin.exe").size();
}

TEST(Overlap, RequestsFromOutsideLeaveWhatTheUserTypedAlone) {
    for (bool box : {false, true}) {  // the request comes while Save's message box is up
        SCOPED_TRACE(box ? "during a message box" : "while the user types");
        TempDir dir;
        ProcessReaper reaper{{"asked.exe"}};
        const std::string asked = Place(dir, "asked.exe");
        const std::string report = dir.Join("asked.txt");
        ASSERT_TRUE(WriteBytes("Favorites", Fav("First", kCpu0, kGhost, dir.path(), "None") +
                                                Fav("Asked", kCpu1, asked, dir.path(), "--report=" + report)));
        App app;
        ASSERT_TRUE(app.Start());
        app.Click(kAddButton);
        app.SetText(kTitleEdit, "Typed");
        app.SetText(kTargetEdit, box ? "" : "c:\\typed\\typed.exe");  // no target: Save refuses it with a box
        app.SetText(kParametersEdit, "-typed");
        const auto editor = [&] {
            return std::vector<std::string>{app.Text(kTitleEdit), app.Text(kTargetEdit), app.Text(kStartInEdit),
                                            app.Text(kParametersEdit), std::to_string(app.Selected())};
        };
        const std::vector<std::string> typed = editor();
        if (box) {
            app.boxes().whileShown = [&] { Request(app, "Asked on CPU 1"); };
            app.Click(kSaveButton);
            EXPECT_TRUE(ProcessIds("asked.exe").empty()) << "launched while the box was up";
        } else {
            Request(app, "Asked on CPU 1");
        }
        EXPECT_TRUE(ReportsCore(report, kCpu1) && app.win().lastLaunch() == O::Pinned);
        EXPECT_EQ(StateOf(app.hwnd()), Shown::Hidden);
        ShowWindow(app.hwnd(), SW_RESTORE);
        EXPECT_EQ(editor(), typed);
        EXPECT_TRUE(app.Visible(kTitleEdit) && !app.Visible(kFavoritesList));
    }
}

// Events from outside at each moment Corvane lets events in. Whatever comes, Favorites ends with every favourite
// the user had, the typed text stays while the window lives, and the window lives on or has closed in order.
TEST(Reentry, EventsAtEachMomentKeepTheFavoritesAndTheTypedText) {
    TempDir dir;
    std::unique_ptr<App> app;
    const std::string first = Fav("Fav 0", kCpu0, kGhost, "c:\\", "None");
    std::string rest;  // the list is longer than the first screen that start-up lists before the rest
    for (int i = 1; i < 100; ++i)
        rest += Fav("Fav " + std::to_string(i), kCpu0, kGhost, "c:\\", "None");
    const std::string list = first + rest;
    const std::string typed = Fav("Typed", kCpu1, "c:\\typed\\typed.exe", "c:\\typed", "None");
    const auto send = [&](UINT msg) { return [&app, msg] { SendMessageA(app->hwnd(), msg, 0, 0); }; };
    const std::function<void()> close = send(WM_CLOSE);
    const std::function<void()> taskbar = send(RegisterWindowMessageA("TaskbarCreated"));
    const std::function<void()> endSession = [&] {
        SendMessageA(app->hwnd(), WM_QUERYENDSESSION, 0, 0);
        SendMessageA(app->hwnd(), WM_ENDSESSION, TRUE, 0);
    };
    const std::function<void()> request = [&] { Request(*app, "Fav 99 on CPU 0"); };
    const std::function<void()> secondStart = [&] { EXPECT_TRUE(Corvane(dir.path()).Ended(15000)); };
    const auto click = [&](std::vector<int> ids) {
        return [&app, ids] {
            for (int id : ids)
                app->Click(id);
        };
    };
    const std::function<void()> editTitle = [&] {
        click({kAddButton, kClearButton})();
        app->SetText(kTitleEdit, "Typed");
    };
    const std::function<void()> editAll = [&] {
        editTitle();
        app->SetText(kTargetEdit, "c:\\typed\\typed.exe");
        app->Click(kCpu1Option);
    };
    const std::function<void()> add = click({kAddButton});
    const std::function<void()> save = click({kSaveButton});
    // FirstPump: the first event pump of `trigger`, run after `prepare`.
    enum Moment { AddingTheIcon, UnreadableBox, InBox, FirstPump, LaunchPause };
    struct Row {
        const char* name;
        Moment at;
        std::function<void()> event;
        std::function<void()> prepare = {};
        std::function<void()> trigger = {};
        std::string atEnd = {};  // "": the list as it was
    };
    const Row rows[] = {
        {"WM_CLOSE while the icon is added", AddingTheIcon, close},
        {"log-off while the icon is added", AddingTheIcon, endSession},
        {"a /launch request while the icon is added", AddingTheIcon, request},
        {"TaskbarCreated while the icon is added", AddingTheIcon, taskbar},
        {"a second start while the icon is added", AddingTheIcon, secondStart},
        {"Add while the icon is added", AddingTheIcon, add},
        {"WM_CLOSE in the unreadable box", UnreadableBox, close},
        {"a /launch request in the unreadable box", UnreadableBox, request},
        {"WM_CLOSE in the fill-in box", InBox, close, editTitle, save},
        {"Save again in the fill-in box", InBox, save, editTitle, save},
        {"WM_CLOSE in a launch's pause", LaunchPause, close},
        {"log-off in a launch's pause", LaunchPause, endSession},
        {"a /launch request in a launch's pause", LaunchPause, request},
        {"a second start in a launch's pause", LaunchPause, secondStart},
        {"WM_CLOSE while saving", FirstPump, close, editAll, save, list + typed},
        {"log-off while saving", FirstPump, endSession, editAll, save, list + typed},
        {"WM_CLOSE while removing", FirstPump, close, {}, [&] { app->Click(kRemoveButton); }, rest},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(WriteBytes("Favorites", list));
        bool came = false;
        const std::function<void()> event = [&] {
            came = true;
            row.event();
        };
        Held held{row.at == UnreadableBox
                      ? CreateFileA("Favorites", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                      : nullptr,
                  CloseHandle};
        ShellStandIn shell(row.at == AddingTheIcon ? event : nullptr);
        ASSERT_TRUE(shell.found()) << "Shell_NotifyIcon would go to the shell's own window";
        app = std::make_unique<App>();
        if (row.at == UnreadableBox || row.at == InBox) app->boxes().whileShown = event;
        ASSERT_TRUE(app->Start() || row.at == AddingTheIcon || row.at == UnreadableBox);
        held.reset();
        if (row.prepare) row.prepare();
        const Ticker firstPump(event);
        if (row.at == FirstPump) firstPump.Post();
        if (row.trigger) row.trigger();
        if (row.at == LaunchPause) {  // in its first pause
            LaunchWithMidway(*app, 600, [&] {
                event();
                return true;
            });
        }
        ASSERT_TRUE(came);
        EXPECT_TRUE(app->win().closed() || StateOf(app->hwnd()) == Shown::Normal);
        EXPECT_TRUE(app->win().closed() || row.at != InBox || app->Text(kTitleEdit) == "Typed");
        ASSERT_TRUE(app->win().closed() || app->Close());
        EXPECT_EQ(ReadBytes("Favorites"), row.atEnd.empty() ? list : row.atEnd);
        EXPECT_FALSE(ReadBytes("Favorites.unsaved").has_value());
        ASSERT_TRUE(WriteBytes("Favorites", "sentinel"));  // nothing may write once the window has closed
        app.reset();
        EXPECT_EQ(ReadBytes("Favorites"), std::string("sentinel"));
    }
}
