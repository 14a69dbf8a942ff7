// Hardening: many launches and lookups must leave no handles or windows
// behind; clicks, double clicks and closes that arrive while a launch, Remove
// or start-up lets events run must leave a consistent window and store; and
// launches that cannot pin (a folder, a program that ends at once) or that
// carry awkward paths and parameters must neither crash nor lose bytes.
#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "launcher/launcher.hpp"
#include "support/harness.hpp"
#include "support/launch_fixture.hpp"

using namespace corvane;
using namespace corvane::test;

namespace {

constexpr double kEarly = 0.05;  // clock granularity on the short side
// A success ends the attempts within the pause that follows it.
constexpr double kAfterSuccess = 0.5;

// The ANSI form of `wide`; nullopt when a character has none.
std::optional<std::string> Ansi(const std::wstring& wide) {
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                      &lossy);
    if (lossy) return std::nullopt;
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, &lossy);
    if (lossy) return std::nullopt;
    return out;
}

// ---------------------------------------------------------------- resources

// Kernel handles open in this process. Wine answers GetProcessHandleCount
// with success and a count of 0, so there the handle table is probed: every
// open handle, whatever its type, answers GetHandleInformation.
std::size_t OpenHandles() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) return count;
    std::size_t open = 0;
    for (ULONG_PTR value = 4; value < 0x8000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++open;
    }
    return open;
}

BOOL CALLBACK CountOwnWindow(HWND hwnd, LPARAM lp) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == GetCurrentProcessId()) {
        ++*reinterpret_cast<std::size_t*>(lp);
        EnumChildWindows(hwnd, CountOwnWindow, lp);
    }
    return TRUE;
}

// Windows of this process, top-level and children: the USER objects that a
// count can reach on every platform.
std::size_t OwnWindows() {
    std::size_t n = 0;
    EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&n));
    return n;
}

// ---------------------------------------------------------------- events in the middle

// Runs `what` once, `ms` from now, from a thread timer: the timer message is
// dispatched by whichever loop pumps events at that moment, which is the point.
std::map<UINT_PTR, std::function<void()>>& PendingTimers() {
    static std::map<UINT_PTR, std::function<void()>> pending;
    return pending;
}

void CALLBACK RunTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto it = PendingTimers().find(id);
    if (it == PendingTimers().end()) return;
    const std::function<void()> what = std::move(it->second);
    PendingTimers().erase(it);
    what();
}

void After(int ms, std::function<void()> what) {
    const UINT_PTR id = SetTimer(nullptr, 0, static_cast<UINT>(ms), RunTimer);
    ASSERT_NE(id, 0u);
    PendingTimers()[id] = std::move(what);
}

void CancelTimers() {
    for (const auto& [id, what] : PendingTimers()) KillTimer(nullptr, id);
    PendingTimers().clear();
}

// One handled command of the favorites panel: which, how deep in another
// one's event processing it ran, and when it began and ended.
struct Handled {
    int id = 0;
    int code = 0;
    int depth = 0;
    Clock::time_point start{};
    Clock::time_point end{};
};

struct CommandLog {
    std::vector<Handled> entries;
    int depth = 0;
};

bool Logged(int id, int code) {
    return (id == kCommand3 && code == BN_CLICKED) || (id == kCommand2 && code == BN_CLICKED) ||
           (id == kList1 && code == LBN_DBLCLK);
}

LRESULT CALLBACK WatchCommands(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* log = reinterpret_cast<CommandLog*>(data);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, WatchCommands, 1);
        return DefSubclassProc(hwnd, msg, wp, lp);
    }
    if (msg != WM_COMMAND || !Logged(LOWORD(wp), HIWORD(wp))) return DefSubclassProc(hwnd, msg, wp, lp);
    const std::size_t at = log->entries.size();
    log->entries.push_back({LOWORD(wp), HIWORD(wp), log->depth, Clock::now(), {}});
    ++log->depth;
    const LRESULT result = DefSubclassProc(hwnd, msg, wp, lp);
    --log->depth;
    log->entries[at].end = Clock::now();
    return result;
}

