// The launcher's costs, each next to a baseline measured in the same run:
//   lookup  GetProcessIdByName over the real process list, against a loop
//           that only compares that list's names, and the bare enumeration;
//   match   FindProcessId over 300, 3,000 and 30,000 made-up records,
//           against a plain strcmp loop over the same names;
//   idle    "Launch" of a favourite whose eleven attempts all fail (it runs,
//           but under another image name): CPU and wall time of this
//           process, against pumping events without sleeping for 2.2 s;
//   pin     "Launch" of a CPU 0 favourite, 20 times, with both cores kept
//           busy by spinning threads: how many programs were on their core
//           at their first instruction, and how soon after creation each
//           saw its pin, against the same launch with the pin by handle
//           alone (not created on the core).
// Candidate and baseline alternate round by round, so drift of the machine
// affects both alike; each figure is the median of its rounds.
//   corvane_bench.exe [--quick] [--target=PATH-OF-pin_target.exe]
#include <windows.h>
#include <objbase.h>
#include <wtsapi32.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/main_window.hpp"
#include "bench/figures.hpp"
#include "bench/synthetic.hpp"
#include "favorites/file_io.hpp"
#include "launcher/launch_logic.hpp"
#include "launcher/process_lookup.hpp"
#include "panels/layout.hpp"
#include "platform/win.hpp"

namespace {

using namespace corvane::bench;

volatile std::uint64_t g_sink = 0;  // keeps measured results alive

std::vector<Row> g_rows;

// ------------------------------------------------------------ lookup, match

void BenchLookup(bool quick) {
    std::vector<corvane::RunningProcess> processes;
    if (!corvane::EnumerateProcesses(processes) || processes.empty()) {
        std::printf("lookup: the process enumeration reported nothing; skipped\n");
        return;
    }
    // The last process listed: the lookup visits every record anyway, and
    // this one surely exists.
    const std::string wanted = processes.back().name;
    const auto lookup = [&] { g_sink = g_sink + corvane::GetProcessIdByName(wanted); };
    const auto plainLoop = [&] {
        std::uint32_t found = 0;
        for (const auto& p : processes)
            if (p.pid != 0 && _stricmp(p.name.c_str(), wanted.c_str()) == 0) found = p.pid;
        g_sink = g_sink + found;
    };
    const auto enumerateOnly = [&] {
        WTS_PROCESS_INFOW* records = nullptr;
        DWORD count = 0;
        if (WTSEnumerateProcessesW(WTS_CURRENT_SERVER_HANDLE, 0, 1, &records, &count)) {
            g_sink = g_sink + count;
            WTSFreeMemory(records);
        }
    };
    const std::string size = std::to_string(processes.size());
    auto [a, b] = SideBySide(quick ? 5 : 15, quick ? 20 : 100, lookup, plainLoop);
    g_rows.push_back({"GetProcessIdByName (real list)", size, a, "name compare loop", b, ""});
    auto [c, d] = SideBySide(quick ? 5 : 15, quick ? 20 : 100, lookup, enumerateOnly);
    g_rows.push_back({"GetProcessIdByName (real list)", size, c, "bare WTSEnumerateProcessesW", d, ""});
}

void BenchMatch(bool quick) {
    for (std::size_t count : {std::size_t{300}, std::size_t{3000}, std::size_t{30000}}) {
        const corvane::bench::SyntheticList list = corvane::bench::MakeSyntheticList(count);
        const std::string wanted = corvane::bench::kWanted;
        const corvane::CaseRule& upper = corvane::AsciiUpper();
        const int iterations = std::max(1, static_cast<int>((quick ? 300000 : 3000000) / count));
        const auto candidate = [&] { g_sink = g_sink + corvane::FindProcessId(list.records, wanted, upper); };
        // The same question put the plainest way: names already in the case
        // of the one looked for, compared with strcmp.
        const auto plain = [&] {
            std::uint32_t found = 0;
            for (std::size_t i = 0; i < count; ++i)
                if (list.records[i].pid != 0 && std::strcmp(list.folded[i].c_str(), wanted.c_str()) == 0)
                    found = list.records[i].pid;
            g_sink = g_sink + found;
        };
        if (corvane::FindProcessId(list.records, wanted, upper) != list.plantedPid)
            std::printf("match: FindProcessId did not find the planted record among %zu\n", count);
        auto [a, b] = SideBySide(quick ? 5 : 15, iterations, candidate, plain);
        g_rows.push_back(
            {"FindProcessId (synthetic)", std::to_string(count), a, "strcmp loop", b, count == 3000 ? "<= 2x" : ""});
    }
}

// ------------------------------------------------------------ launches

// Dispatches this thread's messages until `done` holds or `ms` pass.
bool PumpUntil(const std::function<bool()>& done, int ms) {
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (Clock::now() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        corvane::PumpEvents(nullptr);
    }
    return true;
}

void KillAll(const std::string& image) {
    std::vector<corvane::RunningProcess> processes;
    corvane::EnumerateProcesses(processes);
    for (const auto& p : processes) {
        if (p.pid == 0 || _stricmp(p.name.c_str(), image.c_str()) != 0) continue;
        if (HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, p.pid)) {
            TerminateProcess(h, 1);
            WaitForSingleObject(h, 5000);
            CloseHandle(h);
        }
    }
}

