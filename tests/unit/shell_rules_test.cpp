#include "platform/shell_rules.hpp"

#include <gtest/gtest.h>

#include "cp932.hpp"

using namespace corvane;

// Split back by the C runtime: 2n backslashes and a quote are n and the end, 2n+1 are n and a quote of the text.
TEST(ShellRules, QuotedArguments) {
    const std::pair<std::string, std::string> rows[] = {
        {"Chess on CPU 1", R"("Chess on CPU 1")"},
        {"", R"("")"},
        {R"(Say "hi" \ a\b)", R"("Say \"hi\" \ a\b")"},
        {R"(a\"b)", R"("a\\\"b")"},
        {R"(end\\)", R"("end\\\\")"},
    };
    for (const auto& [text, quoted] : rows)
        EXPECT_EQ(QuotedArgument(text), quoted) << text;
}

TEST(ShellRules, FileNames) {
    EXPECT_EQ(FileNameFrom(R"(a\b/c:d*e?f"g<h>i|j on CPU 1)"), "a_b_c_d_e_f_g_h_i_j on CPU 1");
    EXPECT_EQ(FileNameFrom("tab\there\x1f.\x7f\xe9"), "tab_here_.\x7f\xe9");
    // On code page 932 "\x83\x5C" and "\x83\x7C" are characters, not a backslash and a bar.
    EXPECT_EQ(FileNameFrom("\x83\x5C\\\x83\x7C|", WithCp932(AsciiLower()).lead), "\x83\x5C_\x83\x7C_");
}