// ---------------------------------------------------------------- fixture

class Hardening : public LaunchFixture {
protected:
    void TearDown() override {
        CancelTimers();
        LaunchFixture::TearDown();
    }

    // Starts the window on `favorites` (no file at all when nullopt) and
    // watches the commands of its favorites panel.
    void StartWith(const std::optional<std::string>& favorites) {
        if (favorites) {
            ASSERT_TRUE(WriteFileBytes(dir_.Join("Favorites"), *favorites));
        }
        MainWindow::StartResult result{};
        ASSERT_TRUE(app_.Start(&result));
        ASSERT_EQ(result, MainWindow::StartResult::Running);
        ASSERT_TRUE(SetWindowSubclass(app_.control(kFrame1), WatchCommands, 1, reinterpret_cast<DWORD_PTR>(&log_)));
    }

    // Clicks "Launch"; returns how long the launch took, in seconds.
    double ClickLaunch() {
        EXPECT_TRUE(app_.Enabled(kCommand3));
        const auto start = Clock::now();
        app_.Click(kCommand3);
        return Between(start, Clock::now());
    }

    // A click on a favorites-panel button as the system queues it: handled
    // when events are next processed.
    void PostClick(int id) const {
        PostMessageA(app_.control(kFrame1), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(app_.control(id)));
    }

    // The store and the visible list hold the same favorites, nothing is
    // selected, the fields are empty and Launch is off: how Remove leaves it.
    void ExpectRemovedState(const std::vector<Favorite>& left) const {
        EXPECT_EQ(app_.store().items(), left);
        std::vector<std::string> displays;
        for (const Favorite& f : left) displays.push_back(f.display);
        EXPECT_EQ(app_.Favorites(), displays);
        EXPECT_EQ(app_.Selected(), -1);
        for (int id : {kText1, kText2, kText3, kText4}) EXPECT_EQ(app_.Text(id), "") << id;
        EXPECT_FALSE(app_.Enabled(kCommand3));
    }

    CommandLog log_;
};

Favorite ParseRecord(const std::string& record) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < record.size()) {
        const std::size_t end = record.find("\r\n", at);
        lines.push_back(record.substr(at, end - at));
        at = end + 2;
    }
    lines.resize(4);
    return Favorite{lines[0], lines[1], lines[2], lines[3]};
}

}  // namespace

// ---------------------------------------------------------------- no leaks

