#include "launcher/launch_logic.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "cp932.hpp"

using namespace corvane;

TEST(LaunchRules, MasksAndParameters) {
    using Bits = std::vector<std::int32_t>;
    const std::pair<std::int32_t, Bits> bits[] = {
        {15, {1, 2, 4, 8}}, {0x40000000, {0x40000000}}, {-2147483647, {1, INT32_MIN}}};
    for (const auto& [value, expected] : bits)
        EXPECT_EQ(MaskBits(value), expected) << value;
    const std::pair<Core, std::uint32_t> masks[] = {{Core::Cpu0, 1}, {Core::Cpu1, 2}, {Core::Default, 0}};
    for (const auto& [core, mask] : masks)
        EXPECT_EQ(CoreMask(core), mask) << mask;
    using Passed = std::optional<std::string>;
    const std::pair<std::string, Passed> params[] = {
        {"None", std::nullopt}, {"", std::nullopt}, {"none", "none"}, {"-w 640", "-w 640"}};
    for (const auto& [text, passed] : params)
        EXPECT_EQ(ParametersFor(text), passed) << text;
}

TEST(LaunchRules, APinThatWasRefusedHoldsOnlyOnTheWantedMask) {
    struct Row {
        std::optional<std::uint64_t> now;
        std::uint64_t wanted;
        bool holds;
    };
    const Row rows[] = {{1, 1, true}, {3, 1, false}, {std::nullopt, 2, false}, {0, 0, false}};
    for (const Row& r : rows)
        EXPECT_EQ(RefusedPinHolds(r.now, r.wanted), r.holds) << r.now.value_or(99) << " " << r.wanted;
}

// Names are folded to upper case; with code page 932 a trail byte is never folded.
TEST(LaunchRules, FindProcessIdTakesTheLastMatchIgnoringCase) {
    const std::vector<ProcessRecord> procs{{100, "NOTEPAD.EXE"}, {30, "game.exe"}, {20, "GAME.EXE"},
                                           {0, "game.exe"},      {50, ""},         {70, "\x83\x41.EXE"}};
    struct Row {
        std::string name;
        bool cp932;
        std::uint32_t pid;
    };
    const Row rows[] = {
        {"notepad.exe", false, 100}, {"notepad", false, 0},     {"game.exe", false, 20},     {"", false, 0},
        {"\x83\x41.exe", true, 70},  {"\x83\x61.exe", true, 0}, {"\x83\x61.exe", false, 70},
    };
    for (const Row& r : rows) {
        const CaseRule upper = r.cp932 ? WithCp932(AsciiUpper()) : AsciiUpper();
        EXPECT_EQ(FindProcessId(procs, r.name, upper), r.pid) << ::testing::PrintToString(r.name) << r.cp932;
    }
}

TEST(LaunchRules, SameImageNameComparesTheFileNamePart) {
    struct Row {
        std::string path, target;
        bool cp932, same;
    };
    const Row rows[] = {
        {R"(\\?\C:\a/b\chess.exe)", "CHESS.exe", false, true}, {"C:/Games/chess.exe", "chess.exe", false, true},
        {R"(C:\Games\xchess.exe)", "chess.exe", false, false}, {R"(C:\Games\)", "", false, false},
        {"C:\\Games\\\x95\\.exe", "\x95\\.exe", true, true},   {"C:\\Games\\\x95\\.exe", "\x95\\.exe", false, false},
    };
    for (const Row& r : rows) {
        const CaseRule upper = r.cp932 ? WithCp932(AsciiUpper()) : AsciiUpper();
        EXPECT_EQ(SameImageName(r.path, r.target, upper), r.same) << ::testing::PrintToString(r.path) << r.target;
    }
}

// Calls: w a pause, p a pin try, s a look at the window state.
TEST(LaunchRules, PinAttemptsStopOnStateOrClosedWindow) {
    using enum WindowState;
    struct Row {
        WindowState stateAfter;
        int closeOnWait, minimiseOnPin, attempts;
        std::string calls;
    };
    std::string eleven;
    for (int i = 0; i < 11; ++i)
        eleven += "wpws";
    const Row rows[] = {
        {Minimised, 0, 1, 1, "wpws"},  {Maximised, 0, 3, 3, "wpwswpwswpws"},
        {Minimised, 0, 0, 11, eleven}, {Minimised, 2, 0, 1, "wpw"},
        {Minimised, 1, 0, 1, "w"},
    };
    for (const Row& r : rows) {
        std::string calls;
        int waits = 0, pins = 0;
        WindowState state = Normal;
        const AttemptHooks hooks{[&](float secs) {
                                     calls += 'w';
                                     EXPECT_EQ(secs, 0.1f);
                                     return ++waits != r.closeOnWait;
                                 },
                                 [&] {
                                     calls += 'p';
                                     if (++pins == r.minimiseOnPin) state = r.stateAfter;
                                 },
                                 [&] {
                                     calls += 's';
                                     return state;
                                 }};
        EXPECT_EQ(RunPinAttempts(hooks), r.attempts) << r.calls;
        EXPECT_EQ(calls, r.calls);
    }
}

// The clock moves only while the pause sleeps, by the row's steps (the last one repeats).
TEST(Wait, SleepsForTheRestOfThePauseAndCountsOnlyForwardSteps) {
    struct Row {
        std::string what;
        float secs;
        std::vector<std::int64_t> steps;
        int closeOnPump;
        bool result;
        std::vector<std::uint32_t> asked;
    };
    const Row rows[] = {
        {"a tenth of a second", 0.1f, {30}, 0, true, {100, 70, 40, 10}},
        {"under a millisecond", 0.0004f, {1}, 0, true, {1}},
        {"NaN", std::nanf(""), {30}, 0, true, {}},
        {"window gone mid-pause", 0.1f, {30}, 2, false, {100}},
        {"clock set back an hour", 0.1f, {40, -3'600'000, 40}, 0, true, {100, 60, 60, 20}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        std::uint64_t now = 5'000'000'000;
        int pumps = 0;
        std::vector<std::uint32_t> asked;
        const auto clock = [&] { return now; };
        const auto pump = [&] { return ++pumps != r.closeOnPump; };
        const auto sleep = [&](std::uint32_t ms) {
            if (asked.size() == 20) throw std::runtime_error("the pause does not end");
            now += static_cast<std::uint64_t>(r.steps[std::min(asked.size(), r.steps.size() - 1)]);
            asked.push_back(ms);
        };
        EXPECT_EQ(Wait(r.secs, clock, pump, sleep), r.result);
        EXPECT_EQ(asked, r.asked);
    }
}
