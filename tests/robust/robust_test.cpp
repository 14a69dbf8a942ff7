// Out-of-process robustness tests of the real corvane.exe: faults while the
// Favorites file is written at exit, and instances started at the same time.
// Each case runs the program in a fresh folder, closes it as the window
// manager would (WM_CLOSE to its window) and then looks at the disk.
//
//   robust_test corvane.exe               all cases below
//   robust_test corvane.exe --prepare D   writes the sample Favorites into D
//   robust_test corvane.exe --rewritten D runs in D; Favorites must be rewritten
//   robust_test corvane.exe --kept D      runs in D; Favorites must stay as it is
// The last three serve disk_faults.sh, which needs mounts to make a folder
// truly full or read-only. D may be a Unix path (it is looked up on Z:).
//
// Prints one line per case and "N passed, N failed"; exits non-zero if any
// case failed.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "child_process.hpp"

namespace {

using namespace corvane::child;

constexpr DWORD kWindowTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 30000;
// About 220 KB, which a rewrite with CR LF makes 12 KB longer: more than the
// nearly full disk of disk_faults.sh has left even if the old file is given up.
constexpr int kSampleCount = 3000;

std::wstring g_exe;

std::string Narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w) s.push_back(c < 128 ? static_cast<char>(c) : '?');
    return s;
}

// ---------------------------------------------------------------- outcome

class Outcome {
public:
    void Expect(bool ok, const std::string& what) {
        if (!ok) failures_.push_back(what);
    }
    bool ok() const { return failures_.empty(); }
    const std::vector<std::string>& failures() const { return failures_; }

private:
    std::vector<std::string> failures_;
};

// ---------------------------------------------------------------- files

// `count` favorites as the program would store them, lines ended by `eol`.
// Written with lone CRs, the file reads the same as with CR LF, but the
// program writes CR LF: a rewrite is visible in the bytes.
std::string SampleFavorites(int count, const char* eol) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        const int code = i % 3;
        const std::string n = std::to_string(i);
        const std::string folder = "c:\\tools\\tool" + n;
        out += "Tool " + n + (code == 2 ? " on Default" : " on CPU " + std::to_string(code)) + eol;
        out += std::to_string(code) + "__" + folder + "\\tool" + n + ".exe" + eol;
        out += folder + eol;
        out += (i % 2 ? "-n " + n : std::string("None")) + eol;
    }
    return out;
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buf[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(f, buf, sizeof buf, &got, nullptr) != 0) && got > 0) bytes.append(buf, got);
    CloseHandle(f);
    if (!ok) return std::nullopt;
    return bytes;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD wrote = 0;
    const bool ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) &&
                    wrote == bytes.size();
    CloseHandle(f);
    return ok;
}