TEST_F(Hardening, AHundredLaunchesLeaveNoHandlesWindowsOrIconsBehind) {
    // Started unpinned with a life of nothing: every launch is a real start
    // through the shell, and the programs end by themselves.
    const std::string quick = PlaceTarget("Quick\\quick_exit.exe");
    StartWith(Record("Quick", kDefaultCore, quick, Folder(quick), "--life=0"));
    ASSERT_EQ(app_.Selected(), 0);

    // The count must see handles come and go, or it proves nothing.
    {
        const std::size_t before = OpenHandles();
        std::vector<HANDLE> events;
        for (int i = 0; i < 10; ++i) events.push_back(CreateEventA(nullptr, FALSE, FALSE, nullptr));
        EXPECT_GE(OpenHandles(), before + 10);
        for (HANDLE e : events) CloseHandle(e);
        EXPECT_LE(OpenHandles(), before + 2);
    }

    HWND list = app_.control(kList1);
    int launches = 0;
    int notHidden = 0;
    std::set<HICON> previews;
    // Half by the button, half by a double click, which also reloads the
    // favorite and with it the icon preview.
    auto launch = [&](int i) {
        if (i % 2 == 0)
            app_.Click(kCommand3);
        else
            DoubleClickListEntry(list, 0);
        ++launches;
        if (State() != 1 || Shown()) ++notHidden;
        if (HICON icon = app_.win().previewIcon()) previews.insert(icon);
        BringBack();
    };
    // What the first launches set up once (libraries the shell loads, its
    // caches) is not a leak.
    for (int i = 0; i < 4; ++i) launch(i);
    const std::size_t handles = OpenHandles();
    const std::size_t windows = OwnWindows();
    // Wine reports 0 GDI and USER objects here; where the system counts them
    // they must not grow either.
    const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);

    for (int i = 0; i < 100; ++i) launch(i);

    EXPECT_EQ(notHidden, 0) << "launches that did not end minimised and hidden";
    ASSERT_TRUE(Shown());
    EXPECT_TRUE(app_.alive());
    EXPECT_EQ(app_.boxes().count(), 0u);
    // Every launch started the program.
    EXPECT_TRUE(PumpUntil([&] { return ReportsIn(Folder(quick)).size() == static_cast<std::size_t>(launches); }, 10000))
        << ReportsIn(Folder(quick)).size() << " of " << launches << " started";

    constexpr std::size_t kSlack = 8;
    EXPECT_LE(OpenHandles(), handles + kSlack);
    EXPECT_LE(OwnWindows(), windows);
    if (gdi > 0) {
        EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdi + kSlack);
    }
    if (user > 0) {
        EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), user + kSlack);
    }
    // Icons are GDI objects Wine cannot count: of all the previews shown,
    // only the current one may be alive.
    ASSERT_FALSE(previews.empty());
    const HICON current = app_.win().previewIcon();
    ASSERT_NE(current, nullptr);
    EXPECT_TRUE(IconAlive(current));
    std::size_t stale = 0;
    for (HICON icon : previews) stale += icon != current && IconAlive(icon) ? 1 : 0;
    EXPECT_EQ(stale, 0u) << "of " << previews.size() << " previews shown";
    EXPECT_TRUE(IconAlive(app_.win().trayRecord().hIcon));

    // They all end by themselves; none may be left for TearDown to find.
    EXPECT_TRUE(PumpUntil([] { return ProcessesNamed(std::string("quick_exit.exe")).empty(); }, 10000));
}

