// A stand-in for a favourite program. The launch tests and benchmarks start
// it through Corvane and read back, from what it writes, how it was started
// and which cores it was left to run on.
//
//   pin_target.exe [--life=SECONDS] [--report=PATH] [anything else]
//
// It has no window and no console, and it ends by itself after SECONDS
// (default 20), so a test that fails before killing it leaves nothing behind
// for long. Until then it writes a report to PATH (default
// report-<pid>.txt in its current directory) at start and again whenever its
// affinity changes:
//
//   pid=<decimal>
//   mask=<process affinity, hex>
//   system=<system affinity, hex>
//   updates=<how many times the report was written>
//   cwd=<current directory>
//   image=<full path of this program>
//   args=<the command line after the program name, as WinMain receives it>
//   cmdline=<the whole command line>
//
// The report is written to a temporary file and moved into place, so a
// reader never sees half of it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr double kDefaultLifeSeconds = 20.0;
constexpr DWORD kPollMs = 10;

std::string Hex(DWORD_PTR value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(value));
    return buf;
}

// The value of "--name=value" among the space-separated words of `args`;
// empty when the option is absent. Values cannot contain spaces, which is
// enough for the paths and numbers the tests pass.
std::string Option(const char* args, const char* name) {
    const std::string key = std::string("--") + name + "=";
    const char* at = std::strstr(args, key.c_str());
    while (at && at != args && at[-1] != ' ') at = std::strstr(at + 1, key.c_str());
    if (!at) return {};
    at += key.size();
    const char* end = std::strchr(at, ' ');
    return end ? std::string(at, end) : std::string(at);
}

bool WriteReport(const std::string& path, const std::string& text) {
    const std::string temp = path + ".tmp";
    HANDLE file = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != text.size()) return false;
    return MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR args, int) {
    const char* tail = args ? args : "";

    double life = kDefaultLifeSeconds;
    if (const std::string value = Option(tail, "life"); !value.empty()) life = std::atof(value.c_str());
    if (life < 0) life = 0;

    char cwd[MAX_PATH * 2] = {};
    GetCurrentDirectoryA(sizeof cwd, cwd);
    char image[MAX_PATH * 2] = {};
    GetModuleFileNameA(nullptr, image, sizeof image);

    std::string report = Option(tail, "report");
    if (report.empty()) {
        report = cwd;
        if (!report.empty() && report.back() != '\\') report += '\\';
        report += "report-" + std::to_string(GetCurrentProcessId()) + ".txt";
    }

    // A message queue makes the process count as started for anyone who
    // waits for it to become idle.
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);

    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(life * 1000.0);
    DWORD_PTR reported = 0;
    unsigned updates = 0;
    for (;;) {
        DWORD_PTR mask = 0;
        DWORD_PTR system = 0;
        GetProcessAffinityMask(GetCurrentProcess(), &mask, &system);
        if (updates == 0 || mask != reported) {
            const std::string text = "pid=" + std::to_string(GetCurrentProcessId()) + "\r\n" +
                                     "mask=" + Hex(mask) + "\r\n" +
                                     "system=" + Hex(system) + "\r\n" +
                                     "updates=" + std::to_string(updates + 1) + "\r\n" +
                                     "cwd=" + cwd + "\r\n" +
                                     "image=" + image + "\r\n" +
                                     "args=" + tail + "\r\n" +
                                     "cmdline=" + GetCommandLineA() + "\r\n";
            // A failed write is tried again on the next round.
            if (WriteReport(report, text)) {
                reported = mask;
                ++updates;
            }
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) break;
        const ULONGLONG left = deadline - now;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, left < kPollMs ? static_cast<DWORD>(left) : kPollMs,
                                  QS_ALLINPUT);
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return 0;
            DispatchMessageA(&msg);
        }
    }
    return 0;
}
