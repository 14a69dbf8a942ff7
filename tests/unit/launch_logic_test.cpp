#include "launcher/launch_logic.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace corvane {
namespace {

using Bits = std::vector<std::int32_t>;

TEST(MaskBits, OneEntryPerSetBitAscending) {
    EXPECT_EQ(MaskBits(15), (Bits{1, 2, 4, 8}));
    EXPECT_EQ(MaskBits(0), Bits{});
    EXPECT_EQ(MaskBits(6), (Bits{2, 4}));
    EXPECT_EQ(MaskBits(-2147483647), (Bits{1, INT32_MIN}));
    EXPECT_EQ(MaskBits(INT32_MIN), (Bits{INT32_MIN}));
    EXPECT_EQ(MaskBits(0x40000000), (Bits{0x40000000}));

    const Bits all = MaskBits(-1);
    ASSERT_EQ(all.size(), 32u);
    for (int b = 0; b < 31; ++b) EXPECT_EQ(all[b], std::int32_t{1} << b) << b;
    EXPECT_EQ(all[31], INT32_MIN);
}

TEST(CoreMask, SingleCoreOrNothing) {
    EXPECT_EQ(CoreMask(0), 1u);
    EXPECT_EQ(CoreMask(1), 2u);
    EXPECT_EQ(CoreMask(2), 4u);
    EXPECT_EQ(CoreMask(3), 8u);
    EXPECT_EQ(CoreMask(4), 0u);
    EXPECT_EQ(CoreMask(-1), 0u);
    EXPECT_EQ(CoreMask(31), 0u);
}

TEST(ParametersFor, OnlyExactNoneOrEmptyMeansNoParameters) {
    EXPECT_EQ(ParametersFor("None"), std::nullopt);
    EXPECT_EQ(ParametersFor(""), std::nullopt);
    EXPECT_EQ(ParametersFor("none"), std::optional<std::string>("none"));
    EXPECT_EQ(ParametersFor("NONE"), std::optional<std::string>("NONE"));
    EXPECT_EQ(ParametersFor("  "), std::optional<std::string>("  "));
    EXPECT_EQ(ParametersFor(" None "), std::optional<std::string>(" None "));
    EXPECT_EQ(ParametersFor("-w 640 -h 480"), std::optional<std::string>("-w 640 -h 480"));
}

TEST(FindProcessId, MatchesWholeNameIgnoringCase) {
    const std::vector<ProcessRecord> procs{
        {4, "System"}, {100, "NOTEPAD.EXE"}, {200, "explorer.exe"}, {300, "notepad.exe.bak"}};
    EXPECT_EQ(FindProcessId(procs, "notepad.exe"), 100u);
    EXPECT_EQ(FindProcessId(procs, "Explorer.Exe"), 200u);
    EXPECT_EQ(FindProcessId(procs, "notepad"), 0u);
    EXPECT_EQ(FindProcessId(procs, "notepad.exe.bak.old"), 0u);
    EXPECT_EQ(FindProcessId(procs, "chess.exe"), 0u);
    EXPECT_EQ(FindProcessId({}, "notepad.exe"), 0u);
}

TEST(FindProcessId, LastMatchWinsAndIdZeroNeverMatches) {
    const std::vector<ProcessRecord> procs{
        {30, "game.exe"}, {10, "other.exe"}, {20, "GAME.EXE"}, {0, "game.exe"}};
    EXPECT_EQ(FindProcessId(procs, "game.exe"), 20u);

    const std::vector<ProcessRecord> idle{{0, "idle.exe"}, {0, ""}};
    EXPECT_EQ(FindProcessId(idle, "idle.exe"), 0u);
    EXPECT_EQ(FindProcessId(idle, ""), 0u);
}

TEST(FindProcessId, FoldsThroughTheGivenTable) {
    // Windows-1252: 0xE9 is e acute, 0xC9 its capital.
    const std::vector<ProcessRecord> procs{{7, "CAF\xC9.EXE"}};
    EXPECT_EQ(FindProcessId(procs, "caf\xE9.exe"), 0u);
    CaseMap upper = AsciiUpper();
    upper[0xE9] = 0xC9;
    EXPECT_EQ(FindProcessId(procs, "caf\xE9.exe", upper), 7u);
    EXPECT_EQ(FindProcessId(procs, "caf\xC9.exe", upper), 7u);
}

TEST(FindProcessId, ScansAnyNumberOfRecords) {
    std::vector<std::string> names;
    for (int i = 0; i < 40000; ++i) {
        const std::string n = std::to_string(i);
        names.push_back("p" + n + ".exe");
    }
    std::vector<ProcessRecord> procs;
    for (int i = 0; i < 40000; ++i) procs.push_back({static_cast<std::uint32_t>(i + 1), names[i]});
    EXPECT_EQ(FindProcessId(procs, "P39999.EXE"), 40000u);
    EXPECT_EQ(FindProcessId(procs, "p32767.exe"), 32768u);
}

// A seconds-since-midnight clock that moves only when events are pumped.
class FakeDay {
public:
    FakeDay(double start, double step) : t_(start), step_(step) {}

