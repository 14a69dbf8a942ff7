// Start-up and shutdown of corvane.exe against a bare one-window program
// (baseline_window.exe), both started as separate processes under the same
// Wine session, alternately, each round in a fresh folder:
//
//   start-up   from CreateProcess to a visible main window, with no Favorites
//              file and with one of 32,767 favorites (the most the list holds);
//   shutdown   from posting WM_CLOSE to the end of the process, with 32,767
//              favorites; unchanged, so corvane.exe leaves the file as it is.
//
// Given baseline_writer.exe as well (the bare program that also writes the
// same Favorites back, replacing it safely), the shutdown with 32,767
// favorites is compared with that too: how much of Corvane's shutdown is the
// file, and how much the rest. No budget goes with that figure.
//
// Prints every sample, then the medians, their ratio and the budget:
//   corvane_startup_bench.exe corvane.exe baseline_window.exe [baseline_writer.exe] [--runs=N]
// A benchmark, not a test: the exit status only says whether every run
// worked, never whether a budget was kept.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "../sample_favorites.hpp"
#include "child_process.hpp"

namespace {

using namespace corvane::child;
using Clock = std::chrono::steady_clock;

constexpr int kMaxFavorites = 32767;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

struct Program {
    const char* name;
    std::wstring exe;
    const wchar_t* cls;
    const wchar_t* title;
};

struct Sample {
    bool ok = false;
    double startMs = 0;
    double stopMs = 0;
};

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD wrote = 0;
    const bool ok =
        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) && wrote == bytes.size();
    CloseHandle(f);
    return ok;
}

long long FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &a)) return -1;
    return (static_cast<long long>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
}

// A fresh folder under %TEMP%, holding `favorites` as its Favorites file
// unless that is empty; removed with its contents afterwards.
class Folder {
public:
    explicit Folder(const std::string& favorites) {
        static int serial = 0;
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        path_ = std::wstring(base) + L"corvane-bench-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++serial);
        CreateDirectoryW(path_.c_str(), nullptr);
        if (!favorites.empty()) WriteBytes(favorites_path(), favorites);
    }
    ~Folder() {
        DeleteFileW(favorites_path().c_str());
        RemoveDirectoryW(path_.c_str());
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring favorites_path() const { return path_ + L"\\Favorites"; }

private:
    std::wstring path_;
};

// One start and close of `prog` in `folder`.
Sample RunOnce(const Program& prog, const std::wstring& folder) {
    // The session settles first: a program that just ended leaves work
    // behind (Wine's explorer takes its notification icon down and hides its
    // tray window, the X server drops its windows), and whichever program
    // started next would pay for it.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Sample s;
    const auto t0 = Clock::now();
    Process p = Start(prog.exe, folder);
    if (!p) {
        std::fprintf(stderr, "%s: CreateProcess failed, error %lu\n", prog.name, GetLastError());
        return s;
    }
    HWND w = WaitForWindow(p, {prog.cls, prog.title}, 60000, 2);
    const auto t1 = Clock::now();
    if (!w) {
        std::fprintf(stderr, "%s: no visible window\n", prog.name);
        return s;
    }
    // Let each program finish what it does after its window shows (Corvane
    // selects its first favorite) before asking it to close.
    WaitForInputIdle(p.handle(), 10000);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto t2 = Clock::now();
    PostMessageW(w, WM_CLOSE, 0, 0);
    if (!p.WaitEnd(60000)) {
        std::fprintf(stderr, "%s: still running 60 s after WM_CLOSE\n", prog.name);
        return s;
    }
    const auto t3 = Clock::now();
    s.ok = !IsCrashStatus(p.ExitCode());
    if (!s.ok) std::fprintf(stderr, "%s: ended by an exception (0x%08lX)\n", prog.name, p.ExitCode());
    s.startMs = Ms(t1 - t0);
    s.stopMs = Ms(t3 - t2);
    return s;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::string List(const std::vector<double>& v) {
    std::string s;
    char buf[32];
    for (double x : v) {
        std::snprintf(buf, sizeof buf, "%s%.0f", s.empty() ? "" : " ", x);
        s += buf;
    }
    return s;
}

struct Figures {
    std::vector<double> program, baseline;
};

void Report(const char* what, const Figures& f, double budget) {
    const double p = Median(f.program), b = Median(f.baseline);
    const double ratio = b > 0 ? p / b : 0;
    std::printf("%-34s corvane %7.0f ms   baseline %7.0f ms   ratio %5.2f   budget %4.2f   %s\n", what, p, b, ratio,
                budget, ratio <= budget ? "within" : "OVER");
}

}  // namespace

int main(int argc, char** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    int runs = 5;
    // --versus: the "baseline" is another build of corvane.exe (an earlier
    // commit), to measure a change side by side.
    bool versus = false;
    std::vector<const char*> paths;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--runs=", 7) == 0)
            runs = std::max(1, std::atoi(argv[i] + 7));
        else if (std::strcmp(argv[i], "--versus") == 0)
            versus = true;
        else
            paths.push_back(argv[i]);
    }
    if (paths.size() != 2 && paths.size() != 3) {
        std::fprintf(stderr, "usage: %s corvane.exe baseline_window.exe [baseline_writer.exe] [--runs=N] [--versus]\n",
                     argv[0]);
        return 2;
    }
    const Program corvane{"corvane", WindowsPath(paths[0]), kMainClass, kRunningTitle};
    const Program baseline = versus ? Program{"earlier corvane", WindowsPath(paths[1]), kMainClass, kRunningTitle}
                                    : Program{"baseline", WindowsPath(paths[1]), L"CorvaneBaselineWindow", L"Baseline"};
    const bool withWriter = paths.size() == 3;
    const Program writer{"baseline_writer", withWriter ? WindowsPath(paths[2]) : std::wstring(),
                         L"CorvaneBaselineWindow", L"Baseline"};
    const std::string full = corvane::bench::SampleFavorites(kMaxFavorites);

