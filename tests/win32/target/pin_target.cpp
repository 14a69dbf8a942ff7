// A stand-in for a favourite program, started through Corvane by the launch tests and benchmarks:
//   pin_target.exe [--report=PATH] [--life=SECONDS]
// It appends to PATH (default "report.txt" in its current folder) "first=0x<mask> t=<ms>", the cores it
// started on, then "args=<its parameters>", then "mask=0x<mask> t=<ms>" at every change until SECONDS
// (default 20) pass; t counts from the process's creation.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string Option(const char* args, const char* name) {
    const char* at = std::strstr(args, (std::string("--") + name + "=").c_str());
    if (!at) return {};
    at += std::strlen(name) + 3;
    const char* end = std::strchr(at, ' ');
    return end ? std::string(at, end) : std::string(at);
}

std::uint64_t Ticks(const FILETIME& time) {
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

// Milliseconds since the system created this process: its own clock would miss the loader's time.
double MsSinceCreation() {
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimePreciseAsFileTime(&now);
    return static_cast<double>(Ticks(now) - Ticks(created)) / 1e4;
}

void Append(const std::string& path, const std::string& line) {
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              0, nullptr);
    DWORD wrote = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &wrote, nullptr);
    CloseHandle(file);
}

void Append(const std::string& path, const char* key, DWORD_PTR mask) {
    char line[96];  // the time goes after the value, which readers take up to the space
    Append(path, std::string(line, std::snprintf(line, sizeof line, "%s=0x%llx t=%.1f\r\n", key,
                                                 static_cast<unsigned long long>(mask), MsSinceCreation())));
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR args, int) {
    DWORD_PTR mask = 0, system = 0;
    GetProcessAffinityMask(GetCurrentProcess(), &mask, &system);
    const std::string report = Option(args, "report").empty() ? "report.txt" : Option(args, "report");
    Append(report, "first", mask);
    Append(report, std::string("args=") + args + "\r\n");

    const std::string life = Option(args, "life");
    const ULONGLONG end =
        GetTickCount64() + static_cast<ULONGLONG>((life.empty() ? 20.0 : std::atof(life.c_str())) * 1000);
    for (DWORD_PTR reported = mask; GetTickCount64() < end; Sleep(10)) {
        GetProcessAffinityMask(GetCurrentProcess(), &mask, &system);
        if (mask != reported) Append(report, "mask", reported = mask);
    }
    return 0;
}