bool IsDirectory(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// Names in `folder` matching `pattern`, sorted.
std::vector<std::wstring> List(const std::wstring& folder, const wchar_t* pattern = L"*") {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((folder + L"\\" + pattern).c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = fd.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

std::string Join(const std::vector<std::wstring>& names) {
    std::string s;
    for (const auto& n : names) s += (s.empty() ? "" : ", ") + Narrow(n);
    return s.empty() ? "nothing" : s;
}

void RemoveTree(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (a & FILE_ATTRIBUTE_DIRECTORY) {
        for (const auto& n : List(path)) RemoveTree(path + L"\\" + n);
        RemoveDirectoryW(path.c_str());
    } else {
        DeleteFileW(path.c_str());
    }
}

// A fresh, empty folder under %TEMP%, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        static int serial = 0;
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        path_ = std::wstring(base) + L"corvane-robust-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++serial);
        RemoveTree(path_);
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempFolder() { RemoveTree(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring operator/(const wchar_t* name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

// ---------------------------------------------------------------- checks

// The folder holds exactly `expected` (sorted names): a temporary file left
// by a failed write shows up here whatever it is called.
void ExpectOnly(Outcome& out, const std::wstring& folder, std::vector<std::wstring> expected) {
    std::sort(expected.begin(), expected.end());
    const auto temps = List(folder, L"fav*.tmp");
    out.Expect(temps.empty(), "temporary files left behind: " + Join(temps));
    const auto names = List(folder);
    out.Expect(names == expected, "the folder holds " + Join(names) + " instead of " + Join(expected));
}

void ExpectBytes(Outcome& out, const std::wstring& path, const std::string& expected, const char* what) {
    const auto bytes = ReadBytes(path);
    if (!bytes) {
        out.Expect(false, std::string(what) + ": Favorites cannot be read");
        return;
    }
    if (*bytes == expected) return;
    std::size_t at = 0;
    while (at < bytes->size() && at < expected.size() && (*bytes)[at] == expected[at]) ++at;
    out.Expect(false, std::string(what) + ": Favorites has " + std::to_string(bytes->size()) + " bytes instead of " +
                          std::to_string(expected.size()) + ", first difference at byte " + std::to_string(at));
}

// Runs corvane.exe in `folder` until its window shows, calls `whileRunning`,
// closes the window and waits for the end. Whatever goes wrong is recorded.
void RunAndClose(Outcome& out, const std::wstring& folder, const std::function<void()>& whileRunning = {}) {
    Process p = Start(g_exe, folder);
    if (!p) {
        out.Expect(false, "CreateProcess failed, error " + std::to_string(GetLastError()));
        return;
    }
    HWND w = WaitForWindow(p, {kMainClass, kRunningTitle}, kWindowTimeoutMs);
    if (!w) {
        out.Expect(false, p.Running() ? "no \"Corvane!\" window within 30 s"
                                      : "ended before showing its window, status " + std::to_string(p.ExitCode()));
        return;
    }
    if (whileRunning) whileRunning();
    PostMessageW(w, WM_CLOSE, 0, 0);
    if (!p.WaitEnd(kExitTimeoutMs)) {
        out.Expect(false, "still running 30 s after WM_CLOSE");
        return;
    }
    const DWORD code = p.ExitCode();
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(code));
    out.Expect(!IsCrashStatus(code), std::string("ended by an exception, status ") + hex);
}

// ---------------------------------------------------------------- cases

// The baseline the fault cases lean on: in a writable folder the exit does
// rewrite the file (CR LF where it had lone CRs) and leaves nothing else.
void RewritesAtExit(Outcome& out) {
    TempFolder dir;
    const std::wstring fav = dir / L"Favorites";
    WriteBytes(fav, SampleFavorites(kSampleCount, "\r"));
    RunAndClose(out, dir.path());
    ExpectBytes(out, fav, SampleFavorites(kSampleCount, "\r\n"), "after exit");
    ExpectOnly(out, dir.path(), {L"Favorites"});
}

// Another program has Favorites open without sharing when Corvane exits: the
// new file cannot replace it, and the old one must come through untouched.
void LockedFile(Outcome& out) {
    TempFolder dir;
    const std::wstring fav = dir / L"Favorites";
    const std::string before = SampleFavorites(kSampleCount, "\r");
    WriteBytes(fav, before);
    HANDLE lock = INVALID_HANDLE_VALUE;
    // Locked only once start-up has read it, as a backup tool or an editor
    // would grab it while Corvane runs.
    RunAndClose(out, dir.path(), [&] {
        lock = CreateFileW(fav.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        out.Expect(lock != INVALID_HANDLE_VALUE, "could not open Favorites without sharing");
    });
    if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
    ExpectBytes(out, fav, before, "after exit with the file locked");
    ExpectOnly(out, dir.path(), {L"Favorites"});
}

// A folder where the file should be: nothing to read, nothing to replace.
void DirectoryInTheWay(Outcome& out) {
    TempFolder dir;
    const std::wstring fav = dir / L"Favorites";
    CreateDirectoryW(fav.c_str(), nullptr);
    const std::string inside = SampleFavorites(2, "\r\n");
    WriteBytes(fav + L"\\keep", inside);
    RunAndClose(out, dir.path());
    out.Expect(IsDirectory(fav), "Favorites is no longer a directory");
    ExpectBytes(out, fav + L"\\keep", inside, "the file inside the Favorites directory");
    out.Expect(List(fav) == std::vector<std::wstring>{L"keep"},
               "the Favorites directory holds " + Join(List(fav)) + " instead of keep");
    ExpectOnly(out, dir.path(), {L"Favorites"});
}

// The lock under which a starting instance looks for a running one and marks
// its own caption; held by the test to line the instances up.
constexpr const wchar_t* kStartupLock = L"Local\\Corvane.Startup";

// Five instances started together: one must win the start, show the only
// "Corvane!" window and be the only one to touch Favorites. With `holdLock`
// the test holds the start-up lock until all five wait at it, so they meet
// the search-and-mark step at the same instant (free-running, Wine's start-up
// jitter of tens of milliseconds would space them out); none may mark its
// caption while the lock is held elsewhere.
void FiveAtOnce(Outcome& out, bool holdLock) {
    constexpr int kCount = 5;
    constexpr int kFavorites = 50;
    TempFolder dir;
    const std::wstring fav = dir / L"Favorites";
    const std::string before = SampleFavorites(kFavorites, "\r");
    WriteBytes(fav, before);

    HANDLE lock = nullptr;
    if (holdLock) {
        lock = CreateMutexW(nullptr, FALSE, kStartupLock);
        // Abandoned by an instance killed while holding it: ours all the same.
        const DWORD got = lock ? WaitForSingleObject(lock, 5000) : WAIT_FAILED;
        if (got != WAIT_OBJECT_0 && got != WAIT_ABANDONED) {
            out.Expect(false, "cannot take the start-up lock");
            if (lock) CloseHandle(lock);
            return;
        }
    }

    std::vector<Process> ps;
    for (int i = 0; i < kCount && ps.size() == static_cast<std::size_t>(i); ++i) {
        Process p = Start(g_exe, dir.path(), true);
        if (p) ps.push_back(std::move(p));
        else out.Expect(false, "CreateProcess failed, error " + std::to_string(GetLastError()));
    }
    // Created suspended, resumed together: as close to simultaneous as one
    // program can make five starts.
    for (Process& p : ps) p.Resume();

    const auto running = [&] {
        int n = 0;
        for (const Process& p : ps) n += p.Running() ? 1 : 0;
        return n;
    };
    const auto marked = [] { return FindWindows({kMainClass, kRunningTitle}).size(); };

    if (lock) {
        // Every instance has its window (still titled "Corvane") and waits
        // at the lock; give the slowest a moment to get there. The program
        // waits at most 10 s for the lock, so this must come well before.
        const auto waiting = [&] {
            std::size_t n = 0;
            for (const Process& p : ps) n += FindWindows({kMainClass, L"Corvane", p.pid()}).size();
            return n;
        };
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(7);
        while (waiting() < ps.size() && marked() == 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        out.Expect(waiting() == ps.size(), std::to_string(waiting()) + " of " + std::to_string(ps.size()) +
                                               " instances reached the start-up lock");
        out.Expect(marked() == 0, "an instance marked its caption while the start-up lock was held");
        ReleaseMutex(lock);
        CloseHandle(lock);
    }

    // Settled: one process left and one marked window, seen twice in a row
    // half a second apart (a loser may still be on its way out at first).
    int alive = 0;
    std::size_t windows = 0;
    bool settled = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(45);
    while (!settled && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const int a = running();
        const std::size_t w = marked();
        settled = a == 1 && w == 1 && alive == 1 && windows == 1;
        alive = a;
        windows = w;
    }
    out.Expect(alive == 1, std::to_string(alive) + " instances running instead of 1");
    out.Expect(windows == 1, std::to_string(windows) + " \"Corvane!\" windows instead of 1");
    out.Expect(FindWindows({kMainClass, nullptr}).size() == 1, "more than one Corvane window exists");

    Process* winner = nullptr;
    for (Process& p : ps) {
        if (p.Running()) {
            winner = &p;
        } else {
            const DWORD code = p.ExitCode();
            out.Expect(!IsCrashStatus(code), "an instance that found another ended by an exception, status " +
                                                 std::to_string(code));
        }
    }
    // The instances that gave way must not have written the file.
    ExpectBytes(out, fav, before, "while the winner runs");
    if (!settled || !winner) return;

    const auto w = FindWindows({kMainClass, kRunningTitle, winner->pid(), true});
    out.Expect(w.size() == 1, "the running instance shows no visible \"Corvane!\" window of its own");
    if (w.empty()) return;
    PostMessageW(w.front(), WM_CLOSE, 0, 0);
    out.Expect(winner->WaitEnd(kExitTimeoutMs), "the running instance did not end after WM_CLOSE");
    out.Expect(!IsCrashStatus(winner->ExitCode()), "the running instance ended by an exception");
    ExpectBytes(out, fav, SampleFavorites(kFavorites, "\r\n"), "after the running instance closed");
    ExpectOnly(out, dir.path(), {L"Favorites"});
}

// ---------------------------------------------------------------- modes for disk_faults.sh

void ExpectRewritten(Outcome& out, const std::wstring& folder) {
    RunAndClose(out, folder);
    ExpectBytes(out, folder + L"\\Favorites", SampleFavorites(kSampleCount, "\r\n"), "after exit");
    ExpectOnly(out, folder, {L"Favorites"});
}

void ExpectKept(Outcome& out, const std::wstring& folder) {
    const auto before = ReadBytes(folder + L"\\Favorites");
    if (!before) {
        out.Expect(false, "no Favorites to start from in " + Narrow(folder));
        return;
    }
    const auto names = List(folder);
    RunAndClose(out, folder);
    ExpectBytes(out, folder + L"\\Favorites", *before, "after exit");
    ExpectOnly(out, folder, names);
}

struct Case {
    const char* name;
    std::function<void(Outcome&)> run;
};

int RunCases(const std::vector<Case>& cases) {
    int passed = 0, failed = 0;
    for (const Case& c : cases) {
        std::printf("[ RUN  ] %s\n", c.name);
        std::fflush(stdout);
        const auto t0 = std::chrono::steady_clock::now();
        Outcome out;
        c.run(out);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0);
        for (const auto& f : out.failures()) std::printf("    %s\n", f.c_str());
        std::printf("[ %s ] %s (%lld ms)\n", out.ok() ? "PASS" : "FAIL", c.name, static_cast<long long>(ms.count()));
        std::fflush(stdout);
        (out.ok() ? passed : failed)++;
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // A crash must end the process with its status, not wait on a dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: %s corvane.exe [--prepare|--rewritten|--kept folder]\n", argv[0]);
        return 2;
    }
    g_exe = WindowsPath(argv[1]);
    if (GetFileAttributesW(g_exe.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::fprintf(stderr, "%s: no such program\n", argv[1]);
        return 2;
    }
    if (argc == 2) {
        return RunCases({
            {"exit rewrites Favorites in a writable folder", RewritesAtExit},
            {"exit with Favorites held open without sharing", LockedFile},
            {"exit with a directory named Favorites", DirectoryInTheWay},
            {"five instances started at the same moment", [](Outcome& o) { FiveAtOnce(o, false); }},
            {"five instances meeting at the start-up lock", [](Outcome& o) { FiveAtOnce(o, true); }},
        });
    }
    const std::string mode = argv[2];
    const std::wstring folder = WindowsPath(argv[3]);
    if (mode == "--prepare") {
        if (WriteBytes(folder + L"\\Favorites", SampleFavorites(kSampleCount, "\r"))) return 0;
        std::fprintf(stderr, "cannot write Favorites in %s\n", argv[3]);
        return 1;
    }
    if (mode == "--rewritten") return RunCases({{"exit rewrites Favorites", [&](Outcome& o) { ExpectRewritten(o, folder); }}});
    if (mode == "--kept") return RunCases({{"exit keeps the previous Favorites", [&](Outcome& o) { ExpectKept(o, folder); }}});
    std::fprintf(stderr, "unknown mode %s\n", argv[2]);
    return 2;
}
