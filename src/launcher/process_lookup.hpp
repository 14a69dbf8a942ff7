// Finding a started program among the running processes and pinning it to
// one core.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "favorites/favorite.hpp"

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

// Sets the affinity of the process named `imageName` to `core`. True when
// the system reports exactly success, or refuses but the process already
// runs on exactly that core (RefusedPinHolds). Default never pins.
bool PinProcessByName(Core core, std::string_view imageName);

// Pins a process the program holds a handle to, if its image is
// `targetFileName`, with the same meaning of success.
bool PinProcessByHandle(HANDLE process, Core core, std::string_view targetFileName);

// The affinity mask of a process; nothing when it cannot be read.
std::optional<std::uint64_t> AffinityOf(HANDLE process);

// Every core of this machine that processes may run on (the system affinity
// mask), whatever cores this process itself was started on; 0 if unknown.
std::uint64_t MachineCores();

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
