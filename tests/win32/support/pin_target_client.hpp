// Talking to pin_target.exe, the program the launch tests start as a
// favorite: where it is, what it reports about itself, and the affinity the
// system gives it.
#pragma once

#include <windows.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace corvane::test {

using Clock = std::chrono::steady_clock;

inline double Between(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// All eleven attempts of a launch that pins nothing: 22 pauses of 0.1 s.
inline constexpr double kAllAttempts = 2.2;
// DisplayOf's way of saying "Default".
inline constexpr int kDefaultCore = -1;

std::string Folder(const std::string& path);

// pin_target.exe, built beside the test programs.
std::string TargetSource();

// This process's affinity mask: what an unpinned program gets.
DWORD_PTR FullMask();

// The affinity of a running process as the system reports it; 0 if it
// cannot be read.
DWORD_PTR AffinityOf(DWORD pid);

std::string Hex(DWORD_PTR value);

// What pin_target wrote about itself: key=value lines.
using Report = std::map<std::string, std::string>;
std::optional<Report> ReadReport(const std::string& path);

// The report of process `pid` started in `folder`, once it is there and (if
// given) shows the mask `mask`; pumps messages while it waits.
std::optional<Report> AwaitReport(const std::string& folder, DWORD pid, std::optional<DWORD_PTR> mask = {});

// Reports written in `folder`, by file name.
std::vector<std::string> ReportsIn(const std::string& folder);

// Ends a process the test started and waits for it to be gone.
void EndProcess(DWORD pid);

}  // namespace corvane::test
