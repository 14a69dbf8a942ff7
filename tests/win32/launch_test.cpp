// Launching favorites for real: pin_target.exe (built beside this program) is
// copied under the names a test needs, started through the window, and looked
// at from outside (its affinity) and from inside (the report it writes).
#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "launcher/launcher.hpp"
#include "support/harness.hpp"
#include "support/launch_fixture.hpp"

using namespace corvane;
using namespace corvane::test;

namespace {

// When the window finished minimising (hiding included) and when it was gone:
// hiding and destroying a window can take the system a while, and the
// launch's own timing is measured from these moments on.
struct WindowEvents {
    Clock::time_point minimised{};
    Clock::time_point destroyed{};
};

LRESULT CALLBACK WatchWindow(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* events = reinterpret_cast<WindowEvents*>(data);
    const LRESULT result = DefSubclassProc(hwnd, msg, wp, lp);
    if (msg == WM_SIZE && wp == SIZE_MINIMIZED) events->minimised = Clock::now();
    if (msg == WM_NCDESTROY) {
        events->destroyed = Clock::now();
        RemoveWindowSubclass(hwnd, WatchWindow, 1);
    }
    return result;
}

class Launch : public LaunchFixture {
protected:
    void StartWith(const std::string& favorites) {
        file_ = favorites;
        ASSERT_TRUE(WriteFileBytes(dir_.Join("Favorites"), favorites));
        MainWindow::StartResult result{};
        ASSERT_TRUE(app_.Start(&result));
        ASSERT_EQ(result, MainWindow::StartResult::Running);
        ASSERT_TRUE(SetWindowSubclass(app_.hwnd(), WatchWindow, 1, reinterpret_cast<DWORD_PTR>(&events_)));
    }

    // Clicks "Launch"; returns how long the launch sequence took, in seconds.
    double ClickLaunch() {
        EXPECT_TRUE(app_.Enabled(kCommand3));
        events_ = {};
        const auto start = Clock::now();
        app_.Click(kCommand3);
        returned_ = Clock::now();
        return Between(start, returned_);
    }

    // Seconds from the window's minimising to the end of the last launch.
    double MinimisedToReturn() const {
        EXPECT_NE(events_.minimised, Clock::time_point{}) << "the window was not minimised";
        return Between(events_.minimised, returned_);
    }

