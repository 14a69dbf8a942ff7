#include "platform/paths.hpp"

#include <gtest/gtest.h>

#include "cp932.hpp"

using namespace corvane;

TEST(Paths, SplitAtLastBackslashFromIndexTwo) {
    struct Row {
        std::string path, file, folder;
    };
    const Row rows[] = {
        {R"(C:\Games\Foo\foo.exe)", "foo.exe", R"(C:\Games\Foo)"},
        {R"(C:\x.exe)", "x.exe", "C:"},
        {R"(C:\Games\)", "", R"(C:\Games)"},
        {R"(\\server\share\a.exe)", "a.exe", R"(\\server\share)"},
        {R"(\a.exe)", "", ""},
        {R"(a\b)", "", ""},
        {R"(ab\c)", "c", "ab"},
        {"C:/Games/foo.exe", "", ""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(FileNameOf(r.path), r.file) << r.path;
        EXPECT_EQ(FolderOf(r.path), r.folder) << r.path;
    }
    // On code page 932 "\x83\x5C" is one character, not a separator.
    const LeadBytes lead = WithCp932(AsciiLower()).lead;
    const Row dbcs[] = {
        {"C:\\Games\\\x83\x41\x83\x5C.EXE", "\x83\x41\x83\x5C.EXE", "C:\\Games"},
        {"C:\\\x83\x5C\\a.exe", "a.exe", "C:\\\x83\x5C"},
    };
    for (const Row& r : dbcs) {
        EXPECT_EQ(FileNameOf(r.path, lead), r.file) << r.path;
        EXPECT_EQ(FolderOf(r.path, lead), r.folder) << r.path;
    }
}

// Rules: l/u ASCII lower/upper, L/U the same with code page 932's lead bytes.
TEST(MapCase, FoldsAsciiAndKeepsDoubleByteCharacters) {
    struct Row {
        char rule;
        std::string in, out;
    };
    const Row rows[] = {
        {'l', R"(C:\Games\CHESS.Exe@[`{)", R"(c:\games\chess.exe@[`{)"},
        {'u', R"(C:\Games\CHESS.Exe@[`{)", R"(C:\GAMES\CHESS.EXE@[`{)"},
        {'L', "X\x83KY", "x\x83Ky"},
        {'U', "x\x83ky", "X\x83kY"},
        {'L', "\x83\x83K", "\x83\x83k"},
        {'L', "A\x83", "a\x83"},
        {'L', "\x9FK\xE0K\xFCK", "\x9FK\xE0K\xFCK"},
        {'L', "\x80K\xA0K\xFDK@A", "\x80k\xA0k\xFDk@a"},
        {'l', std::string("A\0\xC9\xE9", 4), std::string("a\0\xC9\xE9", 4)},
        {'u', std::string("a\0\xC9\xE9", 4), std::string("A\0\xC9\xE9", 4)},
    };
    for (const Row& r : rows) {
        const CaseRule& ascii = r.rule == 'l' || r.rule == 'L' ? AsciiLower() : AsciiUpper();
        const CaseRule rule = r.rule == 'L' || r.rule == 'U' ? WithCp932(ascii) : ascii;
        EXPECT_EQ(MapCase(r.in, rule), r.out) << r.rule << ::testing::PrintToString(r.in);
    }
    EXPECT_TRUE(AsciiLower().lead.none() && AsciiUpper().lead.none());
}

TEST(MapCase, LeadByteRangesAsTheSystemReportsThem) {
    struct Row {
        std::vector<unsigned char> pairs;
        std::size_t count;
    };
    const Row rows[] = {{{0x81, 0x9F, 0xE0, 0xFC, 0, 0, 0x40, 0x50}, 31 + 29},
                        {{0x81, 0x9F, 0xE0}, 31},
                        {{0xFF, 0xFF}, 1},
                        {{0, 0, 0x81, 0x9F}, 0},
                        {{0x90, 0x80}, 0},
                        {{}, 0}};
    for (const Row& r : rows)
        EXPECT_EQ(LeadBytesFromRanges(r.pairs.data(), r.pairs.size()).count(), r.count) << r.pairs.size();
}