    Figures emptyStart, emptyStop, fullStart, fullStop, fullStopWriting;
    bool allOk = true;
    bool written = true;
    std::printf("%d runs of each, alternating; times in ms\n", runs);
    std::fflush(stdout);
    for (int round = 0; round < runs; ++round) {
        // Alternate which program goes first, so neither always inherits a
        // cold (or warm) Wine session from the other.
        const Program* order[2] = {&corvane, &baseline};
        if (round % 2) std::swap(order[0], order[1]);
        for (const Program* prog : order) {
            const bool isCorvane = prog == &corvane;
            {
                Folder dir("");
                const Sample s = RunOnce(*prog, dir.path());
                allOk = allOk && s.ok;
                if (s.ok) {
                    (isCorvane ? emptyStart.program : emptyStart.baseline).push_back(s.startMs);
                    (isCorvane ? emptyStop.program : emptyStop.baseline).push_back(s.stopMs);
                }
            }
            {
                Folder dir(full);
                const Sample s = RunOnce(*prog, dir.path());
                allOk = allOk && s.ok;
                if (s.ok) {
                    (isCorvane ? fullStart.program : fullStart.baseline).push_back(s.startMs);
                    (isCorvane ? fullStop.program : fullStop.baseline).push_back(s.stopMs);
                }
                // The shutdown measured must include writing every favorite.
                if ((isCorvane || versus) && FileSize(dir.favorites_path()) != static_cast<long long>(full.size())) {
                    std::fprintf(stderr, "corvane: Favorites not written back whole (%lld of %zu bytes)\n",
                                 FileSize(dir.favorites_path()), full.size());
                    written = false;
                }
            }
        }
        if (withWriter) {
            Folder dir(full);
            const Sample s = RunOnce(writer, dir.path());
            allOk = allOk && s.ok;
            if (s.ok) fullStopWriting.baseline.push_back(s.stopMs);
            if (FileSize(dir.favorites_path()) != static_cast<long long>(full.size())) {
                std::fprintf(stderr, "baseline_writer: Favorites not written back whole\n");
                written = false;
            }
        }
    }
    fullStopWriting.program = fullStop.program;

    std::printf("\nsamples (corvane | baseline)\n");
    std::printf("  start-up, no Favorites:       %s | %s\n", List(emptyStart.program).c_str(),
                List(emptyStart.baseline).c_str());
    std::printf("  start-up, 32,767 favorites:   %s | %s\n", List(fullStart.program).c_str(),
                List(fullStart.baseline).c_str());
    std::printf("  shutdown, no Favorites:       %s | %s\n", List(emptyStop.program).c_str(),
                List(emptyStop.baseline).c_str());
    std::printf("  shutdown, 32,767 favorites:   %s | %s\n", List(fullStop.program).c_str(),
                List(fullStop.baseline).c_str());
    std::printf("\nmedians (Favorites of 32,767 favorites: %zu bytes)\n", full.size());
    Report("start-up, no Favorites", emptyStart, 1.3);
    Report("start-up, 32,767 favorites", fullStart, 2.0);
    Report("shutdown, 32,767 favorites", fullStop, 1.5);
    std::printf("%-34s corvane %7.0f ms   baseline %7.0f ms   (no budget)\n", "shutdown, no Favorites",
                Median(emptyStop.program), Median(emptyStop.baseline));
    if (withWriter) {
        std::printf("  shutdown, 32,767 favorites, against the bare program writing the same file back:\n");
        std::printf("    writer samples: %s\n", List(fullStopWriting.baseline).c_str());
        const double p = Median(fullStopWriting.program), b = Median(fullStopWriting.baseline);
        std::printf("%-34s corvane %7.0f ms   writer   %7.0f ms   ratio %5.2f   (no budget)\n",
                    "shutdown, file written by both", p, b, b > 0 ? p / b : 0);
    }
    return allOk && written ? 0 : 1;
}
