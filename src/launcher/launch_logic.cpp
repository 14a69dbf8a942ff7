#include "launcher/launch_logic.hpp"

#include <cstddef>

namespace corvane {

std::vector<std::int32_t> MaskBits(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    std::vector<std::int32_t> out;
    out.reserve(32);
    for (unsigned b = 0; b < 31; ++b) {
        const std::uint32_t bit = std::uint32_t{1} << b;
        if ((bits & bit) != 0) out.push_back(static_cast<std::int32_t>(bit));
    }
    if ((bits & 0x80000000u) != 0) out.push_back(INT32_MIN);
    return out;
}

std::uint32_t CoreMask(int num) {
    if (num < 0 || num > 3) return 0;
    return static_cast<std::uint32_t>(MaskBits(15)[static_cast<std::size_t>(num)]);
}

std::optional<std::string> ParametersFor(std::string_view text) {
    if (text.empty() || text == "None") return std::nullopt;
    return std::string(text);
}

std::uint32_t FindProcessId(std::span<const ProcessRecord> records, std::string_view name,
                            const CaseMap& upper) {
    const std::string wanted = MapCase(name, upper);
    std::uint32_t found = 0;
    // Every record is visited: when two processes share an image name, the
    // one listed later is the one to pin.
    for (const ProcessRecord& r : records) {
        if (r.pid == 0 || r.name.size() != wanted.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < wanted.size(); ++i) {
            if (upper[static_cast<unsigned char>(r.name[i])] !=
                static_cast<unsigned char>(wanted[i])) {
                same = false;
                break;
            }
        }
        if (same) found = r.pid;
    }
    return found;
}

bool Wait(float secs, const SecondsClock& clock, const EventPump& pump) {
    if (!(secs > 0.0f)) return true;

    const float start = clock();
    const float deadline = start + secs;

    // The clock restarts at midnight. A reading far below the previous one
    // means the day rolled over, so later readings are counted from the
    // previous midnight; a small step back (a clock adjustment) only
    // lengthens the pause a little.
    double dayOffset = 0.0;
    float previous = start;
    for (;;) {
        const float now = clock();
        if (now < previous - kSecondsPerDay / 2) dayOffset += kSecondsPerDay;
        previous = now;
        if (!(static_cast<double>(deadline) > static_cast<double>(now) + dayOffset)) return true;
        if (!pump()) return false;
    }
}

int RunPinAttempts(const AttemptHooks& hooks) {
    int started = 0;
    while (started < kPinAttempts) {
        ++started;
        if (!hooks.wait(kAttemptPause)) break;
        hooks.pin();
        if (!hooks.wait(kAttemptPause)) break;
        if (hooks.windowState() != 0) break;
    }
    return started;
}

}  // namespace corvane
