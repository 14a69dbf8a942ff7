#include "launcher/launcher.hpp"

#include <shellapi.h>
#include <wtsapi32.h>

#include "app/main_window.hpp"
#include "launcher/launch_logic.hpp"
#include "platform/lazy_proc.hpp"
#include "platform/shell.hpp"

namespace corvane {

namespace {

// What older headers call PROCESS_ALL_ACCESS; it opens processes on every
// Windows version, where the newer, larger value fails on old ones.
constexpr DWORD kProcessAccess = 0x1F0FFF;

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(WTS_PROCESS_INFOA) == 16, "process record is 16 bytes in a 32-bit process");
#endif

// wtsapi32 is needed only once a launch pins a process.
struct Wts {
    decltype(&WTSEnumerateProcessesW) enumerate;
    decltype(&WTSFreeMemory) freeMemory;
};

const Wts& WtsApi() {
    static const Wts api{LoadSystemProc<decltype(&WTSEnumerateProcessesW)>("wtsapi32.dll", "WTSEnumerateProcessesW"),
                         LoadSystemProc<decltype(&WTSFreeMemory)>("wtsapi32.dll", "WTSFreeMemory")};
    return api;
}

struct WtsBuffer {
    WTS_PROCESS_INFOW* records = nullptr;
    ~WtsBuffer() {
        if (records) WtsApi().freeMemory(records);
    }
};

}  // namespace

bool EnumerateProcesses(std::vector<RunningProcess>& out) {
    out.clear();
    // The wide form, converted to the ANSI code page, is what the ANSI form
    // does itself on Windows; some Windows emulations stub the ANSI form.
    const Wts& wts = WtsApi();
    WtsBuffer buffer;
    DWORD count = 0;
    if (!wts.enumerate || !wts.freeMemory ||
        !wts.enumerate(WTS_CURRENT_SERVER_HANDLE, 0, 1, &buffer.records, &count)) {
        Beep();
        return false;
    }
    out.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        const WTS_PROCESS_INFOW& record = buffer.records[i];
        RunningProcess process;
        process.pid = record.ProcessId;
        if (record.pProcessName) {
            const int bytes = WideCharToMultiByte(CP_ACP, 0, record.pProcessName, -1, nullptr, 0, nullptr, nullptr);
            if (bytes > 1) {
                process.name.resize(static_cast<std::size_t>(bytes));
                WideCharToMultiByte(CP_ACP, 0, record.pProcessName, -1, process.name.data(), bytes, nullptr, nullptr);
                process.name.resize(static_cast<std::size_t>(bytes) - 1);
            }
        }
        out.push_back(std::move(process));
    }
    return true;
}

std::uint32_t GetProcessIdByName(std::string_view name) {
    std::vector<RunningProcess> processes;
    if (!EnumerateProcesses(processes)) return 0;
    std::vector<ProcessRecord> records;
    records.reserve(processes.size());
    for (const RunningProcess& p : processes) records.push_back({p.pid, p.name});
    return FindProcessId(records, name, SystemUpper());
}

bool AutoSetAff(int num, std::string_view strImageName, HWND window) {
    const std::uint32_t pid = GetProcessIdByName(strImageName);
    if (pid == 0) return false;
    UniqueHandle process(OpenProcess(kProcessAccess, FALSE, pid));
    if (!process) return false;
    const std::uint32_t mask = CoreMask(num);
    if (mask == 0) return false;
    if (SetProcessAffinityMask(process.get(), mask) != 1) return false;
    // Already minimised, the window is hidden in the notification area;
    // minimising it again would show it on the taskbar without the resize
    // that hides it.
    if (!IsIconic(window)) ShowWindow(window, SW_MINIMIZE);
    return true;
}

void MainWindow::OnLaunch() {
    const std::string target = Text(kText1);
    if (!FieldsComplete(Text(kText3), Text(kText2), target)) {
        InfoBox(hwnd(), "Please make a selection.");
        return;
    }
    const std::optional<std::string> params = ParametersFor(Text(kText4));
    const std::string folder = Text(kText2);
    if (!DoEvents()) return;
    EnterComApartment();
    // The whole path, not just the file name: the start-in folder need not
    // be the target's own folder.
    shell::Execute(hwnd(), target.c_str(), params ? params->c_str() : nullptr, folder.c_str(), SW_SHOWNORMAL);
    if (!DoEvents()) return;
    const int code = CpuCode(store_.at(CurrentIndex()).coded);
    if (IsIconic(hwnd())) ShowWindow(hwnd(), SW_RESTORE);
    if (!DoEvents()) return;
    if (code > kCpu1) {
        ShowWindow(hwnd(), SW_MINIMIZE);
        DoEvents();
        return;
    }
    AttemptHooks hooks;
    hooks.wait = [this](float secs) {
        return Wait(secs, SecondsSinceMidnight, [this] { return DoEvents(); });
    };
    hooks.pin = [this, code] { AutoSetAff(code, CutPath(Text(kText1)), hwnd()); };
    hooks.windowState = [this] { return WindowState(); };
    RunPinAttempts(hooks);
}

}  // namespace corvane
