// Keeping benchmark figures: medians, readable times, the CPU time this
// process used, and the table that prints each figure beside its baseline.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace corvane::bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

inline double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

inline std::string Human(double seconds) {
    char buf[32];
    if (seconds >= 1)
        std::snprintf(buf, sizeof buf, "%.3f s", seconds);
    else if (seconds >= 1e-3)
        std::snprintf(buf, sizeof buf, "%.2f ms", seconds * 1e3);
    else if (seconds >= 1e-6)
        std::snprintf(buf, sizeof buf, "%.2f us", seconds * 1e6);
    else
        std::snprintf(buf, sizeof buf, "%.1f ns", seconds * 1e9);
    return buf;
}

// One line of the table; counts are shown as they are, times made readable.
struct Row {
    std::string name, size;
    double candidate = 0;
    std::string baselineName;
    double baseline = 0;
    std::string goal;
    bool count = false;
};

inline void Print(const std::vector<Row>& rows) {
    std::printf("\n%-34s %12s %10s  %-28s %10s %8s  %s\n", "benchmark", "size", "median", "baseline", "median", "ratio",
                "goal");
    for (const Row& r : rows) {
        const auto show = [&](double v) { return r.count ? std::to_string(static_cast<int>(v)) : Human(v); };
        std::printf("%-34s %12s %10s  %-28s %10s", r.name.c_str(), r.size.c_str(), show(r.candidate).c_str(),
                    r.baselineName.c_str(), show(r.baseline).c_str());
        if (r.baseline > 0 && !r.count)
            std::printf(" %7.3fx", r.candidate / r.baseline);
        else
            std::printf(" %8s", "-");
        std::printf("  %s\n", r.goal.c_str());
    }
}

// Median time of one call of `a` and of `b`, measured in `rounds` rounds of
// `iterations` calls each, the two alternating round by round.
inline std::pair<double, double> SideBySide(int rounds, int iterations, const std::function<void()>& a,
                                            const std::function<void()>& b) {
    std::vector<double> ta, tb;
    a();
    b();  // warm caches and lazily built tables
    for (int r = 0; r < rounds; ++r) {
        auto t0 = Clock::now();
        for (int i = 0; i < iterations; ++i)
            a();
        auto t1 = Clock::now();
        for (int i = 0; i < iterations; ++i)
            b();
        auto t2 = Clock::now();
        ta.push_back(Seconds(t1 - t0) / iterations);
        tb.push_back(Seconds(t2 - t1) / iterations);
    }
    return {Median(ta), Median(tb)};
}

// The user and kernel time this process has used so far.
inline double CpuSeconds() {
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    ULARGE_INTEGER k{{kernel.dwLowDateTime, kernel.dwHighDateTime}}, u{{user.dwLowDateTime, user.dwHighDateTime}};
    return static_cast<double>(k.QuadPart + u.QuadPart) / 1e7;
}

// What one piece of work cost: CPU time of this process and wall time.
struct Cost {
    double cpu = 0;
    double wall = 0;
};

inline Cost Measure(const std::function<void()>& work) {
    const double cpu = CpuSeconds();
    const auto start = Clock::now();
    work();
    return {CpuSeconds() - cpu, Seconds(Clock::now() - start)};
}

}  // namespace corvane::bench
