#include "launcher/process_lookup.hpp"

#include <wtsapi32.h>

#include "favorites/favorite.hpp"
#include "launcher/launch_logic.hpp"
#include "platform/handles.hpp"
#include "platform/lazy_proc.hpp"
#include "platform/win.hpp"

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
    if (!wts.enumerate || !wts.freeMemory || !wts.enumerate(WTS_CURRENT_SERVER_HANDLE, 0, 1, &buffer.records, &count)) {
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
    for (const RunningProcess& p : processes)
        records.push_back({p.pid, p.name});
    return FindProcessId(records, name, SystemUpper());
}

bool PinProcessByName(Core core, std::string_view imageName) {
    const std::uint32_t pid = GetProcessIdByName(imageName);
    const std::uint32_t mask = CoreMask(core);
    if (pid == 0 || mask == 0) return false;
    UniqueHandle process(OpenProcess(kProcessAccess, FALSE, pid));
    if (process && SetProcessAffinityMask(process.get(), mask) == 1) return true;
    // Refused: a program with more rights than Corvane may still be read.
    UniqueHandle readable(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    return RefusedPinHolds(AffinityOf(readable.get()), mask);
}

bool PinProcessByHandle(HANDLE process, Core core, std::string_view targetFileName) {
    const std::uint32_t mask = CoreMask(core);
    if (!process || mask == 0) return false;
    char image[MAX_PATH * 2];
    DWORD length = sizeof image;
    if (!QueryFullProcessImageNameA(process, 0, image, &length)) return false;
    if (!SameImageName(std::string_view(image, length), targetFileName, SystemUpper())) return false;
    if (SetProcessAffinityMask(process, mask) == 1) return true;
    return RefusedPinHolds(AffinityOf(process), mask);
}

OwnAffinity::OwnAffinity(std::uint64_t mask) {
    DWORD_PTR system = 0;
    if (mask == 0 || !GetProcessAffinityMask(GetCurrentProcess(), &previous_, &system)) return;
    if ((mask & system) != mask) return;
    changed_ = SetProcessAffinityMask(GetCurrentProcess(), static_cast<DWORD_PTR>(mask)) != FALSE;
}

OwnAffinity::~OwnAffinity() {
    if (changed_) SetProcessAffinityMask(GetCurrentProcess(), previous_);
}

std::optional<std::uint64_t> AffinityOf(HANDLE process) {
    DWORD_PTR mask = 0;
    DWORD_PTR system = 0;
    if (!process || !GetProcessAffinityMask(process, &mask, &system)) return std::nullopt;
    return mask;
}

std::uint64_t MachineCores() {
    DWORD_PTR own = 0;
    DWORD_PTR system = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &own, &system)) return 0;
    return system;
}

}  // namespace corvane
