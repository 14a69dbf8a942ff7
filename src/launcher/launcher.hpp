// Finding a started program among the running processes and pinning it to
// one core.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// One running process as the system enumerates it, image name in ANSI.
struct RunningProcess {
    std::uint32_t pid = 0;
    std::string name;
};

// Every process the terminal-services enumeration reports for this machine.
// False (after one beep) when the enumeration fails.
bool EnumerateProcesses(std::vector<RunningProcess>& out);

// The id of the last process whose image name matches `name` ignoring case;
// 0 when none does or the enumeration failed.
std::uint32_t GetProcessIdByName(std::string_view name);

// Pins the process named `strImageName` to core `num` (0 to 3) and, when the
// system reports exactly success, minimises `window`. Returns whether it did.
bool AutoSetAff(int num, std::string_view strImageName, HWND window);

}  // namespace corvane