TEST_F(Hardening, AHundredLookupsAndPinsOfOneProcessLeaveNoHandlesBehind) {
    const bool twoCores = (FullMask() & 3) == 3;
    const DWORD pid = StartDirectly(PlaceTarget("Pinned\\pinned_often.exe"));
    ASSERT_NE(pid, 0u);
    // What AutoSetAff minimises on success.
    HWND stand = CreateWindowExA(0, "STATIC", "stand-in", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(stand, nullptr);

    auto round = [&](int i) {
        EXPECT_EQ(GetProcessIdByName("PINNED_often.exe"), pid) << i;
        const int core = twoCores ? i % 2 : 0;
        EXPECT_TRUE(AutoSetAff(core, "pinned_OFTEN.exe", stand)) << i;
        EXPECT_EQ(AffinityOf(pid), DWORD_PTR{1} << core) << i;
    };
    for (int i = 0; i < 3; ++i) round(i);
    const std::size_t handles = OpenHandles();
    const long beeps = BeepCount();
    for (int i = 0; i < 100; ++i) round(i);

    EXPECT_LE(OpenHandles(), handles + 4);
    EXPECT_EQ(BeepCount(), beeps);
    EXPECT_TRUE(IsIconic(stand));
    // Nothing of the name: no handle opened, none kept.
    for (int i = 0; i < 20; ++i) EXPECT_FALSE(AutoSetAff(0, "no_such_program.exe", stand));
    EXPECT_LE(OpenHandles(), handles + 4);
    DestroyWindow(stand);
}

// ---------------------------------------------------------------- events in the middle

TEST_F(Hardening, ASecondLaunchClickedDuringThePausesRunsToItsEndAndTheFirstGoesOn) {
    const std::string missing = dir_.Join("Gone\\absent_one.exe");
    Track(missing);
    StartWith(Record("Gone", 0, missing, dir_.path()));
    const long beeps = BeepCount();

    After(500, [this] { PostClick(kCommand3); });
    const double seconds = ClickLaunch();

    ASSERT_EQ(log_.entries.size(), 2u);
    const Handled& first = log_.entries[0];
    const Handled& second = log_.entries[1];
    EXPECT_EQ(first.id, kCommand3);
    EXPECT_EQ(first.depth, 0);
    EXPECT_EQ(second.id, kCommand3);
    EXPECT_EQ(second.depth, 1) << "the second launch ran inside the first one's pause";
    EXPECT_GT(Between(first.start, second.start), 0.4);
    // The second ran all its attempts before the first went on...
    EXPECT_GE(Between(second.start, second.end), kAllAttempts - kEarly);
    EXPECT_LE(Between(second.end, first.end), kAllAttempts);
    // ...and the first then made the attempts it had left.
    const double firstOwn = Between(first.start, first.end) - Between(second.start, second.end);
    EXPECT_GE(firstOwn, kAllAttempts - kEarly);
    EXPECT_LT(seconds, 2 * kAllAttempts + 3.0);

    EXPECT_TRUE(app_.alive());
    EXPECT_EQ(State(), 0);
    EXPECT_TRUE(Shown());
    EXPECT_EQ(app_.boxes().count(), 0u);
    EXPECT_EQ(BeepCount(), beeps);
    EXPECT_EQ(app_.Selected(), 0);
    EXPECT_EQ(app_.Text(kText1), Lower1252(missing));
}

TEST_F(Hardening, ADoubleClickDuringThePausesLaunchesItsEntryAndEndsTheFirstLaunch) {
    if ((FullMask() & 3) != 3) GTEST_SKIP() << "needs two cores: pinned and unpinned look alike";
    const std::string missing = dir_.Join("Gone\\absent_two.exe");
    Track(missing);
    const std::string late = PlaceTarget("Late\\late_pin.exe");
    StartWith(Record("Gone", 0, missing, dir_.path()) + Record("Late", 0, late, Folder(late)));

    After(500, [this] { DoubleClickListEntry(app_.control(kList1), 1); });
    ClickLaunch();

    ASSERT_EQ(log_.entries.size(), 2u);
    const Handled& first = log_.entries[0];
    const Handled& second = log_.entries[1];
    EXPECT_EQ(second.id, kList1);
    EXPECT_EQ(second.depth, 1);
    EXPECT_GT(Between(first.start, second.start), 0.4);
    // The double click pinned its program and minimised the window; the first
    // launch saw that at its next state test and made no more attempts.
    EXPECT_LT(Between(second.start, second.end), kAllAttempts);
    EXPECT_LT(Between(second.end, first.end), kAfterSuccess);
    EXPECT_EQ(State(), 1);
    EXPECT_FALSE(Shown());
    EXPECT_TRUE(app_.alive());
    EXPECT_EQ(app_.Selected(), 1);
    const std::vector<DWORD> pids = ProcessesNamed(NameOf(late));
    ASSERT_EQ(pids.size(), 1u) << "started once";
    EXPECT_EQ(AffinityOf(pids[0]), 1u);
    EXPECT_EQ(app_.boxes().count(), 0u);

    // Whether the first launch pinned once more after the double click's
    // launch depends on which of its pauses the double click came in. Made
    // certain here: a pin that succeeds while the window is already minimised
    // and hidden leaves it hidden in the notification area.
    BringBack();
    ASSERT_TRUE(Shown());
    ASSERT_TRUE(AutoSetAff(0, NameOf(late), app_.hwnd()));
    app_.Pump(50);
    ASSERT_EQ(State(), 1);
    ASSERT_FALSE(Shown());
    EXPECT_TRUE(AutoSetAff(1, NameOf(late), app_.hwnd()));
    app_.Pump(50);
    EXPECT_EQ(AffinityOf(pids[0]), 2u);
    EXPECT_EQ(State(), 1);
    EXPECT_FALSE(Shown());
}

TEST_F(Hardening, RemoveDuringALaunchKeepsStoreListAndFileConsistent) {
    const DWORD_PTR full = FullMask();
    const std::string missing = dir_.Join("Gone\\absent_three.exe");
    Track(missing);
    const std::string real = PlaceTarget("Real\\removed_real.exe");
    const std::string gone = Record("Gone", 0, missing, dir_.path());
    const std::string removed = Record("Real", 1, real, Folder(real));
    const std::string keep = Record("Keep", kDefaultCore, "c:\\Keep\\keep.exe", "c:\\Keep", "-k \"x\"");
    StartWith(gone + removed + keep);
    // Only the close may write the file; were anything else to, it would show.
    ASSERT_TRUE(DeleteFileA(dir_.Join("Favorites").c_str()));

    // The Remove ran inside the launch, which then went through all its
    // attempts and left the window shown.
    auto expectRemovedInside = [this](double seconds) {
        ASSERT_EQ(log_.entries.size(), 2u);
        EXPECT_EQ(log_.entries[1].id, kCommand2);
        EXPECT_EQ(log_.entries[1].depth, 1);
        EXPECT_GE(seconds, kAllAttempts - kEarly);
        EXPECT_EQ(State(), 0);
        EXPECT_TRUE(Shown());
    };

    // During the attempts: the favorite being launched goes; the attempts
    // that are left look for an empty name, find nothing, and end normally.
    After(500, [this] { PostClick(kCommand2); });
    expectRemovedInside(ClickLaunch());
    ExpectRemovedState({ParseRecord(removed), ParseRecord(keep)});
    EXPECT_FALSE(FileExists(dir_.Join("Favorites")));

    // Before the core is read: the Remove queued ahead of the launch runs in
    // its first event processing. With no favorite selected any more there is
    // no core to pin to and no name to look for: nothing is pinned.
    app_.Select(0);
    ASSERT_EQ(app_.Text(kText3), "Real");
    log_.entries.clear();
    PostClick(kCommand2);
    expectRemovedInside(ClickLaunch());
    ExpectRemovedState({ParseRecord(keep)});
    for (DWORD pid : ProcessesNamed(NameOf(real))) EXPECT_EQ(AffinityOf(pid), full) << "pid " << pid;
    EXPECT_EQ(app_.boxes().count(), 0u);
    EXPECT_FALSE(FileExists(dir_.Join("Favorites")));

    // Written once, at the close, with what is left.
    ASSERT_TRUE(app_.Close());
    EXPECT_EQ(ReadFileBytes(dir_.Join("Favorites")), keep);
    ASSERT_TRUE(DeleteFileA(dir_.Join("Favorites").c_str()));
    app_.Pump(300);
    EXPECT_FALSE(FileExists(dir_.Join("Favorites")));
}

TEST_F(Hardening, ClosingDuringStartUpsEventProcessingShutsDownOnce) {
    // Lone CRs: read like CR LF, but written back as CR LF, so the bytes show
    // whether shutdown wrote the file.
    const std::string exe = Lower1252(ThisExePath());
    const std::string lone = "Me on CPU 0\r0__" + exe + "\r" + Lower1252(Folder(exe)) + "\rNone\r" +
                             "Other on Default\r2__c:\\o\\o.exe\rc:\\o\r-o\r";
    const std::string written = FileRecord("Me on CPU 0", "0__" + exe, Lower1252(Folder(exe)), "None") +
                                FileRecord("Other on Default", "2__c:\\o\\o.exe", "c:\\o", "-o");
    ASSERT_TRUE(WriteFileBytes(dir_.Join("Favorites"), lone));
    ASSERT_TRUE(app_.CreateOnly());
    HWND window = app_.hwnd();
    // Queued before start-up runs: its one pass of event processing, after
    // the window is shown and before the first favorite is selected, takes it.
    PostMessageA(window, WM_CLOSE, 0, 0);
    const MainWindow::StartResult result = app_.win().Load();
    EXPECT_EQ(result, MainWindow::StartResult::Running);
    EXPECT_TRUE(app_.closed());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(app_.win().trayIconAdded());
    EXPECT_EQ(app_.store().size(), 2u);
    EXPECT_EQ(app_.boxes().count(), 0u);
    EXPECT_EQ(ReadFileBytes(dir_.Join("Favorites")), written);

    // Nothing that start-up did not get to writes it again.
    ASSERT_TRUE(DeleteFileA(dir_.Join("Favorites").c_str()));
    app_.Pump(200);
    app_.Close();
    EXPECT_FALSE(FileExists(dir_.Join("Favorites")));
}

// ---------------------------------------------------------------- bad launches

TEST_F(Hardening, AFolderOrAProgramThatEndsAtOnceLeavesTheWindowUsable) {
    const std::string folder = dir_.Join("Not A Program");
    ASSERT_TRUE(MakeDirectory(folder));
    const std::string blink = PlaceTarget("Blink\\blink.exe");
    StartWith(Record("Folder", 0, folder, dir_.path()) + Record("Blink", 0, blink, Folder(blink), "--life=0"));
    const long beeps = BeepCount();

    // The shell opens a folder in a file manager of its own; that is no
    // process of the folder's name, so every attempt finds nothing.
    const std::vector<DWORD> managers = ProcessesNamed(std::string("explorer.exe"));
    double seconds = ClickLaunch();
    for (DWORD pid : ProcessesNamed(std::string("explorer.exe")))
        if (std::find(managers.begin(), managers.end(), pid) == managers.end()) strays_.push_back(pid);
    EXPECT_GE(seconds, kAllAttempts - kEarly);
    EXPECT_LT(seconds, kAllAttempts + 3.0);
    EXPECT_TRUE(app_.alive());
    EXPECT_EQ(State(), 0);
    EXPECT_TRUE(Shown());
    EXPECT_TRUE(ProcessesNamed(NameOf(folder)).empty());

    // A program that ends as soon as it has started: it may be gone before
    // an attempt finds it (all attempts fail, the window stays normal) or be
    // found and pinned in its last moment (the window hides at once).
    app_.Select(1);
    seconds = ClickLaunch();
    EXPECT_TRUE(app_.alive());
    if (State() == 1) {
        EXPECT_FALSE(Shown());
        EXPECT_LT(seconds, kAllAttempts);
        BringBack();
    } else {
        EXPECT_EQ(State(), 0);
        EXPECT_TRUE(Shown());
        EXPECT_GE(seconds, kAllAttempts - kEarly);
    }
    EXPECT_EQ(ReportsIn(Folder(blink)).size(), 1u) << "it did start";
    EXPECT_TRUE(PumpUntil([&] { return ProcessesNamed(NameOf(blink)).empty(); }, 5000));

    // The window still launches: the folder once more, now from a restored
    // window.
    ASSERT_TRUE(Shown());
    app_.Select(0);
    seconds = ClickLaunch();
    for (DWORD pid : ProcessesNamed(std::string("explorer.exe")))
        if (std::find(managers.begin(), managers.end(), pid) == managers.end()) strays_.push_back(pid);
    EXPECT_GE(seconds, kAllAttempts - kEarly);
    EXPECT_EQ(State(), 0);
    EXPECT_EQ(app_.boxes().count(), 0u);
    EXPECT_EQ(BeepCount(), beeps);
}

TEST_F(Hardening, AccentedPathsWithSpacesAndQuotedParametersSaveLaunchAndComeBackByteForByte) {
    if (GetACP() != 1252) GTEST_SKIP() << "the names below are spelled in code page 1252";
    const DWORD_PTR full = FullMask();
    const int core = (full & 3) == 3 ? 1 : 0;

    // Folders and file created by their Unicode names, capitals included: the
    // program only ever sees their ANSI spelling.
    const std::wstring wideFolder = Wide(dir_.path()) + L"\\Donn\u00e9es \u00c9t\u00e9\\Sous Dossier \u00dc";
    ASSERT_TRUE(CreateDirectoryW((Wide(dir_.path()) + L"\\Donn\u00e9es \u00c9t\u00e9").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(wideFolder.c_str(), nullptr));
    const std::wstring wideTarget = wideFolder + L"\\Mon Prog \u00fc.exe";
    ASSERT_TRUE(CopyFileW(Wide(TargetSource()).c_str(), wideTarget.c_str(), FALSE));
    const std::optional<std::string> target = Ansi(wideTarget);
    ASSERT_TRUE(target);
    const std::string folder = Folder(*target);
    images_.push_back(L"Mon Prog \u00fc.exe");
    // A program whose name differs only by the accent must not be taken for it.
    const std::wstring wideDecoy = wideFolder + L"\\Mon Prog u.exe";
    ASSERT_TRUE(CopyFileW(Wide(TargetSource()).c_str(), wideDecoy.c_str(), FALSE));
    images_.push_back(L"Mon Prog u.exe");
    const DWORD decoy = StartDirectly(*Ansi(wideDecoy));
    ASSERT_NE(decoy, 0u);

    const std::string title = "Jeu \"\xC9t\xE9\" \xE0 2";
    const std::string params = "-name \"\xC9t\xE9 \xE0 Paris\"  --x=\xFC \"\"";
    const Favorite expected{DisplayOf(title, core), std::to_string(core) + "__" + Lower1252(*target),
                            Lower1252(folder), params};
    const std::string bytes = FileRecord(expected.display, expected.coded, expected.startIn, expected.params);
    ASSERT_NE(expected.coded, std::to_string(core) + "__" + *target) << "the path must have capitals to fold";

    std::string firstWrite;
    {
        StartWith(std::nullopt);
        app_.Click(kCommand5);
        app_.Click(kCommand4);
        app_.SetText(kText1, *target);
        EXPECT_EQ(app_.Text(kText2), folder);
        EXPECT_EQ(app_.Text(kText3), "Sous Dossier \xDC");
        app_.SetText(kText3, title);
        app_.SetText(kText4, "  " + params + " ");
        app_.Click(kOption1_0 + core);
        app_.Click(kCommand1);
        EXPECT_EQ(app_.boxes().count(), 0u) << app_.boxes().lastText();
        ASSERT_EQ(app_.store().size(), 1u);
        EXPECT_EQ(app_.store().items()[0], expected);
        EXPECT_EQ(app_.Favorites(), std::vector<std::string>{expected.display});
        EXPECT_EQ(app_.Text(kText1), Lower1252(*target));
        EXPECT_EQ(app_.Text(kText2), Lower1252(folder));
        EXPECT_EQ(app_.Text(kText3), title);
        EXPECT_EQ(app_.Text(kText4), params);

        // The lower-cased path still names the program, which starts with the
        // parameters as they stand and is the one pinned.
        ClickLaunch();
        EXPECT_EQ(State(), 1);
        const std::vector<DWORD> pids = ProcessesNamed(std::wstring(L"mon prog \u00dc.EXE"));
        ASSERT_EQ(pids.size(), 1u);
        EXPECT_EQ(AffinityOf(pids[0]), DWORD_PTR{1} << core);
        const std::optional<Report> report = AwaitReport(folder, pids[0], DWORD_PTR{1} << core);
        ASSERT_TRUE(report);
        EXPECT_EQ(report->at("args"), params);
        EXPECT_EQ(Lower1252(report->at("image")), Lower1252(*target));
        EXPECT_EQ(Lower1252(report->at("cwd")), Lower1252(folder));
        EXPECT_EQ(AffinityOf(decoy), full);

        BringBack();
        ASSERT_TRUE(app_.Close());
        const std::optional<std::string> file = ReadFileBytes(dir_.Join("Favorites"));
        ASSERT_TRUE(file);
        EXPECT_EQ(*file, bytes);
        firstWrite = *file;
    }

    // A second start reads back exactly what was saved, and writes the same.
    App again;
    ASSERT_TRUE(again.Start());
    EXPECT_EQ(again.Favorites(), std::vector<std::string>{expected.display});
    ASSERT_EQ(again.store().size(), 1u);
    EXPECT_EQ(again.store().items()[0], expected);
    EXPECT_EQ(again.Selected(), 0);
    EXPECT_EQ(again.Text(kText3), title);
    EXPECT_EQ(again.Text(kText1), Lower1252(*target));
    EXPECT_EQ(again.Text(kText2), Lower1252(folder));
    EXPECT_EQ(again.Text(kText4), params);
    EXPECT_TRUE(again.Checked(kOption1_0 + core));
    EXPECT_NE(again.win().previewIcon(), nullptr) << "the lower-cased path finds the icon too";
    ASSERT_TRUE(again.Close());
    EXPECT_EQ(ReadFileBytes(dir_.Join("Favorites")), firstWrite);
}
