// Finding a started program among the running processes and pinning it to
// one core.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
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

// Sets the affinity of the process named `imageName` to core `core` (0 to
// 3). True when the system reports exactly success, or refuses but the
// process already runs on exactly that core (RefusedPinHolds).
bool PinProcessByName(int core, std::string_view imageName);

// Pins a process the program holds a handle to, if its image is
// `targetFileName`, with the same meaning of success. Only cores 0 and 1
// pin: "Default" (2) and anything else never does.
bool PinProcessByHandle(HANDLE process, int core, std::string_view targetFileName);

// The affinity mask of a process; nothing when it cannot be read.
std::optional<std::uint64_t> AffinityOf(HANDLE process);

// Sets this process's own affinity for the life of the object, and puts
// the previous one back when it goes, whichever way the scope is left. A
// process created meanwhile inherits the mask. A mask of 0, or one naming
// no core of this machine, changes nothing.
class OwnAffinity {
public:
    explicit OwnAffinity(std::uint64_t mask);
    ~OwnAffinity();
    OwnAffinity(const OwnAffinity&) = delete;
    OwnAffinity& operator=(const OwnAffinity&) = delete;

private:
    DWORD_PTR previous_ = 0;
    bool changed_ = false;
};

}  // namespace corvane
