// The launcher's rules, apart from Windows: core masks, the parameters rule,
// the process-name match, and the timing of the pinning attempts.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "favorites/favorite.hpp"
#include "platform/paths.hpp"

namespace corvane {

// One entry per set bit of `value`, ascending: 2^b for bits 0..30 and
// INT32_MIN for the sign bit. MaskBits(15) == {1, 2, 4, 8}; MaskBits(0) == {}.
std::vector<std::int32_t> MaskBits(std::int32_t value);

// The affinity mask that pins to `core`: 1 for CPU 0, 2 for CPU 1; 0 (pin
// nothing) for Default.
std::uint32_t CoreMask(Core core);

// Whether a pin to `wanted` that the system refused still holds: a program
// started with more rights than Corvane may not be changed, but it already
// runs on exactly that mask when it was created while Corvane itself ran on
// the core. `maskNow` is the program's mask as read after the refusal,
// nothing when it could not be read.
bool RefusedPinHolds(std::optional<std::uint64_t> maskNow, std::uint64_t wanted);

// "None" (exact case) or an empty field means no parameters at all; any other
// text is passed untrimmed.
std::optional<std::string> ParametersFor(std::string_view text);

// One process as the enumeration reports it; `name` is the ANSI image name.
struct ProcessRecord {
    std::uint32_t pid = 0;
    std::string_view name;
};

// The id of the last record whose image name equals `name` ignoring letter
// case (both folded through `upper`); records with id 0 never match, and an
// empty name matches nothing. 0 if none.
std::uint32_t FindProcessId(std::span<const ProcessRecord> records, std::string_view name,
                            const CaseRule& upper = AsciiUpper());

// Whether the file name in a process's full image path ("C:\Games\chess.exe";
// split at its last backslash or slash, the whole text when it has none)
// equals `targetFileName` ignoring letter case. An empty name never matches.
// On a double-byte code page 0x5C is also a common second byte ("表" is
// 0x95 0x5C), so a backslash right after one of `upper`'s lead bytes is part
// of a character, not a separator.
bool SameImageName(std::string_view imagePath, std::string_view targetFileName, const CaseRule& upper = AsciiUpper());

// A monotonic tick count in milliseconds, as GetTickCount64 gives it.
using MillisecondClock = std::function<std::uint64_t()>;
// Processes pending window events once; returns false once the window is gone.
using EventPump = std::function<bool()>;
// Blocks until input arrives for the window or `ms` milliseconds have passed.
using InputWait = std::function<void(std::uint32_t ms)>;

// Pauses `secs` seconds, pumping events and sleeping until input arrives or
// the rest of the pause has passed. Zero, negative or NaN pauses return at
// once without pumping. Only forward steps of the clock count, so a clock
// that steps back cannot lengthen the pause. Returns false if the pump
// reported the window gone.
bool Wait(float secs, const MillisecondClock& clock, const EventPump& pump, const InputWait& waitForInput);

inline constexpr int kPinAttempts = 11;
inline constexpr float kAttemptPause = 0.1f;

enum class WindowState { Normal, Minimised, Maximised };

struct AttemptHooks {
    std::function<bool(float)> wait;  // a pause; false once the window is gone
    std::function<void()> pin;        // one lookup-and-pin try
    std::function<WindowState()> windowState;
};

// Up to kPinAttempts of pause, pin, pause, state test; stops as soon as the
// state is no longer normal or a pause reports the window gone. Returns the
// number of attempts started.
int RunPinAttempts(const AttemptHooks& hooks);

}  // namespace corvane
