// How long the launcher's process lookup and a whole launch take, each next
// to a plain baseline measured in the same runs:
//
//   lookup   one GetProcessIdByName pass over the real process list, against
//            a loop that only compares the names of that same list (and,
//            for scale, the bare system enumeration);
//   match    FindProcessId over synthetic lists of 300, 3,000 and 30,000
//            records, against a plain strcmp loop over the same names;
//   launch   "Launch" clicked until the started program is pinned, against
//            starting the same program through the shell and pinning it in a
//            tight loop without pauses.
//
// Candidate and baseline alternate within every round, so drift of the
// machine affects both alike; each figure is the median of its rounds.
//
//   corvane_bench.exe [--quick] [--target=PATH-OF-pin_target.exe]
#include <windows.h>
#include <objbase.h>
#include <commctrl.h>
#include <wtsapi32.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/layout.hpp"
#include "app/main_window.hpp"
#include "bench/synthetic.hpp"
#include "favorites/favorite.hpp"
#include "favorites/file_io.hpp"
#include "launcher/launch_logic.hpp"
#include "launcher/launcher.hpp"

namespace {

using Clock = std::chrono::steady_clock;

volatile std::uint64_t g_sink = 0;  // keeps measured results alive

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::string Human(double seconds) {
    char buf[32];
    if (seconds >= 1) std::snprintf(buf, sizeof buf, "%.3f s", seconds);
    else if (seconds >= 1e-3) std::snprintf(buf, sizeof buf, "%.2f ms", seconds * 1e3);
    else if (seconds >= 1e-6) std::snprintf(buf, sizeof buf, "%.2f us", seconds * 1e6);
    else std::snprintf(buf, sizeof buf, "%.1f ns", seconds * 1e9);
    return buf;
}

struct Row {
    std::string name;
    std::string size;
    double candidate;
    std::string baselineName;
    double baseline;
    std::string goal;
};

std::vector<Row> g_rows;

void Print() {
    std::printf("\n%-34s %8s %12s  %-26s %12s %9s  %s\n", "benchmark", "size", "median", "baseline", "median",
                "ratio", "goal");
    for (const Row& r : g_rows) {
        const double ratio = r.baseline > 0 ? r.candidate / r.baseline : 0;
        std::printf("%-34s %8s %12s  %-26s %12s %8.2fx  %s\n", r.name.c_str(), r.size.c_str(),
                    Human(r.candidate).c_str(), r.baselineName.c_str(), Human(r.baseline).c_str(), ratio,
                    r.goal.c_str());
    }
}

// Median time of one call of `a` and of `b`, measured in `rounds` rounds of
// `iterations` calls each, the two alternating round by round.
std::pair<double, double> SideBySide(int rounds, int iterations, const std::function<void()>& a,
                                     const std::function<void()>& b) {
    std::vector<double> ta, tb;
    a();
    b();  // warm caches and lazily built tables
    for (int r = 0; r < rounds; ++r) {
        auto t0 = Clock::now();
        for (int i = 0; i < iterations; ++i) a();
        auto t1 = Clock::now();
        for (int i = 0; i < iterations; ++i) b();
        auto t2 = Clock::now();
        ta.push_back(Seconds(t1 - t0) / iterations);
        tb.push_back(Seconds(t2 - t1) / iterations);
    }
    return {Median(ta), Median(tb)};
}

// ------------------------------------------------------------ lookup

void BenchLookup(bool quick) {
    std::vector<corvane::RunningProcess> processes;
    if (!corvane::EnumerateProcesses(processes) || processes.empty()) {
        std::printf("lookup: the process enumeration reported nothing; skipped\n");
        return;
    }
    // The name of the last process listed: the lookup has to visit every
    // record anyway, and this one surely exists.
    const std::string wanted = processes.back().name;
    std::vector<std::string> names;
    for (const auto& p : processes) names.push_back(p.name);

    const int rounds = quick ? 5 : 15;
    const int iterations = quick ? 20 : 100;
    const auto lookup = [&] { g_sink = g_sink + corvane::GetProcessIdByName(wanted); };
    const auto plainLoop = [&] {
        std::uint32_t found = 0;
        for (std::size_t i = 0; i < names.size(); ++i)
            if (processes[i].pid != 0 && _stricmp(names[i].c_str(), wanted.c_str()) == 0) found = processes[i].pid;
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
    auto [a, b] = SideBySide(rounds, iterations, lookup, plainLoop);
    g_rows.push_back({"GetProcessIdByName (real list)", size, a, "name compare loop", b, ""});
    auto [c, d] = SideBySide(rounds, iterations, lookup, enumerateOnly);
    g_rows.push_back({"GetProcessIdByName (real list)", size, c, "bare WTSEnumerateProcessesW", d, ""});
}

// ------------------------------------------------------------ match

void BenchMatch(bool quick) {
    for (std::size_t count : {std::size_t{300}, std::size_t{3000}, std::size_t{30000}}) {
        const corvane::bench::SyntheticList list = corvane::bench::MakeSyntheticList(count);
        const std::string wanted = corvane::bench::kWanted;
        const corvane::CaseMap& upper = corvane::AsciiUpper();
        const int iterations = std::max(1, static_cast<int>((quick ? 300000 : 3000000) / count));
        const int rounds = quick ? 5 : 15;
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
        auto [a, b] = SideBySide(rounds, iterations, candidate, plain);
        g_rows.push_back({"FindProcessId (synthetic)", std::to_string(count), a, "strcmp loop", b,
                          count == 3000 ? "<= 2x" : ""});
    }
}

// ------------------------------------------------------------ launch

std::string ExeDir() {
    char path[MAX_PATH * 2] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string s = path;
    return s.substr(0, s.rfind('\\'));
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

// The minimising that marks a successful pin, seen as it happens.
Clock::time_point g_minimisedAt;
LRESULT CALLBACK WatchMinimise(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    if (msg == WM_SIZE && wp == SIZE_MINIMIZED && g_minimisedAt == Clock::time_point{}) g_minimisedAt = Clock::now();
    return DefSubclassProc(hwnd, msg, wp, lp);
}

bool PinnedTo(const std::string& image, DWORD_PTR want) {
    const std::uint32_t pid = corvane::GetProcessIdByName(image);
    if (!pid) return false;
    HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!h) return false;
    DWORD_PTR mask = 0, system = 0;
    const bool ok = GetProcessAffinityMask(h, &mask, &system) && mask == want;
    CloseHandle(h);
    return ok;
}

void BenchLaunch(bool quick, std::string source) {
    if (source.empty()) source = ExeDir() + "\\pin_target.exe";
    if (GetFileAttributesA(source.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::printf("launch: %s not found; skipped\n", source.c_str());
        return;
    }
    char tempBase[MAX_PATH] = {};
    GetTempPathA(sizeof tempBase, tempBase);
    const std::string dir = std::string(tempBase) + "corvane-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    // A name of its own, so that no other process can be mistaken for it.
    const std::string image = "crvbench_target.exe";
    const std::string target = dir + "\\" + image;
    if (!CopyFileA(source.c_str(), target.c_str(), FALSE)) {
        std::printf("launch: cannot copy %s; skipped\n", source.c_str());
        return;
    }
    char oldDir[MAX_PATH * 2] = {};
    GetCurrentDirectoryA(sizeof oldDir, oldDir);
    SetCurrentDirectoryA(dir.c_str());
    const std::string params = "--life=15";
    corvane::WriteFavoritesFile({corvane::MakeFavorite("Bench", target, dir, params, corvane::kCpu0)});
    KillAll(image);

    const int rounds = quick ? 3 : 7;
    std::vector<double> toPinned, toReturn, floor;
    {
        corvane::MainWindow window;
        if (!window.Create(GetModuleHandleA(nullptr))) {
            std::printf("launch: cannot create the window; skipped\n");
            return;
        }
        window.SetQuitOnClose(false);
        if (window.Load() != corvane::MainWindow::StartResult::Running) {
            std::printf("launch: another Corvane window is open in this Wine session; skipped\n");
            return;
        }
        SetWindowSubclass(window.hwnd(), WatchMinimise, 1, 0);
        for (int r = 0; r < rounds; ++r) {
            // Corvane: click "Launch" and wait for the sequence to finish.
            // Bring the window back first, as the user would after the last
            // launch hid it.
            ShowWindow(window.hwnd(), SW_RESTORE);
            window.DoEvents();
            g_minimisedAt = {};
            const auto t0 = Clock::now();
            SendMessageA(window.control(corvane::kCommand3), BM_CLICK, 0, 0);
            const auto t1 = Clock::now();
            if (g_minimisedAt != Clock::time_point{} && PinnedTo(image, 1)) {
                toPinned.push_back(Seconds(g_minimisedAt - t0));
                toReturn.push_back(Seconds(t1 - t0));
            } else {
                std::printf("launch: round %d did not pin\n", r + 1);
            }
            KillAll(image);

            // Baseline: the same start, then lookup and pin with no pauses.
            const auto b0 = Clock::now();
            ShellExecuteA(nullptr, nullptr, target.c_str(), params.c_str(), dir.c_str(), SW_SHOWNORMAL);
            bool pinned = false;
            while (!pinned && Clock::now() - b0 < std::chrono::seconds(10)) {
                if (const std::uint32_t pid = corvane::GetProcessIdByName(image)) {
                    if (HANDLE h = OpenProcess(PROCESS_SET_INFORMATION, FALSE, pid)) {
                        pinned = SetProcessAffinityMask(h, 1) == TRUE;
                        CloseHandle(h);
                    }
                }
            }
            if (pinned) floor.push_back(Seconds(Clock::now() - b0));
            KillAll(image);
        }
        SendMessageA(window.hwnd(), WM_CLOSE, 0, 0);
        window.DoEvents();
    }
    SetCurrentDirectoryA(oldDir);
    DeleteFileA(target.c_str());
    DeleteFileA((dir + "\\Favorites").c_str());
    // The target's reports, one per run.
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((dir + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    RemoveDirectoryA(dir.c_str());

    const std::string size = std::to_string(toPinned.size()) + " runs";
    g_rows.push_back({"Launch -> pinned (window minimised)", size, Median(toPinned), "ShellExecute + tight pin",
                      Median(floor), ""});
    g_rows.push_back({"Launch -> sequence returned", size, Median(toReturn), "ShellExecute + tight pin",
                      Median(floor), ""});
}

}  // namespace

int main(int argc, char** argv) {
    bool quick = false;
    std::string target;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0) quick = true;
        else if (std::strncmp(argv[i], "--target=", 9) == 0) target = argv[i] + 9;
        else {
            std::fprintf(stderr, "usage: corvane_bench [--quick] [--target=pin_target.exe]\n");
            return 2;
        }
    }
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    BenchLookup(quick);
    BenchMatch(quick);
    BenchLaunch(quick, target);
    Print();
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}
