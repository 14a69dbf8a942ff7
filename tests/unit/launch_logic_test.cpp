#include "launcher/launch_logic.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "cp932.hpp"

using namespace corvane;

TEST(LaunchRules, MasksAndParameters) {
    using Bits = std::vector<std::int32_t>;
    const std::pair<std::int32_t, Bits> bits[] = {{15, {1, 2, 4, 8}},
                                                  {0, {}},
                                                  {0x40000000, {0x40000000}},
                                                  {INT32_MIN, {INT32_MIN}},
                                                  {-2147483647, {1, INT32_MIN}}};
    for (const auto& [value, expected] : bits)
        EXPECT_EQ(MaskBits(value), expected) << value;
    const std::pair<int, std::uint32_t> masks[] = {{0, 1}, {1, 2}, {2, 4}, {3, 8}, {4, 0}, {-1, 0}, {31, 0}};
    for (const auto& [core, mask] : masks)
        EXPECT_EQ(CoreMask(core), mask) << core;
    using Passed = std::optional<std::string>;
    const std::pair<std::string, Passed> params[] = {
        {"None", std::nullopt}, {"", std::nullopt}, {"none", "none"}, {" None ", " None "}, {"-w 640", "-w 640"}};
    for (const auto& [text, passed] : params)
        EXPECT_EQ(ParametersFor(text), passed) << text;
}

TEST(LaunchRules, APinThatWasRefusedHoldsOnlyOnTheWantedMask) {
    struct Row {
        bool accepted;
        std::optional<std::uint64_t> now;
        std::uint64_t wanted;
        bool holds;
    };
    const Row rows[] = {
        {true, std::nullopt, 1, true}, {false, 1, 1, true}, {false, 2, 1, false},
        {false, 3, 1, false},          {false, 3, 3, true}, {false, std::nullopt, 2, false},
        {false, 0, 0, false},          {true, 1, 0, false},
    };
    for (const Row& r : rows)
        EXPECT_EQ(PinHolds(r.accepted, r.now, r.wanted), r.holds)
            << r.accepted << " " << r.now.value_or(99) << " " << r.wanted;
}

TEST(LaunchRules, FindProcessIdTakesTheLastMatchIgnoringCase) {
    const std::vector<ProcessRecord> procs{{4, "System"},    {100, "NOTEPAD.EXE"}, {300, "notepad.exe.bak"},
                                           {30, "game.exe"}, {20, "GAME.EXE"},     {0, "game.exe"},
                                           {50, ""},         {70, "\x83\x41.EXE"}, {80, "\x83\x61z.exe"}};
    struct Row {
        std::string name;
        bool cp932;
        std::uint32_t pid;
    };
    const Row rows[] = {
        {"notepad.exe", false, 100},
        {"notepad", false, 0},
        {"notepad.exe.bak.old", false, 0},
        {"game.exe", false, 20},
        {"", false, 0},
        {"\x83\x41.exe", true, 70},
        {"\x83\x61.exe", true, 0},
        {"\x83\x61.exe", false, 70},
        {"\x83\x61Z.EXE", true, 80},
        {"\x83\x41Z.EXE", true, 0},
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
        {R"(C:\Games\chess.exe)", "chess.exe", false, true},
        {R"(\\?\C:\a/b\chess.exe)", "chess.exe", false, true},
        {"C:/Games/chess.exe", "chess.exe", false, true},
        {R"(C:\Games\chess.exe)", R"(games\chess.exe)", false, false},
        {R"(C:\Games\xchess.exe)", "chess.exe", false, false},
        {R"(C:\Games\chess.exe\)", "chess.exe", false, false},
        {R"(C:\Games\)", "", false, false},
        {"C:\\Games\\\x95\\.exe", "\x95\\.exe", true, true},
        {"C:\\Games\\\x95\\.exe", "\x95\\.exe", false, false},
        {"C:\\\x83\x41.EXE", "\x83\x41.exe", true, true},
        {"C:\\\x83\x41.EXE", "\x83\x61.exe", true, false},
    };
    for (const Row& r : rows) {
        const CaseRule upper = r.cp932 ? WithCp932(AsciiUpper()) : AsciiUpper();
        EXPECT_EQ(SameImageName(r.path, r.target, upper), r.same) << ::testing::PrintToString(r.path) << r.target;
    }
}

TEST(LaunchRules, PinAttemptsStopOnStateOrClosedWindow) {
    struct Row {
        int closeOnWait, minimiseOnPin, stateAfter, attempts;
        std::string calls;
    };
    std::string eleven;
    for (int i = 0; i < 11; ++i)
        eleven += "wpws";
    const Row rows[] = {
        {0, 1, 1, 1, "wpws"},  {0, 3, 2, 3, "wpwswpwswpws"}, {0, 0, 1, 11, eleven},
        {3, 0, 1, 2, "wpwsw"}, {2, 0, 1, 1, "wpw"},          {1, 0, 1, 1, "w"},
    };
    for (const Row& r : rows) {
        std::string calls;
        int waits = 0, pins = 0, state = 0;
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

// A tick count that moves only while Wait sleeps, by the scripted steps (the last one repeats). Read too
// often, it throws: a pause that never ends fails its row instead of hanging the test.
struct FakeTicks {
    std::vector<std::int64_t> steps;
    int closeOnPump;
    std::uint64_t now = 5'000'000'000;
    int reads = 0, pumps = 0;
    std::vector<std::uint32_t> asked{};

    MillisecondClock Clock() {
        return [this] { return ++reads <= 200 ? now : throw std::runtime_error("the clock was read 200 times"); };
    }
    EventPump Pump() {
        return [this] { return ++pumps != closeOnPump; };
    }
    InputWait Sleep() {
        return [this](std::uint32_t ms) {
            now += static_cast<std::uint64_t>(steps[std::min(asked.size(), steps.size() - 1)]);
            asked.push_back(ms);
        };
    }
};

TEST(Wait, SleepsForTheRestOfThePauseAndCountsOnlyForwardSteps) {
    struct Row {
        std::string what;
        float secs;
        std::vector<std::int64_t> steps;
        int closeOnPump;
        bool result;
        std::vector<std::uint32_t> asked{};
        int pumps;
    };
    const Row rows[] = {
        {"a tenth of a second", 0.1f, {30}, 0, true, {100, 70, 40, 10}, 4},
        {"under a millisecond", 0.0004f, {1}, 0, true, {1}, 1},
        {"zero", 0.0f, {30}, 0, true, {}, 0},
        {"NaN", std::nanf(""), {30}, 0, true, {}, 0},
        {"window gone mid-pause", 0.1f, {30}, 2, false, {100}, 2},
        {"clock set back an hour", 0.1f, {40, -3'600'000, 40}, 0, true, {100, 60, 60, 20}, 4},
        {"clock standing still", 0.1f, {0, 0, 0, 50, 60}, 0, true, {100, 100, 100, 100, 50}, 5},
        {"clock jumping past the end", 0.1f, {10, 3'600'000}, 0, true, {100, 90}, 2},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        FakeTicks ticks{r.steps, r.closeOnPump};
        bool result = !r.result;
        EXPECT_NO_THROW(result = Wait(r.secs, ticks.Clock(), ticks.Pump(), ticks.Sleep()));
        EXPECT_EQ(result, r.result);
        EXPECT_EQ(ticks.asked, r.asked);
        EXPECT_EQ(ticks.pumps, r.pumps);
    }
}