    std::string file_;
    WindowEvents events_;
    Clock::time_point returned_{};
};

// A success ends the attempts within the pause that follows it; the attempts
// left after an early success would take a second and more.
constexpr double kAfterSuccess = 0.5;

// ------------------------------------------------------------ pinning

TEST_F(Launch, CpuCodesPinTheStartedProgramToTheirCoreAndHideTheWindow) {
    if ((FullMask() & 3) != 3) GTEST_SKIP() << "needs two cores";
    const std::string zero = PlaceTarget("Zero\\cpu_zero.exe");
    const std::string one = PlaceTarget("One\\cpu_one.exe");
    StartWith(Record("Zero", 0, zero, Folder(zero)) + Record("One", 1, one, Folder(one)));
    ASSERT_EQ(app_.Selected(), 0);

    ClickLaunch();
    EXPECT_EQ(State(), 1);
    EXPECT_FALSE(Shown());
    EXPECT_TRUE(app_.win().trayIconAdded());
    EXPECT_LT(MinimisedToReturn(), kAfterSuccess);
    const DWORD pidZero = GetProcessIdByName("cpu_zero.exe");
    ASSERT_NE(pidZero, 0u);
    EXPECT_EQ(AffinityOf(pidZero), 1u);
    const std::optional<Report> zeroReport = AwaitReport(Folder(zero), pidZero, 1);
    ASSERT_TRUE(zeroReport);
    EXPECT_EQ(zeroReport->at("mask"), "0x1");
    EXPECT_EQ(Lower(zeroReport->at("image")), Lower(zero));

    BringBack();
    app_.Pump();
    ASSERT_TRUE(Shown());
    app_.Select(1);
    ClickLaunch();
    EXPECT_LT(MinimisedToReturn(), kAfterSuccess);
    EXPECT_EQ(State(), 1);
    EXPECT_FALSE(Shown());
    const DWORD pidOne = GetProcessIdByName("cpu_one.exe");
    ASSERT_NE(pidOne, 0u);
    EXPECT_EQ(AffinityOf(pidOne), 2u);
    EXPECT_TRUE(AwaitReport(Folder(one), pidOne, 2));
    // The first program keeps its core.
    EXPECT_EQ(AffinityOf(pidZero), 1u);
}

TEST_F(Launch, DefaultStartsTheProgramUnpinnedAndMinimisesAtOnceWithoutALookup) {
    const DWORD_PTR full = FullMask();
    if (full == 1) GTEST_SKIP() << "one core: pinned and unpinned look alike";
    // Were the process looked up, this one, of the same name and already
    // running, would be found and pinned.
    const DWORD early = StartDirectly(PlaceTarget("Early\\plain.exe"));
    ASSERT_NE(early, 0u);
    const std::string target = PlaceTarget("Plain\\plain.exe");
    StartWith(Record("Plain", kDefaultCore, target, Folder(target)));

    ClickLaunch();
    EXPECT_EQ(State(), 1);
    EXPECT_FALSE(Shown());
    EXPECT_LT(MinimisedToReturn(), kAfterSuccess);

    // The new one has started and reports the full mask, unchanged.
    std::vector<std::string> reports;
    ASSERT_TRUE(PumpUntil([&] { return !(reports = ReportsIn(Folder(target))).empty(); }, 5000))
        << "the favorite did not start";
    ASSERT_EQ(reports.size(), 1u);
    const std::optional<Report> report = ReadReport(Folder(target) + "\\" + reports[0]);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->at("mask"), Hex(full));
    app_.Pump(300);  // time enough for a pin attempt, had there been one
    for (DWORD pid : ProcessesNamed("plain.exe")) EXPECT_EQ(AffinityOf(pid), full) << "pid " << pid;
    EXPECT_EQ(ProcessesNamed("plain.exe").size(), 2u);
}

TEST_F(Launch, ATargetThatCannotStartLeavesTheWindowNormalAfterAllAttempts) {
    const std::string missing = dir_.Join("Gone\\missing_target.exe");
    Track(missing);
    StartWith(Record("Gone", 0, missing, dir_.path()));
    const long beeps = BeepCount();

    const double seconds = ClickLaunch();
    EXPECT_GE(seconds, kAllAttempts - 0.05);
    EXPECT_LT(seconds, kAllAttempts + 3.0);
    EXPECT_EQ(State(), 0);
    EXPECT_TRUE(Shown());
    EXPECT_TRUE(app_.alive());
    // Every attempt enumerated the processes: none of them beeped.
    EXPECT_EQ(BeepCount(), beeps);
    for (const MessageBoxSeen& box : app_.boxes().seen()) EXPECT_NE(box.text, "Please make a selection.");
}

TEST_F(Launch, RunningProcessesOfTheNameArePinnedAndTheLaterRecordWins) {
    const DWORD_PTR full = FullMask();
    if (full == 1) GTEST_SKIP() << "one core: pinned and unpinned look alike";
    // Two programs of one image name, running before the launch; the
    // favorite's own file is missing, so only they can be found.
    const DWORD first = StartDirectly(PlaceTarget("A\\twin.exe"));
    const DWORD second = StartDirectly(PlaceTarget("B\\twin.exe"));
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);
    const std::vector<DWORD> order = ProcessesNamed("twin.exe");
    ASSERT_EQ(order.size(), 2u);
    StartWith(Record("Twin", 0, dir_.Join("Nowhere\\TWIN.EXE"), dir_.path()));

    ClickLaunch();
    EXPECT_LT(MinimisedToReturn(), kAfterSuccess);
    EXPECT_EQ(State(), 1);
    EXPECT_EQ(ProcessesNamed("twin.exe"), order);
    EXPECT_EQ(AffinityOf(order.back()), 1u);
    EXPECT_EQ(AffinityOf(order.front()), full);
    EXPECT_EQ(GetProcessIdByName("twin.exe"), order.back());
}