// What pin_target's report says of the pin: whether its first line already
// had the core, and at which of its t= times it first had it.
struct PinSeen {
    bool firstPinned = false;
    double seconds = 0;
};

std::optional<PinSeen> ReadPin(const std::string& report, const std::string& mask) {
    std::ifstream file(report, std::ios::binary);
    std::string line;
    // A last line without its end is still being written.
    for (bool first = true; std::getline(file, line) && !file.eof(); first = false) {
        const std::size_t value = line.find("=0x"), time = line.find(" t=");
        if (value == std::string::npos || time == std::string::npos) continue;
        if (line.compare(value + 1, time - value - 1, mask) == 0)
            return PinSeen{first, std::atof(line.c_str() + time + 3) / 1e3};
    }
    return std::nullopt;
}

// A private folder with the favourites, the real window in this process,
// and the ways to launch from it.
struct LaunchRig {
    static constexpr const char* kImage = "crvbench_target.exe";
    enum Entry { kPinnable = 0, kUnfound = 1 };

    bool Open(const std::string& source);
    void Close();
    // Selects an entry as a click in the list does; outside any timing.
    void Select(Entry entry);
    // Shows the window again (a pin hides it), lets it settle, and clicks
    // Launch; what the click alone cost.
    Cost ClickLaunch();
    HWND Control(int id) { return GetDlgItem(GetDlgItem(window.hwnd(), corvane::kFavoritesPanel), id); }

    std::string dir, previous, target, params, report;
    corvane::MainWindow window;
};

bool LaunchRig::Open(const std::string& source) {
    char temp[MAX_PATH] = {}, current[MAX_PATH * 2] = {};
    GetTempPathA(sizeof temp, temp);
    GetCurrentDirectoryA(sizeof current, current);
    previous = current;
    dir = std::string(temp) + "corvane-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    SetCurrentDirectoryA(dir.c_str());  // where the window keeps Favorites
    // Names of their own, so that no other process can be mistaken for them.
    target = dir + "\\" + kImage;
    report = dir + "\\report.txt";
    params = "--life=10 --report=" + report;
    // A batch file runs as cmd.exe: started, but never under its own name.
    const std::string unfound = dir + "\\crvbench_unfound.bat";
    std::ofstream(unfound, std::ios::binary) << "@exit\r\n";
    if (!CopyFileA(source.c_str(), target.c_str(), FALSE)) return false;
    corvane::WriteFavoritesFile({corvane::MakeFavorite("Bench", target, dir, params, corvane::Core::Cpu0),
                                 corvane::MakeFavorite("Unfound", unfound, dir, "None", corvane::Core::Cpu0)});
    KillAll(kImage);
    if (!window.Create(GetModuleHandleA(nullptr))) return false;
    window.SetQuitOnClose(false);
    return window.Start() == corvane::MainWindow::StartResult::Running && !window.closed();
}

void LaunchRig::Close() {
    KillAll(kImage);
    if (!window.closed()) {
        PostMessageA(window.hwnd(), WM_CLOSE, 0, 0);
        PumpUntil([this] { return window.closed(); }, 5000);
    }
    SetCurrentDirectoryA(previous.c_str());
    for (const char* name : {kImage, "crvbench_unfound.bat", "report.txt", "Favorites"})
        DeleteFileA((dir + "\\" + name).c_str());
    RemoveDirectoryA(dir.c_str());
}

