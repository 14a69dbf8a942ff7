#include "support/pin_target_client.hpp"

#include <algorithm>
#include <cstdio>

#include "support/harness.hpp"

namespace corvane::test {

std::string Folder(const std::string& path) { return path.substr(0, path.rfind('\\')); }

std::string TargetSource() { return Folder(ThisExePath()) + "\\pin_target.exe"; }

DWORD_PTR FullMask() {
    DWORD_PTR mask = 0, system = 0;
    GetProcessAffinityMask(GetCurrentProcess(), &mask, &system);
    return mask;
}

DWORD_PTR AffinityOf(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return 0;
    DWORD_PTR mask = 0, system = 0;
    if (!GetProcessAffinityMask(process, &mask, &system)) mask = 0;
    CloseHandle(process);
    return mask;
}

std::string Hex(DWORD_PTR value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(value));
    return buf;
}

std::optional<Report> ReadReport(const std::string& path) {
    const std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) return std::nullopt;
    Report report;
    std::size_t at = 0;
    while (at < bytes->size()) {
        std::size_t end = bytes->find("\r\n", at);
        if (end == std::string::npos) end = bytes->size();
        const std::string line = bytes->substr(at, end - at);
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos) report[line.substr(0, eq)] = line.substr(eq + 1);
        at = end + 2;
    }
    return report;
}

std::optional<Report> AwaitReport(const std::string& folder, DWORD pid, std::optional<DWORD_PTR> mask) {
    const std::string path = folder + "\\report-" + std::to_string(pid) + ".txt";
    std::optional<Report> report;
    PumpUntil(
        [&] {
            report = ReadReport(path);
            return report && (!mask || report->at("mask") == Hex(*mask));
        },
        5000);
    return report;
}

std::vector<std::string> ReportsIn(const std::string& folder) {
    std::vector<std::string> names = ListDirectory(folder);
    std::erase_if(names, [](const std::string& n) {
        return n.rfind("report-", 0) != 0 || n.size() < 4 || n.substr(n.size() - 4) != ".txt";
    });
    return names;
}

void EndProcess(DWORD pid) {
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
}

}  // namespace corvane::test