TEST_F(Launch, ADoubleClickOnTheListLaunchesTheEntryClicked) {
    if (FullMask() == 1) GTEST_SKIP() << "one core: pinned and unpinned look alike";
    const std::string first = PlaceTarget("First\\first.exe");
    const std::string second = PlaceTarget("Second\\second.exe");
    StartWith(Record("First", 1, first, Folder(first)) + Record("Second", 0, second, Folder(second)));
    ASSERT_EQ(app_.Selected(), 0);

    DoubleClickListEntry(app_.control(kList1), 1);
    EXPECT_EQ(app_.Selected(), 1);
    EXPECT_EQ(State(), 1);
    EXPECT_FALSE(Shown());
    const DWORD pid = GetProcessIdByName("second.exe");
    ASSERT_NE(pid, 0u);
    EXPECT_EQ(AffinityOf(pid), 1u);
    EXPECT_EQ(GetProcessIdByName("first.exe"), 0u);
}

TEST_F(Launch, TheStartInFolderNeedNotBeTheTargetsFolder) {
    const std::string target = PlaceTarget("Programs\\away.exe");
    const std::string startIn = dir_.Join("Elsewhere");
    ASSERT_TRUE(MakeDirectory(startIn));
    StartWith(Record("Away", 0, target, startIn));

    ClickLaunch();
    EXPECT_EQ(State(), 1);
    const DWORD pid = GetProcessIdByName("away.exe");
    ASSERT_NE(pid, 0u);
    // It ran in the start-in folder, from its own.
    const std::optional<Report> report = AwaitReport(startIn, pid);
    ASSERT_TRUE(report);
    EXPECT_EQ(Lower(report->at("cwd")), Lower(startIn));
    EXPECT_EQ(Lower(report->at("image")), Lower(target));
}

// ------------------------------------------------------------ checks and parameters

