#include "platform/shell_rules.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cp932.hpp"

using namespace corvane;

namespace {

// The C runtime's split of a command line: 2n backslashes before a quote are n and the quote opens or closes,
// 2n+1 are n and a literal quote; backslashes before anything else stay as they are.
std::vector<std::string> SplitLikeTheRuntime(std::string_view line) {
    std::vector<std::string> args;
    std::string arg;
    bool quoted = false, any = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        std::size_t n = 0;
        while (i < line.size() && line[i] == '\\')
            ++n, ++i;
        if (i < line.size() && line[i] == '"') {
            arg.append(n / 2, '\\');
            if (n % 2)
                arg.push_back('"');
            else
                quoted = !quoted;
            any = true;
        } else {
            arg.append(n, '\\');
            if (i == line.size()) break;
            if (line[i] == ' ' && !quoted) {
                if (any || !arg.empty()) args.push_back(arg);
                arg.clear();
                any = false;
            } else {
                arg.push_back(line[i]);
                any = true;
            }
        }
    }
    if (any || !arg.empty()) args.push_back(arg);
    return args;
}

}  // namespace

TEST(ShellRules, AQuotedArgumentComesBackWhole) {
    EXPECT_EQ(QuotedArgument(R"(Say "hi" \ on CPU 1)"), R"("Say \"hi\" \ on CPU 1")");
    EXPECT_EQ(QuotedArgument(R"(C:\games\)"), R"("C:\games\\")");
    for (const std::string text : {"Chess on CPU 1", "", R"(a\\"b)", R"(end\\)", R"(\"")", "two  spaces "})
        EXPECT_EQ(SplitLikeTheRuntime("/launch " + QuotedArgument(text)), (std::vector<std::string>{"/launch", text}))
            << text;
}

TEST(ShellRules, FileNamesAndMenuItems) {
    EXPECT_EQ(FileNameFrom(R"(a\b/c:d*e?f"g<h>i|j on CPU 1)"), "a_b_c_d_e_f_g_h_i_j on CPU 1");
    EXPECT_EQ(FileNameFrom("tab\there\x1f.\x7f\xe9"), "tab_here_.\x7f\xe9");
    // On code page 932 "\x83\x5C" and "\x83\x7C" are characters, not a backslash and a bar.
    EXPECT_EQ(FileNameFrom("\x83\x5C\\\x83\x7C|", WithCp932(AsciiLower()).lead), "\x83\x5C_\x83\x7C_");
    EXPECT_EQ(MenuItemText("Tom & Jerry && co on CPU 0"), "Tom && Jerry &&&& co on CPU 0");
}
