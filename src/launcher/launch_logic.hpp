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

#include "platform/paths.hpp"

namespace corvane {

// One entry per set bit of `value`, ascending: 2^b for bits 0..30 and
// INT32_MIN for the sign bit. MaskBits(15) == {1, 2, 4, 8}; MaskBits(0) == {}.
std::vector<std::int32_t> MaskBits(std::int32_t value);

// The affinity mask for core `num`: entry `num` of MaskBits(15), or 0 (pin
// nothing) when `num` lies outside 0..3.
std::uint32_t CoreMask(int num);

// "None" (exact case) or an empty field means no parameters at all; any other
// text is passed untrimmed.
std::optional<std::string> ParametersFor(std::string_view text);

// One process as the enumeration reports it; `name` is the ANSI image name.
struct ProcessRecord {
    std::uint32_t pid = 0;
    std::string_view name;
};

// The id of the last record whose image name equals `name` ignoring letter
// case (folded through `upper`); records with id 0 never match. 0 if none.
std::uint32_t FindProcessId(std::span<const ProcessRecord> records, std::string_view name,
                            const CaseMap& upper = AsciiUpper());

// Seconds since midnight, as the pauses measure time.
using SecondsClock = std::function<float()>;
// Processes pending window events once; returns false once the window is gone.
using EventPump = std::function<bool()>;

inline constexpr float kSecondsPerDay = 86400.0f;

// Pauses `secs` seconds, pumping events while it waits. Zero or negative
// pauses return at once without pumping. A pause that spans midnight still
// ends after about `secs`. Returns false if the pump reported the window gone.
bool Wait(float secs, const SecondsClock& clock, const EventPump& pump);

inline constexpr int kPinAttempts = 11;
inline constexpr float kAttemptPause = 0.1f;

struct AttemptHooks {
    std::function<bool(float)> wait;  // a pause; false once the window is gone
    std::function<void()> pin;        // one lookup-and-pin try
    std::function<int()> windowState; // 0 normal, 1 minimised, 2 maximised
};

// Up to kPinAttempts of pause, pin, pause, state test; stops as soon as the
// state is no longer normal or a pause reports the window gone. Returns the
// number of attempts started.
int RunPinAttempts(const AttemptHooks& hooks);

}  // namespace corvane