    SecondsClock Clock() {
        return [this] {
            ++reads_;
            return static_cast<float>(std::fmod(t_, 86400.0));
        };
    }
    EventPump Pump(int closeOnCall = 0) {
        return [this, closeOnCall] {
            ++pumps_;
            t_ += step_;
            return pumps_ != closeOnCall;
        };
    }

    double elapsedSince(double start) const { return t_ - start; }
    int pumps() const { return pumps_; }
    int reads() const { return reads_; }
    void jump(double by) { t_ += by; }

private:
    double t_;
    double step_;
    int pumps_ = 0;
    int reads_ = 0;
};

TEST(Wait, PumpsUntilTheTimeHasPassed) {
    FakeDay day(1000.0, 0.125);
    EXPECT_TRUE(Wait(0.5f, day.Clock(), day.Pump()));
    EXPECT_EQ(day.pumps(), 4);
    EXPECT_DOUBLE_EQ(day.elapsedSince(1000.0), 0.5);

    FakeDay tenth(50000.0, 0.01);
    EXPECT_TRUE(Wait(kAttemptPause, tenth.Clock(), tenth.Pump()));
    EXPECT_NEAR(tenth.elapsedSince(50000.0), 0.1, 0.02);
}

TEST(Wait, TestsBeforeTheFirstPump) {
    // The time is up already when the loop first looks at the clock.
    FakeDay day(1000.0, 0.125);
    int reads = 0;
    const SecondsClock jumping = [&] { return ++reads == 1 ? 1000.0f : 1001.0f; };
    EXPECT_TRUE(Wait(0.5f, jumping, day.Pump()));
    EXPECT_EQ(day.pumps(), 0);
}

TEST(Wait, ZeroOrNegativeReturnsAtOnce) {
    for (float secs : {0.0f, -0.0f, -0.1f, -86400.0f, std::nanf("")}) {
        FakeDay day(1000.0, 0.125);
        EXPECT_TRUE(Wait(secs, day.Clock(), day.Pump())) << secs;
        EXPECT_EQ(day.pumps(), 0) << secs;
    }
}

TEST(Wait, ZeroReturnsAtOnceEvenWhenTheClockStepsBack) {
    float reading = 1000.0f;
    const SecondsClock stepsBack = [&] { return reading -= 1.0f; };
    int pumps = 0;
    EXPECT_TRUE(Wait(0.0f, stepsBack, [&] { return ++pumps < 100; }));
    EXPECT_EQ(pumps, 0);
}

TEST(Wait, SmallStepBackIsNotMidnight) {
    // The clock is set back two seconds during the pause: the pause goes on
    // rather than taking the step for a new day.
    double t = 5000.0;
    int pumps = 0;
    const SecondsClock clock = [&] { return static_cast<float>(t); };
    const EventPump pump = [&] {
        t += (++pumps == 2) ? -2.0 : 0.125;
        return true;
    };
    EXPECT_TRUE(Wait(0.5f, clock, pump));
    EXPECT_GT(pumps, 4);
}

TEST(Wait, PauseAcrossMidnightEndsOnTime) {
    // The end of the pause lies past 86400, where the clock never reaches.
    FakeDay day(86399.75, 0.125);
    EXPECT_TRUE(Wait(0.5f, day.Clock(), day.Pump()));
    EXPECT_EQ(day.pumps(), 4);

    FakeDay late(86399.95, 0.01);
    EXPECT_TRUE(Wait(kAttemptPause, late.Clock(), late.Pump()));
    EXPECT_NEAR(late.elapsedSince(86399.95), 0.1, 0.02);

    // A pause that starts just after midnight is an ordinary one.
    FakeDay early(0.0, 0.125);
    EXPECT_TRUE(Wait(0.5f, early.Clock(), early.Pump()));
    EXPECT_EQ(early.pumps(), 4);
}

TEST(Wait, LongPauseSpansMoreThanOneMidnight) {
    FakeDay day(80000.0, 3600.0);
    EXPECT_TRUE(Wait(2.0f * kSecondsPerDay, day.Clock(), day.Pump()));
    EXPECT_EQ(day.pumps(), 48);
}

TEST(Wait, StopsWhenTheWindowIsGone) {
    FakeDay day(1000.0, 0.125);
    EXPECT_FALSE(Wait(10.0f, day.Clock(), day.Pump(2)));
    EXPECT_EQ(day.pumps(), 2);

    FakeDay first(1000.0, 0.125);
    EXPECT_FALSE(Wait(10.0f, first.Clock(), first.Pump(1)));
    EXPECT_EQ(first.pumps(), 1);
}

// Records the order of the hooks' calls as a string: w = pause, p = pin,
// s = state test.
struct AttemptLog {
    std::string calls;
    std::vector<float> pauses;
    int closeOnWait = 0;     // the pause (1-based) that reports the window gone
    int minimiseOnPin = 0;   // the pin (1-based) that succeeds
    int stateAfter = 1;      // the window state a successful pin leaves
    int state = 0;
    int waits = 0;
    int pins = 0;

