#include "app/launch_request.hpp"

#include <gtest/gtest.h>

using namespace corvane;

TEST(LaunchRequest, CommandLine) {
    struct Row {
        std::vector<std::string_view> args;
        std::optional<std::string> display;
    };
    const Row rows[] = {
        {{"corvane.exe"}, std::nullopt},
        {{"corvane.exe", "/launch", "Chess on CPU 1"}, "Chess on CPU 1"},
        {{"corvane.exe", "/LAUNCH", "Chess on CPU 1"}, "Chess on CPU 1"},
        {{"corvane.exe", "/Launch", ""}, ""},
        {{"corvane.exe", "/launch"}, std::nullopt},
        {{"corvane.exe", "-launch", "Chess on CPU 1"}, std::nullopt},
        {{"corvane.exe", "/launchx", "Chess on CPU 1"}, std::nullopt},
        {{"corvane.exe", "/launch", "Chess", "on CPU 1"}, std::nullopt},
    };
    for (const Row& r : rows)
        EXPECT_EQ(LaunchArgument(r.args), r.display) << r.args.size();
}

TEST(LaunchRequest, MessageFromAnotherInstance) {
    const char text[] = "Chess on CPU 1";
    EXPECT_EQ(LaunchRequestText(kLaunchRequestTag, text, 14), "Chess on CPU 1");
    EXPECT_EQ(LaunchRequestText(kLaunchRequestTag, nullptr, 0), "");
    EXPECT_EQ(LaunchRequestText(kLaunchRequestTag + 1, text, 14), std::nullopt);
    EXPECT_EQ(LaunchRequestText(kLaunchRequestTag, nullptr, 3), std::nullopt);
    const std::string huge(kLargestLaunchRequest + 1, 'a');
    EXPECT_EQ(LaunchRequestText(kLaunchRequestTag, huge.data(), huge.size()), std::nullopt);
    EXPECT_NE(UnknownFavoriteMessage("Chess on CPU 1").find("\"Chess on CPU 1\""), std::string::npos);
}
