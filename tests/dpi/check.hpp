// A minimal check counter for the DPI test programs: they run in a child
// process per DPI setting, so they print their own "N passed, N failed"
// summary and report through the exit code.
#pragma once

#include <cstdarg>
#include <cstdio>

namespace corvane::dpitest {

struct Counts {
    int passed = 0;
    int failed = 0;
};

inline Counts& counts() {
    static Counts c;
    return c;
}

// Records one check; prints the message only when it fails.
inline bool Check(bool ok, const char* format, ...) __attribute__((format(printf, 2, 3)));
inline bool Check(bool ok, const char* format, ...) {
    if (ok) {
        ++counts().passed;
        return true;
    }
    ++counts().failed;
    std::va_list args;
    va_start(args, format);
    std::fputs("FAIL: ", stdout);
    std::vfprintf(stdout, format, args);
    std::fputc('\n', stdout);
    va_end(args);
    std::fflush(stdout);
    return false;
}

inline void Note(const char* format, ...) __attribute__((format(printf, 1, 2)));
inline void Note(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::vfprintf(stdout, format, args);
    std::fputc('\n', stdout);
    va_end(args);
    std::fflush(stdout);
}

// Prints the summary line; the process exit code.
inline int Summary(const char* name) {
    std::printf("%s: %d passed, %d failed\n", name, counts().passed, counts().failed);
    std::fflush(stdout);
    return counts().failed == 0 && counts().passed > 0 ? 0 : 1;
}

}  // namespace corvane::dpitest
