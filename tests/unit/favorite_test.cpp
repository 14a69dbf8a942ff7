#include "favorites/favorite.hpp"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(DisplayText, NamesTheCoreOrDefault) {
    EXPECT_EQ(DisplayText("Chess", 0), "Chess on CPU 0");
    EXPECT_EQ(DisplayText("Chess", 1), "Chess on CPU 1");
    EXPECT_EQ(DisplayText("Chess", 2), "Chess on Default");
    EXPECT_EQ(DisplayText("Battle on Mars", 0), "Battle on Mars on CPU 0");
    EXPECT_EQ(DisplayText("cHeSs", 1), "cHeSs on CPU 1");
    EXPECT_EQ(DisplayText("Chess", 5), "Chess on Default");
}

TEST(CodedTarget, PrefixesTheCodeAndLowersEverything) {
    EXPECT_EQ(CodedTarget(1, R"(C:\Games\Chess\CHESS.EXE)"), R"(1__c:\games\chess\chess.exe)");
    EXPECT_EQ(CodedTarget(2, R"(c:\games\chess\chess.exe)"), R"(2__c:\games\chess\chess.exe)");
    EXPECT_EQ(CodedTarget(0, ""), "0__");
    // A code that is not one digit never turns into a core.
    EXPECT_EQ(CodedTarget(12, "c:\\x.exe"), "2__c:\\x.exe");
    EXPECT_EQ(CodedTarget(-1, "c:\\x.exe"), "2__c:\\x.exe");

    CaseMap lower = AsciiLower();
    lower[0xC9] = 0xE9;
    EXPECT_EQ(CodedTarget(0, "C:\\CAF\xC9.EXE", lower), "0__c:\\caf\xE9.exe");
}

TEST(CodedTarget, ReadsBackCodeAndTarget) {
    EXPECT_EQ(CpuCode(R"(1__c:\games\chess\chess.exe)"), 1);
    EXPECT_EQ(CpuCode("0__x"), 0);
    EXPECT_EQ(CpuCode("2__x"), 2);
    EXPECT_EQ(CpuCode("7__x"), 7);
    EXPECT_EQ(CpuCode("9"), 9);
    EXPECT_EQ(CpuCode("x__c:\\a.exe"), 0);
    EXPECT_EQ(CpuCode("-1__"), 0);
    EXPECT_EQ(CpuCode(" 1__"), 0);
    EXPECT_EQ(CpuCode(""), 0);

    EXPECT_EQ(TargetOf(R"(1__c:\games\chess\chess.exe)"), R"(c:\games\chess\chess.exe)");
    EXPECT_EQ(TargetOf("1__"), "");
    EXPECT_EQ(TargetOf("1_"), "");
    EXPECT_EQ(TargetOf(""), "");
    // Only the position counts, not what the prefix holds.
    EXPECT_EQ(TargetOf("abcdef"), "def");
}

TEST(TitleOf, TakesTextBeforeFirstOn) {
    EXPECT_EQ(TitleOf("Chess on CPU 1"), "Chess");
    EXPECT_EQ(TitleOf("Chess on Default"), "Chess");
    EXPECT_EQ(TitleOf("Battle on Mars on CPU 0"), "Battle");
    EXPECT_EQ(TitleOf("Dragon online on CPU 1"), "Dragon");
    EXPECT_EQ(TitleOf("Salmon on CPU 0"), "Salmon");
    // The search is case-sensitive, and a text without " on" is all title.
    EXPECT_EQ(TitleOf("Moon ON CPU 1"), "Moon ON CPU 1");
    EXPECT_EQ(TitleOf("Hand edited"), "Hand edited");
    EXPECT_EQ(TitleOf(""), "");
    EXPECT_EQ(TitleOf(" on CPU 0"), "");
}

TEST(CoreOptions, CodeSelectsButtonAndButtonsGiveCode) {
    EXPECT_EQ(OptionIndexFor(0), 0);
    EXPECT_EQ(OptionIndexFor(1), 1);
    EXPECT_EQ(OptionIndexFor(2), 2);
    for (int code = 3; code <= 9; ++code) EXPECT_EQ(OptionIndexFor(code), 2) << code;

    EXPECT_EQ(CodeFromOptions(true, false, false), kCpu0);
    EXPECT_EQ(CodeFromOptions(false, true, false), kCpu1);
    EXPECT_EQ(CodeFromOptions(false, false, true), kCpuDefault);
    // Default wins over a core button, and no button at all means CPU 1.
    EXPECT_EQ(CodeFromOptions(true, false, true), kCpuDefault);
    EXPECT_EQ(CodeFromOptions(true, true, false), kCpu0);
    EXPECT_EQ(CodeFromOptions(false, false, false), kCpu1);
}

TEST(FieldsComplete, MeasuresTrimmedLengths) {
    const char* target7 = R"(c:\a.ex)";
    const char* target6 = R"(c:\a.e)";
    EXPECT_TRUE(FieldsComplete("Chess", "c:", target7));
    EXPECT_FALSE(FieldsComplete("Chess", "c:", target6));
    EXPECT_FALSE(FieldsComplete("Chess", "c:", R"(   c:\a.e   )"));
    EXPECT_FALSE(FieldsComplete("Chess", "c", target7));
    EXPECT_FALSE(FieldsComplete("Chess", " c ", target7));
    EXPECT_FALSE(FieldsComplete("   ", "c:", target7));
    EXPECT_FALSE(FieldsComplete("", "c:", target7));
    EXPECT_TRUE(FieldsComplete("x", "c:", target7));
    // Tabs are not trimmed, so they count as characters.
    EXPECT_TRUE(FieldsComplete("\t", "c:", target7));
}

TEST(MakeFavorite, LowersPathsAndKeepsTitleAndParameters) {
    const Favorite f = MakeFavorite("Battle on Mars", R"(C:\Games\Mars\MARS.EXE)", R"(C:\Games\Mars)",
                                    "-Window FULL", 0);
    EXPECT_EQ(f.display, "Battle on Mars on CPU 0");
    EXPECT_EQ(f.coded, R"(0__c:\games\mars\mars.exe)");
    EXPECT_EQ(f.startIn, R"(c:\games\mars)");
    EXPECT_EQ(f.params, "-Window FULL");

    const Favorite d = MakeFavorite("Chess", R"(c:\games\chess\chess.exe)", R"(c:\games\chess)", "", 2);
    EXPECT_EQ(d, (Favorite{"Chess on Default", R"(2__c:\games\chess\chess.exe)", R"(c:\games\chess)",
                           "None"}));
}

TEST(MakeFavorite, LoadsBackAsTheSavedFields) {
    const Favorite f =
        MakeFavorite("Chess", R"(C:\Games\Chess\Chess.exe)", R"(C:\Games\Chess)", "", 1);
    EXPECT_EQ(TitleOf(f.display), "Chess");
    EXPECT_EQ(TargetOf(f.coded), R"(c:\games\chess\chess.exe)");
    EXPECT_EQ(OptionIndexFor(CpuCode(f.coded)), 1);
    EXPECT_EQ(f.params, "None");
}

TEST(StoredParameters, OnlyEmptyBecomesNone) {
    EXPECT_EQ(StoredParameters(""), "None");
    EXPECT_EQ(StoredParameters("-x"), "-x");
    EXPECT_EQ(StoredParameters("none"), "none");
}

}  // namespace
}  // namespace corvane
