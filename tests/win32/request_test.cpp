// Launches that overlap: two copies of one program each on its own core, and requests from other instances that
// wait for a launch or a message box and never touch what the user typed.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/launching.hpp"

using namespace corvane;
using namespace corvane::test;

TEST(Overlap, TwoCopiesOfOneProgramEachEndOnTheirCore) {
    // asked: the CPU 1 copy is asked for as another instance asks, while the CPU 0 launch pins by name; otherwise
    // another program starts it on CPU 1 right after the CPU 0 launch created its copy on its core.
    const bool asked[] = {false, true};
    for (bool ask : asked) {
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
        STARTUPINFOA si{sizeof si};
        std::string command = "\"" + twin + "\" --report=c.txt";
        LaunchWithMidway(app, 10, [&] {
            if (ask) return Request(app, "Twin on CPU 1"), true;
            return CreateProcessA(twin.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                                  nullptr, &si, &rival) &&
                   SetProcessAffinityMask(rival.hProcess, 2) && ResumeThread(rival.hThread) != DWORD(-1);
        });
        ASSERT_TRUE(g_midwayDone);
        EXPECT_TRUE(PumpUntil([] { return Affinities("twin.exe") == Masks{1, 2}; })) << Affinities("twin.exe").size();
        if (rival.hProcess) CloseHandle(rival.hThread), CloseHandle(rival.hProcess);
    }
}

TEST(Overlap, RequestsFromOutsideLeaveWhatTheUserTypedAlone) {
    const bool duringBox[] = {false, true};  // the request comes while Save's message box is up
    for (bool box : duringBox) {
        SCOPED_TRACE(box ? "during a message box" : "while the user types");
        TempDir dir;
        ProcessReaper reaper{{"asked.exe"}};
        const std::string asked = Place(dir, "asked.exe"), report = dir.Join("asked.txt");
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
