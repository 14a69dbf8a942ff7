// Starting a GUI program as a separate process, finding its main window and
// closing it the way the window manager does. Shared by the robustness tests
// and the start-up benchmarks, which both drive the real corvane.exe.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace corvane::child {

inline constexpr const wchar_t* kMainClass = L"CorvaneMainWindow";
inline constexpr const wchar_t* kRunningTitle = L"Corvane!";

// A path given on the command line as the build system knows it: a Unix path
// under Wine ("/work/build/corvane.exe") becomes the same file on drive Z:,
// which Wine maps to the Unix root; a Windows path is taken as it is.
inline std::wstring WindowsPath(std::string_view arg) {
    std::wstring out;
    if (!arg.empty() && arg.front() == '/') out = L"Z:";
    for (char c : arg)
        out.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return out;
}

// Owns a started process; a process still running when the owner goes is
// terminated, so a failed test leaves nothing behind in the Wine session.
class Process {
public:
    Process() = default;
    Process(HANDLE process, HANDLE thread, DWORD pid) : process_(process), thread_(thread), pid_(pid) {}
    Process(Process&& o) noexcept
        : process_(std::exchange(o.process_, nullptr)),
          thread_(std::exchange(o.thread_, nullptr)),
          pid_(std::exchange(o.pid_, 0)) {}
    Process& operator=(Process&& o) noexcept {
        if (this != &o) {
            Reset();
            process_ = std::exchange(o.process_, nullptr);
            thread_ = std::exchange(o.thread_, nullptr);
            pid_ = std::exchange(o.pid_, 0);
        }
        return *this;
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process() { Reset(); }

    explicit operator bool() const { return process_ != nullptr; }
    DWORD pid() const { return pid_; }
    HANDLE handle() const { return process_; }

    bool Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
    // Waits for the end; false if it is still running after `ms`.
    bool WaitEnd(DWORD ms) const { return process_ && WaitForSingleObject(process_, ms) == WAIT_OBJECT_0; }
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        if (process_) GetExitCodeProcess(process_, &code);
        return code;
    }
    // Lets a process created suspended run.
    void Resume() {
        if (thread_) ResumeThread(thread_);
    }
    void Kill() {
        if (Running()) {
            TerminateProcess(process_, 0xDEAD);
            WaitForSingleObject(process_, 10000);
        }
    }

private:
    void Reset() {
        Kill();
        if (thread_) CloseHandle(thread_);
        if (process_) CloseHandle(process_);
        process_ = thread_ = nullptr;
        pid_ = 0;
    }

    HANDLE process_ = nullptr;
    HANDLE thread_ = nullptr;
    DWORD pid_ = 0;
};

// Starts `exe` with `folder` as its current directory (where Corvane keeps
// its Favorites file). `suspended` holds the main thread until Resume().
inline Process Start(const std::wstring& exe, const std::wstring& folder, bool suspended = false) {
    std::wstring cmd = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, suspended ? CREATE_SUSPENDED : 0, nullptr,
                        folder.c_str(), &si, &pi))
        return {};
    return Process(pi.hProcess, pi.hThread, pi.dwProcessId);
}

struct WindowQuery {
    const wchar_t* cls = nullptr;    // nullptr: any class
    const wchar_t* title = nullptr;  // nullptr: any title
    DWORD pid = 0;                   // 0: any process
    bool visibleOnly = false;
};

// Top-level windows matching `q`, in the order EnumWindows gives them.
inline std::vector<HWND> FindWindows(const WindowQuery& q) {
    struct Ctx {
        const WindowQuery* q;
        std::vector<HWND> found;
    } ctx{&q, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) CALLBACK -> BOOL {  // stdcall, as a 32-bit build needs
            auto* c = reinterpret_cast<Ctx*>(lp);
            if (c->q->pid) {
                DWORD owner = 0;
                GetWindowThreadProcessId(hwnd, &owner);
                if (owner != c->q->pid) return TRUE;
            }
            if (c->q->visibleOnly && !IsWindowVisible(hwnd)) return TRUE;
            wchar_t text[256];
            if (c->q->cls) {
                if (!GetClassNameW(hwnd, text, 256) || std::wstring_view(text) != c->q->cls) return TRUE;
            }
            if (c->q->title) {
                text[0] = 0;
                GetWindowTextW(hwnd, text, 256);
                if (std::wstring_view(text) != c->q->title) return TRUE;
            }
            c->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

// Polls until `p` shows a visible window matching `q` (q.pid is set to the
// process). Returns nullptr on timeout or when the process ends first.
inline HWND WaitForWindow(const Process& p, WindowQuery q, DWORD timeoutMs, DWORD pollMs = 20) {
    q.pid = p.pid();
    q.visibleOnly = true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto found = FindWindows(q);
        if (!found.empty()) return found.front();
        if (!p.Running() || std::chrono::steady_clock::now() >= deadline) return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(pollMs));
    }
}

// An exit status that Windows (and Wine) give a process killed by an
// exception: access violation, stack overflow, heap corruption and the like.
inline bool IsCrashStatus(DWORD code) {
    return code >= 0xC0000000u;
}

}  // namespace corvane::child
