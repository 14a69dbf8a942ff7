#include "platform/paths.hpp"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace corvane {
namespace {

struct SplitCase {
    std::string path;
    std::string file;    // CutPath
    std::string folder;  // CutFileName
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << '"' << c.path << '"'; }

class PathSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(PathSplit, SplitsAtLastBackslashFromPositionThree) {
    const SplitCase& c = GetParam();
    EXPECT_EQ(CutPath(c.path), c.file) << "CutPath(" << c.path << ")";
    EXPECT_EQ(CutFileName(c.path), c.folder) << "CutFileName(" << c.path << ")";
}

INSTANTIATE_TEST_SUITE_P(
    Table, PathSplit,
    ::testing::Values(SplitCase{R"(C:\Games\Foo\foo.exe)", "foo.exe", R"(C:\Games\Foo)"},
                      SplitCase{R"(C:\foo.exe)", "foo.exe", "C:"},
                      SplitCase{R"(C:\Games\)", "", R"(C:\Games)"},
                      SplitCase{R"(C:\)", "", "C:"},
                      SplitCase{"foo.exe", "", ""},
                      SplitCase{R"(\foo.exe)", "", ""},
                      SplitCase{R"(a\b)", "", ""},
                      SplitCase{R"(ab\c)", "c", "ab"},
                      SplitCase{R"(\\server\share\foo.exe)", "foo.exe", R"(\\server\share)"},
                      SplitCase{"C:/Games/foo.exe", "", ""},
                      SplitCase{"", "", ""},
                      // A backslash at position 1 or 2 is skipped even when it
                      // is the only one, but a later one still splits.
                      SplitCase{R"(\\x)", "", ""},
                      SplitCase{R"(\\\)", "", R"(\\)"},
                      SplitCase{R"(C:\a b\with space.exe )", "with space.exe ", R"(C:\a b)"}),
    [](const ::testing::TestParamInfo<SplitCase>& row) { return "Row" + std::to_string(row.index); });

TEST(TrimSpaces, RemovesOnlyLeadingAndTrailingSpaces) {
    EXPECT_EQ(TrimSpaces("  a b  "), "a b");
    EXPECT_EQ(TrimSpaces("a"), "a");
    EXPECT_EQ(TrimSpaces("    "), "");
    EXPECT_EQ(TrimSpaces(""), "");
    EXPECT_EQ(TrimSpaces("\ta\t"), "\ta\t");
    EXPECT_EQ(TrimSpaces(" \t x \n "), "\t x \n");
}

TEST(MapCase, AsciiTablesFoldLettersOnly) {
    EXPECT_EQ(MapCase(R"(C:\Games\CHESS.Exe)", AsciiLower()), R"(c:\games\chess.exe)");
    EXPECT_EQ(MapCase("notepad.exe@[`{", AsciiUpper()), "NOTEPAD.EXE@[`{");
    const std::string high = "\xC9\xE9\x80\xFF";
    EXPECT_EQ(MapCase(high, AsciiLower()), high);
    EXPECT_EQ(MapCase(high, AsciiUpper()), high);
    for (int c = 0; c < 256; ++c) {
        const bool upper = c >= 'A' && c <= 'Z';
        const bool lower = c >= 'a' && c <= 'z';
        EXPECT_EQ(AsciiLower()[c], upper ? c + 32 : c) << c;
        EXPECT_EQ(AsciiUpper()[c], lower ? c - 32 : c) << c;
    }
}

TEST(MapCase, UsesTheGivenTableAndKeepsEmbeddedNul) {
    CaseMap map = AsciiLower();
    map[0xC9] = 0xE9;  // the code page's capital e acute
    const std::string in("A\0\xC9", 3);
    EXPECT_EQ(MapCase(in, map), std::string("a\0\xE9", 3));
}

}  // namespace
}  // namespace corvane