void LaunchRig::Select(Entry entry) {
    HWND list = Control(corvane::kFavoritesList);
    SendMessageA(list, LB_SETCURSEL, entry, 0);
    SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(corvane::kFavoritesList, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

Cost LaunchRig::ClickLaunch() {
    ShowWindow(window.hwnd(), SW_RESTORE);
    PumpUntil([] { return false; }, 50);
    return Measure([this] { SendMessageA(Control(corvane::kLaunchButton), BM_CLICK, 0, 0); });
}

// The pause of the design before: events pumped without a sleep until the
// attempts' 2.2 s have passed by the wall clock.
void BusyPause() {
    const double pause = 2 * corvane::kPinAttempts * static_cast<double>(corvane::kAttemptPause);
    const auto end = Clock::now() + std::chrono::duration<double>(pause);
    MSG msg;
    while (Clock::now() < end) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void BenchIdleLaunch(LaunchRig& rig, bool quick) {
    rig.Select(LaunchRig::kUnfound);
    rig.ClickLaunch();  // warms the shell and the lookup, as the later rounds find them
    std::vector<Cost> launches, pauses;
    int failed = 0;
    for (int r = 0; r < (quick ? 3 : 7); ++r) {
        launches.push_back(rig.ClickLaunch());
        failed += rig.window.lastLaunch() == corvane::LaunchOutcome::NotPinned;
        pauses.push_back(Measure(BusyPause));
    }
    const auto median = [](const std::vector<Cost>& costs, double Cost::*part) {
        std::vector<double> values;
        for (const Cost& c : costs)
            values.push_back(c.*part);
        return Median(values);
    };
    const std::string size = std::to_string(failed) + "/" + std::to_string(launches.size()) + " failed";
    const std::string base = "busy event loop, 2.2 s";
    g_rows.push_back(
        {"Unfound launch: CPU time", size, median(launches, &Cost::cpu), base, median(pauses, &Cost::cpu), "< 0.1 s"});
    g_rows.push_back(
        {"Unfound launch: wall time", size, median(launches, &Cost::wall), base, median(pauses, &Cost::wall), ""});
}

// The pin as the started program saw it; nothing when it never saw one.
std::optional<PinSeen> AwaitPin(const LaunchRig& rig) {
    std::optional<PinSeen> seen;
    PumpUntil([&] { return (seen = ReadPin(rig.report, "0x1")).has_value(); }, 5000);
    KillAll(LaunchRig::kImage);
    DeleteFileA(rig.report.c_str());
    return seen;
}

// Threads that keep every core busy while they live, as on a loaded
// machine, where a started program's first instructions race its pin.
class BusyCores {
public:
    explicit BusyCores(int count) {
        for (int i = 0; i < count; ++i)
            threads_.push_back(CreateThread(nullptr, 0, Spin, this, 0, nullptr));
    }
    ~BusyCores() {
        stop_ = true;
        for (HANDLE thread : threads_) {
            if (!thread) continue;
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
        }
    }

private:
    static DWORD WINAPI Spin(void* self) {
        while (!static_cast<BusyCores*>(self)->stop_.load(std::memory_order_relaxed))
            g_sink = g_sink + 1;
        return 0;
    }
    std::atomic<bool> stop_{false};
    std::vector<HANDLE> threads_;
};

void BenchPinAtCreation(LaunchRig& rig, bool quick) {
    rig.Select(LaunchRig::kPinnable);
    const int rounds = quick ? 5 : 20;
    int early = 0, baseEarly = 0, missed = 0;
    std::vector<double> ms, baseMs;
    const auto tally = [&](int& first, std::vector<double>& times) {
        const std::optional<PinSeen> seen = AwaitPin(rig);
        missed += !seen;
        first += seen && seen->firstPinned;
        if (seen) times.push_back(seen->seconds);
    };
    DeleteFileA(rig.report.c_str());
    {
        const BusyCores busy(2);
        for (int r = 0; r < rounds; ++r) {
            corvane::Launcher::startPins = {true, true};
            rig.ClickLaunch();
            tally(early, ms);
            corvane::Launcher::startPins = {false, true};
            rig.ClickLaunch();
            tally(baseEarly, baseMs);
        }
    }
    corvane::Launcher::startPins = {};
    if (missed) std::printf("pin: %d launches never pinned their program\n", missed);
    const std::string size = std::to_string(rounds) + " runs";
    const std::string base = "pin by handle alone";
    g_rows.push_back({"On its core at first instruction", size, static_cast<double>(early), base,
                      static_cast<double>(baseEarly), "all", true});
    g_rows.push_back({"Creation -> program sees its pin", size, Median(ms), base, Median(baseMs), ""});
}

void BenchLaunches(bool quick, std::string source) {
    if (source.empty()) {  // beside this program
        char path[MAX_PATH * 2] = {};
        GetModuleFileNameA(nullptr, path, sizeof path);
        source = std::string(path).substr(0, std::string(path).rfind('\\')) + "\\pin_target.exe";
    }
    if (GetFileAttributesA(source.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::printf("launch: %s not found; skipped\n", source.c_str());
        return;
    }
    LaunchRig rig;
    if (rig.Open(source)) {
        BenchIdleLaunch(rig, quick);
        BenchPinAtCreation(rig, quick);
    } else {
        std::printf("launch: no window, or another Corvane is open in this Wine session; skipped\n");
    }
    rig.Close();
}

}  // namespace

int main(int argc, char** argv) {
    bool quick = false;
    std::string target;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0)
            quick = true;
        else if (std::strncmp(argv[i], "--target=", 9) == 0)
            target = argv[i] + 9;
        else {
            std::fprintf(stderr, "usage: corvane_bench [--quick] [--target=pin_target.exe]\n");
            return 2;
        }
    }
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    BenchLookup(quick);
    BenchMatch(quick);
    BenchLaunches(quick, target);
    Print(g_rows);
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}
