#include "platform/paths.hpp"

#include <gtest/gtest.h>

#include "cp932.hpp"

using namespace corvane;

// Read with code page 932's lead bytes: "\x83\x5C" is one character, not a separator.
TEST(Paths, SplitAtLastBackslashFromIndexTwo) {
    struct Row {
        std::string path, file, folder;
    };
    const Row rows[] = {
        {R"(C:\Games\Foo\foo.exe)", "foo.exe", R"(C:\Games\Foo)"},
        {R"(C:\x.exe)", "x.exe", "C:"},
        {R"(C:\Games\)", "", R"(C:\Games)"},
        {R"(\a.exe)", "", ""},
        {R"(ab\c)", "c", "ab"},
        {"C:/Games/foo.exe", "", ""},
        {"C:\\Games\\\x83\x41\x83\x5C.EXE", "\x83\x41\x83\x5C.EXE", "C:\\Games"},
        {"C:\\\x83\x5C\\a.exe", "a.exe", "C:\\\x83\x5C"},
    };
    const LeadBytes lead = WithCp932(AsciiLower()).lead;
    for (const Row& r : rows) {
        EXPECT_EQ(FileNameOf(r.path, lead), r.file) << r.path;
        EXPECT_EQ(FolderOf(r.path, lead), r.folder) << r.path;
    }
}

TEST(MapCase, FoldsAsciiAndKeepsDoubleByteCharacters) {
    struct Row {
        bool cp932;
        std::string in, out;
    };
    const Row rows[] = {
        {false, R"(C:\Games\CHESS.Exe@[`{)", R"(c:\games\chess.exe@[`{)"},
        {false, std::string("A\0\xC9\xE9", 4), std::string("a\0\xC9\xE9", 4)},
        {true, "X\x83KY", "x\x83Ky"},
        {true, "\x83\x83K", "\x83\x83k"},
        {true, "A\x83", "a\x83"},
        {true, "\x9FK\xE0K\xFCK", "\x9FK\xE0K\xFCK"},
        {true, "\x80K\xA0K\xFDK@A", "\x80k\xA0k\xFDk@a"},
    };
    for (const Row& r : rows) {
        const CaseRule rule = r.cp932 ? WithCp932(AsciiLower()) : AsciiLower();
        EXPECT_EQ(MapCase(r.in, rule), r.out) << r.cp932 << ::testing::PrintToString(r.in);
    }
    EXPECT_TRUE(AsciiLower().lead.none() && AsciiUpper().lead.none());
}
