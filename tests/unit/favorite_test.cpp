#include "favorites/favorite.hpp"

#include <gtest/gtest.h>

#include "cp932.hpp"

using namespace corvane;
using enum corvane::Core;

TEST(Favorite, ReadsCodeTargetAndTitleBack) {
    struct Row {
        std::string text;
        int cpu;
        Core core;
        std::string target, title;
    };
    const Row rows[] = {
        {R"(1__c:\games\chess.exe)", 1, Cpu1, R"(c:\games\chess.exe)", R"(1__c:\games\chess.exe)"},
        {"9", 9, Default, "", "9"},
        {"x__c:\\a.exe", 0, Cpu0, "c:\\a.exe", "x__c:\\a.exe"},
        {"", 0, Cpu0, "", ""},
        {"Battle on Mars on Default", 0, Cpu0, "tle on Mars on Default", "Battle"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(CpuCode(r.text), r.cpu) << r.text;
        EXPECT_EQ(FieldsOf({"", r.text, "", ""}).core, r.core) << r.text;
        EXPECT_EQ(TargetOf(r.text), r.target) << r.text;
        EXPECT_EQ(TitleOf(r.text), r.title) << r.text;
    }
}

TEST(Favorite, CoreOptions) {
    struct Row {
        bool cpu0, useDefault;
        Core code;
    };
    const Row rows[] = {{true, false, Cpu0}, {false, false, Cpu1}, {true, true, Default}};
    for (const Row& r : rows)
        EXPECT_EQ(CodeFromOptions(r.cpu0, r.useDefault), r.code) << r.cpu0 << r.useDefault;
}

TEST(Favorite, FieldsCompleteMeasuresTrimmedLengths) {
    struct Row {
        std::string title, startIn, target;
        bool complete;
    };
    const Row rows[] = {{"x", "c:", R"(c:\a.ex)", true},         {"Chess", "c:", R"(c:\a.e)", false},
                        {"Chess", "c:", R"(  c:\a.e  )", false}, {"Chess", " c ", R"(c:\a.ex)", false},
                        {"   ", "c:", R"(c:\a.ex)", false},      {"\t", "c:", "c:\\a.e\n", true}};
    for (const Row& r : rows)
        EXPECT_EQ(FieldsComplete(r.title, r.startIn, r.target), r.complete)
            << r.title << '|' << r.startIn << '|' << r.target;
}

TEST(Favorite, SavedFields) {
    const std::pair<std::string, std::string> saved[] = {
        {"  c:\\a.exe \r\n", "c:\\a.exe"}, {"a\r\nb", "ab"}, {" \n x", "x"}, {"\tx ", "\tx"}};
    for (const auto& [typed, kept] : saved)
        EXPECT_EQ(SavedField(typed), kept) << ::testing::PrintToString(typed);
}

// Paths are folded with code page 932's lead bytes, as on a Japanese system.
TEST(Favorite, MakeFavoriteNamesTheCoreAndLowersPathsOnly) {
    struct Row {
        std::string title, target, startIn, params;
        Core code;
        Favorite made;
    };
    const Row rows[] = {
        {"Mars", R"(C:\MARS.EXE)", R"(C:\G)", "-W X", Cpu0, {"Mars on CPU 0", R"(0__c:\mars.exe)", R"(c:\g)", "-W X"}},
        {"cHeSs", "A", "c:", "", Cpu1, {"cHeSs on CPU 1", "1__a", "c:", "None"}},
        {"T", "\x83\x41X.EXE", "C\x83\x41", "", Default, {"T on Default", "2__\x83\x41x.exe", "c\x83\x41", "None"}},
    };
    const CaseRule lower = WithCp932(AsciiLower());
    for (const Row& r : rows)
        EXPECT_EQ(MakeFavorite(r.title, r.target, r.startIn, r.params, r.code, lower), r.made) << r.title;
}
