#include "favorites/favorite.hpp"

#include <gtest/gtest.h>

#include "cp932.hpp"

using namespace corvane;

TEST(Favorite, DisplayAndCodedTexts) {
    struct Row {
        std::string title;
        int code;
        std::string target, display, coded;
    };
    const Row rows[] = {
        {"Chess", 0, R"(C:\Games\Chess\CHESS.EXE)", "Chess on CPU 0", R"(0__c:\games\chess\chess.exe)"},
        {"Chess", 1, R"(c:\x.exe)", "Chess on CPU 1", R"(1__c:\x.exe)"},
        {"Chess", 2, "c:", "Chess on Default", "2__c:"},
        {"Battle on Mars", 0, "", "Battle on Mars on CPU 0", "0__"},
        {"cHeSs", 5, "A", "cHeSs on Default", "5__a"},
        {"Chess", 12, "c:", "Chess on Default", "2__c:"},
        {"Chess", -1, "c:", "Chess on Default", "2__c:"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(DisplayText(r.title, r.code), r.display) << r.code;
        EXPECT_EQ(CodedTarget(r.code, r.target), r.coded) << r.code;
    }
}

TEST(Favorite, ReadsCodeTargetAndTitleBack) {
    struct Row {
        std::string text;
        int cpu;
        std::string target, title;
    };
    const Row rows[] = {
        {R"(1__c:\games\chess.exe)", 1, R"(c:\games\chess.exe)", R"(1__c:\games\chess.exe)"},
        {"7__x", 7, "x", "7__x"},
        {"9", 9, "", "9"},
        {"1__", 1, "", "1__"},
        {"", 0, "", ""},
        {"x__c:\\a.exe", 0, "c:\\a.exe", "x__c:\\a.exe"},
        {"-1__", 0, "_", "-1__"},
        {"Chess on CPU 1", 0, "ss on CPU 1", "Chess"},
        {"Battle on Mars on Default", 0, "tle on Mars on Default", "Battle"},
        {"Salmon online on CPU 0", 0, "mon online on CPU 0", "Salmon"},
        {"Moon ON CPU 1", 0, "n ON CPU 1", "Moon ON CPU 1"},
        {" on CPU 0", 0, " CPU 0", ""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(CpuCode(r.text), r.cpu) << r.text;
        EXPECT_EQ(TargetOf(r.text), r.target) << r.text;
        EXPECT_EQ(TitleOf(r.text), r.title) << r.text;
    }
}

TEST(Favorite, CoreOptions) {
    const int indexFor[][2] = {{0, 0}, {1, 1}, {2, 2}, {3, 2}, {9, 2}, {-1, 2}};
    for (const auto& [code, index] : indexFor)
        EXPECT_EQ(OptionIndexFor(code), index) << code;
    struct Row {
        bool cpu0, cpu1, useDefault;
        int code;
    };
    const Row rows[] = {{true, false, false, 0}, {false, true, false, 1}, {false, false, true, 2},
                        {true, false, true, 2},  {true, true, false, 0},  {false, false, false, 1}};
    for (const Row& r : rows)
        EXPECT_EQ(CodeFromOptions(r.cpu0, r.cpu1, r.useDefault), r.code) << r.cpu0 << r.cpu1 << r.useDefault;
}

TEST(Favorite, FieldsCompleteMeasuresTrimmedLengths) {
    struct Row {
        std::string title, startIn, target;
        bool complete;
    };
    const Row rows[] = {{"Chess", "c:", R"(c:\a.ex)", true},     {"Chess", "c:", R"(c:\a.e)", false},
                        {"Chess", "c:", R"(  c:\a.e  )", false}, {"Chess", "c", R"(c:\a.ex)", false},
                        {"Chess", " c ", R"(c:\a.ex)", false},   {"   ", "c:", R"(c:\a.ex)", false},
                        {"", "c:", R"(c:\a.ex)", false},         {"x", "c:", R"(c:\a.ex)", true},
                        {"\t", "c:", R"(c:\a.ex)", true}};
    for (const Row& r : rows)
        EXPECT_EQ(FieldsComplete(r.title, r.startIn, r.target), r.complete)
            << r.title << '|' << r.startIn << '|' << r.target;
}

TEST(Favorite, StoredAndSavedFields) {
    const std::pair<std::string, std::string> stored[] = {{"", "None"}, {"-x", "-x"}, {"none", "none"}, {" ", " "}};
    for (const auto& [typed, kept] : stored)
        EXPECT_EQ(StoredParameters(typed), kept) << typed;
    const std::pair<std::string, std::string> saved[] = {
        {"  c:\\a.exe \r\n", "c:\\a.exe"}, {"a\r\nb", "ab"}, {" \n x", "x"}, {"\tx ", "\tx"}, {"", ""}, {"\r", ""}};
    for (const auto& [typed, kept] : saved)
        EXPECT_EQ(SavedField(typed), kept) << ::testing::PrintToString(typed);
}

TEST(Favorite, MakeFavoriteLowersPathsOnly) {
    struct Row {
        std::string title, target, startIn, params;
        int code;
        bool cp932;
        Favorite made;
    };
    const Row rows[] = {
        {"Battle on Mars",
         R"(C:\Games\Mars\MARS.EXE)",
         R"(C:\Games\Mars)",
         "-Window FULL",
         0,
         false,
         {"Battle on Mars on CPU 0", R"(0__c:\games\mars\mars.exe)", R"(c:\games\mars)", "-Window FULL"}},
        {"Chess", R"(c:\chess.exe)", "c:", "", 2, false, {"Chess on Default", R"(2__c:\chess.exe)", "c:", "None"}},
        {"\x83\x41",
         "C:\\\x83\x41"
         "B.EXE",
         "C:\\\x83\x41",
         "",
         1,
         true,
         {"\x83\x41 on CPU 1",
          "1__c:\\\x83\x41"
          "b.exe",
          "c:\\\x83\x41", "None"}},
    };
    for (const Row& r : rows) {
        const CaseRule lower = r.cp932 ? WithCp932(AsciiLower()) : AsciiLower();
        EXPECT_EQ(MakeFavorite(r.title, r.target, r.startIn, r.params, r.code, lower), r.made) << r.title;
    }
}