TEST_F(Launch, IncompleteFieldsAskForASelectionAndStartNothing) {
    const std::string target = PlaceTarget("Real\\real_target.exe");
    StartWith(Record("Real", 0, target, Folder(target)));
    const std::string title = app_.Text(kText3);
    const std::string path = app_.Text(kText1);
    ASSERT_EQ(path, Lower(target));

    struct Case {
        const char* what;
        int id;
        const char* text;
    };
    const Case cases[] = {
        {"title of spaces", kText3, "   "},
        {"start-in folder of one letter and spaces", kText2, " c  "},
        {"six-character target", kText1, "c:\\a.e"},
        {"six characters and spaces", kText1, "  c:\\x.e  "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Text1 first: changing it refills the start-in folder.
        app_.SetText(kText1, path);
        app_.SetText(kText2, Lower(Folder(target)));
        app_.SetText(kText3, title);
        app_.SetText(c.id, c.text);
        app_.boxes().clear();

        ClickLaunch();
        ASSERT_EQ(app_.boxes().count(), 1u);
        const MessageBoxSeen& box = app_.boxes().seen()[0];
        EXPECT_EQ(box.text, "Please make a selection.");
        EXPECT_TRUE(box.informationIcon);
        EXPECT_TRUE(box.onlyOk);
        EXPECT_EQ(State(), 0);
        EXPECT_TRUE(Shown());
        EXPECT_EQ(app_.Text(c.id), c.text);
    }
    app_.Pump(200);
    EXPECT_EQ(GetProcessIdByName("real_target.exe"), 0u);
    EXPECT_TRUE(ReportsIn(Folder(target)).empty());

    // The shortest that pass: a start-in folder of two characters and a title
    // of one character between spaces.
    app_.SetText(kText1, path);
    app_.SetText(kText2, "c:");
    app_.SetText(kText3, " T ");
    app_.boxes().clear();
    ClickLaunch();
    EXPECT_EQ(app_.boxes().count(), 0u);
    EXPECT_EQ(State(), 1);
    const DWORD pid = GetProcessIdByName("real_target.exe");
    ASSERT_NE(pid, 0u);
    EXPECT_EQ(AffinityOf(pid), 1u);
}

TEST_F(Launch, ParametersNonePassesNoneAndOtherTextPassesAsItStands) {
    const std::string bare = PlaceTarget("P1\\bare_args.exe");
    const std::string given = PlaceTarget("P2\\given_args.exe");
    // Letter case, inner spaces and quotes all stay as typed; "none" is not
    // "None".
    const std::string params = "none  \"Two  Words\" --x=1";
    StartWith(Record("Bare", 0, bare, Folder(bare)) + Record("Given", 0, given, Folder(given), params));

    ClickLaunch();
    ASSERT_EQ(State(), 1);
    const DWORD barePid = GetProcessIdByName("bare_args.exe");
    ASSERT_NE(barePid, 0u);
    std::optional<Report> report = AwaitReport(Folder(bare), barePid);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->at("args"), "");
    EXPECT_EQ(report->at("cmdline").find("None"), std::string::npos) << report->at("cmdline");

    BringBack();
    app_.Pump();
    app_.Select(1);
    ASSERT_EQ(app_.Text(kText4), params);
    ClickLaunch();
    ASSERT_EQ(State(), 1);
    const DWORD givenPid = GetProcessIdByName("given_args.exe");
    ASSERT_NE(givenPid, 0u);
    report = AwaitReport(Folder(given), givenPid);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->at("args"), params);
}

// ------------------------------------------------------------ lookup

TEST_F(Launch, LookupByNameIgnoresLetterCaseAndNothingElse) {
    const DWORD pid = StartDirectly(PlaceTarget("Case\\MiXed_Case.exe"));
    ASSERT_NE(pid, 0u);
    for (const char* name : {"MiXed_Case.exe", "mixed_case.exe", "MIXED_CASE.EXE"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(GetProcessIdByName(name), pid);
    }
    for (const char* name : {"mixed_case.ex", "mixed_case.exe ", " mixed_case.exe", "mixed_case", "ixed_case.exe", ""}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(GetProcessIdByName(name), 0u);
    }
}

// ------------------------------------------------------------ closing

TEST_F(Launch, ClosingTheWindowDuringTheAttemptsEndsTheLaunchCleanly) {
    const std::string missing = dir_.Join("Gone\\never_there.exe");
    Track(missing);
    StartWith(Record("Gone", 0, missing, dir_.path()));
    // Shutdown must write the file afresh.
    ASSERT_TRUE(DeleteFileA(dir_.Join("Favorites").c_str()));

    static HWND window;
    window = app_.hwnd();
    const UINT_PTR timer = SetTimer(nullptr, 0, 500, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        PostMessageA(window, WM_CLOSE, 0, 0);
    });
    ASSERT_NE(timer, 0u);
    ClickLaunch();
    EXPECT_TRUE(app_.closed());
    ASSERT_NE(events_.destroyed, Clock::time_point{});
    // The pause that saw the window go ended the attempts.
    EXPECT_LT(Between(events_.destroyed, returned_), kAfterSuccess);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(app_.win().trayIconAdded());
    EXPECT_EQ(ReadFileBytes(dir_.Join("Favorites")), file_);

    // Written once: nothing writes it again afterwards.
    ASSERT_TRUE(DeleteFileA(dir_.Join("Favorites").c_str()));
    app_.Close();
    app_.Pump(300);
    EXPECT_FALSE(FileExists(dir_.Join("Favorites")));
}

}  // namespace