    AttemptHooks Hooks() {
        return {
            [this](float secs) {
                calls += 'w';
                pauses.push_back(secs);
                return ++waits != closeOnWait;
            },
            [this] {
                calls += 'p';
                if (++pins == minimiseOnPin) state = stateAfter;
            },
            [this] {
                calls += 's';
                return state;
            },
        };
    }
};

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

TEST(RunPinAttempts, SuccessOnFirstAttemptEndsAfterTwoPauses) {
    AttemptLog log;
    log.minimiseOnPin = 1;
    EXPECT_EQ(RunPinAttempts(log.Hooks()), 1);
    EXPECT_EQ(log.calls, "wpws");
    EXPECT_EQ(log.pauses, (std::vector<float>{0.1f, 0.1f}));
}

TEST(RunPinAttempts, ElevenFailuresTakeTwentyTwoPauses) {
    AttemptLog log;
    EXPECT_EQ(RunPinAttempts(log.Hooks()), 11);
    EXPECT_EQ(log.calls, Repeat("wpws", 11));
    EXPECT_EQ(log.pins, 11);
    ASSERT_EQ(log.pauses.size(), 22u);
    for (float p : log.pauses) EXPECT_EQ(p, 0.1f);
}

TEST(RunPinAttempts, AnyStateChangeEndsTheAttempts) {
    AttemptLog log;
    log.minimiseOnPin = 3;
    log.stateAfter = 2;  // maximised by the user counts as well
    EXPECT_EQ(RunPinAttempts(log.Hooks()), 3);
    EXPECT_EQ(log.calls, Repeat("wpws", 3));
}

TEST(RunPinAttempts, ClosedWindowStopsWithoutFurtherPins) {
    AttemptLog beforePin;
    beforePin.closeOnWait = 3;  // the first pause of attempt 2
    EXPECT_EQ(RunPinAttempts(beforePin.Hooks()), 2);
    EXPECT_EQ(beforePin.calls, "wpwsw");

    AttemptLog afterPin;
    afterPin.closeOnWait = 2;  // the second pause of attempt 1
    EXPECT_EQ(RunPinAttempts(afterPin.Hooks()), 1);
    EXPECT_EQ(afterPin.calls, "wpw");
}

}  // namespace
}  // namespace corvane
