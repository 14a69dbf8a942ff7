#include "launcher/launch_logic.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace corvane {

namespace {

// The longest single sleep asked for; a longer pause takes several, and none
// comes near 0xFFFFFFFF, which the system's waits take as "forever".
constexpr double kLongestSleep = 0x7FFFFFFF;

// Whether `text`, folded through `rule` the way MapCase folds it, equals
// `folded`; compares in place, as the process list can be long.
bool MatchesFolded(std::string_view text, std::string_view folded, const CaseRule& rule) {
    if (text.size() != folded.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (rule.lead[c]) {
            if (text[i] != folded[i]) return false;
            if (++i < text.size() && text[i] != folded[i]) return false;
        } else if (rule.map[c] != static_cast<unsigned char>(folded[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

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

std::uint32_t CoreMask(Core core) {
    static const std::vector<std::int32_t> kCores = MaskBits(15);
    if (core == Core::Default) return 0;
    return static_cast<std::uint32_t>(kCores[static_cast<std::size_t>(core)]);
}

bool RefusedPinHolds(std::optional<std::uint64_t> maskNow, std::uint64_t wanted) {
    return wanted != 0 && maskNow == wanted;
}

std::optional<std::string> ParametersFor(std::string_view text) {
    if (text.empty() || text == "None") return std::nullopt;
    return std::string(text);
}

std::uint32_t FindProcessId(std::span<const ProcessRecord> records, std::string_view name, const CaseRule& upper) {
    if (name.empty()) return 0;
    const std::string wanted = MapCase(name, upper);
    std::uint32_t found = 0;
    // Every record is visited: when two processes share an image name, the
    // one listed later is the one to pin.
    for (const ProcessRecord& r : records) {
        if (r.pid != 0 && MatchesFolded(r.name, wanted, upper)) found = r.pid;
    }
    return found;
}

bool SameImageName(std::string_view imagePath, std::string_view targetFileName, const CaseRule& upper) {
    if (targetFileName.empty()) return false;
    const std::size_t separator = LastSeparator(imagePath, "\\/", upper.lead);
    const std::size_t start = separator == std::string_view::npos ? 0 : separator + 1;
    return MatchesFolded(imagePath.substr(start), MapCase(targetFileName, upper), upper);
}

bool Wait(float secs, const MillisecondClock& clock, const EventPump& pump, const InputWait& waitForInput) {
    if (!(secs > 0.0f)) return true;
    const double length = secs * 1000.0f;

    // Summing only the forward steps keeps a clock that is set back (or a
    // tick source that misbehaves) from stretching the pause.
    std::uint64_t elapsed = 0;
    std::uint64_t previous = clock();
    for (;;) {
        if (static_cast<double>(elapsed) >= length) return true;
        if (!pump()) return false;
        const double remaining = std::ceil(length - static_cast<double>(elapsed));
        waitForInput(static_cast<std::uint32_t>(std::clamp(remaining, 1.0, kLongestSleep)));
        const std::uint64_t now = clock();
        if (now > previous) elapsed += now - previous;
        previous = now;
    }
}

int RunPinAttempts(const AttemptHooks& hooks) {
    int started = 0;
    while (started < kPinAttempts) {
        ++started;
        if (!hooks.wait(kAttemptPause)) break;
        hooks.pin();
        if (!hooks.wait(kAttemptPause)) break;
        if (hooks.windowState() != WindowState::Normal) break;
    }
    return started;
}

}  // namespace corvane
