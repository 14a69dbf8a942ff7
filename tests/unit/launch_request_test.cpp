#include "app/launch_request.hpp"

#include <gtest/gtest.h>

using namespace corvane;

TEST(LaunchRequest, CommandLine) {
    struct Row {
        std::vector<std::string_view> args;
        std::optional<std::string> display;
        bool usage;
    };
    const Row rows[] = {
        {{"corvane.exe"}, std::nullopt, false},
        {{"corvane.exe", "/launch", "Chess on CPU 1"}, "Chess on CPU 1", false},
        {{"corvane.exe", "/LAUNCH", "Chess on CPU 1"}, "Chess on CPU 1", false},
        {{"corvane.exe", "/launch", "Chess", "on", "CPU", "1"}, "Chess on CPU 1", false},
        {{"corvane.exe", "/launch", "Chess  on", "/x"}, "Chess  on /x", false},
        {{"corvane.exe", "stray", "/launch", "Chess on CPU 1"}, "Chess on CPU 1", false},
        {{"corvane.exe", "/launch"}, std::nullopt, true},
        {{"corvane.exe", "/launch", ""}, std::nullopt, true},
        {{"corvane.exe", "/launch", " ", " "}, std::nullopt, true},
        {{"corvane.exe", "/launchx", "Chess on CPU 1"}, std::nullopt, true},
    };
    for (const Row& r : rows) {
        const Arguments read = ReadArguments(r.args);
        EXPECT_EQ(std::make_pair(read.launch, read.usage), std::make_pair(r.display, r.usage)) << r.args.back();
    }
}

TEST(LaunchRequest, MessageFromAnotherInstance) {
    const char text[] = "Chess on CPU 1";
    EXPECT_EQ(LaunchRequestText(kLaunchRequestTag, text, 14), "Chess on CPU 1");
    EXPECT_EQ(LaunchRequestText(kLaunchRequestTag, nullptr, 0), "");
    EXPECT_EQ(LaunchRequestText(kLaunchRequestTag + 1, text, 14), std::nullopt);
    EXPECT_EQ(LaunchRequestText(kLaunchRequestTag, nullptr, 3), std::nullopt);
    const std::string huge(kLargestLaunchRequest + 1, 'a');
    EXPECT_EQ(LaunchRequestText(kLaunchRequestTag, huge.data(), huge.size()), std::nullopt);
}
