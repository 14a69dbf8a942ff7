// Runs dpi_layout_test once per display scale. Wine reads the system DPI
// from the registry when a process starts, so each scale needs a process of
// its own: set HKCU\Control Panel\Desktop\LogPixels, start the test, and put
// the setting back as it was, whatever the outcome.
//
//   dpi_driver [test.exe]   (default: dpi_layout_test.exe next to the driver)
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr const char* kDesktopKey = "Control Panel\\Desktop";
constexpr const char* kLogPixels = "LogPixels";
constexpr DWORD kTimeoutMs = 120000;

class LogPixelsSetting {
public:
    LogPixelsSetting() {
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                            &key_, nullptr) != ERROR_SUCCESS) {
            key_ = nullptr;
            return;
        }
        DWORD type = 0, size = sizeof saved_;
        had_ = RegQueryValueExA(key_, kLogPixels, nullptr, &type, reinterpret_cast<BYTE*>(&saved_), &size) ==
                   ERROR_SUCCESS &&
               type == REG_DWORD;
    }
    ~LogPixelsSetting() {
        if (!key_) return;
        // Without a value of its own the system falls back to the display's
        // default, which is what it had before.
        if (had_)
            RegSetValueExA(key_, kLogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&saved_), sizeof saved_);
        else
            RegDeleteValueA(key_, kLogPixels);
        RegCloseKey(key_);
    }
    LogPixelsSetting(const LogPixelsSetting&) = delete;
    LogPixelsSetting& operator=(const LogPixelsSetting&) = delete;

    bool ok() const { return key_ != nullptr; }
    bool Set(DWORD dpi) {
        return RegSetValueExA(key_, kLogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi) ==
               ERROR_SUCCESS;
    }

private:
    HKEY key_ = nullptr;
    DWORD saved_ = 0;
    bool had_ = false;
};

std::string SiblingPath(const char* name) {
    char self[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path(self, length);
    return path.substr(0, path.find_last_of("\\/") + 1) + name;
}

// Runs the command line and returns its exit code, or -1 if it could not be
// started or did not finish in time.
int Run(const std::string& exe, const std::string& arguments) {
    std::string command = "\"" + exe + "\" " + arguments;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::fflush(stdout);
    if (!CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        std::printf("FAIL: cannot start %s (error %lu)\n", exe.c_str(), GetLastError());
        return -1;
    }
    CloseHandle(pi.hThread);
    int code = -1;
    if (WaitForSingleObject(pi.hProcess, kTimeoutMs) == WAIT_OBJECT_0) {
        DWORD exitCode = 1;
        GetExitCodeProcess(pi.hProcess, &exitCode);
        code = static_cast<int>(exitCode);
    } else {
        std::printf("FAIL: %s %s did not finish within %lu s\n", exe.c_str(), arguments.c_str(), kTimeoutMs / 1000);
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    CloseHandle(pi.hProcess);
    return code;
}

bool UnderWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

}  // namespace

int main(int argc, char** argv) {
    const std::string test = argc > 1 ? argv[1] : SiblingPath("dpi_layout_test.exe");

    // Windows reads LogPixels only at sign-in; there the test runs at the
    // scale the session has.
    if (!UnderWine()) {
        HDC screen = GetDC(nullptr);
        const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        std::printf("== %d dpi (the session's scale)\n", dpi);
        const int code = Run(test, "--dpi " + std::to_string(dpi) + " --dpi-change");
        std::printf("dpi_driver: %d passed, %d failed\n", code == 0, code != 0);
        return code == 0 ? 0 : 1;
    }
    struct Scale {
        DWORD dpi;
        const char* arguments;
    };
    // 100 % with a move to a 150 % monitor and back, then a session that
    // starts at 150 %.
    const Scale scales[] = {{96, "--dpi 96 --dpi-change"}, {144, "--dpi 144"}};

    int passed = 0, failed = 0;
    {
        LogPixelsSetting setting;
        if (!setting.ok()) {
            std::printf("FAIL: cannot open HKCU\\%s\n", kDesktopKey);
            return 1;
        }
        for (const Scale& scale : scales) {
            std::printf("== %lu dpi\n", scale.dpi);
            if (!setting.Set(scale.dpi)) {
                std::printf("FAIL: cannot set %s to %lu\n", kLogPixels, scale.dpi);
                ++failed;
                continue;
            }
            const int code = Run(test, scale.arguments);
            ++(code == 0 ? passed : failed);
        }
    }
    std::printf("dpi_driver: %d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
